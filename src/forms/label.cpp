#include "forms/label.h"

namespace vb::forms {

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    Notify(Change::Caption);
}

void Label::SetForeColor(Color c) {
    foreColor_ = c;
    Notify(Change::Appearance);
}

std::unique_ptr<Control> Label::LoadCopy(int index) const {
    auto copy = std::make_unique<Label>(Name(), index);
    copy->CopyCommonFrom(*this);
    copy->caption_ = caption_;
    copy->foreColor_ = foreColor_;
    copy->SetVisible(false);
    return copy;
}

}  // namespace vb::forms
