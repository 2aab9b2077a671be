#include "qt/message_box_service.h"

#include <QMessageBox>

#include "platform/app_title.h"

namespace vb::qtview {

namespace {

QMessageBox::Icon ToQt(platform::MsgIcon icon) {
    switch (icon) {
        case platform::MsgIcon::Critical:
            return QMessageBox::Critical;
        case platform::MsgIcon::Question:
            return QMessageBox::Question;
        case platform::MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case platform::MsgIcon::Information:
            return QMessageBox::Information;
        case platform::MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The program's lines end in CR LF; Qt breaks lines at LF alone.
QString ShownText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

}  // namespace

platform::MsgResult QtMessageBoxService::Show(const std::string& text, platform::MsgButtons buttons,
                                              platform::MsgIcon icon, const std::string& caption) {
    QMessageBox box(parent_.data());
    box.setIcon(ToQt(icon));
    box.setWindowTitle(QString::fromStdString(caption.empty() ? platform::kAppTitle : caption));
    box.setText(ShownText(text));
    box.setTextFormat(Qt::PlainText);
    if (buttons == platform::MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    const int answer = box.exec();
    if (buttons == platform::MsgButtons::YesNo)
        return answer == QMessageBox::Yes ? platform::MsgResult::Yes : platform::MsgResult::No;
    return platform::MsgResult::OK;
}

}  // namespace vb::qtview
