#pragma once

#include <string>

#include "forms/colors.h"
#include "forms/control.h"
#include "forms/control_visitor.h"

namespace vb::forms {

// A static caption. It has no Text property.
class Label : public Control {
  public:
    using Control::Control;
    const char* TypeName() const override { return "Label"; }
    void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color c);

    // Raised by the view when the label is clicked.
    std::function<void()> Click;

    std::unique_ptr<Control> LoadCopy(int index) const override;

  private:
    std::string caption_;
    Color foreColor_ = kWindowText;
};

}  // namespace vb::forms
