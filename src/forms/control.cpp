#include "forms/control.h"

#include "forms/errors.h"
#include "forms/form.h"

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

void Control::ZOrder(int position) {
    if (position != 0 && position != 1) throw InvalidPropertyValue();
    if (parent_) parent_->MoveInZOrder(*this, position == 0);
    Notify(Change::ZOrder);
}

std::unique_ptr<Control> Control::LoadCopy(int) const {
    throw PropertyNotSupported("このコントロールは実行時に読み込めません。");
}

void Control::CopyCommonFrom(const Control& other) {
    container_ = other.container_;
    enabled_ = other.enabled_;
    left_ = other.left_;
    top_ = other.top_;
    width_ = other.width_;
    height_ = other.height_;
    tabStop_ = other.tabStop_;
    mousePointer_ = other.mousePointer_;
    mouseIcon_ = other.mouseIcon_;
}

}  // namespace vb::forms
