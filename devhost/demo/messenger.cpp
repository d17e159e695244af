#include "messenger.h"

#include <commctrl.h>

#include <iterator>

#include "host/requests.h"

namespace DevHostLib {

namespace {

constexpr int kSettingsEntry = 501;  // the host's "Ustawienia" in the main-menu group
constexpr int kInformationEntry = 132;  // the host's "Informacje" in the contact menu
constexpr int kPropertiesEntry = 133;   // the host's "Właściwości" in the contact menu
constexpr UINT kCommandQuit = 100;
constexpr UINT kCommandMessage = 101;
constexpr UINT kCommandStatus = 110;  // + the status
constexpr UINT kFirstGroupCommand = 1000;
constexpr UINT kMenuClosed = WM_APP + 1;
constexpr int kListId = 1;
constexpr int kStatusBarId = 2;
constexpr int kNameWidth = 140;
constexpr int kStatusWidth = 100;
constexpr int kNetworkWidth = 60;

struct SampleContact {
    const char* userId;
    const char* display;
    int network;
    int status;
};

// Network 1 is the messenger's own, 2 and 3 are gateways.
constexpr SampleContact kSampleContacts[] = {
    {"agnieszka.nowak", "Agnieszka Nowak", 1, kStatusOnline},
    {"bartek.kowalski", "Bartosz Kowalski", 1, kStatusAway},
    {"celina@xmpp.pl", "Celina Wiśniewska", 2, kStatusOnline},
    {"darek.wojcik", "Dariusz Wójcik", 1, kStatusBusy},
    {"ewa_k", "Ewa Kamińska", 3, kStatusOnline},
    {"filip@xmpp.pl", "Filip Lewandowski", 2, kStatusOffline},
    {"grazyna.zielinska", "Grażyna Zielińska", 1, kStatusOnline},
    {"henryk_sz", "Henryk Szymański", 3, kStatusAway},
    {"iwona@xmpp.pl", "Iwona Woźniak", 2, kStatusOnline},
    {"jerzy.dabrowski", "Jerzy Dąbrowski", 1, kStatusOffline},
    {"kasia.kozlowska", "Katarzyna Kozłowska", 1, kStatusOnline},
    {"lukasz@xmpp.pl", "Łukasz Jankowski", 2, kStatusBusy},
};

constexpr const char* kSampleMessages[] = {
    "Cześć! Masz chwilę?",
    "Spotkanie przesunięte na 15:00.",
    "Widziałeś już nowe zdjęcia z wyjazdu?",
    "Dzięki za pomoc, działa :)",
    "Zadzwonię wieczorem, dobrze?",
};

constexpr const char* kNetworkNames[] = {"", "Velmora", "XMPP", "IRC"};

const char* NetworkName(int network) {
    return network > 0 && network < static_cast<int>(std::size(kNetworkNames)) ? kNetworkNames[network] : "?";
}

void AddColumn(HWND list, int index, const char* title, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(title);
    column.cx = width;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

const char* StatusName(int status) {
    switch (status) {
        case kStatusOffline: return "Niedostępny";
        case kStatusOnline: return "Dostępny";
        case kStatusAway: return "Zaraz wracam";
        case kStatusBusy: return "Nie przeszkadzać";
    }
    return "?";
}

Messenger::Messenger(DevHost& host) : host(host), mainMenu(host, kMainMenuGroup, kFirstGroupCommand) {
    host.controls.mainWindowProc = [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return Proc(window, message, wParam, lParam);
    };
    host.controls.interactiveMenus = true;
    host.state.hostActions[{kMainMenuGroup, kSettingsEntry}] = [&host](const ActionRef&, int notice) {
        if (notice == Host::kNoticeAction) host.OpenSettingsPage();
    };
    host.state.hostActions[{Host::kGroupContactMenu, kInformationEntry}] = [this](const ActionRef& ref, int notice) {
        if (notice == Host::kNoticeAction) ShowInformation(ref.contact);
    };
    AddProperties();
    host.controls.askUser = [&host](const std::string& question) {
        int answer = MessageBoxA(host.state.mainWindow, question.c_str(), "Velmora", MB_YESNO | MB_ICONQUESTION);
        return answer == IDYES ? 1 : 0;
    };
    CreateChildren();
}

Messenger::~Messenger() {
    host.controls.mainWindowProc = nullptr;
    if (list) DestroyWindow(list);
    if (statusBar) DestroyWindow(statusBar);
    HMENU bar = GetMenu(host.state.mainWindow);
    SetMenu(host.state.mainWindow, nullptr);
    if (bar) DestroyMenu(bar);
}

// The contact's properties, with the pages plug-ins add to them.
void Messenger::AddProperties() {
    Element entry;
    entry.id = kPropertiesEntry;
    entry.parent = Host::kGroupContactMenu;
    entry.text = "Właściwości";
    host.state.elements.Insert(entry, -1);
    host.state.hostActions[{Host::kGroupContactMenu, kPropertiesEntry}] = [this](const ActionRef& ref, int notice) {
        if (notice == Host::kNoticeAction && !host.OpenContactPage(ref.contact))
            MessageBoxA(host.state.mainWindow, "Ten kontakt nie ma stron właściwości.", "Velmora",
                        MB_OK | MB_ICONINFORMATION);
    };
}

void Messenger::AddSampleContacts(ContactTable& contacts) {
    for (const SampleContact& c : kSampleContacts) contacts.Add(c.userId, c.display, c.network, c.status);
}

void Messenger::CreateChildren() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = host.state.mainWindow;
    // The lock belongs to the lock plug-in, which is not here: its item
    // stays out of sight.
    ShowWindow(GetDlgItem(window, Host::kLockDialogItem), SW_HIDE);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                  LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER;
    list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, 0, 0, 100, 100, window,
                           reinterpret_cast<HMENU>(kListId), instance, nullptr);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(host.state.icons.ImageList()));
    AddColumn(list, 0, "Kontakt", kNameWidth);
    AddColumn(list, 1, "Status", kStatusWidth);
    AddColumn(list, 2, "Sieć", kNetworkWidth);
    statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "Dwuklik: rozmowa, prawy klik: menu kontaktu", WS_CHILD | WS_VISIBLE,
                                0, 0, 0, 0, window, reinterpret_cast<HMENU>(kStatusBarId), instance, nullptr);
    SetMenu(window, CreateMenuBar());
    SetWindowTextA(window, "Velmora");
    HICON icon = host.state.icons.Handle(StatusIconId(1, kStatusOnline));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

HMENU Messenger::CreateMenuBar() {
    HMENU bar = CreateMenu();
    mainMenuPopup = CreatePopupMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(mainMenuPopup), "&Velmora");
    simulationPopup = CreatePopupMenu();
    AppendMenuA(simulationPopup, MF_STRING, kCommandMessage, "&Wiadomość od zaznaczonego kontaktu");
    HMENU statuses = CreatePopupMenu();
    for (int status : {kStatusOnline, kStatusAway, kStatusBusy, kStatusOffline})
        AppendMenuA(statuses, MF_STRING, kCommandStatus + status, StatusName(status));
    AppendMenuA(simulationPopup, MF_POPUP, reinterpret_cast<UINT_PTR>(statuses), "&Status zaznaczonego kontaktu");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(simulationPopup), "&Symulacja");
    return bar;
}

void Messenger::Show(int x, int y, int width, int height) {
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (const Contact& c : host.state.contacts.All()) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<char*>(c.display.c_str());
        item.lParam = c.id;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        UpdateRow(c.id);
    }
    MoveWindow(host.state.mainWindow, x, y, width, height, FALSE);
    ShowWindow(host.state.mainWindow, SW_SHOW);
    LayOut();
    UpdateWindow(host.state.mainWindow);
}

void Messenger::LayOut() {
    RECT client{}, bar{};
    GetClientRect(host.state.mainWindow, &client);
    SendMessageA(statusBar, WM_SIZE, 0, 0);
    GetWindowRect(statusBar, &bar);
    MoveWindow(list, 0, 0, client.right, client.bottom - (bar.bottom - bar.top), TRUE);
}

int Messenger::RowOf(int contact) const {
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = contact;
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&find)));
}

int Messenger::ContactAt(int row) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return row >= 0 && SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? static_cast<int>(item.lParam)
                                                                                          : 0;
}

void Messenger::UpdateRow(int contact) {
    const Contact* c = host.state.contacts.Find(contact);
    int row = RowOf(contact);
    if (!c || row < 0) return;
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = host.state.icons.Index(StatusIconId(c->network, c->status));
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.mask = LVIF_TEXT;
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(StatusName(c->status));
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 2;
    item.pszText = const_cast<char*>(NetworkName(c->network));
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

POINT Messenger::RowPoint(int contact) const {
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, RowOf(contact), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &p);
    return p;
}

int Messenger::Selected() const {
    return ContactAt(static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)));
}

void Messenger::Select(int contact) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = item.stateMask;
    SendMessageA(list, LVM_SETITEMSTATE, RowOf(contact), reinterpret_cast<LPARAM>(&item));
}

// The host's own action 138 of the contact menu opens the conversation.
void Messenger::OpenConversation(int contact) {
    if (contact) host.Notify({Host::kActionOpenConversation, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
}

void Messenger::ShowContactMenu(int contact, POINT at) {
    if (contact) host.ShowContactMenu(contact, at);
}

// What Alt+V does: the "Velmora" menu drops down.
void Messenger::OpenMainMenu() { SendMessageA(host.state.mainWindow, WM_SYSCOMMAND, SC_KEYMENU, 'v'); }

void Messenger::MessageFrom(int contact) {
    if (!contact) return;
    host.DeliverMessage(contact, kSampleMessages[nextSample++ % std::size(kSampleMessages)]);
}

void Messenger::ChangeStatus(int contact, int status) {
    if (!contact) return;
    host.ChangeStatus(contact, status);
    UpdateRow(contact);
}

void Messenger::ShowInformation(int contact) {
    const Contact* c = host.state.contacts.Find(contact);
    if (!c) return;
    std::string text = c->display + "\n" + c->userId + " (" + NetworkName(c->network) + ")\n" + StatusName(c->status);
    MessageBoxA(host.state.mainWindow, text.c_str(), "Informacje o kontakcie", MB_OK | MB_ICONINFORMATION);
}

LRESULT Messenger::OnNotify(const NMHDR* header) {
    if (!header || header->hwndFrom != list) return 0;
    const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
    switch (header->code) {
        case NM_DBLCLK: OpenConversation(ContactAt(activate->iItem)); break;
        case NM_RCLICK: {
            POINT at{};
            GetCursorPos(&at);
            ShowContactMenu(ContactAt(activate->iItem), at);
            break;
        }
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_RETURN) OpenConversation(Selected());
            break;
    }
    return 0;
}

void Messenger::OnInitMenuPopup(HMENU popup) {
    if (popup == mainMenuPopup) {
        mainMenu.Build(popup);
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(popup, MF_STRING, kCommandQuit, "&Zakończ");
        return;
    }
    if (popup == simulationPopup) {
        UINT enabled = Selected() ? MF_ENABLED : MF_GRAYED;
        EnableMenuItem(popup, kCommandMessage, MF_BYCOMMAND | enabled);
        EnableMenuItem(popup, 1, MF_BYPOSITION | enabled);
        return;
    }
    mainMenu.BuildSubmenu(popup);
}

void Messenger::OnCommand(UINT command) {
    if (mainMenu.Choose(command)) return;
    if (command == kCommandQuit) PostMessageA(host.state.mainWindow, WM_CLOSE, 0, 0);
    if (command == kCommandMessage) MessageFrom(Selected());
    if (command >= kCommandStatus && command <= kCommandStatus + kStatusBusy)
        ChangeStatus(Selected(), static_cast<int>(command - kCommandStatus));
}

// The messenger ends: the plug-in ends first (it saves the open tabs), then
// the conversations that are left go.
void Messenger::OnClose() {
    if (host.Started()) host.Stop();
    host.state.conversations.DestroyAll();
    ShowWindow(host.state.mainWindow, SW_HIDE);
    PostQuitMessage(0);
}

LRESULT Messenger::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: LayOut(); return 0;
        case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
        case WM_INITMENUPOPUP: OnInitMenuPopup(reinterpret_cast<HMENU>(wParam)); return 0;
        case WM_EXITMENULOOP:
            // The chosen command is already posted: the menu's end comes after it.
            PostMessageA(window, kMenuClosed, 0, 0);
            return 0;
        case kMenuClosed: mainMenu.Close(); return 0;
        case WM_ENTERIDLE:
            if (wParam == MSGF_MENU && host.controls.onMenuIdle)
                host.controls.onMenuIdle(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
        case WM_CLOSE: OnClose(); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace DevHostLib
