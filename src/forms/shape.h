#pragma once

#include "forms/bordered.h"
#include "forms/control.h"
#include "forms/control_visitor.h"

namespace vb::forms {

enum ShapeKinds : int {
    kShapeRectangle = 0,
    kShapeSquare = 1,
    kShapeOval = 2,
    kShapeCircle = 3,
    kShapeRoundedRectangle = 4,
    kShapeRoundedSquare = 5,
};

// A rectangle, square, oval or circle outline within Left, Top, Width and Height; its
// inside is transparent. A Shape outside 0..5 is refused with InvalidPropertyValue.
class Shape : public Control, public Bordered {
  public:
    using Control::Control;
    const char* TypeName() const override { return "Shape"; }
    void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }

    int Kind() const { return kind_; }  // the Shape property
    void SetKind(int kind);

    std::unique_ptr<Control> LoadCopy(int index) const override;

  protected:
    void BorderChanged() override { Notify(Change::Appearance); }

  private:
    int kind_ = kShapeRectangle;
};

}  // namespace vb::forms
