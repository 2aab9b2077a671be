#pragma once

#include "forms/line.h"
#include "forms/shape.h"
#include "win32/control_view.h"

namespace vb::win32view {

// A line painted on its container's surface by the form window, with the colour resolved
// each time it is painted. Like the platform's line drawing, the last pixel is not drawn.
class LineView : public ControlView {
  public:
    LineView(forms::Line& line, HWND surface);
    bool IsGraphical() const override { return true; }
    void Paint(HDC dc) override;

  private:
    forms::Line& line_;
};

// A shape's outline painted on its container's surface; its inside stays transparent.
class ShapeView : public ControlView {
  public:
    ShapeView(forms::Shape& shape, HWND surface);
    bool IsGraphical() const override { return true; }
    void Paint(HDC dc) override;

  private:
    forms::Shape& shape_;
};

}  // namespace vb::win32view
