#include "win32/geometry.h"

#include <cmath>

#include "forms/line.h"
#include "forms/screen.h"

namespace vb::win32view {

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

RECT PixelRect(const forms::Control& c) {
    // Right and bottom edges are converted on their own, so neighbouring controls that
    // share an edge in twips share it in pixels too.
    return {ToPixelsX(c.Left()), ToPixelsY(c.Top()), ToPixelsX(c.Left() + c.Width()),
            ToPixelsY(c.Top() + c.Height())};
}

POINT PixelStart(const forms::Line& line) { return {ToPixelsX(line.X1()), ToPixelsY(line.Y1())}; }
POINT PixelEnd(const forms::Line& line) { return {ToPixelsX(line.X2()), ToPixelsY(line.Y2())}; }

}  // namespace vb::win32view
