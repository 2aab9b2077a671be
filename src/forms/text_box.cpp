#include "forms/text_box.h"

namespace vb::forms {

void TextBox::SetText(const std::string& text) {
    text_ = text;
    Notify(Change::Text);
}

void TextBox::AppendText(const std::string& more) {
    text_ += more;
    Notify(Change::TextAppended);
}

void TextBox::SetBackColor(Color c) {
    backColor_ = c;
    Notify(Change::Appearance);
}

}  // namespace vb::forms
