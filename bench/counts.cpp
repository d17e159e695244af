#include "counts.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <set>

#include "dev_host.h"
#include "harness.h"

namespace Bench {

namespace {

constexpr char kConversationClass[] = "VelmoraConversation";
constexpr char kHostMainClass[] = "VelmoraMain";
constexpr int kBarId = 10;
constexpr int kContentId = 1;  // the container's content child
constexpr DWORD kSettleMs = 60;  // quiet time that ends the wait for the display's answers
constexpr UINT kSystemTimer = 0x118;  // WM_SYSTIMER: the caret's blink
constexpr DWORD kUntimedInput = QS_INPUT | QS_POSTMESSAGE | QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;

enum class Owner { Plugin, Host, Other };

struct WindowRole {
    Owner owner = Owner::Other;
    int conversation = 0;  // the contact whose conversation the window belongs to
    HWND window = nullptr;  // and that conversation's window
    bool bar = false;
    bool container = false;  // the container or its content child
};

bool IsClass(HWND window, const char* name) {
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    return std::strcmp(cls, name) == 0;
}

int ConversationContact(HWND window) {
    const auto* record = static_cast<const DevHostLib::ConversationRecord*>(GetPropA(window, "CNT"));
    return record ? record->contact : 0;
}

struct Counter {
    Counts counts;
    Roles roles;
    HWND container = nullptr;
    std::set<HWND> newPainted;
    bool inside = false;  // the counter's own questions to the windows are not counted
    bool trace = false;
    double lastTraced = NowMs();
    HWND newWindow = nullptr;  // the conversation brought up

    WindowRole Classify(HWND window, int depth = 0) const {
        WindowRole role;
        HWND desktop = GetDesktopWindow();
        for (HWND w = window; w && w != desktop; w = GetAncestor(w, GA_PARENT)) {
            if (IsClass(w, kConversationClass)) {
                role.owner = Owner::Host;
                role.conversation = ConversationContact(w);
                role.window = w;
                return role;
            }
            if (IsClass(w, kHostMainClass)) {
                role.owner = Owner::Host;
                return role;
            }
            if (w == container) {
                role.owner = Owner::Plugin;
                role.container = window == container || (GetParent(window) == container && GetDlgCtrlID(window) == kContentId);
                role.bar = GetDlgCtrlID(window) == kBarId && IsClass(window, TOOLBARCLASSNAMEA);
                return role;
            }
        }
        // Tooltips and menus belong to whoever owns them.
        HWND owner = GetWindow(window, GW_OWNER);
        if (owner && depth < 4) return Classify(owner, depth + 1);
        return role;
    }

    int ButtonsIn(HWND bar, HRGN region) {
        int n = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        int inside = 0;
        for (int i = 0; i < n; ++i) {
            RECT r{};
            if (SendMessageA(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)) && RectInRegion(region, &r))
                ++inside;
        }
        return inside;
    }

    void Paint(HWND window, const WindowRole& role, UINT message) {
        if (role.container) ++counts.containerPaints;
        if (message != WM_PAINT) return;
        if (role.bar) {
            ++counts.barPaints;
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            if (GetUpdateRgn(window, region, FALSE) != ERROR) counts.buttonsPainted += ButtonsIn(window, region);
            DeleteObject(region);
        }
        if (role.owner != Owner::Host || !role.conversation) return;
        if (role.conversation == roles.newContact) {
            ++counts.newPaints;
            newPainted.insert(window);
        } else if (role.conversation == roles.oldContact) {
            ++counts.oldPaints;
        } else {
            ++counts.otherPaints;
        }
    }

    // Only what changes a button counts: the control ignores a state or an
    // image set again.
    void BarMessage(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
        int id = static_cast<int>(wParam);
        bool changes = message == TB_CHECKBUTTON || message == TB_PRESSBUTTON || message == TB_SETSTATE ||
                       message == TB_CHANGEBITMAP || message == TB_SETBUTTONINFOA || message == TB_SETBUTTONINFOW;
        if (!changes) return;
        int state = static_cast<int>(SendMessageA(bar, TB_GETSTATE, id, 0));
        auto stateBit = [&](int bit) {
            if (state != -1 && ((state & bit) != 0) != (LOWORD(lParam) != 0)) ++counts.buttonStates;
        };
        switch (message) {
            case TB_CHECKBUTTON: stateBit(TBSTATE_CHECKED); break;
            case TB_PRESSBUTTON: stateBit(TBSTATE_PRESSED); break;
            case TB_SETSTATE:
                if (state != -1 && state != LOWORD(lParam)) ++counts.buttonStates;
                break;
            case TB_CHANGEBITMAP:
                if (SendMessageA(bar, TB_GETBITMAP, id, 0) != LOWORD(lParam)) ++counts.buttonLooks;
                break;
            case TB_SETBUTTONINFOA:
            case TB_SETBUTTONINFOW: {
                const auto* info = reinterpret_cast<const TBBUTTONINFOA*>(lParam);
                if (!info) break;
                if ((info->dwMask & TBIF_STATE) && state != -1 && state != info->fsState) ++counts.buttonStates;
                if ((info->dwMask & TBIF_IMAGE) && SendMessageA(bar, TB_GETBITMAP, id, 0) != info->iImage)
                    ++counts.buttonLooks;
                if (info->dwMask & TBIF_TEXT) ++counts.buttonLooks;
                break;
            }
        }
    }

    // One line per message: the time since the one before, sent or taken
    // from the queue, the window, its class and role, the message.
    void Trace(HWND window, const WindowRole& role, UINT message, bool posted) {
        char cls[64] = {};
        GetClassNameA(window, cls, sizeof cls);
        double now = NowMs();
        const char* owner = role.owner == Owner::Plugin ? "plug-in" : role.owner == Owner::Host ? "host" : "other";
        std::printf("      %7.3f %s %p %-20s %-7s %08x 0x%04x\n", now - lastTraced, posted ? "posted" : "sent  ",
                    static_cast<void*>(window), cls, owner, static_cast<unsigned>(role.conversation), message);
        lastTraced = now;
    }

    void Seen(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool posted) {
        if (inside || !window) return;
        inside = true;
        WindowRole role = Classify(window);
        if (trace) Trace(window, role, message, posted);
        if (role.conversation && role.conversation == roles.newContact) newWindow = role.window;
        if (role.owner == Owner::Plugin) ++counts.pluginMessages;
        if (role.owner == Owner::Host) ++counts.hostMessages;
        if (message == WM_PAINT || message == WM_NCPAINT) Paint(window, role, message);
        // The content child shows through only where no conversation covers it.
        if (message == WM_ERASEBKGND && role.container && window != container) ++counts.containerPaints;
        if (message == WM_SETTEXT && window == container) ++counts.captionChanges;
        if (message == WM_SETFOCUS) ++counts.focusChanges;
        if (role.bar) BarMessage(window, message, wParam, lParam);
        inside = false;
    }
};

Counter* counter = nullptr;

LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && counter) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        counter->Seen(sent->hwnd, sent->message, sent->wParam, sent->lParam, false);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Posted messages and paints, as the loop takes them from the queue.
LRESULT CALLBACK OnTaken(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && counter) {
        const auto* taken = reinterpret_cast<const MSG*>(lParam);
        counter->Seen(taken->hwnd, taken->message, taken->wParam, taken->lParam, true);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Every message but the timers': the plug-in's timers and the caret's blink
// wait until the count is over, so that a tick never falls into it.
bool TakeUntimed(MSG& msg) {
    return PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, kSystemTimer + 1, 0xFFFFFFFF, PM_REMOVE);
}

void PumpUntimed() {
    MSG msg;
    while (TakeUntimed(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Settle() {
    PumpUntimed();
    while (MsgWaitForMultipleObjects(0, nullptr, FALSE, kSettleMs, kUntimedInput) == WAIT_OBJECT_0) PumpUntimed();
}

}  // namespace

Counts CountMessages(const std::function<void()>& work, Roles roles, HWND container, bool trace) {
    Settle();
    Counter c;
    c.trace = trace;
    c.roles = roles;
    c.container = container;
    counter = &c;
    DWORD thread = GetCurrentThreadId();
    HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, OnSent, nullptr, thread);
    HHOOK taken = SetWindowsHookExA(WH_GETMESSAGE, OnTaken, nullptr, thread);
    work();
    Settle();
    if (sent) UnhookWindowsHookEx(sent);
    if (taken) UnhookWindowsHookEx(taken);
    counter = nullptr;
    c.counts.newWindows = static_cast<int>(c.newPainted.size());
    RECT shown{};
    if (roles.newContact) c.counts.shown = {0, 0};
    if (c.newWindow && IsWindowVisible(c.newWindow) && GetClientRect(c.newWindow, &shown))
        c.counts.shown = {shown.right, shown.bottom};
    return c.counts;
}

}  // namespace Bench
