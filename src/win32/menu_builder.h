#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "forms/menu.h"

namespace vb::win32view {

// The menu bar of a window, built from the form's menus: captions with their "&" access
// keys, separators, items as commands. A change to any menu (caption, enabled, visible)
// builds the bar again; hidden menus and items are left out.
class MenuBar {
  public:
    MenuBar(HWND window, std::vector<forms::Menu*> menus);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    bool Empty() const { return menus_.empty(); }
    // The WM_COMMAND id of a menu item (0 for none).
    UINT CommandIdFor(const forms::Menu& menu) const;
    // Runs the item with this command id; false when the id is no item of this bar.
    bool HandleCommand(UINT id);

  private:
    void Build();
    void AddItems(HMENU into, forms::Menu& menu);
    void Follow(forms::Menu& menu);
    void Release(forms::Menu& menu);

    HWND window_;
    std::vector<forms::Menu*> menus_;
    std::map<UINT, forms::Menu*> commands_;
    std::map<const forms::Menu*, UINT> ids_;
    // Ids below this are the dialog commands (IDOK, IDCANCEL, ...) that IsDialogMessage sends
    // for Return and Escape; a menu item must never answer them.
    static constexpr UINT kFirstId = 1000;
    UINT nextId_ = kFirstId;
};

}  // namespace vb::win32view
