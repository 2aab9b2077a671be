#include "win32/graphic_views.h"

#include <algorithm>
#include <cstdlib>

#include "win32/geometry.h"
#include "win32/owned_handles.h"
#include "win32/system_colors.h"

namespace vb::win32view {

namespace {

int PenStyleOf(int borderStyle) {
    switch (borderStyle) {
        case forms::kBorderTransparent:
            return PS_NULL;
        case forms::kBorderDash:
            return PS_DASH;
        case forms::kBorderDot:
            return PS_DOT;
        case forms::kBorderDashDot:
            return PS_DASHDOT;
        case forms::kBorderDashDotDot:
            return PS_DASHDOTDOT;
        default:
            return PS_SOLID;
    }
}

// Selects a pen of the border's colour, style and width; restores the old one when done.
class BorderPen {
  public:
    BorderPen(HDC dc, const forms::Bordered& b)
        : dc_(dc),
          pen_(CreatePen(PenStyleOf(b.BorderStyle()), b.BorderWidth(),
                         ResolveColor(b.BorderColor()))),
          old_(SelectObject(dc, pen_.get())) {}
    // The old pen is back before the pen_ member goes.
    ~BorderPen() { SelectObject(dc_, old_); }
    BorderPen(const BorderPen&) = delete;
    BorderPen& operator=(const BorderPen&) = delete;

  private:
    HDC dc_;
    UniqueGdiObject<HPEN> pen_;
    HGDIOBJ old_;
};

}  // namespace

LineView::LineView(forms::Line& line, HWND surface)
    : ControlView(line, nullptr, surface), line_(line) {}

void LineView::Paint(HDC dc) {
    if (line_.BorderStyle() == forms::kBorderTransparent) return;
    const POINT a = PixelStart(line_);
    const POINT b = PixelEnd(line_);
    if (a.x == b.x && a.y == b.y) return;
    const int t = line_.BorderWidth();
    if (line_.BorderStyle() == forms::kBorderSolid && (a.x == b.x || a.y == b.y)) {
        // Straight solid lines are filled pixel-exact, as thick as the pen below or right of
        // the line.
        RECT run = a.y == b.y ? RECT{std::min(a.x, b.x), a.y, std::max(a.x, b.x), a.y + t}
                              : RECT{a.x, std::min(a.y, b.y), a.x + t, std::max(a.y, b.y)};
        const UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(ResolveColor(line_.BorderColor())));
        FillRect(dc, &run, brush.get());
        return;
    }
    BorderPen pen(dc, line_);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
}

ShapeView::ShapeView(forms::Shape& shape, HWND surface)
    : ControlView(shape, nullptr, surface), shape_(shape) {}

void ShapeView::Paint(HDC dc) {
    if (shape_.BorderStyle() == forms::kBorderTransparent) return;
    const int t = shape_.BorderWidth();
    RECT box = PixelRect(shape_);
    InflateRect(&box, -(t / 2), -(t / 2));
    const int kind = shape_.Kind();
    if (kind == forms::kShapeSquare || kind == forms::kShapeCircle ||
        kind == forms::kShapeRoundedSquare) {
        const int side = std::min(box.right - box.left, box.bottom - box.top);
        const int cx = (box.left + box.right) / 2;
        const int cy = (box.top + box.bottom) / 2;
        box = {cx - side / 2, cy - side / 2, cx - side / 2 + side, cy - side / 2 + side};
    }
    BorderPen pen(dc, shape_);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    switch (kind) {
        case forms::kShapeOval:
        case forms::kShapeCircle:
            Ellipse(dc, box.left, box.top, box.right, box.bottom);
            break;
        case forms::kShapeRoundedRectangle:
        case forms::kShapeRoundedSquare: {
            const int corner = std::min(box.right - box.left, box.bottom - box.top) / 4;
            RoundRect(dc, box.left, box.top, box.right, box.bottom, corner, corner);
            break;
        }
        default:
            Rectangle(dc, box.left, box.top, box.right, box.bottom);
            break;
    }
    SelectObject(dc, oldBrush);
}

}  // namespace vb::win32view
