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

bool TextBox::ShowsVerticalBar() const {
    return multiLine_ && (scrollBars_ == ScrollBars::Vertical || scrollBars_ == ScrollBars::Both);
}

bool TextBox::ShowsHorizontalBar() const {
    return multiLine_ && (scrollBars_ == ScrollBars::Horizontal || scrollBars_ == ScrollBars::Both);
}

VerticalSpan GrownAboutCentre(VerticalSpan span, int needed) {
    if (needed <= span.height) return span;
    const int grow = needed - span.height;
    return {span.top - grow / 2, needed};
}

}  // namespace vb::forms
