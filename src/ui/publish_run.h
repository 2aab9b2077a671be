#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "publish/publisher.h"
#include "publish/transfer.h"

namespace vb::ui {

// A publish on a helper thread of its own, so that the window's thread goes on handling the
// desktop's events through the network's long waits. The helper touches nothing of the
// window: what the publish reports waits here, under this object's one lock, until the
// window's thread takes it (Take, from the window's timer).
class PublishRun {
  public:
    PublishRun(publish::PublishJob job, std::unique_ptr<publish::Transfer> transfer);
    // Asks the publish to stop and waits for its thread: the publish ends within its
    // transfer's next wait, with the site whole.
    ~PublishRun();
    PublishRun(const PublishRun&) = delete;
    PublishRun& operator=(const PublishRun&) = delete;

    // Asks the publish to stop; returns at once.
    void Stop() { stop_ = true; }
    bool Stopping() const { return stop_; }

    // What the publish said since the last Take: its log lines in order, the files sent of
    // all, and its report once it has ended (then the thread has nothing left to do).
    struct News {
        std::vector<std::string> lines;
        std::size_t done = 0, total = 0;
        std::optional<publish::PublishReport> report;
    };
    News Take();

  private:
    class Reporter final : public publish::PublishProgress {
      public:
        explicit Reporter(PublishRun& run) : run_(run) {}
        void Line(const std::string& text) override;
        void Files(std::size_t done, std::size_t total) override;

      private:
        PublishRun& run_;
    };

    std::atomic<bool> stop_{false};
    std::unique_ptr<publish::Transfer> transfer_;
    Reporter reporter_{*this};
    std::mutex mutex_;  // over news_
    News news_;
    std::thread thread_;  // last: starts once everything above exists
};

}  // namespace vb::ui
