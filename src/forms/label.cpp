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

}  // namespace vb::forms
