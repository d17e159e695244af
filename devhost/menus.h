// Menus as the host delivers them. Showing a group as a menu for a contact:
// the create notice (10) to the owner of every element of the group, then
// the menu built from the elements not hidden for that contact, the user's
// choice (notice 1 to the chosen element), and the destroy notice (11) to
// every element of each group that was shown.
//
// Submenus are built lazily, as the host builds them: a submenu's own
// elements get their create notices only when the user opens it, and a
// submenu that was never opened never gets its children's notices.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace DevHostLib {

constexpr uint32_t kKindMask = 0x00FF0000;
constexpr uint32_t kKindSeparator = 0x00010000;
constexpr uint32_t kStatusHidden = 0x1;
constexpr uint32_t kStatusDisabled = 0x2;
constexpr uint32_t kStatusGroup = 0x10;

// One entry of a shown menu, as the host built it for the contact; the top
// of a menu is an entry too (the group that was popped up).
struct MenuEntry {
    int id = 0;
    int parent = 0;
    std::string text;  // as shown for the contact
    uint32_t status = 0;
    int icon = 0;
    bool hidden = false;  // left out of the menu the user sees
    bool disabled = false;
    bool separator = false;
    bool submenu = false;
    bool opened = false;  // a submenu the user opened: entries were built
    std::vector<MenuEntry> entries;

    bool Choosable() const { return !hidden && !disabled && !separator; }
    // The entry with this id at this level or below, or null.
    const MenuEntry* Find(int id) const;
    // Ids of this level's entries in order; with visibleOnly, only those
    // the user sees (separators included).
    std::vector<int> Ids(bool visibleOnly = false) const;
};

// What the last shown menu held.
struct ShownMenu {
    int contact = 0;
    MenuEntry menu;       // the popped-up group and everything built under it
    int chosen = 0;       // id of the chosen element, 0 when none
    int chosenParent = 0;
    POINT at{};           // where it popped up (screen)
};

// A scripted user. Called for every menu level the user has in front of
// them: first the popped-up group, then each submenu that the previous
// answer opened. Answers the id of an entry of that level: a submenu opens,
// any other entry is chosen; 0 (or an entry the user cannot choose, such as
// a hidden, greyed or separator entry) closes the menu without a choice.
using MenuChooser = std::function<int(const MenuEntry& level)>;

// A user who opens or chooses these ids, one per level, in order.
MenuChooser ChooseInOrder(std::vector<int> ids);

// This thread's open menus, the one opened first first.
std::vector<HWND> OpenMenus();

class DevHost;

// A real menu built from entries: the command number of every entry
// (element ids do not fit a menu command) and the submenus still to be
// built, which the host builds only when the user opens them.
struct MenuCommands {
    UINT first = 1;
    std::vector<MenuEntry*> entries;
    std::map<HMENU, MenuEntry*> unbuilt;

    // Appends the level's visible entries to the menu.
    void Fill(HMENU menu, MenuEntry& level);
    // The entry of a command number, or null.
    MenuEntry* Entry(UINT command) const;
};

// One showing of a menu: which groups got their create notices, so that the
// same ones get their destroy notices.
class MenuSession {
public:
    MenuSession(DevHost& host, int contact) : host(host), contact(contact) {}
    MenuSession(const MenuSession&) = delete;
    MenuSession& operator=(const MenuSession&) = delete;

    // Sends the create notices of the group's elements and builds its entries.
    void Open(MenuEntry& menu);
    // Notice 1 to the chosen element's owner.
    void Choose(const MenuEntry& entry);
    // Destroy notices for every group that was opened, in the order opened.
    void Close();

    MenuEntry* Script(MenuEntry& top, const MenuChooser& chooser);
    MenuEntry* Track(MenuEntry& top, POINT at);
    // The real menu waits for the user.
    void Idle(HWND menuWindow);

private:
    MenuEntry Entry(int id, int group) const;

    DevHost& host;
    int contact;
    std::vector<int> openedGroups;
};

}  // namespace DevHostLib
