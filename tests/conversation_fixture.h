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
