#include "ui/registration.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/columns.h"
#include "host/host.h"
#include "host/plugin_state.h"
#include "ui/elements.h"
#include "ui/info_box.h"

namespace Tabs {

SetLayeredWindowAttributesProc setLayeredWindowAttributes = nullptr;
int buttonGroup = Element::Toolbar;
int changeKey = 0;
int viewCtrlOwner = 0;
int sendCtrlOwner = 0;

namespace {

// Menus deeper than this are taken for a host that answers with a new group
// at every level.
constexpr int kMaxMenuDepth = 16;
constexpr int kTextBuffer = 100;

constexpr char kTabsCaption[] = "Zakładki";
constexpr char kInfoImage[] = "res://dll/101.ico";
constexpr char kDescription[] =
    "Rozmowy w zakładkach. Koniec problemów z brakiem miejsca na pasku zadań - wszystkie rozmowy zgrupowane są "
    "w jedno wygodne okno. Chcesz prowadzić 2 rozmowy symultanicznie? Nie ma problemu - możesz odpiąć "
    "podjedyncze okienko :)";

struct MenuEntry {
    int id;
    uint32_t status;
    const char* text;
    int icon;
};

// Rows 8 to 10: the contact-menu entries after the recently closed submenu.
constexpr MenuEntry kContactMenuEntries[] = {
    {Element::CloseOthers, Status::HiddenInMenu, "Zamknij pozostałe", 0},
    {Element::AttachDetach, Status::HiddenInMenu, "Przypnij/Odepnij", Icon::TabsIcon},
    {Element::Close, Status::HiddenInMenu | 0x100, "Zamknij rozmowę", Icon::CloseIcon},
};

void LookUpLayeredWindows() {
    HMODULE user32 = GetModuleHandleA("USER32");
    FARPROC proc = user32 ? GetProcAddress(user32, "SetLayeredWindowAttributes") : nullptr;
    setLayeredWindowAttributes = reinterpret_cast<SetLayeredWindowAttributesProc>(reinterpret_cast<void*>(proc));
}

void RegisterIcon(int iconId, int kind, HINSTANCE module, int resourceId, HICON image) {
    IconRegistration r;
    std::memset(&r, 0, sizeof r);
    r.size = sizeof r;
    r.iconId = iconId;
    r.kind = kind;
    r.one16 = 1;
    r.module = module;
    r.resourceId = resourceId;
    r.image = image;
    Send(Host::kIconRegister, &r);
}

void RegisterIcons() {
    HINSTANCE module = hostControl->moduleInstance();
    RegisterIcon(Icon::TabsIcon, 1, module, Icon::TabsResource, nullptr);
    RegisterIcon(Icon::CloseIcon, 1, module, Icon::CloseResource, nullptr);
    auto messageIcon =
        reinterpret_cast<HICON>(Send(Host::kIconHandle, Host::kIconMessage, Host::kIconHandleForRegistration));
    RegisterIcon(Host::kIconMessage, 1, nullptr, 0, messageIcon);
    RegisterIcon(Icon::TabsIcon, 2, module, Icon::TabsResource, nullptr);
}

uint32_t HiddenUnless(bool shown) { return shown ? 0 : Host::kStatusHidden; }

// Rows 1 to 3: the conversation-window buttons, in their own group unless
// they go on the window's main bar.
void RegisterButtons() {
    bool detach = GetInt(Column::ToolbarDetachButton) != 0;
    bool close = GetInt(Column::ToolbarCloseButton) != 0;
    if (buttonGroup == Element::Toolbar)
        AddGroupElement(Host::kGroupToolbars, Element::Toolbar, 0, HiddenUnless(detach || close), kTabsCaption);
    AddElement(buttonGroup, Element::AttachDetach, 0, HiddenUnless(detach), "Przypnij/Odepnij", Icon::TabsIcon);
    AddElement(buttonGroup, Element::Close, 0, HiddenUnless(close), "Zamknij", Icon::CloseIcon);
}

// "Wyczyść listę" and its separator head both recently closed submenus.
void RegisterClosedMenuHead(int submenu) {
    AddElement(submenu, Element::ClearList, -1, Status::InMenu, "Wyczyść listę");
    AddElement(submenu, Element::ClosedSeparator, -1, Status::Separator, nullptr);
}

void RegisterMainMenuEntries() {
    AddGroupElement(Send(Host::kMainMenuGroup), Element::ClosedMainMenu, -1, Status::InMenu, "Zamknięte rozmowy",
                    Icon::CloseIcon);
    RegisterClosedMenuHead(Element::ClosedMainMenu);
}

void RegisterContactPage() {
    AddGroupElement(Host::kGroupContactPages, Element::ContactPage, -1, Status::InMenu, kTabsCaption, Icon::TabsIcon);
    AddElement(Element::ContactPage, 0, -1, Status::GroupStart, kTabsCaption);
    AddElement(Element::ContactPage, 0, -1, Status::CheckBox, "Domyślnie odpinaj okno tego kontaktu", Column::DontTab);
    AddElement(Element::ContactPage, 0, -1, Status::GroupEnd, nullptr);
}

// The lock setting greys the host's own control for it.
void ApplyLockState() {
    HWND window = ElementWindow({Host::kElementLockWindow, 0, Host::kNoContact});
    HWND item = window ? GetDlgItem(window, Host::kLockDialogItem) : nullptr;
    if (item) EnableWindow(item, GetInt(Column::LockState) == 0);
}

int TakeOver(const ActionRef& ref) {
    char text[kTextBuffer] = {};
    ActionInfo info;
    BuildActionInfo(info, ref.parent, ref.id, 0, 0, text);
    info.ref.contact = ref.contact;
    info.textSize = kTextBuffer - 1;
    Send(Host::kElementRead, &info);
    text[kTextBuffer - 1] = '\0';
    info.text = text;

    ActionRef request = ref;
    int owner = Send(Host::kElementOwner, &request);
    if (!owner) owner = Send(Host::kFallbackOwner);
    Send(Host::kElementRemove, &request);
    Send(Host::kElementInsert, &info);
    return owner;
}

}  // namespace

void AddElement(int parent, int id, int position, uint32_t status, const char* text, int param) {
    ActionInfo a;
    BuildActionInfo(a, parent, id, position, status, text, param);
    Send(Host::kElementInsert, &a);
}

void AddGroupElement(int parent, int id, int position, uint32_t status, const char* text, int param) {
    AddElement(parent, id, position, status | Host::kStatusGroup, text, param);
}

void RegisterContactMenuEntries(int position) {
    AddElement(Host::kGroupContactMenu, Element::Separator, position, Status::InMenu | Status::Separator, nullptr);
    AddGroupElement(Host::kGroupContactMenu, Element::ClosedContactMenu, position, Status::InMenu,
                    "Ostatnio zamknięte");
    RegisterClosedMenuHead(Element::ClosedContactMenu);
    for (const MenuEntry& e : kContactMenuEntries)
        AddElement(Host::kGroupContactMenu, e.id, position, e.status, e.text, e.icon);
}

int IPrepare() {
    LookUpLayeredWindows();
    if (!hostControl) return 1;
    Log(kTrace, "Tabs::IPrepare");
    RegisterIcons();
    buttonGroup = GetInt(Column::ToolbarButtonsOnMain) ? Host::kGroupMainToolbar : Element::Toolbar;
    RegisterButtons();
    plugin.menuAlign = GetInt(Column::MenuAlign);
    RegisterContactMenuEntries(plugin.menuAlign);
    RegisterMainMenuEntries();
    AddGroupElement(Host::kGroupSettings, Element::SettingsPage, -1, 0, kTabsCaption, Icon::TabsIcon);
    std::string about = AboutText();
    AddInfoBox(Element::SettingsPage, kDescription, about.c_str(), kInfoImage, -4, nullptr, true);
    RegisterSettingsControls(setLayeredWindowAttributes != nullptr);
    RegisterContactPage();
    ApplyLockState();
    changeKey = GetInt(Column::ChangeKey);
    return 1;
}

void TakeOverActions() {
    viewCtrlOwner = TakeOver({Host::kActionMessageView, Host::kGroupConversation, Host::kNoContact});
    sendCtrlOwner = TakeOver({Host::kActionMessageEdit, Host::kGroupConversation, Host::kNoContact});
}

namespace {

// A group the host lists inside itself, directly or further down, is named
// but not walked again: each pass through such a loop would multiply the list.
void ListGroup(std::ostringstream& stream, const ActionRef& group, int depth, std::vector<int>& listing) {
    if (depth > kMaxMenuDepth || std::find(listing.begin(), listing.end(), group.id) != listing.end()) return;
    listing.push_back(group.id);
    ActionRef request = group;
    int count = Send(Host::kElementChildCount, &request);
    char text[kTextBuffer];
    ActionInfo info;
    std::memset(&info, 0, sizeof info);
    info.size = kActionInfoSize;
    info.ref.contact = group.contact;
    info.mask = Host::kMaskListRead;
    for (int i = 0; i < count; ++i) {
        int child = Send(Host::kElementChildId, group.id, i);
        if (!child) continue;
        // A read the host does not answer must not show the previous child.
        text[0] = '\0';
        info.ref.id = child;
        info.ref.parent = group.id;
        info.text = text;
        info.textSize = kTextBuffer - 1;
        info.param = 0;
        info.elementType = 0;
        Send(Host::kElementRead, &info);
        text[kTextBuffer - 1] = '\0';
        if (!text[0]) continue;
        stream << std::string(6 * depth, ' ') << text << '\x03' << info.param << '\x02'
               << static_cast<uint32_t>(group.id) << ':' << static_cast<uint32_t>(child) << '\x0A';
        if (info.elementType & Host::kElementHoldsOthers)
            ListGroup(stream, {child, group.id, info.ref.contact}, depth + 1, listing);
    }
    listing.pop_back();
}

}  // namespace

void ListActions(std::ostringstream& stream, const ActionRef& group, int depth) {
    std::vector<int> listing;
    ListGroup(stream, group, depth, listing);
}

}  // namespace Tabs
