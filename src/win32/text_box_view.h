#pragma once

#include "forms/text_box.h"
#include "win32/control_view.h"
#include "win32/system_colors.h"

namespace vb::win32view {

// A text box as an EDIT window. The model's Text keeps CR LF, which is also the EDIT's own
// line break; a single-line box drops line breaks. Text set by code does not echo back as
// typing. The box holds any length of text (the EDIT's limit is raised), text appended to
// the model is appended to the window without copying what is there, and Tab moves on from
// a multi-line box instead of being typed into it.
//
// A read-only multi-line box (the log) collects appended text and puts it into the window
// in one insertion at the next turn of the message loop, or at once when the last insertion
// is kAppendBatchMs old: under Wine each insertion into a shown EDIT costs a redraw of its
// scroll bars, more than writing a page. Nobody types into a read-only box, so the window
// never changes while text is pending; an editable box gets each append at once.
class TextBoxView : public ControlView {
  public:
    TextBoxView(forms::TextBox& box, const ViewContext& context);

    bool TakesFocus() const override { return true; }
    bool OnCommand(WORD code) override;
    HBRUSH OnCtlColor(HDC dc) override;

    // The window's text for the model's text.
    static std::wstring ToWindowText(const std::string& text, bool multiLine);

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;
    void ApplyGeometry() override;

  private:
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR view);
    void ShowText();
    void AppendToWindow();
    void FlushAppends();
    void ApplyAppearance();

    forms::TextBox& box_;
    ColorBrush background_;
    std::size_t shownLength_ = 0;  // bytes of the model's text the window shows (or will)
    std::wstring pendingAppend_;
    bool flushPosted_ = false;
    DWORD lastFlush_ = 0;
    bool updating_ = false;
};

}  // namespace vb::win32view
