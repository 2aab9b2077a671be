#include "qt/failure_report.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/app_title.h"

namespace vb::qtview {

namespace {

void ShowCritical(const std::string& description) {
    QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(platform::kAppTitle),
                          QString::fromStdString(description));
}

std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter = ShowCritical;
    return reporter;
}

}  // namespace

void SetFailureReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = reporter ? std::move(reporter) : ShowCritical;
}

void ReportFailure(const std::string& description) { Reporter()(description); }

}  // namespace vb::qtview
