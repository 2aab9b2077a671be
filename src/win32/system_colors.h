#pragma once

#include <windows.h>

#include "forms/colors.h"
#include "win32/owned_handles.h"

namespace vb::win32view {

// The colour to draw with: a system colour from the user's scheme now, or the plain value.
COLORREF ResolveColor(forms::Color color);

// A solid brush of one colour, kept until the colour changes; system colours use the
// system's own brushes.
class ColorBrush {
  public:
    HBRUSH For(forms::Color color);

  private:
    UniqueGdiObject<HBRUSH> own_;
    COLORREF ownColor_ = 0;
};

}  // namespace vb::win32view
