#pragma once

#include <stdexcept>
#include <string>

namespace vb::forms {

// A property set to a value the control does not accept (a list position out of range,
// a progress value outside its range, ...).
class InvalidPropertyValue : public std::runtime_error {
public:
    explicit InvalidPropertyValue(const std::string& what = "プロパティの値が不正です。")
        : std::runtime_error(what) {}
};

// A property the control does not have, or one that cannot be set at run time.
class PropertyNotSupported : public std::runtime_error {
public:
    explicit PropertyNotSupported(const std::string& what = "このプロパティは設定できません。")
        : std::runtime_error(what) {}
};

}  // namespace vb::forms
