#include "win32/menu_builder.h"

#include "platform/wide_text.h"
#include "win32/failure_report.h"
#include "win32/owned_handles.h"

namespace vb::win32view {

namespace {

// Appends a drop-down menu; the menu it is appended to owns it from then on.
void AppendPopup(HMENU into, UniqueMenu popup, UINT grey, const std::wstring& caption) {
    if (AppendMenuW(into, MF_POPUP | MF_STRING | grey, reinterpret_cast<UINT_PTR>(popup.get()),
                    caption.c_str()))
        popup.release();
}

}  // namespace

MenuBar::MenuBar(HWND window, std::vector<forms::Menu*> menus)
    : window_(window), menus_(std::move(menus)) {
    for (forms::Menu* menu : menus_) Follow(*menu);
    Build();
}

MenuBar::~MenuBar() {
    for (forms::Menu* menu : menus_) Release(*menu);
}

void MenuBar::Follow(forms::Menu& menu) {
    // Command ids stay with their menu across rebuilds.
    ids_[&menu] = nextId_;
    commands_[nextId_++] = &menu;
    menu.SetObserver([this](forms::Change) { Build(); });
    for (forms::Menu* item : menu.Items()) Follow(*item);
}

void MenuBar::Release(forms::Menu& menu) {
    menu.SetObserver(nullptr);
    for (forms::Menu* item : menu.Items()) Release(*item);
}

UINT MenuBar::CommandIdFor(const forms::Menu& menu) const {
    auto it = ids_.find(&menu);
    return it == ids_.end() ? 0 : it->second;
}

bool MenuBar::HandleCommand(UINT id) {
    auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    forms::Menu* menu = it->second;
    if (menu->Enabled() && menu->Items().empty()) RunGuarded([menu] { menu->RaiseClick(); });
    return true;
}

void MenuBar::AddItems(HMENU into, forms::Menu& menu) {
    for (forms::Menu* item : menu.Items()) {
        if (!item->Visible()) continue;
        if (item->IsSeparator()) {
            AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT grey = item->Enabled() ? MF_ENABLED : MF_GRAYED;
        const std::wstring caption = platform::WideFromUtf8(item->Caption());
        if (item->Items().empty()) {
            AppendMenuW(into, MF_STRING | grey, CommandIdFor(*item), caption.c_str());
        } else {
            UniqueMenu sub(CreatePopupMenu());
            AddItems(sub.get(), *item);
            AppendPopup(into, std::move(sub), grey, caption);
        }
    }
}

void MenuBar::Build() {
    if (menus_.empty()) return;
    UniqueMenu bar(CreateMenu());
    for (forms::Menu* menu : menus_) {
        if (!menu->Visible()) continue;
        const UINT grey = menu->Enabled() ? MF_ENABLED : MF_GRAYED;
        const std::wstring caption = platform::WideFromUtf8(menu->Caption());
        if (menu->Items().empty()) {
            // A command right on the menu bar.
            AppendMenuW(bar.get(), MF_STRING | grey, CommandIdFor(*menu), caption.c_str());
            continue;
        }
        UniqueMenu popup(CreatePopupMenu());
        AddItems(popup.get(), *menu);
        AppendPopup(bar.get(), std::move(popup), grey, caption);
    }
    // The window owns the bar it shows; the bar it showed before goes.
    UniqueMenu old(GetMenu(window_));
    if (SetMenu(window_, bar.get()))
        bar.release();
    else
        old.release();  // still the window's
    DrawMenuBar(window_);
}

}  // namespace vb::win32view
