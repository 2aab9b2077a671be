#pragma once

#include <windows.h>

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

}  // namespace vb::win32view
