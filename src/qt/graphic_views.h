#pragma once

#include "forms/line.h"
#include "forms/shape.h"
#include "qt/control_view.h"

namespace vb::qtview {

// A line drawn on its container's surface by a transparent widget that covers it; the
// colour is resolved from the palette each time it is painted. Like the platform's line
// drawing, the last pixel of the line is not drawn.
class LineView : public ControlView {
  public:
    LineView(forms::Line& line, QWidget* parent);
    bool IsGraphical() const override { return true; }
    bool TakesFocus() const override { return false; }

  protected:
    void UpdateOwn(forms::Change change) override;
    void ApplyGeometry() override;
};

// A shape's outline drawn on its container's surface by a transparent widget.
class ShapeView : public ControlView {
  public:
    ShapeView(forms::Shape& shape, QWidget* parent);
    bool IsGraphical() const override { return true; }
    bool TakesFocus() const override { return false; }

  protected:
    void UpdateOwn(forms::Change change) override;
};

}  // namespace vb::qtview
