#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "forms/control.h"
#include "forms/control_family.h"
#include "forms/screen.h"

// Fun_GivingHandCursor: gives controls a mouse pointer from the program's resources.
namespace vb::winutil {

// One object to receive the pointer: a single control, the screen object (the pointer
// then applies to the whole application) or a control family.
using PointerTarget = std::variant<forms::Control*, forms::Screen*, forms::ControlFamily*>;

// For each object in order, loads the picture (resource name, resource kind; 0 bitmap,
// 1 icon, 2 cursor) anew and makes it the object's custom pointer (MouseIcon, then
// MousePointer 99); a family gets it on every element from LBound to UBound. A missing
// resource, a kind outside 16 bits, a null object or a single control without a name
// (which then has to be a family and is not) raise errors that pass to the caller.
void SetHandCursor(const std::string& resourceName, std::int32_t resourceKind,
                   const std::vector<PointerTarget>& objects);

// The same with the objects as further arguments: controls, the screen, families.
template <class... Objects>
requires(std::is_convertible_v<Objects*, PointerTarget>&&...) void SetHandCursor(
    const std::string& resourceName, std::int32_t resourceKind, Objects&... objects) {
    SetHandCursor(resourceName, resourceKind,
                  std::vector<PointerTarget>{PointerTarget(&objects)...});
}

}  // namespace vb::winutil
