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

// An operation that needs an object was given none (a missing parent form or container,
// a null argument).
class ObjectRequired : public std::runtime_error {
  public:
    explicit ObjectRequired(const std::string& what = "オブジェクトが必要です。")
        : std::runtime_error(what) {}
};

// A control-family element that is not loaded.
class ElementNotFound : public std::runtime_error {
  public:
    explicit ElementNotFound(const std::string& name, int index)
        : std::runtime_error("コントロール配列の要素 '" + std::to_string(index) +
                             "' は存在しません。(" + name + ")") {}
};

// Loading a family element at an index that is already taken.
class ObjectAlreadyLoaded : public std::runtime_error {
  public:
    ObjectAlreadyLoaded() : std::runtime_error("オブジェクトは既に読み込まれています。") {}
};

// A program resource that does not exist under the given name and kind.
class ResourceNotFound : public std::runtime_error {
  public:
    explicit ResourceNotFound(const std::string& name)
        : std::runtime_error("識別子 '" + name + "' のリソースが見つかりません。") {}
};

// A whole number that does not fit the type it is converted to.
class Overflow : public std::runtime_error {
  public:
    Overflow() : std::runtime_error("オーバーフローしました。") {}
};

// An argument outside what a procedure accepts.
class InvalidProcedureCall : public std::runtime_error {
  public:
    InvalidProcedureCall() : std::runtime_error("プロシージャの呼び出し、または引数が不正です。") {}
};

// A browser object's document (or its title) cannot be read: no document yet, a frame of
// another origin, or an error page standing in for a failed load.
class DocumentUnavailable : public std::runtime_error {
  public:
    explicit DocumentUnavailable(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace vb::forms
