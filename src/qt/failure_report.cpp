#include "qt/failure_report.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/app_title.h"

namespace vb::qtview {

void ReportFailure(const std::string& description) {
    QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(platform::kAppTitle),
                          QString::fromStdString(description));
}

}  // namespace vb::qtview
