#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/message_box.h"

namespace vb::qtview {

// Modal message boxes drawn with QMessageBox, parented to the program's window so that they
// open above it even when it stays on top. Yes is the default button and Escape answers No.
// An empty caption shows the application title. The standard buttons' texts come from the
// translations the program loaded.
class QtMessageBoxService : public platform::MessageBoxService {
  public:
    explicit QtMessageBoxService(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    platform::MsgResult Show(const std::string& text, platform::MsgButtons buttons,
                             platform::MsgIcon icon, const std::string& caption) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace vb::qtview
