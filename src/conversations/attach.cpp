#include "conversations/attach.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "container/container_tabs.h"
#include "conversations/closed_list.h"
#include "conversations/hooks.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "host/plugin_state.h"
#include "ui/elements.h"
#include "ui/registration.h"
#include "ui/session.h"

namespace Tabs {

namespace {

// Attaching by the user takes the frame away; a window the host has just
// built loses its pop-up bit too. Detaching gives the frame back.
constexpr DWORD kFrameStyles = WS_OVERLAPPEDWINDOW;
static_assert(kFrameStyles == 0x00CF0000);
constexpr DWORD kToggleAttachKeep = ~kFrameStyles;
static_assert(kToggleAttachKeep == 0xFF30FFFF);
constexpr DWORD kTriggerAttachKeep = ~(kFrameStyles | WS_POPUP | WS_CHILD);
static_assert(kTriggerAttachKeep == 0x3F30FFFF);
constexpr int kDetachedX = 100;
constexpr int kDetachedY = 100;

void SetStyle(HWND window, DWORD keep, DWORD add) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>((style & keep) | add));
}

// The window's own visibility: a tab inside a hidden container still counts
// as shown, so that exactly one tab is shown when the container comes back.
bool Shown(HWND window) { return window && IsWindow(window) && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE); }

bool OwnThreadWindow(HWND window) {
    return window && IsWindow(window) && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// The container, what it holds besides the tabs, and the popups it owns are
// the plug-in's: no notice makes one of them a conversation.
bool PluginWindow(HWND window) {
    return containerWnd && GetAncestor(window, GA_ROOTOWNER) == containerWnd && GetParent(window) != contWnd;
}

HWND ViewOf(HWND window) { return MessageView(GetDlgItem(window, Host::kViewDialogItem)); }

void MarkTabbed(HWND window) { SetPropA(window, kPropTabbed, reinterpret_cast<HANDLE>(1)); }

void SetTabLook(int32_t contact) {
    ButtonId id = ButtonOf(contact);
    tabBar.SetText(id, GetTabName(contact, true).c_str());
    tabBar.SetImage(id, StatusIcon(contact, -1));
}

// A hidden window that holds the focus hands it to its parent, the content
// child, from which the activation of the new tab would take it again: it
// goes straight to the new tab instead.
void PassFocus(HWND from, HWND to) {
    HWND focus = GetFocus();
    if (focus && (focus == from || IsChild(from, focus))) SetFocus(to);
}

// Whether the tab's window had to be shown.
bool ShowTab(int32_t contact, HWND window) {
    HWND previous = currentWnd;
    tabBar.Check(ButtonOf(currentCnt), false);
    currentCnt = contact;
    currentWnd = window;
    NoteShown(contact);
    // A restored tab whose window came another way (the host opened the
    // conversation itself) is open from now on.
    TakeUnopened(contact);
    ButtonId id = ButtonOf(contact);
    if (!tabBar.Exists(id)) AddTab(contact);
    tabBar.Check(id, true);
    // The new tab comes up over the old one before the old one hides, so
    // that neither the content child behind them nor the new tab is
    // uncovered, and so painted, a second time.
    bool showing = !Shown(window);
    if (showing) {
        // Sized while hidden: shown at its old size it would be painted twice.
        if (GetWindow(contWnd, GW_CHILD) != window)
            SetWindowPos(window, HWND_TOP, 0, 0, contentCx, contentCy, SWP_NOACTIVATE);
        else
            FitContent(window);
        ShowWindow(window, SW_SHOW);
    }
    if (previous != window && Shown(previous)) {
        PassFocus(previous, window);
        ShowWindow(previous, SW_HIDE);
    }
    RefreshTitle();
    SetContainerIcon(normalIcon);
    ForgetClosed(contact);
    if (ListRemove(waitingList, contact)) {
        tabBar.SetImage(id, StatusIcon(contact, -1));
        RefreshTitle();
    }
    return showing;
}

// Where a torn-off window goes: the middle of its caption under the cursor,
// the whole window on the virtual screen (as far as it fits there). Read
// once its frame is back, at the size it keeps.
POINT CaptionUnder(HWND window, POINT cursor) {
    RECT r{}, frame{};
    GetWindowRect(window, &r);
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE, exStyle);
    int caption = GetSystemMetrics(exStyle & WS_EX_TOOLWINDOW ? SM_CYSMCAPTION : SM_CYCAPTION);
    // The caption ends where the client area begins, -frame.top below the
    // window's top edge.
    int captionMiddle = -frame.top - caption / 2;
    int width = r.right - r.left, height = r.bottom - r.top;
    int x = cursor.x - width / 2;
    int y = cursor.y - captionMiddle;
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN), bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return {std::max(left, std::min(x, right - width)), std::max(top, std::min(y, bottom - height))};
}

// The window is hidden while it moves out of the container: a visible window
// would be shown, framed and painted at every step on its way.
void Detach(int32_t contact, HWND window, std::optional<POINT> dropped = std::nullopt) {
    ClearMsgWaiting(contact);
    StepOut(window, SubclassProc, kPropOldProc);
    ShowWindow(window, SW_HIDE);
    SetStyle(window, ~static_cast<DWORD>(WS_CHILD), kFrameStyles);
    StepOut(ViewOf(window), CtrlViewProc, kPropViewProcOld);
    SetParent(window, nullptr);
    POINT place = dropped ? CaptionUnder(window, *dropped) : POINT{kDetachedX, kDetachedY};
    SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RemovePropA(window, kPropTabbed);
    if (contact == currentCnt)
        SelectNeighbour();
    else
        RemoveTab(contact);
    ShowWindow(window, SW_SHOW);
}

// Only a window that is a tab inside the container can leave it: a button
// made for an incoming message has no window yet, and the window of a
// contact kept out of the tabs floats on its own already.
HWND TearableWindow(int32_t contact) {
    HWND window = ConversationWindow(contact);
    bool tab = OwnThreadWindow(window) && TabbedExactly(window) && GetAncestor(window, GA_PARENT) == contWnd;
    return tab ? window : nullptr;
}

void Attach(int32_t contact, HWND window) {
    if (!contWnd || !IsTabButtonId(ButtonOf(contact))) return;
    Hook(window, SubclassProc, kPropOldProc);
    SetStyle(window, kToggleAttachKeep, WS_CHILD);
    SetParent(window, contWnd);
    // A window detached from a tab still has the tab's size: put in place
    // at that size, it would keep its frame around a smaller client area.
    SetWindowPos(window, nullptr, 0, 0, contentCx, contentCy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ChangeWindow(contact);
    Log(kTrace, "Toolbar button add: cnt: %d", contact);
    MarkTabbed(window);
    ShowWindow(containerWnd, SW_SHOW);
    Hook(ViewOf(window), CtrlViewProc, kPropViewProcOld);
}

// A conversation window the host has just built becomes a tab.
void AttachCreated(int32_t contact, HWND window, HWND viewControl) {
    if (!contWnd || !IsTabButtonId(ButtonOf(contact))) return;
    Log(kTrace, "Tabs::ControlTrigger: cnt: %d", contact);
    SetStyle(window, kTriggerAttachKeep, WS_CHILD);
    SetParent(window, contWnd);
    ChangeWindow(contact);
    Hook(window, SubclassProc, kPropOldProc);
    MarkTabbed(window);
    Reposition(-1, -1);
    Hook(MessageView(viewControl), CtrlViewProc, kPropViewProcOld);
}

// Only the long form of the notice carries the windows.
void OnViewCreated(const ActionNotice* notice) {
    if (notice->size < kActionNoticeWindowSize) return;
    const auto* created = reinterpret_cast<const ActionNoticeWindow*>(notice);
    HWND window = static_cast<HWND>(created->parentWindow);
    if (!OwnThreadWindow(window) || PluginWindow(window)) return;
    int32_t contact = notice->ref.contact;
    RemovePropA(window, kPropTabbed);
    if (GetContactInt(contact, Column::DontTab) == 0) AttachCreated(contact, window, static_cast<HWND>(created->window));
    UpdateWindowButtons(RefTo(contact));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> tops, all;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&tops));
    for (HWND top : tops) {
        all.push_back(top);
        EnumChildWindows(top, CollectWindow, reinterpret_cast<LPARAM>(&all));
    }
    return all;
}

void GiveBack(HWND window) {
    ShowWindow(window, SW_HIDE);
    SetStyle(window, ~static_cast<DWORD>(WS_CHILD), kFrameStyles);
    SetParent(window, nullptr);
    // The frame is computed anew only when asked: without it the window
    // would come back without its caption and borders.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

// Showing a window sends it the messages (shown, moved, activated) that would
// run ChangeWindow's steps for it again: while its switch brings it up, they
// do nothing, and the outer ChangeWindow runs them once it is up.
int ChangeWindow(int32_t contact) {
    if (contact != 0 && contact == plugin.showingCnt) return 0;
    Log(kTrace, "Tabs::ChangeWindow(cnt = %d)", ButtonOf(contact).value);
    HWND window = ConversationWindow(contact);
    // Only a window inside the container can be the shown tab: a detached
    // one floats on its own and gets no button.
    bool shown = false;
    if (window && contact != currentCnt && GetAncestor(window, GA_PARENT) == contWnd) {
        Scoped<int32_t> showing(plugin.showingCnt, contact);
        shown = ShowTab(contact, window);
    }
    Activate();
    Redraw(shown);
    SetTabLook(contact);
    return Reposition(-1, -1);
}

// A tab without a window has the host open its conversation, a restored
// one as the restore opens it. One whose contact the host no longer knows
// never opens: it is closed, and so kept among the recently closed.
void MoveToWnd(int32_t contact) {
    Log(kTrace, "Tabs::MoveToWnd, cnt=%d", contact);
    if (ConversationWindow(contact)) {
        ChangeWindow(contact);
    } else if (HasTab(contact) && Send(Host::kContactExists, contact) == 0) {
        RemoveTab(contact);
        RecordClosed(contact);
        return;
    } else if (TakeUnopened(contact)) {
        OpenRestored(contact, AutoLoadWanted());
        return;
    }
    CallAction({Host::kActionOpenConversation, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
}

bool ShowingTab() { return plugin.showingCnt != 0; }

void Activate() {
    if (!LockAllows()) return;
    Log(kTrace, "Tabs::Activate");
    if (!IsWindowVisible(containerWnd))
        ShowWindow(containerWnd, SW_SHOW);
    else if (IsIconic(containerWnd))
        ShowWindow(containerWnd, SW_RESTORE);
    if (!currentWnd) return;
    SendMessageA(currentWnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    HWND foreground = GetForegroundWindow();
    if (foreground == containerWnd || foreground == currentWnd) return;
    SetFocus(containerWnd);
    if (HWND focus = GetDlgItem(currentWnd, Host::kFocusDialogItem)) SetFocus(focus);
}

// A current contact without a button of its own (a window that never got
// one) has no neighbours: the first tab, if any, is shown instead.
void SelectNeighbour() {
    int32_t gone = currentCnt;
    int i = tabBar.IndexOf(ButtonOf(gone));
    int n = tabBar.Count();
    bool hasButton = gone && i >= kFirstTabIndex;
    int others = n - kFirstTabIndex - (hasButton ? 1 : 0);
    if (others <= 0) {
        ShowWindow(containerWnd, SW_HIDE);
        currentWnd = nullptr;
        currentCnt = 0;
    } else {
        int target = !hasButton ? kFirstTabIndex : i == kFirstTabIndex ? kFirstTabIndex + 1 : i - 1;
        MoveToWnd(ContactOf(ButtonId{tabBar.CommandAt(target)}));
    }
    if (hasButton)
        RemoveTab(gone);
    else
        Reposition(-1, -1);
}

void ToggleAttach(ContactRef ref) {
    if (!LockAllows()) return;
    int32_t contact = ContactOfRef(ref);
    if (!contact) return;
    HWND window = ConversationWindow(contact);
    if (OwnThreadWindow(window)) {
        if (TabbedExactly(window))
            Detach(contact, window);
        else
            Attach(contact, window);
    }
    UpdateWindowButtons(RefTo(contact));
    Reposition(-1, -1);
}

bool CanTearOff(int32_t contact) { return TearableWindow(contact) != nullptr; }

void TearOff(int32_t contact, POINT cursor) {
    HWND window = TearableWindow(contact);
    if (!window || !LockAllows()) return;
    Log(kTrace, "Tabs::TearOff, cnt=%d", contact);
    Detach(contact, window, cursor);
    UpdateWindowButtons(RefTo(contact));
    Reposition(-1, -1);
}

intptr_t ControlTrigger(const ActionNotice* notice) {
    intptr_t answer = ForwardNotice(viewCtrlOwner, notice);
    switch (notice->notice) {
        case Host::kNoticeCreateWindow: OnViewCreated(notice); break;
        case Host::kNoticeRedraw: Redraw(); break;
    }
    return answer;
}

// The buttons group is hidden only when both its buttons are off, as at
// registration; with the buttons on the host's main toolbar the group is
// that toolbar, which is not the plug-in's to hide.
void UpdateWindowButtons(ContactRef ref) {
    bool close = GetInt(Column::ToolbarCloseButton) != 0;
    bool detach = GetInt(Column::ToolbarDetachButton) != 0;
    bool onlyWhenDetached = GetInt(Column::ToolbarDetachButtonWhenDetached) != 0;
    int32_t contact = ContactOfRef(ref);
    if (buttonGroup == Element::Toolbar)
        SetElementHidden({Element::Toolbar, Host::kGroupToolbars, contact}, !close && !detach);
    SetElementHidden({Element::Close, buttonGroup, contact}, !close);
    bool tabbed = IsTabbed(ConversationWindow(contact));
    SetElementHidden({Element::AttachDetach, buttonGroup, contact}, !detach || (onlyWhenDetached && tabbed));
}

intptr_t ForwardNotice(int owner, const ActionNotice* notice) {
    if (!hostControl) return 0;
    int own = hostControl->ownId();
    if (owner == 0) owner = own;
    if (owner == own) return 0;
    HostMessage message;
    BuildHostMessage(message, Host::kMsgAction, reinterpret_cast<intptr_t>(notice), 0);
    return hostControl->sendTo(owner, &message);
}

void ReleaseWindows() {
    for (HWND window : ThreadWindows()) {
        Unhook(window, SubclassProc, kPropOldProc);
        Unhook(window, CtrlViewProc, kPropViewProcOld);
        Unhook(window, CtrlSendProc, kPropSendProcOld);
        RemovePropA(window, kPropTabbed);
    }
    std::vector<HWND> tabs;
    if (contWnd)
        for (HWND child = GetWindow(contWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            tabs.push_back(child);
    for (HWND window : tabs) GiveBack(window);
    currentWnd = nullptr;
    currentCnt = 0;
}

}  // namespace Tabs
