#include "forms/screen.h"

#include <cmath>
#include <iterator>

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
    using enum PointerShape;
    // Kinds 0 to 15: 4 (an icon) shows the arrow, 15 is a second number for size-all.
    static constexpr PointerShape kByKind[] = {
        Default,  Arrow,  Cross,   IBeam, Arrow, SizeAll,      SizeNESW, SizeNS,
        SizeNWSE, SizeWE, UpArrow, Wait,  No,    ArrowAndWait, Help,     SizeAll};
    if (kind == kPointerCustom) return hasPicture ? Picture : Arrow;
    if (kind < 0 || kind >= static_cast<int>(std::size(kByKind))) return Arrow;
    return kByKind[kind];
}

}  // namespace vb::forms
