#pragma once

#include <QPoint>
#include <QRect>

#include "forms/screen.h"

namespace vb::forms {
class Control;
class Line;
}  // namespace vb::forms

// Twips of the form layer to the logical pixels of Qt, at the screen's twips per pixel.
namespace vb::qtview {

// A control's box in pixels, relative to its container.
QRect PixelRect(const forms::Control& control);

// A line's end points in pixels, relative to its container.
QPoint PixelStart(const forms::Line& line);
QPoint PixelEnd(const forms::Line& line);

}  // namespace vb::qtview
