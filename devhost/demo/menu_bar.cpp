#include "menu_bar.h"

#include "dev_host.h"
#include "host/requests.h"

namespace DevHostLib {

MenuBarGroup::MenuBarGroup(DevHost& host, int group, UINT firstCommand)
    : host(host), group(group), firstCommand(firstCommand) {}

MenuBarGroup::~MenuBarGroup() { Close(); }

void MenuBarGroup::Build(HMENU popup) {
    Close();
    while (GetMenuItemCount(popup) > 0) DeleteMenu(popup, 0, MF_BYPOSITION);
    shown = std::make_unique<ShownMenu>();
    shown->contact = Host::kNoContact;
    shown->menu.id = group;
    shown->menu.submenu = true;
    session = std::make_unique<MenuSession>(host, Host::kNoContact);
    session->Open(shown->menu);
    commands = MenuCommands();
    commands.first = firstCommand;
    commands.Fill(popup, shown->menu);
}

bool MenuBarGroup::BuildSubmenu(HMENU popup) {
    auto it = commands.unbuilt.find(popup);
    if (!session || it == commands.unbuilt.end()) return false;
    MenuEntry* entry = it->second;
    commands.unbuilt.erase(it);
    session->Open(*entry);
    commands.Fill(popup, *entry);
    return true;
}

bool MenuBarGroup::Choose(UINT command) {
    MenuEntry* chosen = session ? commands.Entry(command) : nullptr;
    if (!chosen) return false;
    shown->chosen = chosen->id;
    shown->chosenParent = chosen->parent;
    session->Choose(*chosen);
    return true;
}

void MenuBarGroup::Close() {
    if (!session) return;
    session->Close();
    session.reset();
    commands = MenuCommands();
    host.recorded.lastMenu = std::move(*shown);
    shown.reset();
}

}  // namespace DevHostLib
