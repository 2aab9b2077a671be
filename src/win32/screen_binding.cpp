#include "win32/screen_binding.h"

#include "win32/cursors.h"
#include "win32/owned_handles.h"

namespace vb::win32view {

namespace {

ScreenBinding* g_current = nullptr;

float TwipsPerPixel(int axis) {
    const WindowDc screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), axis) : 96;
    return 1440.0f / static_cast<float>(dpi > 0 ? dpi : 96);
}

}  // namespace

float SystemTwipsPerPixelX() { return TwipsPerPixel(LOGPIXELSX); }
float SystemTwipsPerPixelY() { return TwipsPerPixel(LOGPIXELSY); }

ScreenBinding::ScreenBinding(forms::Screen& screen) : screen_(screen) {
    Refresh();
    // The pointer is asked for at each WM_SETCURSOR; a change shows at the next mouse move.
    screen_.SetObserver([](forms::Change change) {
        if (change == forms::Change::Pointer) {
            POINT at;
            if (GetCursorPos(&at)) SetCursorPos(at.x, at.y);
        }
    });
    g_current = this;
}

ScreenBinding::~ScreenBinding() {
    screen_.SetObserver(nullptr);
    if (g_current == this) g_current = nullptr;
}

void ScreenBinding::Refresh() {
    RECT work{};
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) work = {0, 0, width, height};
    screen_.SetGeometry(width, height, SystemTwipsPerPixelX(), SystemTwipsPerPixelY(),
                        {work.left, work.top, work.right, work.bottom});
}

HCURSOR ScreenBinding::Cursor() const {
    return PointerCursor(screen_.MousePointer(), screen_.MouseIcon());
}

ScreenBinding* CurrentScreenBinding() { return g_current; }

}  // namespace vb::win32view
