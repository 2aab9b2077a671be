#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/control.h"

namespace vb::forms {

// The controls of one kind on a form that share one name and differ by an integer index
// (a control array). Elements made at design time are added in order; Load adds an element
// at run time as a hidden copy of the lowest-index element, registered with the same form.
class ControlFamily {
  public:
    explicit ControlFamily(std::string name) : name_(std::move(name)) {}
    virtual ~ControlFamily() = default;
    ControlFamily(const ControlFamily&) = delete;
    ControlFamily& operator=(const ControlFamily&) = delete;

    // The name every element carries.
    const std::string& ElementName() const { return name_; }

    // Adds a design-time element owned elsewhere. Its name must be the family's and its
    // index free and not negative (InvalidPropertyValue / ObjectAlreadyLoaded otherwise).
    void Add(Control& element);
    // Adds a design-time element the family owns.
    void Adopt(std::unique_ptr<Control> element);

    // The element at index; ElementNotFound when there is none.
    Control& Item(int index) const;
    Control& operator[](int index) const { return Item(index); }
    bool Contains(int index) const { return elements_.count(index) != 0; }

    // Lowest and highest index; an empty family refuses with ElementNotFound.
    int LBound() const;
    int UBound() const;
    int Count() const { return static_cast<int>(elements_.size()); }
    // Elements in index order.
    std::vector<Control*> Elements() const;

    // Loads a new element at index: a copy of the lowest-index element, hidden, added to
    // that element's form. A taken index is refused with ObjectAlreadyLoaded, a negative one
    // with InvalidPropertyValue.
    Control& Load(int index);

  private:
    void CheckNewIndex(int index) const;

    std::string name_;
    std::map<int, Control*> elements_;
    std::vector<std::unique_ptr<Control>> owned_;
};

// A family whose elements are all of one control type.
template <class T>
class ControlArray : public ControlFamily {
  public:
    using ControlFamily::ControlFamily;

    T& operator[](int index) const { return static_cast<T&>(Item(index)); }
    // Creates, owns and adds a design-time element.
    T& Create(int index) {
        auto element = std::make_unique<T>(ElementName(), index);
        T& ref = *element;
        Adopt(std::move(element));
        return ref;
    }
};

}  // namespace vb::forms
