#include "forms/form.h"

#include <algorithm>

#include "forms/errors.h"

namespace vb::forms {

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    Notify(Change::Caption);
}

void Form::AddControl(Control& control) {
    control.SetParent(this);
    controls_.push_back(&control);
    zOrder_.push_back(&control);
    if (controlAdded_) controlAdded_(control);
}

void Form::MoveInZOrder(Control& control, bool toFront) {
    auto it = std::find(zOrder_.begin(), zOrder_.end(), &control);
    if (it == zOrder_.end()) return;
    zOrder_.erase(it);
    if (toFront)
        zOrder_.push_back(&control);
    else
        zOrder_.insert(zOrder_.begin(), &control);
}

void Form::SetLeft(int left) {
    left_ = left;
    Notify(Change::Geometry);
}

void Form::SetTop(int top) {
    top_ = top;
    Notify(Change::Geometry);
}

void Form::SetWidth(int width) {
    if (width < 0) throw InvalidPropertyValue();
    clientWidth_ = std::max(0, width - frame_.left - frame_.right);
    Notify(Change::Geometry);
}

void Form::SetHeight(int height) {
    if (height < 0) throw InvalidPropertyValue();
    clientHeight_ = std::max(0, height - frame_.top - frame_.bottom);
    Notify(Change::Geometry);
}

void Form::SetClientSize(int width, int height) {
    if (width < 0 || height < 0) throw InvalidPropertyValue();
    clientWidth_ = width;
    clientHeight_ = height;
    Notify(Change::Geometry);
}

void Form::SetScaleMode(int mode) {
    if (mode < kScaleUser || mode > kScaleCentimeters) throw InvalidPropertyValue();
    scaleMode_ = mode;
}

void Form::SetTopMost(bool topMost) {
    if (topMost_ == topMost) return;
    topMost_ = topMost;
    Notify(Change::TopMost);
}

void Form::Activate() { Notify(Change::Activate); }

void Form::AddMenu(Menu& menu) { menus_.push_back(&menu); }

bool Form::Unload(UnloadMode mode) {
    CheckWindowThread("a form");
    // A QueryUnload handler that unloads again (or a view closing in answer to the
    // notification below) must not run the handler a second time.
    if (unloaded_ || unloading_) return unloaded_;
    unloading_ = true;
    bool cancel = false;
    try {
        if (QueryUnload) QueryUnload(cancel, mode);
    } catch (...) {
        unloading_ = false;
        throw;
    }
    unloading_ = false;
    if (cancel) return false;
    unloaded_ = true;
    Notify(Change::Unloaded);
    return true;
}

}  // namespace vb::forms
