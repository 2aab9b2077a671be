#pragma once

#include "forms/append_batch.h"
#include "forms/text_box.h"
#include "win32/control_view.h"
#include "win32/system_colors.h"

namespace vb::win32view {

// A text box as an EDIT window. The model's Text keeps CR LF, which is also the EDIT's own
// line break; a single-line box drops line breaks. Text set by code does not echo back as
// typing. The box holds any length of text (the EDIT's limit is raised), text appended to
// the model is appended to the window without copying what is there (to a read-only box in
// batches, forms::AppendBatch), and Tab moves on from a multi-line box instead of being
// typed into it.
class TextBoxView : public ControlView {
  public:
    TextBoxView(forms::TextBox& box, const ViewContext& context);

    bool TakesFocus() const override { return Handle() != nullptr; }
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
    forms::AppendBatch appends_;
    bool updating_ = false;
};

}  // namespace vb::win32view
