#pragma once

#include "forms/control.h"
#include "forms/control_visitor.h"

namespace vb::forms {

// A progress bar with single-precision Max and Value and the fixed minimum 0. A Max not
// above the minimum (or below the current Value), or a Value outside Min..Max, is refused
// with InvalidPropertyValue and changes nothing.
class ProgressBar : public Control {
  public:
    using Control::Control;
    const char* TypeName() const override { return "ProgressBar"; }
    void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }

    float Min() const { return 0.0f; }
    float Max() const { return max_; }
    float Value() const { return value_; }
    void SetMax(float max);
    void SetValue(float value);
    // The value as it is, told to the view again: a wait with nothing to show (a deletion
    // still running behind the last page) lets the desktop see the program alive, as each
    // page's progress does.
    void KeepShown() { Notify(Change::Progress); }

    // The steps of the whole-number scale a view's bar shows Value out of Max on (toolkits'
    // bars take whole numbers only), and Value on that scale, rounded to the nearest step.
    static constexpr int kScale = 10000;
    int ScaledValue() const;

  private:
    float max_ = 100.0f;
    float value_ = 0.0f;
};

}  // namespace vb::forms
