#include "winutil/api_set_window_pos.h"

#include <cmath>

#include "forms/screen.h"

namespace vb::winutil {

namespace {

// Insert-after values and flags of the platform's window-position call.
constexpr long kHwndTopMost = -1;
constexpr long kHwndNoTopMost = -2;
constexpr unsigned kNoSize = 0x0001;
constexpr unsigned kNoMove = 0x0002;
constexpr unsigned kNoActivate = 0x0010;

// The window-position call over the form layer: the z-order band, position and size in
// pixels unless the flags keep them, and activation unless the flags forbid it.
void SetWindowPos(forms::Form& form, long insertAfter, int x, int y, int cx, int cy,
                  unsigned flags) {
    if (insertAfter == kHwndTopMost) form.SetTopMost(true);
    if (insertAfter == kHwndNoTopMost) form.SetTopMost(false);
    const forms::Screen& screen = forms::GetScreen();
    if (!(flags & kNoMove)) {
        form.SetLeft(static_cast<int>(std::lround(x * screen.TwipsPerPixelX())));
        form.SetTop(static_cast<int>(std::lround(y * screen.TwipsPerPixelY())));
    }
    if (!(flags & kNoSize)) {
        form.SetWidth(static_cast<int>(std::lround(cx * screen.TwipsPerPixelX())));
        form.SetHeight(static_cast<int>(std::lround(cy * screen.TwipsPerPixelY())));
    }
    if (!(flags & kNoActivate)) form.Activate();
}

}  // namespace

void SetTopMost(forms::Form& form, bool activate) {
    const unsigned flags = activate ? (kNoSize | kNoMove) : (kNoSize | kNoMove | kNoActivate);
    SetWindowPos(form, kHwndTopMost, 0, 0, 0, 0, flags);
}

}  // namespace vb::winutil
