#pragma once

#include <windows.h>

#include "forms/control.h"

namespace vb::forms {
class Line;
}

// Twips of the form layer and pixels of the window, at the screen's twips per pixel.
namespace vb::win32view {

int ToPixelsX(double twips);
int ToPixelsY(double twips);
int ToTwipsX(int pixels);
int ToTwipsY(int pixels);

// The control's rectangle in pixels within its container.
RECT PixelRect(const forms::Control& c);
POINT PixelStart(const forms::Line& line);
POINT PixelEnd(const forms::Line& line);

}  // namespace vb::win32view
