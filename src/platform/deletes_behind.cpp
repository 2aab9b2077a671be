// The deletion of a moved-aside folder on a helper thread.
#include "platform/deletes_behind.h"

#include <utility>

#include "platform/file_system.h"

namespace vb::platform {

DeletesBehind::~DeletesBehind() { Wait(); }

void DeletesBehind::Start(std::string aside, std::string path) {
    helper_ = std::thread([this, aside = std::move(aside), path = std::move(path)] {
        try {
            if (!aside.empty()) fso_.DeleteMovedAside(aside, path);
        } catch (...) {
            failure_ = std::current_exception();
        }
        fso_.RemoveLeftOverAsides(path);
        const std::lock_guard lock(lock_);
        done_ = true;
        ended_.notify_all();
    });
}

void DeletesBehind::Wait() {
    if (!helper_.joinable()) return;
    std::unique_lock lock(lock_);
    while (!ended_.wait_for(lock, kPulse, [this] { return done_; })) {
        lock.unlock();
        if (whileWaiting_) whileWaiting_();
        lock.lock();
    }
    lock.unlock();
    helper_.join();
}

void DeletesBehind::Finish() {
    Wait();
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

}  // namespace vb::platform
