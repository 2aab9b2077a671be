#include "qt/menu_builder.h"

#include <QMenu>
#include <QPointer>

#include "qt/failure_report.h"

namespace vb::qtview {

namespace {

void Follow(forms::Menu& menu, QAction* action) {
    QPointer<QAction> alive = action;
    menu.SetObserver([&menu, alive](forms::Change change) {
        if (!alive) return;
        switch (change) {
            case forms::Change::Caption:
                alive->setText(QString::fromStdString(menu.Caption()));
                break;
            case forms::Change::Enabled:
                alive->setEnabled(menu.Enabled());
                break;
            case forms::Change::Visible:
                alive->setVisible(menu.Visible());
                break;
            default:
                break;
        }
    });
    action->setEnabled(menu.Enabled());
    action->setVisible(menu.Visible());
}

void AddItems(QMenu& qmenu, forms::Menu& menu, std::map<const forms::Menu*, QAction*>& actions) {
    for (forms::Menu* item : menu.Items()) {
        QAction* action = nullptr;
        if (item->IsSeparator()) {
            action = qmenu.addSeparator();
        } else if (!item->Items().empty()) {
            QMenu* sub = qmenu.addMenu(QString::fromStdString(item->Caption()));
            action = sub->menuAction();
            AddItems(*sub, *item, actions);
        } else {
            action = qmenu.addAction(QString::fromStdString(item->Caption()));
            QObject::connect(action, &QAction::triggered, action,
                             [item] { RunGuarded([item] { item->RaiseClick(); }); });
        }
        action->setObjectName(QString::fromStdString(item->Name()));
        actions[item] = action;
        Follow(*item, action);
    }
}

void Release(forms::Menu& menu) {
    menu.SetObserver(nullptr);
    for (forms::Menu* item : menu.Items()) Release(*item);
}

}  // namespace

std::map<const forms::Menu*, QAction*> BuildMenuBar(QMenuBar& bar,
                                                    const std::vector<forms::Menu*>& menus) {
    std::map<const forms::Menu*, QAction*> actions;
    for (forms::Menu* menu : menus) {
        if (menu->Items().empty()) {
            // A command right on the menu bar.
            QAction* action = bar.addAction(QString::fromStdString(menu->Caption()));
            QObject::connect(action, &QAction::triggered, action,
                             [menu] { RunGuarded([menu] { menu->RaiseClick(); }); });
            action->setObjectName(QString::fromStdString(menu->Name()));
            actions[menu] = action;
            Follow(*menu, action);
            continue;
        }
        QMenu* qmenu = bar.addMenu(QString::fromStdString(menu->Caption()));
        qmenu->setObjectName(QString::fromStdString(menu->Name()));
        QAction* action = qmenu->menuAction();
        action->setObjectName(QString::fromStdString(menu->Name()));
        actions[menu] = action;
        Follow(*menu, action);
        AddItems(*qmenu, *menu, actions);
    }
    return actions;
}

void ReleaseMenus(const std::vector<forms::Menu*>& menus) {
    for (forms::Menu* menu : menus) Release(*menu);
}

}  // namespace vb::qtview
