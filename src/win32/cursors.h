#pragma once

#include <windows.h>

#include <memory>

#include "forms/picture.h"

namespace vb::win32view {

// The cursor of a picture: the program's own cursor resource of that name when the
// executable holds one (the hand cursor does), else a cursor made from the picture's
// planes. The cursor lives as long as the process; equal pictures share one.
HCURSOR CursorFromPicture(const forms::Picture& picture);

// The cursor for a pointer kind; nullptr for the default pointer (none of the control's own).
HCURSOR PointerCursor(int kind, const std::shared_ptr<const forms::Picture>& icon);

}  // namespace vb::win32view
