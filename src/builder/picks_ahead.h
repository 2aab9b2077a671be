#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vb::builder {

class PreparedSource;

// The source picks of the coming pages, made on one helper thread while the window's thread
// writes the pages before them. The helper makes the picks one after another (each drawn,
// opened, read and prepared there) and stays ahead of the picks taken by at most a number
// of picks and a number of bytes, so the window's thread takes them in the order of the
// draws. A failure of a pick's
// making is kept in that pick's place: Take throws it when that pick is reached, and the
// helper makes nothing after it. The helper never touches the form.
class PicksAhead {
  public:
    // A pick and the bytes it holds by itself: what nothing else keeps for it.
    struct Made {
        std::shared_ptr<PreparedSource> pick;
        std::size_t ownBytes = 0;
    };
    using Make = std::function<Made()>;

    // Starts the helper on count picks, never more than mostAhead (at least one) made and
    // not yet taken. The waiting picks hold at most mostBytes of their own: the helper
    // starts another only while they hold less, so the last one made may pass the mark by
    // its own size, and a pick bigger than the mark waits alone. make is called on the helper
    // alone; what it uses must outlive this object.
    PicksAhead(Make make, std::size_t count, std::size_t mostAhead, std::size_t mostBytes);
    // Stops the helper and waits for it, whether every pick was taken or not, so that no
    // thread outlives the run however it ends.
    ~PicksAhead();
    PicksAhead(const PicksAhead&) = delete;
    PicksAhead& operator=(const PicksAhead&) = delete;

    // The next pick; waits for it when the helper is behind. Throws what its making threw.
    std::shared_ptr<PreparedSource> Take();

  private:
    void MakeAll();
    // A side wakes the other only past these marks, not at every pick: the hand-over costs
    // a wake-up of a thread, which a million picks would pay a million times.
    bool Full() const;
    bool RoomToMake() const;
    bool EnoughToTake() const;

    Make make_;
    const std::size_t count_;
    const std::size_t mostAhead_, mostBytes_;
    std::size_t taken_ = 0, madeSoFar_ = 0;
    std::size_t waitingBytes_ = 0;  // the own bytes of the picks in made_

    std::mutex mutex_;
    std::condition_variable madeSome_, tookSome_;
    std::deque<Made> made_;
    std::exception_ptr failure_;  // what the pick after the made ones threw
    bool stop_ = false;
    bool takerWaits_ = false, makerWaits_ = false;
    std::thread helper_;  // last: it starts when everything it uses is there
};

}  // namespace vb::builder
