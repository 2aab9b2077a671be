#pragma once

#include <QColor>
#include <QPalette>

#include "forms/colors.h"

namespace vb::qtview {

// The colour a form-layer colour stands for: a system colour (high bit set) is taken from
// the palette (button shadow = Dark, 3D highlight = Light, button face = Button, ...), any
// other value is 0x00BBGGRR.
QColor ResolveColor(forms::Color color, const QPalette& palette);

}  // namespace vb::qtview
