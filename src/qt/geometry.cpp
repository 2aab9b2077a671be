#include "qt/geometry.h"

#include <cmath>

#include "forms/line.h"
#include "forms/screen.h"

namespace vb::qtview {

int ToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips / forms::GetScreen().TwipsPerPixelX()));
}
int ToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips / forms::GetScreen().TwipsPerPixelY()));
}
int ToTwipsX(int pixels) {
    return static_cast<int>(std::lround(pixels * forms::GetScreen().TwipsPerPixelX()));
}
int ToTwipsY(int pixels) {
    return static_cast<int>(std::lround(pixels * forms::GetScreen().TwipsPerPixelY()));
}

QRect PixelRect(const forms::Control& c) {
    const int left = ToPixelsX(c.Left());
    const int top = ToPixelsY(c.Top());
    // Right and bottom edges are converted on their own, so neighbouring controls that
    // share an edge in twips share it in pixels too.
    return QRect(left, top, ToPixelsX(c.Left() + c.Width()) - left,
                 ToPixelsY(c.Top() + c.Height()) - top);
}

QPoint PixelStart(const forms::Line& line) { return {ToPixelsX(line.X1()), ToPixelsY(line.Y1())}; }
QPoint PixelEnd(const forms::Line& line) { return {ToPixelsX(line.X2()), ToPixelsY(line.Y2())}; }

}  // namespace vb::qtview
