#include "forms/control_family.h"

#include "forms/errors.h"
#include "forms/form.h"

namespace vb::forms {

void ControlFamily::CheckNewIndex(int index) const {
    if (index < 0) throw InvalidPropertyValue();
    if (Contains(index)) throw ObjectAlreadyLoaded();
}

void ControlFamily::Add(Control& element) {
    if (element.Name() != name_) throw InvalidPropertyValue();
    CheckNewIndex(element.Index());
    elements_[element.Index()] = &element;
}

void ControlFamily::Adopt(std::unique_ptr<Control> element) {
    Add(*element);
    owned_.push_back(std::move(element));
}

Control& ControlFamily::Item(int index) const {
    auto it = elements_.find(index);
    if (it == elements_.end()) throw ElementNotFound(name_, index);
    return *it->second;
}

int ControlFamily::LBound() const {
    if (elements_.empty()) throw ElementNotFound(name_, 0);
    return elements_.begin()->first;
}

int ControlFamily::UBound() const {
    if (elements_.empty()) throw ElementNotFound(name_, 0);
    return elements_.rbegin()->first;
}

std::vector<Control*> ControlFamily::Elements() const {
    std::vector<Control*> out;
    for (const auto& [index, element] : elements_) out.push_back(element);
    return out;
}

Control& ControlFamily::Load(int index) {
    CheckNewIndex(index);
    const Control& lowest = Item(LBound());
    std::unique_ptr<Control> copy = lowest.LoadCopy(index);
    Control& ref = *copy;
    elements_[index] = &ref;
    owned_.push_back(std::move(copy));
    if (Form* form = lowest.Parent()) form->AddControl(ref);
    return ref;
}

}  // namespace vb::forms
