#include "qt/failure_report.h"

#include <QApplication>
#include <QMessageBox>

#include "forms/guarded_call.h"
#include "platform/app_title.h"

namespace vb::qtview {

namespace {

void ReportFailure(const std::string& description) {
    QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(platform::kAppTitle),
                          QString::fromStdString(description));
}

}  // namespace

void RunGuarded(const std::function<void()>& handler) {
    forms::RunGuarded(handler, ReportFailure, platform::kUnexpectedFailure);
}

}  // namespace vb::qtview
