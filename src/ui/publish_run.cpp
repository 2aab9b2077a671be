#include "ui/publish_run.h"

#include <exception>
#include <utility>

#include "platform/app_title.h"

namespace vb::ui {

PublishRun::PublishRun(publish::PublishJob job, std::unique_ptr<publish::Transfer> transfer)
    : transfer_(std::move(transfer)) {
    thread_ = std::thread([this, job = std::move(job)] {
        publish::PublishReport report;
        try {
            report = publish::Publish(job, *transfer_, reporter_, stop_);
        } catch (const std::exception& failure) {
            report.result = publish::PublishResult::Failed;
            report.text = failure.what();
        } catch (...) {
            report.result = publish::PublishResult::Failed;
            report.text = platform::kUnexpectedFailure;
        }
        const std::lock_guard lock(mutex_);
        news_.report = std::move(report);
    });
}

PublishRun::~PublishRun() {
    Stop();
    if (thread_.joinable()) thread_.join();
}

PublishRun::News PublishRun::Take() {
    const std::lock_guard lock(mutex_);
    News taken = std::move(news_);
    news_ = News{};
    news_.done = taken.done;
    news_.total = taken.total;
    return taken;
}

void PublishRun::Reporter::Line(const std::string& text) {
    const std::lock_guard lock(run_.mutex_);
    run_.news_.lines.push_back(text);
}

void PublishRun::Reporter::Files(std::size_t done, std::size_t total) {
    const std::lock_guard lock(run_.mutex_);
    run_.news_.done = done;
    run_.news_.total = total;
}

}  // namespace vb::ui
