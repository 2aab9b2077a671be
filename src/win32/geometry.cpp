#include "win32/geometry.h"

#include "forms/line.h"
#include "win32/owned_handles.h"

namespace vb::win32view {

RECT PixelRect(const forms::Control& c) {
    const forms::PixelRect box = forms::PixelBox(c);
    return {box.left, box.top, box.right, box.bottom};
}

POINT PixelStart(const forms::Line& line) {
    return {forms::ToPixelsX(line.X1()), forms::ToPixelsY(line.Y1())};
}
POINT PixelEnd(const forms::Line& line) {
    return {forms::ToPixelsX(line.X2()), forms::ToPixelsY(line.Y2())};
}

SIZE TextExtent(HWND window, const std::wstring& text, int width, UINT format) {
    WindowDc dc(window);
    dc.Select(reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    RECT need{0, 0, width, 0};
    DrawTextW(dc.Get(), text.empty() ? L" " : text.c_str(), -1, &need, format | DT_CALCRECT);
    return {need.right - need.left, need.bottom - need.top};
}

}  // namespace vb::win32view
