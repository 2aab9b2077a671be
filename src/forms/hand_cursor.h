#pragma once

#include "forms/picture.h"

namespace vb::forms {

// The cursor "CURSOR_HAND": 32 x 32, one bit per pixel with a transparency mask, a hand
// with the index finger raised, hot spot (6, 2) just under the finger tip.
Picture HandCursor();

}  // namespace vb::forms
