#pragma once

#include <QCursor>
#include <memory>
#include <optional>

#include "forms/picture.h"

namespace vb::qtview {

// A monochrome cursor picture as a Qt bitmap cursor with the picture's hot spot: black
// where the AND mask is clear and the XOR plane clear, white where the XOR plane is set,
// transparent where the AND mask is set.
QCursor CursorFromPicture(const forms::Picture& picture);

// The pointer for a form-layer pointer kind; none for the default pointer, which a widget
// shows by having no cursor of its own.
std::optional<QCursor> PointerCursor(int kind, const std::shared_ptr<const forms::Picture>& icon);

}  // namespace vb::qtview
