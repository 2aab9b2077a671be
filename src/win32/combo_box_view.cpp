#include "win32/combo_box_view.h"

#include <algorithm>

#include "platform/wide_text.h"
#include "win32/geometry.h"

namespace vb::win32view {

namespace {
// Items the dropped list shows before it scrolls.
constexpr int kDroppedItems = 8;
}  // namespace

ComboBoxView::ComboBoxView(forms::ComboBox& box, const ViewContext& context)
    : ControlView(
          box,
          CreateChild(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | (box.TabStop() ? WS_TABSTOP : 0),
                      0, context),
          context.parent),
      box_(box) {}

bool ComboBoxView::OnCommand(WORD code) {
    if (code == CBN_SETFOCUS) return true;
    // CBN_SELCHANGE comes from the user only; CB_SETCURSEL from code sends none.
    if (code == CBN_SELCHANGE)
        box_.SetListIndexFromView(static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)));
    return false;
}

void ComboBoxView::RefreshOwn() { ShowItems(); }

void ComboBoxView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Items) ShowItems();
    if (change == forms::Change::ItemAdded) ShowAddedItem();
    if (change == forms::Change::ListIndex) ShowSelection();
}

void ComboBoxView::ShowAddedItem() {
    if (!Handle()) return;
    const auto& items = box_.Items();
    // A view that missed a change shows the whole list again.
    const LRESULT shown = SendMessageW(Handle(), CB_GETCOUNT, 0, 0);
    if (shown < 0 || static_cast<std::size_t>(shown) + 1 != items.size()) return ShowItems();
    SendMessageW(Handle(), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(platform::WideFromUtf8(items.back()).c_str()));
}

void ComboBoxView::ApplyGeometry() {
    const RECT r = PixelRect(box_);
    const int height = r.bottom - r.top;
    FitClosedHeight(height);
    const int item = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
    MoveWindow(Handle(), r.left, r.top, r.right - r.left, height + kDroppedItems * item + 2, TRUE);
}

void ComboBoxView::FitClosedHeight(int height) {
    // The closed box is the selection field plus a frame whose size the system decides, and
    // Wine reads the field's height back two pixels higher than it was set: so the field is
    // corrected by what the box measures, from the value last set, until the box fits.
    int field =
        static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 3 && field > 0; ++attempt) {
        RECT closed{};
        GetWindowRect(Handle(), &closed);
        const int closedHeight = closed.bottom - closed.top;
        if (closedHeight <= 0 || closedHeight == height) return;
        field = std::max(1, field + height - closedHeight);
        SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

void ComboBoxView::ShowItems() {
    if (!Handle()) return;
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : box_.Items())
        SendMessageW(Handle(), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(platform::WideFromUtf8(item).c_str()));
    ShowSelection();
}

void ComboBoxView::ShowSelection() {
    if (Handle()) SendMessageW(Handle(), CB_SETCURSEL, box_.ListIndex(), 0);
}

}  // namespace vb::win32view
