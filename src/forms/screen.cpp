#include "forms/screen.h"

#include <cmath>

#include "forms/errors.h"

namespace vb::forms {

namespace {
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;
constexpr float kDefaultTwipsPerPixel = 15.0f;
}  // namespace

Screen::Screen()
    : widthPixels_(kDefaultWidth),
      heightPixels_(kDefaultHeight),
      twipsPerPixelX_(kDefaultTwipsPerPixel),
      twipsPerPixelY_(kDefaultTwipsPerPixel),
      workArea_{0, 0, kDefaultWidth, kDefaultHeight} {}

void Screen::SetGeometry(int widthPixels, int heightPixels, float twipsPerPixelX,
                         float twipsPerPixelY, const PixelRect& workArea) {
    if (widthPixels <= 0 || heightPixels <= 0 || !(twipsPerPixelX > 0) || !(twipsPerPixelY > 0))
        throw InvalidPropertyValue();
    widthPixels_ = widthPixels;
    heightPixels_ = heightPixels;
    twipsPerPixelX_ = twipsPerPixelX;
    twipsPerPixelY_ = twipsPerPixelY;
    workArea_ = workArea;
    Notify(Change::Geometry);
}

void Screen::SetMousePointer(int kind) {
    mousePointer_ = kind;
    Notify(Change::Pointer);
}

void Screen::SetMouseIcon(std::shared_ptr<const Picture> picture) {
    mouseIcon_ = std::move(picture);
    Notify(Change::Pointer);
}

Screen& GetScreen() {
    static Screen screen;
    return screen;
}

int ToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips / GetScreen().TwipsPerPixelX()));
}
int ToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips / GetScreen().TwipsPerPixelY()));
}
int ToTwipsX(int pixels) {
    return static_cast<int>(std::lround(pixels * GetScreen().TwipsPerPixelX()));
}
int ToTwipsY(int pixels) {
    return static_cast<int>(std::lround(pixels * GetScreen().TwipsPerPixelY()));
}

PixelRect PixelBox(const Control& control) {
    return {ToPixelsX(control.Left()), ToPixelsY(control.Top()),
            ToPixelsX(control.Left() + control.Width()),
            ToPixelsY(control.Top() + control.Height())};
}

PointerShape ShapeOfPointer(int kind, bool hasPicture) {
    switch (kind) {
        case kPointerDefault:
            return PointerShape::Default;
        case kPointerCustom:
            return hasPicture ? PointerShape::Picture : PointerShape::Arrow;
        case 2:
            return PointerShape::Cross;
        case 3:
            return PointerShape::IBeam;
        case 5:
        case 15:
            return PointerShape::SizeAll;
        case 6:
            return PointerShape::SizeNESW;
        case 7:
            return PointerShape::SizeNS;
        case 8:
            return PointerShape::SizeNWSE;
        case 9:
            return PointerShape::SizeWE;
        case 10:
            return PointerShape::UpArrow;
        case 11:
            return PointerShape::Wait;
        case 12:
            return PointerShape::No;
        case 13:
            return PointerShape::ArrowAndWait;
        case 14:
            return PointerShape::Help;
        default:
            return PointerShape::Arrow;
    }
}

}  // namespace vb::forms
