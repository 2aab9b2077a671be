// The closes of written files on a helper thread.
#include "platform/closes_behind.h"

#include "platform/file_system.h"
#include "platform/system_error.h"

namespace vb::platform {

ClosesBehind::ClosesBehind(FileSystemObject& fso, std::size_t mostWaiting)
    : fso_(fso), mostWaiting_(mostWaiting) {
    if (mostWaiting_ == 0) return;
    helper_ = std::thread([this] { CloseAll(); });
    fso_.closesBehind_ = this;
}

ClosesBehind::~ClosesBehind() {
    if (!helper_.joinable()) return;
    fso_.closesBehind_ = nullptr;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    handed_.notify_one();
    helper_.join();  // the helper closes what still waits before it ends
}

void ClosesBehind::Hand(FileHandle file, const std::string& path) {
    std::unique_lock lock(mutex_);
    ThrowFirstFailure();
    closed_.wait(lock, [this] { return waiting_.size() < mostWaiting_ || failedError_ != 0; });
    ThrowFirstFailure();
    waiting_.push_back({std::move(file), path});
    lock.unlock();
    handed_.notify_one();
}

void ClosesBehind::Finish() {
    if (!helper_.joinable()) return;
    std::unique_lock lock(mutex_);
    closed_.wait(lock, [this] { return waiting_.empty() && !closing_; });
    ThrowFirstFailure();
}

void ClosesBehind::ThrowFirstFailure() const {
    if (failedError_ != 0) ThrowFailure(kCannotWrite, failedPath_, failedError_);
}

void ClosesBehind::CloseAll() {
    std::unique_lock lock(mutex_);
    for (;;) {
        handed_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
        if (waiting_.empty()) return;  // stopped with nothing left to close
        Written next = std::move(waiting_.front());
        waiting_.pop_front();
        closing_ = true;
        lock.unlock();
        const int error = fso_.CloseWritten(next.file);
        lock.lock();
        closing_ = false;
        if (error != 0 && failedError_ == 0) {
            failedError_ = error;
            failedPath_ = std::move(next.path);
        }
        closed_.notify_all();
    }
}

}  // namespace vb::platform
