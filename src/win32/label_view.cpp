#include "win32/label_view.h"

#include <algorithm>

#include "forms/menu.h"
#include "platform/wide_text.h"
#include "win32/failure_report.h"
#include "win32/geometry.h"

namespace vb::win32view {

LabelView::LabelView(forms::Label& label, const ViewContext& context)
    : ControlView(label, CreateChild(L"STATIC", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, context),
                  context.parent),
      label_(label) {}

bool LabelView::OnCommand(WORD code) {
    if (code == STN_CLICKED && label_.Click) RunGuarded(label_.Click);
    return false;
}

HBRUSH LabelView::OnCtlColor(HDC dc) {
    SetTextColor(dc, ResolveColor(label_.ForeColor()));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return background_.For(forms::kButtonFace);
}

void LabelView::RefreshOwn() {
    // "&" marks an access key in captions; a label shows the caption without the marks.
    SetWindowTextW(
        Handle(),
        platform::WideFromUtf8(forms::CaptionWithoutAccessMarks(label_.Caption())).c_str());
    ApplyGeometry();
}

void LabelView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Caption) RefreshOwn();
    if (change == forms::Change::Appearance) InvalidateRect(Handle(), nullptr, TRUE);
}

void LabelView::ApplyGeometry() {
    RECT r = PixelRect(label_);
    const SIZE need = TextExtent(
        Handle(), platform::WideFromUtf8(forms::CaptionWithoutAccessMarks(label_.Caption())), 0,
        DT_NOPREFIX | DT_SINGLELINE);
    r.right = std::max(r.right, r.left + need.cx);
    r.bottom = std::max(r.bottom, r.top + need.cy);
    MoveWindow(Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

}  // namespace vb::win32view
