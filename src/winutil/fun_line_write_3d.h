#pragma once

#include <cstdint>
#include <optional>

#include "forms/control_family.h"
#include "platform/message_box.h"

// Fun_LineWrite3D: gives line and shape controls an etched look by pairing each with a
// twin one pixel away, the control in the button-shadow colour and the twin in the
// 3D-highlight colour.
namespace vb::winutil {

// Turns element 0 of a family of lines into an etched line across the full width of its
// form, at the top edge of its container. The container's scale mode is set to twips for
// the work and restored afterwards; a container without a scale mode is left alone.
// events lets the window's pending events run once the pair is drawn.
void SetMenuLine(forms::ControlFamily& family, platform::EventPump& events);

// Pairs one element of the family with a newly loaded highlight twin.
//   mode:      0, 1 or 2; lines and shapes place their twin differently (see the .cpp).
//   events:    the window's pending events run through it once the pair is drawn.
//   index:     the element; absent means the family's lowest index.
//   fit:       a line in mode 1 or 2 is first stretched across its form.
//   container: the twin's container; absent means the element's own. Inside the optional,
//              nullptr is the form itself.
// Failing property accesses (for instance on a control that is not a line or a shape) pass
// to the caller.
void MakeLine3D(forms::ControlFamily& family, std::int32_t mode, platform::EventPump& events,
                std::optional<int> index = std::nullopt, bool fit = false,
                std::optional<forms::Control*> container = std::nullopt);

}  // namespace vb::winutil
