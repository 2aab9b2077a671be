#include "forms/form.h"

namespace vb::forms {

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    Notify(Change::Caption);
}

void Form::AddControl(Control& control) {
    control.SetParent(this);
    controls_.push_back(&control);
}

}  // namespace vb::forms
