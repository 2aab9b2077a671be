#pragma once

#include <cstdint>

#include "forms/form.h"

// Fun_FormPosition: moves a form to the centre or to a corner of the screen.
namespace vb::winutil {

// Position codes.
inline constexpr std::int32_t kPositionCenter = 1;       // centre of the whole screen
inline constexpr std::int32_t kPositionBottomRight = 2;  // above the task bar
inline constexpr std::int32_t kPositionTopRight = 3;
inline constexpr std::int32_t kPositionBottomLeft = 4;  // above the task bar
inline constexpr std::int32_t kPositionTopLeft = 5;

// Moves the form by the position code; any other code leaves it where it is. Worked out
// in single precision from the form's outer size and the screen's size in twips; Top is
// set before Left. Nothing is clamped: a form larger than the screen gets negative values.
void SetFormPosition(forms::Form& form, std::int32_t code);

}  // namespace vb::winutil
