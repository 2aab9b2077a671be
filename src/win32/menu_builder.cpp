#include "win32/menu_builder.h"

#include "platform/wide_text.h"
#include "win32/failure_report.h"

namespace vb::win32view {

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
            HMENU sub = CreatePopupMenu();
            AddItems(sub, *item);
            AppendMenuW(into, MF_POPUP | MF_STRING | grey, reinterpret_cast<UINT_PTR>(sub),
                        caption.c_str());
        }
    }
}

void MenuBar::Build() {
    if (menus_.empty()) return;
    HMENU bar = CreateMenu();
    for (forms::Menu* menu : menus_) {
        if (!menu->Visible()) continue;
        const UINT grey = menu->Enabled() ? MF_ENABLED : MF_GRAYED;
        const std::wstring caption = platform::WideFromUtf8(menu->Caption());
        if (menu->Items().empty()) {
            // A command right on the menu bar.
            AppendMenuW(bar, MF_STRING | grey, CommandIdFor(*menu), caption.c_str());
            continue;
        }
        HMENU popup = CreatePopupMenu();
        AddItems(popup, *menu);
        AppendMenuW(bar, MF_POPUP | MF_STRING | grey, reinterpret_cast<UINT_PTR>(popup),
                    caption.c_str());
    }
    HMENU old = GetMenu(window_);
    SetMenu(window_, bar);
    if (old) DestroyMenu(old);
    DrawMenuBar(window_);
}

}  // namespace vb::win32view
