#pragma once

#include "forms/bordered.h"
#include "forms/control.h"
#include "forms/control_visitor.h"

namespace vb::forms {

// A straight line from (X1, Y1) to (X2, Y2), in twips relative to its container (single
// precision, as the platform keeps them). A line has no Left, Top, Width or Height of its
// own: setting them is refused with PropertyNotSupported.
class Line : public Control, public Bordered {
  public:
    using Control::Control;
    const char* TypeName() const override { return "Line"; }
    void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }

    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }
    void SetX1(float v);
    void SetY1(float v);
    void SetX2(float v);
    void SetY2(float v);

    void SetLeft(int) override;
    void SetTop(int) override;
    void SetWidth(int) override;
    void SetHeight(int) override;

    std::unique_ptr<Control> LoadCopy(int index) const override;

  protected:
    void BorderChanged() override { Notify(Change::Appearance); }

  private:
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

}  // namespace vb::forms
