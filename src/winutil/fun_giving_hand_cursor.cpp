#include "winutil/fun_giving_hand_cursor.h"

#include "forms/errors.h"
#include "forms/resources.h"

namespace vb::winutil {

namespace {

// The object's Name: only single controls have one; the screen, families and a null
// object have none ("").
std::string NameOf(const PointerTarget& object) {
    auto* const* control = std::get_if<forms::Control*>(&object);
    return control && *control ? (*control)->Name() : std::string();
}

// The object as a control family; a single control is not part of one here.
forms::ControlFamily& FamilyOf(const PointerTarget& object) {
    if (auto* const* family = std::get_if<forms::ControlFamily*>(&object)) {
        if (!*family) throw forms::ObjectRequired();
        return **family;
    }
    if (auto* const* control = std::get_if<forms::Control*>(&object); control && *control)
        throw forms::PropertyNotSupported();
    throw forms::ObjectRequired();
}

forms::Screen* ScreenOf(const PointerTarget& object) {
    auto* const* screen = std::get_if<forms::Screen*>(&object);
    return screen ? *screen : nullptr;
}

template <class Target>
void GivePointer(Target& target, const std::string& resourceName, std::int32_t resourceKind) {
    target.SetMouseIcon(forms::LoadResPicture(resourceName, resourceKind));
    target.SetMousePointer(forms::kPointerCustom);
}

}  // namespace

void SetHandCursor(const std::string& resourceName, std::int32_t resourceKind,
                   const std::vector<PointerTarget>& objects) {
    for (const PointerTarget& object : objects) {
        // Objects without a name are told apart below.
        const std::string name = NameOf(object);
        if (forms::Screen* screen = ScreenOf(object)) {
            GivePointer(*screen, resourceName, resourceKind);
        } else if (!name.empty()) {
            GivePointer(*std::get<forms::Control*>(object), resourceName, resourceKind);
        } else {
            forms::ControlFamily& family = FamilyOf(object);
            for (int i = family.LBound(); i <= family.UBound(); ++i)
                GivePointer(family.Item(i), resourceName, resourceKind);
        }
    }
}

}  // namespace vb::winutil
