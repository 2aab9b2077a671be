#pragma once

#include <functional>
#include <memory>

#include "forms/control.h"

namespace vb::forms {

struct Picture;

// A rectangle in pixels; right and bottom are the first column and row outside it.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The screen the program's windows appear on: its size, its twips per pixel and its work
// area (the screen without the task bar and docked panels), filled in by the view. The
// pointer set here applies to the whole application.
class Screen {
  public:
    Screen();

    // Size in twips (single precision).
    float Width() const { return static_cast<float>(widthPixels_) * twipsPerPixelX_; }
    float Height() const { return static_cast<float>(heightPixels_) * twipsPerPixelY_; }
    float TwipsPerPixelX() const { return twipsPerPixelX_; }
    float TwipsPerPixelY() const { return twipsPerPixelY_; }
    int WidthPixels() const { return widthPixels_; }
    int HeightPixels() const { return heightPixels_; }
    // The work area in pixels.
    const PixelRect& WorkArea() const { return workArea_; }

    // Size in pixels, twips per pixel and the work area. Non-positive sizes or twips per
    // pixel are refused with InvalidPropertyValue.
    void SetGeometry(int widthPixels, int heightPixels, float twipsPerPixelX, float twipsPerPixelY,
                     const PixelRect& workArea);

    // Application-wide pointer: kind 0 is the default, 99 takes the picture in MouseIcon.
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int kind);
    const std::shared_ptr<const Picture>& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(std::shared_ptr<const Picture> picture);

    void SetObserver(std::function<void(Change)> observer) { observer_ = std::move(observer); }

  private:
    void Notify(Change change) const {
        CheckWindowThread("the screen");
        if (observer_) observer_(change);
    }

    int widthPixels_;
    int heightPixels_;
    float twipsPerPixelX_;
    float twipsPerPixelY_;
    PixelRect workArea_;
    int mousePointer_ = 0;
    std::shared_ptr<const Picture> mouseIcon_;
    std::function<void(Change)> observer_;
};

// The process-wide screen object. Until a view fills it in it describes a 1024 x 768 screen
// at 15 twips per pixel whose work area is the whole screen.
Screen& GetScreen();

// Twips of the form layer to whole pixels of the screen and back, rounded to the nearest,
// at the screen's twips per pixel: what every view draws with.
int ToPixelsX(double twips);
int ToPixelsY(double twips);
int ToTwipsX(int pixels);
int ToTwipsY(int pixels);

// A control's box in pixels within its container. The right and bottom edges are converted
// on their own, so neighbouring controls that share an edge in twips share it in pixels too.
PixelRect PixelBox(const Control& control);

// Mouse pointer kinds used by the program.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerCustom = 99;

// What a view shows for a pointer kind: one of the system's standard shapes (the first
// kStandardPointers values, in this order), the picture (kPointerCustom with a MouseIcon), or
// Default: no pointer of the control's own (a widget shows its toolkit's, the screen none).
// An unknown kind, or kPointerCustom without a picture, shows the arrow.
enum class PointerShape {
    Arrow,
    Cross,
    IBeam,
    SizeAll,
    SizeNESW,
    SizeNS,
    SizeNWSE,
    SizeWE,
    UpArrow,
    Wait,
    No,
    ArrowAndWait,
    Help,
    Default,
    Picture,
};
inline constexpr int kStandardPointers = static_cast<int>(PointerShape::Default);
PointerShape ShapeOfPointer(int kind, bool hasPicture);

}  // namespace vb::forms
