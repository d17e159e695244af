// The container's answers to the user's gestures, its close request and its
// timers.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "container/container.h"
#include "container/container_window.h"
#include "conversations/attach.h"
#include "conversations/closed_list.h"
#include "conversations/closing.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "ui/elements.h"
#include "ui/switcher.h"

namespace Tabs {

clock_t dragStart = 0;
bool flashPhase = true;

namespace {

// atoi's reading: a number beyond 32 bits gives its nearest end.
int32_t Number(const std::string& text) { return ReadDecimal(text.data(), text.data() + text.size()).value; }

POINT CursorPos() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor;
}

// The popup menu of an element for a contact, at a screen point (code 10150).
void PopUp(const ActionRef& ref, POINT at, HWND window) {
    ActionCall call;
    BuildActionCall(call, ref, Host::kNoticePopup, at.x, at.y, 0, window, 0, 0);
    if (hostControl) hostControl->send(reinterpret_cast<HostMessage*>(&call));
}

void ToggleTransparency() {
    SetInt(Column::PosAlphaDisable, GetInt(Column::PosAlphaDisable) == 0 ? 1 : 0);
    SetAlpha();
}

// The recently closed menu pops up between its create and destroy notices,
// as the host's own menus do.
void PopUpClosedMenu(POINT at) {
    if (closedList.empty()) return;
    CallAction({Element::ClosedMainMenu, static_cast<int32_t>(Send(Host::kMainMenuGroup)), Host::kNoContact},
               Host::kNoticeCreate);
    PopUp({Element::ClosedMainMenu, static_cast<int32_t>(Send(Host::kMainMenuGroup)), Host::kNoContact}, at,
          currentWnd);
    CallAction({Element::ClosedMainMenu, static_cast<int32_t>(Send(Host::kMainMenuGroup)), Host::kNoContact},
               Host::kNoticeDestroy);
}

// The host marks the shown conversation's messages as read.
void MarkCurrentRead() {
    const ConversationRecord* record = ConversationOf(currentWnd);
    if (!record) return;
    if (!GetPropA(currentWnd, kPropMsgWaiting) && record->waiting == 0) return;
    std::string user = GetContactString(record->contact, Host::kContactUserId);
    MessageSelector selector;
    BuildMessageSelector(selector);
    selector.network = record->network;
    selector.userId = user.c_str();
    selector.field10 = Host::kSelectorField10;
    selector.field14 = Host::kSelectorField14;
    selector.field18 = Host::kSelectorField18;
    Send(Host::kMarkRead, &selector, Host::kMarkReadP2);
    SetPropA(currentWnd, kPropMsgWaiting, nullptr);
}

void OnReadTimer() {
    if (!ContainerInFront()) return;
    MarkCurrentRead();
    SetContainerIcon(normalIcon);
    ClearMsgWaiting(0);
}

// Every waiting tab shows the same icon at the same tick.
void OnFlashTimer() {
    const ContactList waiting = waitingList;
    std::vector<ButtonImage> images;
    for (int32_t contact : waiting)
        images.push_back({ButtonOf(contact), flashPhase ? StatusIcon(contact, -1) : MessageIcon(contact)});
    tabBar.SetImages(images);
    flashPhase = !flashPhase;
}

}  // namespace

ActionRef ReadClickSetting(int column, int contact) {
    std::string text = GetString(column);
    size_t colon = text.find(':');
    std::string group = colon == std::string::npos ? text : text.substr(0, colon);
    std::string action = colon == std::string::npos ? text : text.substr(colon + 1);
    return {Number(action), Number(group), contact};
}

void RunClickSetting(int column, int contact) { CallAction(ReadClickSetting(column, contact), Host::kNoticeAction); }

// Also a deactivation while minimised counts: the user sees the taskbar
// button and the shown conversation as attended to.
LRESULT Container::OnActivate(WPARAM wParam) {
    Log(kTrace, "Tabs::WndProc - WM_ACTIVATE, wParam=%d", static_cast<int>(wParam));
    if (wParam == 0) return 0;
    Redraw();
    if (currentWnd) SendMessageA(currentWnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    SetContainerIcon(normalIcon);
    ClearMsgWaiting(0);
    FlashContainer(FLASHW_STOP, 0);
    return 0;
}

// Shift turns the configured answer around: closing every tab or only hiding
// the container.
LRESULT Container::OnClose() {
    Log(kTrace, "Tabs::WndProc - WM_CLOSE");
    CloseSwitcher();
    bool closeAll = GetInt(Column::CloseAllTabs) != 0 ||
                    (GetInt(Column::CloseTabWhenOne) != 0 && tabBar.Count() == kFirstTabIndex + 1);
    if (closeAll != KeyDown(VK_SHIFT)) {
        CloseTabs(-1);
        currentCnt = 0;
        currentWnd = nullptr;
    } else {
        if (currentWnd) ShowWindow(currentWnd, SW_HIDE);
        ShowWindow(window, SW_HIDE);
    }
    return 0;
}

// Without a shown conversation the fixed buttons have nothing to act on.
LRESULT Container::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    Log(kTrace, "Tabs::WndProc - WM_COMMAND: %d", id);
    if (id == kCloseButtonId) {
        if (currentCnt) CloseTab(currentCnt);
    } else if (id == kDetachButtonId) {
        if (currentCnt) ToggleAttach(RefTo(currentCnt));
    } else if (bar.IsAllTabsControl(lParam)) {
        if (HIWORD(wParam) == STN_CLICKED) bar.ShowAllTabsMenu();
    } else if (tabBar.Window() && reinterpret_cast<HWND>(lParam) == tabBar.Window()) {
        int32_t contact = ContactOf(ButtonId{id});
        if (KeyDown(VK_MENU))
            RunClickSetting(Column::AltClick, contact);
        else if (KeyDown(VK_SHIFT))
            RunClickSetting(Column::ShiftClick, contact);
        else if (KeyDown(VK_CONTROL))
            RunClickSetting(Column::ControlClick, contact);
        else
            MoveToWnd(contact);
    }
    return 0;
}

LRESULT Container::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(lParam) == WM_MBUTTONUP) return OnMiddleClick();
    return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
}

LRESULT Container::OnMiddleClick() {
    Log(kTrace, "Tabs::WndProc - WM_SETCURSOR(WM_MBUTTONUP)");
    int command = -1;
    if (!bar.ButtonUnderCursor(command)) return 0;
    if (command == -1) {
        ToggleTransparency();
    } else if (IsFixedButton(command)) {
        ReopenNewestClosed();
    } else {
        RunClickSetting(Column::MClick, ContactOf(ButtonId{command}));
    }
    return 0;
}

LRESULT Container::OnNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return 0;
    switch (header->code) {
        case TBN_BEGINDRAG: return drag.OnBegin(*reinterpret_cast<const NMTOOLBARA*>(lParam));
        case TBN_ENDDRAG: return drag.OnEnd(*reinterpret_cast<const NMTOOLBARA*>(lParam));
        case TTN_GETDISPINFOA: return bar.TooltipText(*reinterpret_cast<NMTTDISPINFOA*>(lParam));
        case TBN_HOTITEMCHANGE: return bar.OnHotItemChange();
        case NM_RDBLCLK: return OnRightDoubleClick();
        case NM_RCLICK: return OnRightClick(*reinterpret_cast<const NMMOUSE*>(lParam));
        case UDN_DELTAPOS: return bar.OnArrows(*reinterpret_cast<const NMUPDOWN*>(lParam));
        case NM_CUSTOMDRAW: return images.OnCustomDraw(*reinterpret_cast<const NMTBCUSTOMDRAW*>(lParam));
        case TBN_GETDISPINFOW: return images.OnGetDispInfo(*reinterpret_cast<NMTBDISPINFOW*>(lParam));
        case TBN_GETDISPINFOA: return images.OnGetDispInfo(*reinterpret_cast<NMTBDISPINFOA*>(lParam));
    }
    return 0;
}

LRESULT Container::OnRightDoubleClick() {
    Log(kTrace, "Tabs::WndProc - WM_NOTIFY(NM_RDBLCLK)");
    int command = -1;
    if (bar.ButtonUnderCursor(command) && command != -1 && !IsFixedButton(command))
        RunClickSetting(Column::RDblClick, ContactOf(ButtonId{command}));
    return 0;
}

LRESULT Container::OnRightClick(const NMMOUSE& info) {
    int item = static_cast<int>(info.dwItemSpec);
    Log(kTrace, "Tabs::WndProc - WM_NOTIFY(NM_RCLICK) - dwItemSpec: %d, dwItemData: %d", item,
        static_cast<int>(info.dwItemData));
    POINT at = CursorPos();
    if (item == -1 || IsFixedButton(item)) {
        PopUpClosedMenu(at);
    } else {
        int32_t contact = ContactOf(ButtonId{item});
        PopUp({Host::kGroupContactMenu, Host::kActionContactMenu, contact}, at, ConversationWindow(contact));
    }
    return 0;
}

LRESULT Container::OnTimer(WPARAM timer) {
    switch (timer) {
        case kReadTimer: OnReadTimer(); break;
        case kFlashTimer: OnFlashTimer(); break;
        case kDragScrollTimer: drag.OnScrollTimer(); break;
        case kDropFollowTimer: drop.OnFollowTimer(); break;
        case kDropScrollTimer: drop.OnScrollTimer(); break;
    }
    return 0;
}

// The wheel reaches the window with the focus, whatever lies under the cursor.
LRESULT Container::OnWheel(WPARAM wParam, LPARAM lParam) {
    if (bar.Wheel(wParam, lParam)) return 0;
    return DefWindowProcA(window, WM_MOUSEWHEEL, wParam, lParam);
}

}  // namespace Tabs
