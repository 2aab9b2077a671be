#pragma once

#include <string>

#include "forms/colors.h"
#include "forms/control.h"
#include "forms/control_visitor.h"

namespace vb::forms {

enum class Alignment { Left, Right, Center };
enum class ScrollBars { None, Horizontal, Vertical, Both };

// A text box. Its Text keeps CR LF line breaks exactly as set; the view shows plain breaks.
class TextBox : public Control {
  public:
    using Control::Control;
    const char* TypeName() const override { return "TextBox"; }
    void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }

    std::string Text() const override { return text_; }
    // The text itself, without a copy: a view showing only what was appended reads it here,
    // since copying a long log for every line would make each line slower than the last.
    const std::string& CurrentText() const { return text_; }
    void SetText(const std::string& text) override;
    bool AcceptsText(const std::string& /*text*/) const override { return true; }
    // Adds text at the end: the same result as SetText(Text() + more), without copying
    // the whole text through the view.
    void AppendText(const std::string& more);
    // Typing in the view: updates the text without echoing back to the view.
    void SetTextFromView(const std::string& text) { text_ = text; }

    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v) { multiLine_ = v; }
    bool Locked() const { return locked_; }  // read-only for the user; code may still set Text
    void SetLocked(bool v) { locked_ = v; }
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);
    forms::Alignment Alignment() const { return alignment_; }
    void SetAlignment(forms::Alignment a) { alignment_ = a; }
    forms::ScrollBars ScrollBars() const { return scrollBars_; }
    void SetScrollBars(forms::ScrollBars s) { scrollBars_ = s; }

    // The scroll bars a view shows: only a multi-line box has any. With a horizontal one
    // long lines are not wrapped.
    bool ShowsVerticalBar() const;
    bool ShowsHorizontalBar() const;
    // Without scroll bars every line of a multi-line box has to show. A view's font may be
    // taller than the one the design was drawn with, so the box grows about its centre
    // (GrownAboutCentre) when its lines need more room than the design gives them.
    bool GrowsToShowEveryLine() const {
        return multiLine_ && scrollBars_ == forms::ScrollBars::None;
    }

  private:
    std::string text_;
    bool multiLine_ = false;
    bool locked_ = false;
    Color backColor_ = kWindowBackground;
    forms::Alignment alignment_ = forms::Alignment::Left;
    forms::ScrollBars scrollBars_ = forms::ScrollBars::None;
};

// The vertical extent of a box in a view's pixels.
struct VerticalSpan {
    int top = 0;
    int height = 0;
};

// The span grown about its centre to the height needed; unchanged when it is high enough.
VerticalSpan GrownAboutCentre(VerticalSpan span, int needed);

}  // namespace vb::forms
