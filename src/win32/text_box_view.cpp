#include "win32/text_box_view.h"

#include <commctrl.h>

#include "platform/wide_text.h"
#include "win32/geometry.h"

namespace vb::win32view {

namespace {

DWORD StyleOf(const forms::TextBox& box) {
    DWORD style = box.TabStop() ? WS_TABSTOP : 0;
    if (box.Locked()) style |= ES_READONLY;
    if (box.Alignment() == forms::Alignment::Center) style |= ES_CENTER;
    if (box.Alignment() == forms::Alignment::Right) style |= ES_RIGHT;
    if (!box.MultiLine()) return style | ES_AUTOHSCROLL;
    style |= ES_MULTILINE | ES_WANTRETURN;
    if (box.ShowsVerticalBar()) style |= WS_VSCROLL | ES_AUTOVSCROLL;
    if (box.ShowsHorizontalBar()) style |= WS_HSCROLL | ES_AUTOHSCROLL;
    return style;
}

// Asks the box to put its pending text into the window (posted to the EDIT itself).
constexpr UINT kFlushMessage = WM_APP + 1;

std::string WithoutLineBreaks(std::string text) {
    std::erase(text, '\r');
    std::erase(text, '\n');
    return text;
}

}  // namespace

TextBoxView::TextBoxView(forms::TextBox& box, const ViewContext& context)
    : ControlView(box, CreateChild(L"EDIT", StyleOf(box), WS_EX_CLIENTEDGE, context),
                  context.parent),
      box_(box) {
    if (!Handle()) return;
    // Without this a multi-line EDIT stops at about 32 K characters.
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
    SetWindowSubclass(Handle(), EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TextBoxView::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR view) {
    auto* self = reinterpret_cast<TextBoxView*>(view);
    if (message == kFlushMessage) {
        self->FlushAppends();
        return 0;
    }
    if (message == WM_GETDLGCODE && self->box_.MultiLine()) {
        // A multi-line EDIT asks for every key, Tab included; Tab has to move on.
        LRESULT code = DefSubclassProc(window, message, wParam, lParam);
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && msg->wParam == VK_TAB)
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        return code;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, EditProc, 1);
    return DefSubclassProc(window, message, wParam, lParam);
}

std::wstring TextBoxView::ToWindowText(const std::string& text, bool multiLine) {
    return platform::WideFromUtf8(multiLine ? text : WithoutLineBreaks(text));
}

bool TextBoxView::OnCommand(WORD code) {
    if (code == EN_SETFOCUS) return true;
    if (code == EN_CHANGE && !updating_) {
        const int length = GetWindowTextLengthW(Handle());
        std::wstring typed(static_cast<std::size_t>(length) + 1, L'\0');
        typed.resize(static_cast<std::size_t>(GetWindowTextW(Handle(), typed.data(), length + 1)));
        std::string text = platform::Utf8FromWide(typed);
        if (!box_.MultiLine()) text = WithoutLineBreaks(std::move(text));
        box_.SetTextFromView(text);
        appends_.Shown(text.size());
    }
    return false;
}

HBRUSH TextBoxView::OnCtlColor(HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, ResolveColor(box_.BackColor()));
    return background_.For(box_.BackColor());
}

void TextBoxView::RefreshOwn() {
    ApplyAppearance();
    ShowText();
}

void TextBoxView::UpdateOwn(forms::Change change) {
    if (!Handle()) return;
    if (change == forms::Change::Text) ShowText();
    if (change == forms::Change::TextAppended) AppendToWindow();
    if (change == forms::Change::Appearance) ApplyAppearance();
}

void TextBoxView::ApplyGeometry() {
    RECT r = PixelRect(box_);
    if (box_.GrowsToShowEveryLine()) {
        const int frame = 2 * GetSystemMetrics(SM_CYEDGE) + 2;
        const SIZE need =
            TextExtent(Handle(), ToWindowText(box_.Text(), true), r.right - r.left - frame,
                       DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        const forms::VerticalSpan span =
            forms::GrownAboutCentre({r.top, r.bottom - r.top}, need.cy + frame);
        r.top = span.top;
        r.bottom = span.top + span.height;
    }
    MoveWindow(Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void TextBoxView::ShowText() {
    if (!Handle()) return;
    updating_ = true;
    SetWindowTextW(Handle(), ToWindowText(box_.Text(), box_.MultiLine()).c_str());
    appends_.Shown(box_.CurrentText().size());
    updating_ = false;
    if (box_.GrowsToShowEveryLine()) ApplyGeometry();
}

void TextBoxView::AppendToWindow() {
    using Step = forms::AppendBatch::Step;
    const Step step = appends_.Appended(box_);
    if (step == Step::ShowWhole) ShowText();
    // The later insertion is posted to the EDIT itself; should the post fail, it is now.
    if (step == Step::InsertNow ||
        (step == Step::InsertLater && !PostMessageW(Handle(), kFlushMessage, 0, 0)))
        FlushAppends();
}

void TextBoxView::FlushAppends() {
    const std::string added = appends_.Take();
    if (added.empty() || !Handle()) return;
    updating_ = true;
    const int end = GetWindowTextLengthW(Handle());
    SendMessageW(Handle(), EM_SETSEL, end, end);
    SendMessageW(Handle(), EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(ToWindowText(added, box_.MultiLine()).c_str()));
    updating_ = false;
    appends_.Inserted();
}

void TextBoxView::ApplyAppearance() {
    if (!Handle()) return;
    FlushAppends();  // an editable box has no text waiting
    SendMessageW(Handle(), EM_SETREADONLY, box_.Locked(), 0);
    LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_TABSTOP)) | (box_.TabStop() ? WS_TABSTOP : 0);
    SetWindowLongPtrW(Handle(), GWL_STYLE, style);
    InvalidateRect(Handle(), nullptr, TRUE);
}

}  // namespace vb::win32view
