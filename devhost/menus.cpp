#include "menus.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "dev_host.h"
#include "host/requests.h"
#include "window_class.h"

namespace DevHostLib {

namespace {

constexpr char kOwnerClass[] = "VelmoraMenuOwner";
constexpr char kMenuClass[] = "#32768";
constexpr int kMaxDepth = 16;

// A real popup menu being tracked.
struct Tracking {
    MenuSession* session = nullptr;
    MenuCommands commands;
};

void OnInitMenuPopup(HWND owner, HMENU menu) {
    auto* tracking = reinterpret_cast<Tracking*>(GetWindowLongPtrA(owner, GWLP_USERDATA));
    if (!tracking) return;
    auto it = tracking->commands.unbuilt.find(menu);
    if (it == tracking->commands.unbuilt.end()) return;
    MenuEntry* entry = it->second;
    tracking->commands.unbuilt.erase(it);
    tracking->session->Open(*entry);
    tracking->commands.Fill(menu, *entry);
}

// The menu loop has nothing to do: the menu is on the screen in front of the
// user.
void OnEnterIdle(HWND owner, WPARAM kind, LPARAM menuWindow) {
    auto* tracking = reinterpret_cast<Tracking*>(GetWindowLongPtrA(owner, GWLP_USERDATA));
    if (tracking && kind == MSGF_MENU) tracking->session->Idle(reinterpret_cast<HWND>(menuWindow));
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(window, reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_ENTERIDLE:
            OnEnterIdle(window, wParam, lParam);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateOwner() {
    static bool registered = false;
    if (!registered) registered = RegisterHostClass(kOwnerClass, OwnerProc);
    return CreateWindowExA(WS_EX_TOOLWINDOW, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

BOOL CALLBACK CollectMenu(HWND window, LPARAM list) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name) == kMenuClass)
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

MenuEntry* ChildWithId(MenuEntry& level, int id) {
    for (MenuEntry& e : level.entries)
        if (e.id == id) return &e;
    return nullptr;
}

}  // namespace

void MenuCommands::Fill(HMENU menu, MenuEntry& level) {
    for (MenuEntry& e : level.entries) {
        if (e.hidden) continue;
        if (e.separator) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (e.disabled ? MF_GRAYED : 0);
        if (e.submenu) {
            HMENU sub = CreatePopupMenu();
            unbuilt[sub] = &e;
            AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), e.text.c_str());
            continue;
        }
        entries.push_back(&e);
        AppendMenuA(menu, flags, first + entries.size() - 1, e.text.c_str());
    }
}

MenuEntry* MenuCommands::Entry(UINT command) const {
    bool known = command >= first && command - first < entries.size();
    return known ? entries[command - first] : nullptr;
}

const MenuEntry* MenuEntry::Find(int wanted) const {
    for (const MenuEntry& e : entries) {
        if (e.id == wanted) return &e;
        if (const MenuEntry* inner = e.Find(wanted)) return inner;
    }
    return nullptr;
}

std::vector<int> MenuEntry::Ids(bool visibleOnly) const {
    std::vector<int> ids;
    for (const MenuEntry& e : entries)
        if (!visibleOnly || !e.hidden) ids.push_back(e.id);
    return ids;
}

MenuChooser ChooseInOrder(std::vector<int> ids) {
    auto next = std::make_shared<size_t>(0);
    return [ids, next](const MenuEntry&) { return *next < ids.size() ? ids[(*next)++] : 0; };
}

MenuEntry MenuSession::Entry(int id, int group) const {
    MenuEntry m;
    m.id = id;
    m.parent = group;
    const Element* e = host.state.elements.Find(id, group);
    if (!e) {
        m.hidden = true;
        return m;
    }
    m.text = e->TextFor(contact);
    m.status = e->StatusFor(contact);
    m.icon = e->param;
    m.hidden = (m.status & kStatusHidden) != 0;
    m.disabled = (m.status & kStatusDisabled) != 0;
    m.submenu = (m.status & kStatusGroup) != 0 || (e->elementType & kHoldsOthers) != 0;
    m.separator = !m.submenu && ((m.status & kKindMask) == kKindSeparator || m.text.empty());
    return m;
}

void MenuSession::Open(MenuEntry& menu) {
    const int group = menu.id;
    // The owners may add and remove elements of the group while they are
    // told about its creation: the walk follows the group as it is now, and
    // tells each element once.
    std::set<int> told;
    for (size_t i = 0;; ++i) {
        std::vector<int> children = host.state.elements.Children(group);
        if (i >= children.size()) break;
        if (told.insert(children[i]).second) host.Notify({children[i], group, contact}, Host::kNoticeCreate);
    }
    menu.entries.clear();
    for (int id : host.state.elements.Children(group)) menu.entries.push_back(Entry(id, group));
    menu.opened = true;
    openedGroups.push_back(group);
}

void MenuSession::Choose(const MenuEntry& entry) { host.Notify({entry.id, entry.parent, contact}, Host::kNoticeAction); }

void MenuSession::Close() {
    for (int group : openedGroups)
        for (int id : host.state.elements.Children(group)) host.Notify({id, group, contact}, Host::kNoticeDestroy);
    openedGroups.clear();
}

MenuEntry* MenuSession::Script(MenuEntry& top, const MenuChooser& chooser) {
    MenuEntry* level = &top;
    for (int depth = 0; chooser && depth < kMaxDepth; ++depth) {
        int id = chooser(*level);
        MenuEntry* entry = id ? ChildWithId(*level, id) : nullptr;
        if (!entry || !entry->Choosable()) return nullptr;
        if (!entry->submenu) return entry;
        Open(*entry);
        level = entry;
    }
    return nullptr;
}

MenuEntry* MenuSession::Track(MenuEntry& top, POINT at) {
    HWND owner = CreateOwner();
    if (!owner) return nullptr;
    Tracking tracking;
    tracking.session = this;
    SetWindowLongPtrA(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&tracking));
    HMENU menu = CreatePopupMenu();
    tracking.commands.Fill(menu, top);
    // A popup menu closes properly only when its owner is in front.
    SetForegroundWindow(owner);
    int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    SetWindowLongPtrA(owner, GWLP_USERDATA, 0);
    DestroyWindow(owner);
    return command > 0 ? tracking.commands.Entry(static_cast<UINT>(command)) : nullptr;
}

void MenuSession::Idle(HWND menuWindow) {
    if (host.controls.onMenuIdle) host.controls.onMenuIdle(menuWindow);
}

int DevHost::PopupMenu(int group, int contact, POINT at) {
    ShownMenu shown;
    shown.contact = contact;
    shown.at = at;
    shown.menu.id = group;
    shown.menu.submenu = true;
    if (const Element* e = state.elements.FindAnyParent(group)) {
        shown.menu.parent = e->parent;
        shown.menu.text = e->TextFor(contact);
    }
    MenuSession session(*this, contact);
    session.Open(shown.menu);
    MenuEntry* chosen =
        controls.interactiveMenus ? session.Track(shown.menu, at) : session.Script(shown.menu, controls.chooseMenu);
    if (chosen) {
        shown.chosen = chosen->id;
        shown.chosenParent = chosen->parent;
        session.Choose(*chosen);
    }
    session.Close();
    recorded.lastMenu = std::move(shown);
    return recorded.lastMenu.chosen;
}

// Request 10150. With notice 266 the element pops up as a menu at the
// point: {30, 10, contact} is the contact menu for that contact, a group
// element is its own submenu.
void DevHost::ElementCall(const HostMessage* m) {
    ActionCall call{};
    std::memcpy(&call, m, std::min<size_t>(m->size, sizeof call));
    recorded.elementCalls.push_back(call);
    if (m->size < sizeof call || call.notice != Host::kNoticePopup) return;
    const ActionRef& ref = call.ref;
    POINT at{call.pointX, call.pointY};
    if (ref.id == Host::kGroupContactMenu && ref.parent == Host::kActionContactMenu) {
        PopupMenu(Host::kGroupContactMenu, ref.contact, at);
        return;
    }
    const Element* e = state.elements.Find(ref.id, ref.parent);
    if (e && ((e->status & kStatusGroup) || (e->elementType & kHoldsOthers))) PopupMenu(ref.id, ref.contact, at);
}

std::vector<HWND> OpenMenus() {
    std::vector<HWND> menus;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenu, reinterpret_cast<LPARAM>(&menus));
    // The enumeration goes from the top of the z-order down.
    std::reverse(menus.begin(), menus.end());
    return menus;
}

int DevHost::ShowContactMenu(int contact, POINT at) { return PopupMenu(Host::kGroupContactMenu, contact, at); }

int DevHost::ShowMainMenu(POINT at) { return PopupMenu(kMainMenuGroup, Host::kNoContact, at); }

}  // namespace DevHostLib
