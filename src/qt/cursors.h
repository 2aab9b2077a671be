#pragma once

#include <QCursor>
#include <memory>

#include "forms/picture.h"

namespace vb::qtview {

// A monochrome cursor picture as a Qt bitmap cursor with the picture's hot spot: black
// where the AND mask is clear and the XOR plane clear, white where the XOR plane is set,
// transparent where the AND mask is set.
QCursor CursorFromPicture(const forms::Picture& picture);

// Kind 0 is the default pointer, which a widget shows by having no cursor of its own.
bool IsDefaultPointer(int kind);
// The pointer for another form-layer pointer kind; 99 takes the picture (none: an arrow).
QCursor PointerCursor(int kind, const std::shared_ptr<const forms::Picture>& icon);

}  // namespace vb::qtview
