#pragma once

#include <windows.h>

#include <string>

#include "forms/control.h"
#include "forms/screen.h"

namespace vb::forms {
class Line;
}

// Twips of the form layer and pixels of the window, at the screen's twips per pixel.
namespace vb::win32view {

// The control's rectangle in pixels within its container.
RECT PixelRect(const forms::Control& c);
POINT PixelStart(const forms::Line& line);
POINT PixelEnd(const forms::Line& line);

// The size text takes in a window's font, laid out by DrawTextW with format (DT_CALCRECT is
// added) within width pixels (0: no limit); an empty text measures as one space.
SIZE TextExtent(HWND window, const std::wstring& text, int width, UINT format);

}  // namespace vb::win32view
