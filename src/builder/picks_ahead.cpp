// The source picks of the coming pages, made on a helper thread ahead of the page loop.
#include "builder/picks_ahead.h"

#include <algorithm>
#include <stdexcept>

namespace vb::builder {

PicksAhead::PicksAhead(Make make, std::size_t count, std::size_t mostAhead, std::size_t mostBytes)
    : make_(std::move(make)),
      count_(count),
      mostAhead_(std::max<std::size_t>(mostAhead, 1)),
      mostBytes_(mostBytes) {
    if (count_ > 0) helper_ = std::thread([this] { MakeAll(); });
}

PicksAhead::~PicksAhead() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    tookSome_.notify_one();
    if (helper_.joinable()) helper_.join();
}

bool PicksAhead::Full() const {
    return made_.size() >= mostAhead_ || (!made_.empty() && waitingBytes_ >= mostBytes_);
}

bool PicksAhead::RoomToMake() const {
    return made_.size() <= mostAhead_ / 2 && (made_.empty() || waitingBytes_ <= mostBytes_ / 2);
}

// Whenever the helper is full, the taker has enough: neither waits on the other at once.
bool PicksAhead::EnoughToTake() const {
    return failure_ || madeSoFar_ == count_ || made_.size() >= (mostAhead_ + 1) / 2 ||
           waitingBytes_ >= mostBytes_ / 2;
}

void PicksAhead::MakeAll() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (Full()) {
                makerWaits_ = true;
                tookSome_.wait(lock, [this] { return stop_ || RoomToMake(); });
                makerWaits_ = false;
            }
            if (stop_) return;
        }
        Made pick;
        std::exception_ptr failure;
        try {
            pick = make_();
        } catch (...) {
            failure = std::current_exception();
        }
        bool wake = false, last = false;
        {
            std::lock_guard lock(mutex_);
            if (failure) {
                failure_ = failure;
            } else {
                waitingBytes_ += pick.ownBytes;
                made_.push_back(std::move(pick));
            }
            last = failure || ++madeSoFar_ == count_;
            wake = takerWaits_ && EnoughToTake();
        }
        if (wake) madeSome_.notify_one();
        if (last) return;
    }
}

std::shared_ptr<PreparedSource> PicksAhead::Take() {
    std::unique_lock lock(mutex_);
    if (taken_ == count_) throw std::logic_error("PicksAhead: every pick was taken");
    if (made_.empty() && !failure_) {
        takerWaits_ = true;
        madeSome_.wait(lock, [this] { return EnoughToTake(); });
        takerWaits_ = false;
    }
    if (made_.empty()) std::rethrow_exception(failure_);
    waitingBytes_ -= made_.front().ownBytes;
    std::shared_ptr<PreparedSource> pick = std::move(made_.front().pick);
    made_.pop_front();
    ++taken_;
    const bool wake = makerWaits_ && RoomToMake();
    lock.unlock();
    if (wake) tookSome_.notify_one();
    return pick;
}

}  // namespace vb::builder
