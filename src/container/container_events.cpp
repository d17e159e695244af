#include "container/container_events.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <string>
#include <vector>

#include "container/bar_scroll.h"
#include "container/container.h"
#include "container/tab_bar.h"
#include "conversations/attach.h"
#include "conversations/closed_list.h"
#include "conversations/closing.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "ui/elements.h"

namespace Tabs {

clock_t dragStart = 0;
bool flashPhase = true;

namespace {

constexpr clock_t kDragThreshold = 200;  // ms; a shorter press is a click

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

// --- the middle click ------------------------------------------------------

void ToggleTransparency() {
    SetInt(Column::PosAlphaDisable, GetInt(Column::PosAlphaDisable) == 0 ? 1 : 0);
    SetAlpha();
}

LRESULT OnMiddleClick() {
    Log(kTrace, "Tabs::WndProc - WM_SETCURSOR(WM_MBUTTONUP)");
    int command = -1;
    if (!ButtonUnderCursor(command)) return 0;
    if (command == -1) {
        ToggleTransparency();
    } else if (IsFixedButton(command)) {
        ReopenNewestClosed();
    } else {
        RunClickSetting(Column::MClick, ContactOf(command));
    }
    return 0;
}

// --- tearing a tab off -------------------------------------------------------

// The tab being dragged (0 for none), whether the drag was last seen outside
// the container, and whether its tab can leave the container there.
int draggedTab = 0;
bool dragOutside = false;
bool tearable = false;
WNDPROC barProc = nullptr;  // the toolbar's own procedure, the same for every bar
HCURSOR tearOffCursor = nullptr;

// An arrow carrying a small window: letting go here makes one.
HCURSOR TearOffCursor() {
    static const char* const shape[] = {
        "X",
        "XX",
        "XoX",
        "XooX",
        "XoooX",
        "XooooX",
        "XoooooX",
        "XooooooX",
        "XoooooooX",
        "XooooooooX",
        "XoooooXXXXX",
        "XooXooX",
        "XoX XooX",
        "XX  XooX",
        "X    XooX",
        "     XooX",
        "      XX    XXXXXXXXXXXXX",
        "            XXXXXXXXXXXXX",
        "            XoooooooooooX",
        "            XoooooooooooX",
        "            XoooooooooooX",
        "            XoooooooooooX",
        "            XoooooooooooX",
        "            XXXXXXXXXXXXX",
    };
    if (tearOffCursor) return tearOffCursor;
    constexpr int kSide = 32;
    BYTE andPlane[kSide * kSide / 8], xorPlane[kSide * kSide / 8];
    std::memset(andPlane, 0xFF, sizeof andPlane);
    std::memset(xorPlane, 0, sizeof xorPlane);
    for (int y = 0; y < static_cast<int>(sizeof shape / sizeof shape[0]); ++y)
        for (int x = 0; shape[y][x]; ++x) {
            if (shape[y][x] == ' ') continue;
            BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
            andPlane[y * kSide / 8 + x / 8] &= static_cast<BYTE>(~bit);
            if (shape[y][x] == 'o') xorPlane[y * kSide / 8 + x / 8] |= bit;
        }
    tearOffCursor = CreateCursor(nullptr, 0, 0, kSide, kSide, andPlane, xorPlane);
    return tearOffCursor;
}

bool OutsideContainer(POINT at) {
    RECT r{};
    return containerWnd && GetWindowRect(containerWnd, &r) && !PtInRect(&r, at);
}

// Inside the container the dragged tab is moved on the bar (the hand);
// outside, the cursor shows whether letting go tears it off.
void ShowDragCursor() {
    HCURSOR out = dragOutside && tearable ? TearOffCursor() : nullptr;
    SetCursor(out ? out : LoadCursor(nullptr, IDC_HAND));
}

void FollowDrag(HWND bar, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(bar, &at);
    bool outside = OutsideContainer(at);
    if (outside && !dragOutside) tearable = CanTearOff(ContactOf(draggedTab));
    dragOutside = outside;
    ShowDragCursor();
}

// The bar holds the mouse from the press to the release of a button.
Answer DragMessage(HWND bar, UINT message, LPARAM lParam) {
    bool dragging = draggedTab != 0 && GetCapture() == bar;
    switch (message) {
        case WM_MOUSEMOVE:
            if (dragging) FollowDrag(bar, lParam);
            break;
        case WM_SETCURSOR:
            if (dragging) {
                ShowDragCursor();
                return TRUE;
            }
            break;
        case WM_NCDESTROY: SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(barProc)); break;
    }
    return {};
}

// Every message the tab bar is sent passes here: the others go straight on.
LRESULT CALLBACK DragWatchProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_MOUSEMOVE || message == WM_SETCURSOR || message == WM_NCDESTROY) {
        Answer answer = Answered("Tabs::DragWatchProc", [&] { return DragMessage(bar, message, lParam); });
        if (answer) return *answer;
    }
    return barProc ? CallWindowProcW(barProc, bar, message, wParam, lParam)
                   : DefWindowProcW(bar, message, wParam, lParam);
}

// Let go off the bar: a tab dragged out of the container and let go there
// tears off; anywhere else nothing happens. The press's start time stays
// until the next press.
LRESULT DroppedOffBar(int item) {
    POINT at = CursorPos();
    if (item == draggedTab && dragOutside && OutsideContainer(at)) TearOff(ContactOf(item), at);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return 0;
}

// --- dragging ---------------------------------------------------------------

LRESULT OnBeginDrag(const NMTOOLBARA& info) {
    bool tab = info.iItem != 0 && !IsFixedButton(info.iItem);
    if (tab) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        StartDragScroll(info.iItem);
    }
    draggedTab = tab ? info.iItem : 0;
    dragOutside = false;
    tearable = false;
    dragStart = clock();
    Log(kTrace, "Tabs::WM_NOTIFY(TBN_BEGINDRAG) - cnt: %d", info.iItem);
    return 0;
}

// A tab dropped on another tab takes its place; dropped where no button
// lies, it goes to the end of the bar. The fixed buttons stay where they are.
void MoveDropped(int item, int target) {
    if (IsFixedButton(item) || IsFixedButton(target)) return;
    int from = tabBar.IndexOf(item);
    int to = target == -1 ? tabBar.Count() - 1 : tabBar.IndexOf(target);
    if (from < kFirstTabIndex || to < kFirstTabIndex || from == to) return;
    tabBar.Move(from, to);
}

LRESULT OnEndDrag(const NMTOOLBARA& info) {
    StopDragScroll();
    if (info.iItem != 0 && clock() - dragStart > kDragThreshold) {
        Log(kTrace, "Tabs::WM_NOTIFY(TBN_ENDDRAG) - cnt: %d", info.iItem);
        int target = -1;
        if (!ButtonUnderCursor(target)) return DroppedOffBar(info.iItem);
        MoveDropped(info.iItem, target);
        dragStart = 0;
    }
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return 0;
}

// --- right clicks -----------------------------------------------------------

LRESULT OnRightDoubleClick() {
    Log(kTrace, "Tabs::WndProc - WM_NOTIFY(NM_RDBLCLK)");
    int command = -1;
    if (ButtonUnderCursor(command) && command != -1 && !IsFixedButton(command))
        RunClickSetting(Column::RDblClick, ContactOf(command));
    return 0;
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

LRESULT OnRightClick(const NMMOUSE& info) {
    int item = static_cast<int>(info.dwItemSpec);
    Log(kTrace, "Tabs::WndProc - WM_NOTIFY(NM_RCLICK) - dwItemSpec: %d, dwItemData: %d", item,
        static_cast<int>(info.dwItemData));
    POINT at = CursorPos();
    if (item == -1 || IsFixedButton(item)) {
        PopUpClosedMenu(at);
    } else {
        int32_t contact = ContactOf(item);
        PopUp({Host::kGroupContactMenu, Host::kActionContactMenu, contact}, at, ConversationWindow(contact));
    }
    return 0;
}

// --- timers -----------------------------------------------------------------

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
        images.push_back({ButtonId(contact), flashPhase ? StatusIcon(contact, -1) : MessageIcon(contact)});
    tabBar.SetImages(images);
    flashPhase = !flashPhase;
}

}  // namespace

void WatchDrags(HWND bar) {
    if (!bar) return;
    auto own = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DragWatchProc)));
    if (own) barProc = own;
}

void DestroyTearOffCursor() {
    if (!tearOffCursor) return;
    if (GetCursor() == tearOffCursor) SetCursor(LoadCursor(nullptr, IDC_ARROW));
    DestroyCursor(tearOffCursor);
    tearOffCursor = nullptr;
}

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
LRESULT OnContainerActivate(WPARAM wParam) {
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
LRESULT OnContainerClose() {
    Log(kTrace, "Tabs::WndProc - WM_CLOSE");
    bool closeAll = GetInt(Column::CloseAllTabs) != 0 ||
                    (GetInt(Column::CloseTabWhenOne) != 0 && tabBar.Count() == kFirstTabIndex + 1);
    if (closeAll != KeyDown(VK_SHIFT)) {
        CloseTabs(-1);
        currentCnt = 0;
        currentWnd = nullptr;
    } else {
        if (currentWnd) ShowWindow(currentWnd, SW_HIDE);
        if (containerWnd) ShowWindow(containerWnd, SW_HIDE);
    }
    return 0;
}

// Without a shown conversation the fixed buttons have nothing to act on.
LRESULT OnContainerCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    Log(kTrace, "Tabs::WndProc - WM_COMMAND: %d", id);
    if (id == kCloseButtonId) {
        if (currentCnt) CloseTab(currentCnt);
    } else if (id == kDetachButtonId) {
        if (currentCnt) ToggleAttach(currentCnt | Host::kContactBit);
    } else if (IsAllTabsControl(lParam)) {
        if (HIWORD(wParam) == STN_CLICKED) ShowAllTabsMenu();
    } else if (tabBar.Window() && reinterpret_cast<HWND>(lParam) == tabBar.Window()) {
        int32_t contact = ContactOf(id);
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

LRESULT OnContainerSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    if (HIWORD(lParam) == WM_MBUTTONUP) return OnMiddleClick();
    return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
}

LRESULT OnContainerNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return 0;
    switch (header->code) {
        case TBN_BEGINDRAG: return OnBeginDrag(*reinterpret_cast<const NMTOOLBARA*>(lParam));
        case TBN_ENDDRAG: return OnEndDrag(*reinterpret_cast<const NMTOOLBARA*>(lParam));
        case TTN_GETDISPINFOA: return TooltipText(*reinterpret_cast<NMTTDISPINFOA*>(lParam));
        case NM_RDBLCLK: return OnRightDoubleClick();
        case NM_RCLICK: return OnRightClick(*reinterpret_cast<const NMMOUSE*>(lParam));
        case UDN_DELTAPOS: return OnBarArrows(*reinterpret_cast<const NMUPDOWN*>(lParam));
    }
    return 0;
}

LRESULT OnContainerTimer(WPARAM timer) {
    switch (timer) {
        case kReadTimer: OnReadTimer(); break;
        case kFlashTimer: OnFlashTimer(); break;
        case kDragScrollTimer: OnDragScrollTimer(); break;
    }
    return 0;
}

// The wheel reaches the window with the focus, whatever lies under the cursor.
LRESULT OnContainerWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    if (WheelOverBar(wParam, lParam)) return 0;
    return DefWindowProcA(window, WM_MOUSEWHEEL, wParam, lParam);
}

}  // namespace Tabs
