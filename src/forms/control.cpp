#include "forms/control.h"

#include "forms/errors.h"

namespace vb::forms {

Control::Control(std::string name, int index) : name_(std::move(name)), index_(index) {}

void Control::SetContainer(Control* container) {
    container_ = container;
    Notify(Change::Geometry);
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Notify(Change::Visible);
}

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Notify(Change::Enabled);
}

void Control::SetLeft(int v) {
    left_ = v;
    Notify(Change::Geometry);
}
void Control::SetTop(int v) {
    top_ = v;
    Notify(Change::Geometry);
}
void Control::SetWidth(int v) {
    width_ = v;
    Notify(Change::Geometry);
}
void Control::SetHeight(int v) {
    height_ = v;
    Notify(Change::Geometry);
}

void Control::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Notify(Change::Geometry);
}

void Control::SetMousePointer(int kind) {
    mousePointer_ = kind;
    Notify(Change::Pointer);
}

void Control::SetMouseIcon(std::shared_ptr<const Picture> picture) {
    mouseIcon_ = std::move(picture);
    Notify(Change::Pointer);
}

std::string Control::Text() const { throw PropertyNotSupported(); }

void Control::SetText(const std::string&) { throw PropertyNotSupported(); }

}  // namespace vb::forms
