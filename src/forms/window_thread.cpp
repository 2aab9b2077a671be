#include "forms/window_thread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace vb::forms {

namespace {

// Written by the window's thread when it makes a form, read by every check: a helper thread
// started after the form was made sees the window's thread id.
std::atomic<std::thread::id> windowThread;
std::atomic<OffThreadHandler> offThread{nullptr};

}  // namespace

void BindWindowThread() {
    // Once: a form made later on another thread must not take the window's thread from the
    // window's own calls; it is itself a touch off that thread.
    std::thread::id none;
    if (windowThread.compare_exchange_strong(none, std::this_thread::get_id())) return;
    CheckWindowThread("a form");
}

void CheckWindowThread(const char* what) {
    const std::thread::id bound = windowThread.load(std::memory_order_relaxed);
    if (bound == std::thread::id() || bound == std::this_thread::get_id()) return;
    if (OffThreadHandler handler = offThread.load()) return handler(what);
    std::fprintf(stderr, "%s touched off the window's thread\n", what);
    std::abort();
}

OffThreadHandler SetOffThreadHandlerForTesting(OffThreadHandler handler) {
    return offThread.exchange(handler);
}

}  // namespace vb::forms
