#include "qt/geometry.h"

#include "forms/line.h"

namespace vb::qtview {

QRect PixelRect(const forms::Control& c) {
    const forms::PixelRect box = forms::PixelBox(c);
    return QRect(box.left, box.top, box.right - box.left, box.bottom - box.top);
}

QPoint PixelStart(const forms::Line& line) {
    return {forms::ToPixelsX(line.X1()), forms::ToPixelsY(line.Y1())};
}
QPoint PixelEnd(const forms::Line& line) {
    return {forms::ToPixelsX(line.X2()), forms::ToPixelsY(line.Y2())};
}

}  // namespace vb::qtview
