#pragma once

#include <QAction>
#include <QMenuBar>
#include <map>
#include <vector>

#include "forms/menu.h"

namespace vb::qtview {

// Builds the menu bar from the form's menus: captions keep their "&" access keys,
// "-" items become separators, a chosen item raises its Click. Later changes of caption,
// enabled and visible state follow. Returns the action of every menu and item.
std::map<const forms::Menu*, QAction*> BuildMenuBar(QMenuBar& bar,
                                                    const std::vector<forms::Menu*>& menus);

// Stops following the menus' changes.
void ReleaseMenus(const std::vector<forms::Menu*>& menus);

}  // namespace vb::qtview
