// The messenger's menu bar shows a group of the host's elements as one of
// its popups.
#pragma once

#include <windows.h>

#include <memory>

#include "menus.h"

namespace DevHostLib {

// The group behind one popup of a menu bar (the main-menu group under the
// messenger's "Velmora" menu). The host builds the popup afresh each time it
// opens, with the create notices; submenus when the user opens them; the
// chosen entry hears notice 1; and the destroy notices follow when the menu
// has closed and the choice is done.
class MenuBarGroup {
public:
    // Commands from `firstCommand` on are the group's entries.
    MenuBarGroup(DevHost& host, int group, UINT firstCommand);
    ~MenuBarGroup();
    MenuBarGroup(const MenuBarGroup&) = delete;
    MenuBarGroup& operator=(const MenuBarGroup&) = delete;

    // The popup opens: it gets the group's entries.
    void Build(HMENU popup);
    // Any popup opens: a submenu of the group gets its entries; false when
    // the popup is not one of the group's submenus.
    bool BuildSubmenu(HMENU popup);
    // A menu command: false when it is not one of the group's entries.
    bool Choose(UINT command);
    // The destroy notices for everything the last showing built.
    void Close();

private:
    DevHost& host;
    int group;
    UINT firstCommand;
    std::unique_ptr<MenuSession> session;
    std::unique_ptr<ShownMenu> shown;
    MenuCommands commands;
};

}  // namespace DevHostLib
