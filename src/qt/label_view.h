#pragma once

#include "forms/label.h"
#include "qt/control_view.h"

class QLabel;

namespace vb::qtview {

// A label as a QLabel on its container's surface, in its fore colour; a click (mouse
// button released over it) raises the label's Click, and so does a double click, once. The label
// stands at its position and grows beyond its size where this system's font needs more room than
// the size gives, so that no caption is cut off.
class LabelView : public ControlView {
  public:
    LabelView(forms::Label& label, QWidget* parent);
    bool IsGraphical() const override { return true; }
    bool TakesFocus() const override { return false; }

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;
    void ApplyGeometry() override;

  private:
    void ApplyAppearance();

    forms::Label& label_;
    QLabel* qlabel_;
};

}  // namespace vb::qtview
