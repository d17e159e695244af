// Conversations in tabs, through the real DLL: the stand-in host builds its
// conversation windows, the plug-in attaches them, and every test reads the
// truth from the windows, the toolbar and the host's records.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <ctime>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "fixture.h"
#include "conversations/closed_list.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/entry.h"

class ConversationTest : public PluginTest {
protected:
    // A carry's steps run from a timer, which the system's move loop serves.
    // A step is far longer than the plug-in's look at the cursor while a
    // window is carried, and the loop serves the timer due first first.
    static constexpr UINT kCarryStepMs = 90;
    static constexpr int kLoopStartSteps = 20;
    struct CarryScript {
        HWND window;
        std::vector<POINT> path;
        int end;
        std::function<void(size_t)> seen;
        size_t next = 0;
        int waited = 0;
        bool started = false;
        bool done = false;
    };
    inline static CarryScript* carrying = nullptr;
    static void CALLBACK CarryStep(HWND, UINT, UINT_PTR, DWORD) {
        CarryScript& s = *carrying;
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        bool inLoop = GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMOVESIZE);
        if (s.done || (!s.started && !inLoop && ++s.waited < kLoopStartSteps)) return;
        if (!s.started && !inLoop) {
            // No loop holds the mouse: whatever the press started ends.
            MouseInput(MOUSEEVENTF_LEFTUP);
            KeyInput(VK_ESCAPE, 0);
            KeyInput(VK_ESCAPE, KEYEVENTF_KEYUP);
            s.done = true;
            return;
        }
        if (!s.started) {
            s.started = true;
            NotifyWinEvent(EVENT_SYSTEM_MOVESIZESTART, s.window, OBJID_WINDOW, CHILDID_SELF);
            return;
        }
        if (!inLoop) {
            s.done = true;
            return;
        }
        if (s.next > 0 && s.seen) s.seen(s.next - 1);
        if (s.next < s.path.size()) {
            POINT to = s.path[s.next++];
            SetCursorPos(to.x, to.y);
            MouseInput(MOUSEEVENTF_MOVE);
        } else if (s.end == 0) {
            MouseInput(MOUSEEVENTF_LEFTUP);
        } else {
            KeyInput(VK_ESCAPE, 0);
            KeyInput(VK_ESCAPE, KEYEVENTF_KEYUP);
        }
    }

    // The plug-in's code linked into this program instead of the DLL, for
    // operations that no host message reaches yet; the host still talks to
    // it only through its entry point.
    bool inProcess = false;

    // The host ends (if it runs) and starts again, a new process as it
    // were, with the same store and contacts and the session setting given;
    // `prepare` sets up the new host before it starts the plug-in.
    void RestartHost(int autoRevert, std::function<int(const std::string&)> answer = nullptr,
                     std::function<void(DevHostLib::DevHost&)> prepare = nullptr) {
        if (host->Started()) host->Stop();
        std::string store = host->state.config.Serialize();
        DevHostLib::ContactTable contacts = host->state.contacts;
        host.reset();
        UnregisterClassA("Tabs", GetModuleHandleA(nullptr));
        UnregisterClassA("TabsCont", GetModuleHandleA(nullptr));
        host = std::make_unique<DevHostLib::DevHost>();
        ASSERT_TRUE(host->Load(ZAVERNOK_DLL));
        host->state.config.Deserialize(store);
        host->state.contacts = contacts;
        host->state.config.SetInt(0, 0, Tabs::Column::AutoRevertSession, autoRevert);
        if (answer) host->controls.askUser = answer;
        if (prepare) prepare(*host);
        Boot();
    }

    void SetUp() override {
        if (inProcess) {
            host = std::make_unique<DevHostLib::DevHost>();
            host->UseEntry(IMessageProc);
        } else {
            PluginTest::SetUp();
        }
        ReleaseKeys();
    }
    void TearDown() override {
        ReleaseKeys();
        PluginTest::TearDown();
        if (inProcess) {
            // The end of the run cleared the rest; the lists outlive it.
            Tabs::closedList.clear();
            Tabs::waitingList.clear();
        }
    }

    // The container is the plug-in's answer to message 40001; the tab bar is
    // the toolbar with control id 10 inside its child with id 11, the content
    // child has id 1.
    HWND Container() { return reinterpret_cast<HWND>(host->Call(Host::kAskContainer)); }
    HWND BarView() { return GetDlgItem(Container(), 11); }
    HWND Bar() { return GetDlgItem(BarView(), 10); }
    HWND Content() { return GetDlgItem(Container(), 1); }
    int CurrentContact() { return host->Call(Host::kAskCurrentContact); }
    HWND CurrentWindow() { return reinterpret_cast<HWND>(host->Call(Host::kAskCurrentWindow)); }

    HWND Open(int contact) { return host->state.conversations.Open(contact); }
    HWND WindowOf(int contact) { return host->state.conversations.WindowOf(contact); }
    HWND Edit(int contact) { return host->state.conversations.EditControl(contact); }

    // Contacts of the tabs, in bar order (the two fixed buttons left out).
    std::vector<int> Tabs() {
        std::vector<int> tabs;
        int count = static_cast<int>(SendMessageA(Bar(), TB_BUTTONCOUNT, 0, 0));
        for (int i = 2; i < count; ++i) {
            TBBUTTON button{};
            SendMessageA(Bar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            tabs.push_back(button.idCommand | 0x40000000);
        }
        return tabs;
    }
    // The tooltip controls the container owns.
    struct TooltipSearch {
        HWND owner;
        std::vector<HWND> found;
    };
    static BOOL CALLBACK CollectTooltip(HWND window, LPARAM data) {
        auto* search = reinterpret_cast<TooltipSearch*>(data);
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == search->owner)
            search->found.push_back(window);
        return TRUE;
    }
    std::vector<HWND> OwnedTooltips() {
        TooltipSearch search{Container(), {}};
        EnumThreadWindows(GetCurrentThreadId(), CollectTooltip, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // What the bar's tooltip says over a contact's tab: the tool the tooltip
    // control finds at the tab's middle, asked for its text as the control
    // asks, with the cursor there.
    std::string TooltipOver(int contact) {
        HWND bar = Bar();
        RECT r{};
        int index = static_cast<int>(SendMessageA(bar, TB_COMMANDTOINDEX, contact & 0xBFFFFFFF, 0));
        if (!SendMessageA(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return "(no button)";
        TTHITTESTINFOA hit{};
        hit.hwnd = bar;
        hit.pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        hit.ti.cbSize = TTTOOLINFOA_V2_SIZE;
        HWND tooltip = nullptr;
        for (HWND owned : OwnedTooltips())
            if (SendMessageA(owned, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit))) tooltip = owned;
        if (!tooltip) return "(no tool)";
        POINT cursor = hit.pt;
        ClientToScreen(bar, &cursor);
        SetCursorPos(cursor.x, cursor.y);
        NMTTDISPINFOA info{};
        info.hdr = {tooltip, hit.ti.uId, TTN_GETDISPINFOA};
        SendMessageA(hit.ti.hwnd, WM_NOTIFY, hit.ti.uId, reinterpret_cast<LPARAM>(&info));
        return info.lpszText ? info.lpszText : "(no text)";
    }
    std::vector<int> CheckedTabs() {
        std::vector<int> checked;
        for (int contact : Tabs())
            if (SendMessageA(Bar(), TB_ISBUTTONCHECKED, contact & 0xBFFFFFFF, 0)) checked.push_back(contact);
        return checked;
    }
    // Attached windows that carry the visible style (their own visibility,
    // whatever the container's).
    std::vector<HWND> ShownTabWindows() {
        std::vector<HWND> shown;
        for (HWND child = GetWindow(Content(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) shown.push_back(child);
        return shown;
    }

    static DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }
    static HWND ParentOf(HWND window) { return GetAncestor(window, GA_PARENT); }
    static bool Tabbed(HWND window) { return GetPropA(window, "TABBED") == reinterpret_cast<HANDLE>(1); }
    static WNDPROC Proc(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }
    static bool HasOwnProcedure(HWND window) {
        return Proc(window) == DevHostLib::Conversations::WindowClassProc();
    }
    static std::string Text(HWND window) {
        char text[512] = {};
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    static RECT InParent(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // A key pressed and released on a window with the given keys held: the
    // thread's key state is what the plug-in reads.
    void Press(HWND window, UINT key, std::initializer_list<int> held = {}) {
        BYTE state[256] = {};
        for (int k : held) state[k] = 0x80;
        SetKeyboardState(state);
        SendMessageA(window, WM_KEYDOWN, key, 1);
        SendMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
        ReleaseKeys();
    }
    static void ReleaseKeys() {
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
    // Held Shift (or none) for a call that reads the key state.
    template <typename Body>
    void WithShift(bool shift, Body body) {
        BYTE state[256] = {};
        if (shift) state[VK_SHIFT] = 0x80;
        SetKeyboardState(state);
        body();
        ReleaseKeys();
    }

    // Keyboard and wheel messages that reached the host's own procedure of a
    // contact's edit (or view).
    std::vector<std::pair<UINT, WPARAM>> InputSeen(
        int contact, DevHostLib::Conversations::Control control = DevHostLib::Conversations::Control::Edit) {
        std::vector<std::pair<UINT, WPARAM>> seen;
        for (const auto& k : host->state.conversations.input)
            if (k.contact == contact && k.control == control) seen.push_back({k.message, k.wParam});
        return seen;
    }

    // Boots and opens conversations for new contacts, in order.
    std::vector<int> BootWithTabs(std::initializer_list<const char*> names) {
        Boot();
        std::vector<int> contacts;
        for (const char* name : names) contacts.push_back(AddContact(name));
        for (int contact : contacts) Open(contact);
        return contacts;
    }

    // A press held for less than the 200 ms a drag needs, as the plug-in
    // reads it from Tabs::dragStart at the release: a press set back by its
    // length only grows with whatever a busy machine takes until the
    // release, so a short one is set a minute ahead instead.
    static constexpr clock_t kShortPress = -60 * CLOCKS_PER_SEC;

    // A window carried by its caption through the system's move loop, with
    // real input: the button goes down on the caption (the host's window
    // answers with the loop), the mouse takes each point of `path` with the
    // button held, and the move ends with the button let go or with Esc.
    // `seen(i)` runs inside the loop once the mouse has rested on point i
    // long enough for the plug-in to look at it. Wine's loop raises no
    // move-size events: they are raised here where Windows raises them, the
    // start once the loop runs, the end once it has ended.
    enum class LetGo { Button, Esc };
    void Carry(HWND window, std::vector<POINT> path, LetGo end = LetGo::Button,
               std::function<void(size_t)> seen = nullptr) {
        CarryScript script{window, std::move(path), end == LetGo::Esc ? 1 : 0, std::move(seen)};
        carrying = &script;
        // The user takes hold of a caption in sight.
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(window);
        POINT grab = CaptionOf(window);
        SetCursorPos(grab.x, grab.y);
        MouseInput(MOUSEEVENTF_LEFTDOWN);
        UINT_PTR timer = SetTimer(nullptr, 0, kCarryStepMs, CarryStep);
        MSG msg;
        while (!script.done && GetMessageA(&msg, nullptr, 0, 0)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        KillTimer(nullptr, timer);
        carrying = nullptr;
        ASSERT_TRUE(script.started) << "the press on the caption started no move loop";
        NotifyWinEvent(EVENT_SYSTEM_MOVESIZEEND, window, OBJID_WINDOW, CHILDID_SELF);
        DevHostLib::DevHost::Pump();
    }
    // The two events the system raises for a move loop of a window, without
    // the loop: the start, then the end, each heard as the thread retrieves
    // its messages.
    static void RaiseMoveEvents(HWND window) {
        NotifyWinEvent(EVENT_SYSTEM_MOVESIZESTART, window, OBJID_WINDOW, CHILDID_SELF);
        DevHostLib::DevHost::Pump();
        NotifyWinEvent(EVENT_SYSTEM_MOVESIZEEND, window, OBJID_WINDOW, CHILDID_SELF);
        DevHostLib::DevHost::Pump();
    }
    // The middle of a window's caption, on the screen.
    static POINT CaptionOf(HWND window) {
        RECT r{};
        POINT client{};
        GetWindowRect(window, &r);
        ClientToScreen(window, &client);
        return {(r.left + r.right) / 2, (r.top + client.y) / 2};
    }
    static POINT Offset(POINT p, int dx, int dy) { return {p.x + dx, p.y + dy}; }
    static void MouseInput(DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
    }
    static void KeyInput(WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        SendInput(1, &input, sizeof input);
    }

    // The host's action 138 of group 30 for a contact, as the plug-in asks for it.
    int OpenRequests(int contact) {
        int n = 0;
        for (const auto& s : host->recorded.SentWithCode(Host::kElementNotify)) {
            const auto* notice = reinterpret_cast<const ActionNotice*>(s.record.data());
            if (notice->ref.id == 138 && notice->ref.parent == 30 && notice->ref.contact == contact) ++n;
        }
        return n;
    }
};
