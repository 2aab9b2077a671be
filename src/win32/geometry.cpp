#include "win32/geometry.h"

#include "forms/line.h"

namespace vb::win32view {

RECT PixelRect(const forms::Control& c) {
    const forms::PixelRect box = forms::PixelBox(c);
    return {box.Left, box.Top, box.Right, box.Bottom};
}

POINT PixelStart(const forms::Line& line) {
    return {forms::ToPixelsX(line.X1()), forms::ToPixelsY(line.Y1())};
}
POINT PixelEnd(const forms::Line& line) {
    return {forms::ToPixelsX(line.X2()), forms::ToPixelsY(line.Y2())};
}

}  // namespace vb::win32view
