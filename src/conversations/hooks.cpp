#include "conversations/hooks.h"

#include "container/container_tabs.h"
#include "conversations/attach.h"
#include "conversations/closed_list.h"
#include "conversations/closing.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "host/plugin_state.h"
#include "ui/registration.h"
#include "ui/switcher.h"

namespace Tabs {

namespace {

constexpr int kEscCloseContainer = 0;
constexpr int kEscCloseTab = 1;
// The "Vizorek" view's own messages: is there a selection, copy it.
constexpr UINT kViewHasSelection = 2032;
constexpr UINT kViewCopy = 2029;
constexpr WPARAM kSwitcherKeyCharacter = 0x0B;  // what Ctrl+K types

LRESULT PassOn(WNDPROC old, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return old ? CallWindowProcA(old, window, message, wParam, lParam)
               : DefWindowProcA(window, message, wParam, lParam);
}

// The plug-in's part of a message runs guarded; the procedure it replaced
// gets the message outside the guard, so that the host's own faults stay
// the host's. The replaced procedure is read first: WM_NCDESTROY puts it back
// and removes its property before passing the message on.
LRESULT Hooked(const char* where, const char* property, Answer (*handle)(HWND, UINT, WPARAM, LPARAM), HWND window,
               UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(window, property));
    if (message != WM_NCDESTROY && plugin.passingOn.count(window)) return PassOn(old, window, message, wParam, lParam);
    Answer answer = Answered(where, [&] { return handle(window, message, wParam, lParam); });
    return answer ? *answer : PassOn(old, window, message, wParam, lParam);
}

// --- the conversation window ----------------------------------------------

Answer OnDestroy(HWND window) {
    int32_t cnt = ContactOfWindow(window);
    Log(kTrace, "Tabs::SubclassProc - WM_DESTROY, cnt=%d", ButtonOf(cnt).value);
    if (!bulkClosing) {
        if (window == currentWnd)
            SelectNeighbour();
        else if (cnt)
            RemoveTab(cnt);
    }
    return {};
}

// The replaced procedure goes back before the window is gone, and gets the
// message itself.
Answer OnNcDestroy(HWND window) {
    RemovePropA(window, kPropTabbed);
    if (window == currentWnd) {
        currentWnd = nullptr;
        currentCnt = 0;
    }
    Unhook(window, SubclassProc, kPropOldProc);
    return {};
}

Answer OnActivate(HWND window, WPARAM wParam) {
    int32_t cnt = ContactOfWindow(window);
    if (LOWORD(wParam) != WA_INACTIVE && cnt) {
        Log(kTrace, "Tabs::SubclassProc - WM_ACTIVATE, cnt=%d", ButtonOf(cnt).value);
        tabBar.Press(ButtonOf(cnt), false);
        if (window != currentWnd) ChangeWindow(cnt);
    }
    return {};
}

Answer OnSetText(HWND window, LPARAM lParam) {
    const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    Log(kTrace, "Tabs::SubclassProc - WM_SETTEXT: \"%s\"", text);
    if (window == currentWnd) SetTitle(text);
    return {};
}

// The host's close request of a tabbed window (Esc among others) follows the
// user's Esc setting and never reaches the host's own closing.
Answer OnClose(HWND window) {
    switch (GetInt(Column::EscAction)) {
        case kEscCloseContainer:
            if (containerWnd) SendMessageA(containerWnd, WM_CLOSE, 0, 0);
            break;
        case kEscCloseTab:
            if (int32_t cnt = ContactOfWindow(window)) CloseTab(cnt);
            break;
    }
    return 0;
}

Answer OnShowWindow(HWND window, WPARAM wParam) {
    int32_t cnt = ContactOfWindow(window);
    if (wParam && cnt) {
        Log(kTrace, "WM_SHOWWINDOW, cnt=%d", cnt);
        if (!bulkClosing) ChangeWindow(cnt);
    }
    return {};
}

// The position messages of the plug-in's own move do not pin the window again.
void PinInContainer(HWND window, const WINDOWPOS& pos) {
    if (plugin.pinning) return;
    if (pos.x == 0 && pos.y == 0 && pos.cx == contentCx && pos.cy == contentCy) return;
    Scoped<bool> pinning(plugin.pinning, true);
    SetWindowPos(window, nullptr, 0, 0, contentCx, contentCy, SWP_NOSENDCHANGING | SWP_NOZORDER | SWP_NOACTIVATE);
}

Answer OnPositionChange(HWND window, LPARAM lParam) {
    int32_t cnt = ContactOfWindow(window);
    Log(kTrace, "Tabs::SubclassProc - WM_WINDOWPOSCHANGED, cnt=%d", ButtonOf(cnt).value);
    if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam)) {
        if (pos->flags & SWP_SHOWWINDOW) {
            if (window == currentWnd) {
                if (!ShowingTab()) Activate();
            }
            else if (cnt)
                ChangeWindow(cnt);
        }
        PinInContainer(window, *pos);
    }
    return {};
}

Answer ConversationMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A tab goes, comes back or is renamed: an open switcher lists it anew.
    if (message == WM_DESTROY || message == WM_SHOWWINDOW || message == WM_SETTEXT) SwitcherFollow();
    switch (message) {
        case WM_DESTROY: return OnDestroy(window);
        case WM_NCDESTROY: return OnNcDestroy(window);
        case WM_ACTIVATE: return OnActivate(window, wParam);
        case WM_SETTEXT: return OnSetText(window, lParam);
        case WM_CLOSE: return OnClose(window);
        case WM_SHOWWINDOW: return OnShowWindow(window, wParam);
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED: return OnPositionChange(window, lParam);
    }
    return {};
}

// --- the message edit -------------------------------------------------------

// Tab number (from 1) that a released key chooses, or 0: Ctrl and a digit,
// or a function key with any modifiers when "Tabs/ChangeKey" says so.
int TabNumberKey(WPARAM key) {
    if (changeKey != 0) return key >= VK_F1 && key <= VK_F12 ? static_cast<int>(key - VK_F1) + 1 : 0;
    if (!KeyDown(VK_CONTROL)) return 0;
    static const char digits[] = "1234567890";
    for (int n = 1; n <= 10; ++n)
        if (key == static_cast<WORD>(VkKeyScanA(digits[n - 1]))) return n;
    return 0;
}

// The keys people bring from browsers act only in a conversation that is a
// tab; a window on its own keeps them for the host. With Alt (AltGr) they
// type a character instead.
bool BrowserKeys(HWND edit) {
    return KeyDown(VK_CONTROL) && !KeyDown(VK_MENU) && containerWnd && GetAncestor(edit, GA_ROOT) == containerWnd;
}

// Ctrl+Shift with the page keys is left alone: browsers move the tab with it.
bool IsPageKey(WPARAM key) { return (key == VK_NEXT || key == VK_PRIOR) && !KeyDown(VK_SHIFT); }

void MoveToIndex(int index) { MoveToWnd(ContactOf(ButtonId{tabBar.CommandAt(index)})); }

// Without a current tab there is nothing to step from.
void NextTab() {
    int i = tabBar.IndexOf(ButtonOf(currentCnt));
    if (!currentCnt || i < kFirstTabIndex) return;
    MoveToIndex(i + 1 == tabBar.Count() ? kFirstTabIndex : i + 1);
}

void PreviousTab() {
    int i = tabBar.IndexOf(ButtonOf(currentCnt));
    if (!currentCnt || i < kFirstTabIndex) return;
    MoveToIndex(i == kFirstTabIndex ? tabBar.Count() - 1 : i - 1);
}

// Ctrl+C copies the view's selection when the view has one.
bool CopyFromView() {
    ActionInfo info{};
    info.size = kActionInfoSize;
    info.ref = {Host::kActionMessageView, Host::kGroupConversation, currentCnt};
    info.mask = Host::kMaskHandle;
    Send(Host::kElementRead, &info);
    HWND view = static_cast<HWND>(info.handle);
    if (!view || !IsWindow(view) || SendMessageA(view, kViewHasSelection, 0, 0) <= 0) return false;
    Log(kTrace, "Tabs::CtrlSendProc - Ctrl+C, Zaznaczenie w Vizorek - kopiujemy");
    SendMessageA(view, kViewCopy, 0, 0);
    return true;
}

// Like Ctrl+Tab, Ctrl+PageDown and Ctrl+PageUp act on their release and the
// edit never sees them pressed.
Answer OnKeyDown(HWND window, WPARAM key, LPARAM lParam) {
    if (IsSwitcherKey(key)) {
        if (IsRepeat(lParam)) return 0;
        Log(kTrace, "Tabs::CtrlSendProc - WM_KEYDOWN - Ctrl+K");
        ToggleSwitcher(window);
        return 0;
    }
    if (key == VK_TAB && KeyDown(VK_CONTROL)) {
        Log(kTrace, "Tabs::CtrlSendProc - WM_KEYDOWN - Ctrl+(Shift)+Tab");
        return 0;
    }
    if (IsPageKey(key) && BrowserKeys(window)) return 0;
    return {};
}

Answer OnTabNumberKey(int n) {
    Log(kTrace, "Tabs::CtrlSendProc - WM_KEYUP, Ctrl+%d", n);
    int index = n + kFirstTabIndex - 1;
    if (!tabBar.Exists(index, true)) return {};
    MoveToIndex(index);
    return 0;
}

Answer OnBrowserKeyUp(WPARAM key) {
    if (IsKeyOf(key, 'w')) {
        Log(kTrace, "Tabs::CtrlSendProc - WM_KEYUP - Ctrl+W");
        if (currentCnt) CloseTab(currentCnt);
        return 0;
    }
    if (IsKeyOf(key, 't') && KeyDown(VK_SHIFT)) {
        Log(kTrace, "Tabs::CtrlSendProc - WM_KEYUP - Ctrl+Shift+T");
        ReopenNewestClosed();
        return 0;
    }
    if (IsPageKey(key)) {
        Log(kTrace, "Tabs::CtrlSendProc - WM_KEYUP - Ctrl+%s", key == VK_NEXT ? "PageDown" : "PageUp");
        if (key == VK_NEXT)
            NextTab();
        else
            PreviousTab();
        return 0;
    }
    return {};
}

Answer OnKeyUp(HWND window, WPARAM key) {
    if (int n = TabNumberKey(key)) return OnTabNumberKey(n);
    bool ctrl = KeyDown(VK_CONTROL);
    if (key == VK_TAB && ctrl) {
        if (KeyDown(VK_SHIFT)) {
            Log(kTrace, "Tabs::CtrlSendProc - WM_KEYUP - Ctrl+Shift+Tab");
            PreviousTab();
        } else {
            NextTab();
        }
        return 0;
    }
    if (key == VK_F4 && ctrl) {
        Log(kTrace, "Tabs::CtrlSendProc - WM_KEYUP - Ctrl+F4");
        if (currentCnt) CloseTab(currentCnt);
        return 0;
    }
    if (BrowserKeys(window))
        if (Answer answer = OnBrowserKeyUp(key)) return answer;
    if (ctrl && IsKeyOf(key, 'c') && CopyFromView()) return 0;
    if (IsSwitcherKey(key)) return 0;
    return {};
}

// Ctrl+K makes a character of its own, which the edit would insert.
Answer OnChar(WPARAM character) {
    if (character == kSwitcherKeyCharacter) return 0;
    return {};
}

// The wheel over the message view scrolls the view, and over the tab bar the
// bar, whichever control has the focus.
Answer OnMouseWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    if (WheelOverBar(wParam, lParam)) return 0;
    HWND item = GetDlgItem(GetParent(window), Host::kViewDialogItem);
    HWND view = MessageView(item);
    RECT r;
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (view && GetWindowRect(item, &r) && p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom) {
        SendMessageA(view, WM_MOUSEWHEEL, wParam, lParam);
        return 0;
    }
    return {};
}

Answer OnEditNcDestroy(HWND window) {
    Unhook(window, CtrlSendProc, kPropSendProcOld);
    return {};
}

Answer EditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN: return OnKeyDown(window, wParam, lParam);
        case WM_KEYUP: return OnKeyUp(window, wParam);
        case WM_CHAR: return OnChar(wParam);
        case WM_MOUSEWHEEL: return OnMouseWheel(window, wParam, lParam);
        case WM_NCDESTROY: return OnEditNcDestroy(window);
    }
    return {};
}

// --- the message view -------------------------------------------------------

// The view hands the focus on to the edit control of the shown conversation.
Answer OnViewSetFocus() {
    Log(kTrace, "Tabs::CtrlViewProc - WM_SETFOCUS");
    Redraw();
    if (HWND edit = ElementWindow({Host::kActionMessageEdit, Host::kGroupConversation, currentCnt})) SetFocus(edit);
    return {};
}

Answer OnViewNcDestroy(HWND window) {
    Unhook(window, CtrlViewProc, kPropViewProcOld);
    return {};
}

Answer ViewMessage(HWND window, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_SETFOCUS: return OnViewSetFocus();
        case WM_NCDESTROY: return OnViewNcDestroy(window);
    }
    return {};
}

}  // namespace

LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return Hooked("Tabs::SubclassProc", kPropOldProc, ConversationMessage, window, message, wParam, lParam);
}

LRESULT CALLBACK CtrlSendProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return Hooked("Tabs::CtrlSendProc", kPropSendProcOld, EditMessage, window, message, wParam, lParam);
}

LRESULT CALLBACK CtrlViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return Hooked("Tabs::CtrlViewProc", kPropViewProcOld, ViewMessage, window, message, wParam, lParam);
}

bool Hook(HWND window, WNDPROC proc, const char* property) {
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
    if (GetPropA(window, property)) {
        plugin.passingOn.erase(window);
        return true;
    }
    LONG_PTR old = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    if (!old) return false;
    if (SetPropA(window, property, reinterpret_cast<HANDLE>(old))) return true;
    SetWindowLongPtrA(window, GWLP_WNDPROC, old);
    return false;
}

void Unhook(HWND window, WNDPROC proc, const char* property) {
    if (!window) return;
    plugin.passingOn.erase(window);
    LONG_PTR old = reinterpret_cast<LONG_PTR>(RemovePropA(window, property));
    if (!old && GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(proc))
        old = static_cast<LONG_PTR>(GetClassLongPtrA(window, GCLP_WNDPROC));
    if (old) SetWindowLongPtrA(window, GWLP_WNDPROC, old);
}

void StepOut(HWND window, WNDPROC proc, const char* property) {
    bool under = window && GetPropA(window, property) &&
                 GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(proc);
    if (under)
        plugin.passingOn.insert(window);
    else
        Unhook(window, proc, property);
}

HWND MessageView(HWND control) {
    HWND window = control;
    for (int depth = 0; depth < 3 && window; ++depth) window = GetWindow(window, GW_CHILD);
    return window;
}

}  // namespace Tabs
