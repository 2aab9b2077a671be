#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <utility>

// One step of the window's work run on a helper thread while the window's thread waits for it
// and keeps showing the desktop that it is alive (a scan of many old pages takes seconds).
namespace vb::platform {

inline constexpr std::chrono::milliseconds kBesidePulse{100};

// Runs work on a helper thread and returns its result, or throws its failure, on the calling
// thread; whileWaiting (may be empty) is called every kBesidePulse until the work ends. The
// work must not touch what the calling thread may change meanwhile: whileWaiting only paints.
template <class Work>
auto RunBeside(Work work, const std::function<void()>& whileWaiting) {
    auto done = std::async(std::launch::async, std::move(work));
    while (done.wait_for(kBesidePulse) != std::future_status::ready)
        if (whileWaiting) whileWaiting();
    return done.get();
}

}  // namespace vb::platform
