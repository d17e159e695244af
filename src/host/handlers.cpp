#include "host/handlers.h"

#include <windows.h>

#include <cstring>

#include "container/container.h"
#include "conversations/attach.h"
#include "conversations/closed_list.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "host/plugin_state.h"
#include "ui/elements.h"
#include "ui/registration.h"

namespace Tabs {

namespace {

constexpr int kOrdinaryMessage = 1;
constexpr int kFlagLeaveAlone = 2;
constexpr char kBoardMarker[] = ">board:";

// Whether the message is one the tabs should react to at all.
bool Concerns(const IncomingMessage& m) {
    if (m.kind != kOrdinaryMessage || !m.from || !m.body) return false;
    return m.from[0] != '\0';
}

void FlashForMessage(HWND window) {
    int count = GetHostInt(Host::kColumnFlashCount);
    if (count != 0 && (!window || IsTabbed(window)) && !ContainerInFront())
        FlashContainer(FLASHW_TRAY, static_cast<UINT>(count));
}

void EnsureTab(int contact) {
    if (GetInt(Column::AutoCreateButton) != 1 || tabBar.Exists(ButtonOf(contact))) return;
    AddTab(contact);
    Reposition(-1, -1);
}

void MarkWaiting(int contact) {
    if (contact != currentCnt) {
        tabBar.Press(ButtonOf(contact), true);
        tabBar.SetImage(ButtonOf(contact), Host::kIconMessage);
    }
    SetContainerIcon(messageIcon);
    bool seen = contact == currentCnt && ContainerInFront();
    if (!seen && !ListContains(waitingList, contact)) waitingList.push_back(contact);
}

}  // namespace

void OnIncomingMessage(const IncomingMessage& m) {
    if (!Concerns(m)) return;
    int contact = Send(Host::kContactByUser, m.network, reinterpret_cast<intptr_t>(m.from));
    if (m.flags & kFlagLeaveAlone) return;
    if (std::strstr(m.body, kBoardMarker)) return;
    // A sender the host does not know has no conversation and no tab.
    if (contact == 0) return;
    if (SendToPlugin(Host::kLeavePlugin, Host::kLeaveMessage, contact, 0) != 0) return;
    HWND window = ConversationWindow(contact);
    FlashForMessage(window);
    // A contact whose button id is a fixed button's can never be a tab.
    bool tabbable = (!window || IsTabbed(window)) && GetContactInt(contact, Column::DontTab) == 0 &&
                    IsTabButtonId(ButtonOf(contact));
    if (tabbable) {
        EnsureTab(contact);
        MarkWaiting(contact);
    }
    RefreshTitle();
}

namespace {

HWND SettingsPageWindow() {
    ActionInfo info{};
    info.size = kActionInfoSize;
    info.ref = {Element::SettingsPage, Host::kGroupSettings, Host::kNoContact};
    info.mask = Host::kMaskHandle;
    Send(Host::kElementRead, &info, 0);
    return static_cast<HWND>(info.handle);
}

void ApplyWindowButtons() {
    int count = Send(Host::kContactCount);
    for (int row = 0; row < count; ++row) UpdateWindowButtons(ContactRef{row});
}

void RemoveContactMenuEntries() {
    const ActionRef entries[] = {
        {Element::Separator, Host::kGroupContactMenu, Host::kNoContact},
        {Element::CloseOthers, Host::kGroupContactMenu, Host::kNoContact},
        {Element::AttachDetach, Host::kGroupContactMenu, Host::kNoContact},
        {Element::Close, Host::kGroupContactMenu, Host::kNoContact},
        {Element::ClearList, Element::ClosedContactMenu, Host::kNoContact},
        {Element::ClosedSeparator, Element::ClosedContactMenu, Host::kNoContact},
        {Element::ClosedContactMenu, Host::kGroupContactMenu, Host::kNoContact},
    };
    for (const ActionRef& entry : entries) {
        ActionRef ref = entry;
        Send(Host::kElementRemove, &ref, 0);
    }
}

void MoveContactMenuEntries() {
    int align = GetInt(Column::MenuAlign);
    if (align == plugin.menuAlign) return;
    plugin.menuAlign = align;
    RemoveContactMenuEntries();
    RegisterContactMenuEntries(align);
}

}  // namespace

bool ApplySettings() {
    if (!SettingsPageWindow()) return false;
    ShowFixedButtons();
    RestartFlashTimer();
    tabsAlign = GetInt(Column::Align);
    Reposition(-1, -1);
    ApplyWindowButtons();
    changeKey = GetInt(Column::ChangeKey);
    MoveContactMenuEntries();
    UpdateClosedMenu();
    SetAlpha();
    return true;
}

void StatusChange(const StatusChangeMessage& record) {
    int contact = ContactOfRef(ContactRef{record.contact});
    int button = ButtonOf(contact);
    if (contact == 0 || !HasTab(contact)) return;
    Log(kTrace, "Tabs::StatusChange - okno istnieje: cnt=%d, status=%d", button, record.status & 0xFF);
    tabBar.SetImage(button, StatusIcon(contact, record.status));
}

intptr_t WindowState(int contact) {
    HWND window = ConversationWindow(contact);
    if (!window) return 0;
    if (!IsTabbed(window)) return Send(Host::kWindowState, contact, 0);
    if (!containerWnd || !IsWindowVisible(containerWnd)) return 0;
    if (contact == currentCnt) return ContainerInFront() ? 1 : -1;
    return -2;
}

}  // namespace Tabs
