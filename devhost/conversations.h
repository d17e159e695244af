// The host's conversation windows: one top-level window per contact, with the
// "CNT" property (the host's record of the window), the conversation title as
// its text, a toolbar built from the toolbars of group 4 (each a group of
// buttons; group 200 is the main one), dialog item 250 (whose first child's
// first child's first child is the message view), dialog item 251 (the
// message edit: Enter sends) and dialog item 5691 (the send button). The
// edit and the view are the system's edit control under the host's own
// classes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/records.h"

namespace DevHostLib {

constexpr int kViewItem = 250;
constexpr int kEditItem = 251;
constexpr int kFocusItem = 5691;
constexpr int kToolbarItem = 1300;
constexpr int kKeepWindowColumn = 148;  // configuration table: keep closed windows, hidden

// The record behind "CNT": network at 0, contact id at 8, waiting flag at 12.
struct ConversationRecord {
    int32_t network;
    int32_t reserved;
    int32_t contact;
    int32_t waiting;
};

class DevHost;

class Conversations {
public:
    explicit Conversations(DevHost& host) : host(host) {}
    ~Conversations();
    Conversations(const Conversations&) = delete;
    Conversations& operator=(const Conversations&) = delete;

    // Opens the contact's conversation or brings it up: builds the window on
    // first use and reports its controls' creation to their owners; shows a
    // window that was kept hidden.
    HWND Open(int contact);
    HWND WindowOf(int contact) const;
    HWND ViewControl(int contact) const;   // dialog item 250
    HWND MessageView(int contact) const;   // the view inside item 250
    HWND EditControl(int contact) const;   // dialog item 251
    HWND Toolbar(int contact) const;
    std::string ViewText(int contact) const;
    // A line of the conversation: into the view when the window is open,
    // else kept until the window is built.
    void AddLine(int contact, const std::string& line);

    // The host's mark of unread messages: the window's "MsgWaiting" and the
    // count in its record, set while the user does not see the window; the
    // count goes when the conversation is marked read (request 104).
    void MarkUnread(int contact);
    void MarkRead(int contact);

    // What the host does to its own windows, through the ordinary calls.
    void Retitle(int contact, const std::string& title);
    void Activate(int contact);
    void Move(int contact, int x, int y, int width, int height);
    void Close(int contact);  // the window's close request, as its close box sends it
    void DestroyConversation(int contact);
    void DestroyAll();
    // The toolbars' elements changed: every toolbar (or the one of the
    // contact the change was for) shows them as they are now for its contact.
    void RefreshToolbars(int contact = kEveryContact);
    static constexpr int kEveryContact = -2;

    // Keyboard and wheel messages that reached the host's own procedures of
    // the edit and the view, in order.
    enum class Control { Edit, View };
    struct InputSeen {
        int contact;
        Control control;
        UINT message;
        WPARAM wParam;
    };
    std::vector<InputSeen> input;
    // What a plug-in left on the host's windows when they were destroyed: a
    // property that is not the host's, or a procedure other than the host's.
    std::vector<std::string> leftovers;
    int destroyedWindows = 0;  // conversation windows, edits and views checked

    // Style of the windows built from now on.
    DWORD windowStyle = WS_POPUP | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

    // The class procedures, as the host registered them.
    static WNDPROC WindowClassProc();
    static WNDPROC EditClassProc();
    static WNDPROC ViewClassProc();

private:
    HWND Create(int contact);
    void CreateToolbar(HWND window, int contact);
    void FillToolbar(HWND window, int contact);
    void OnToolbar(HWND window, UINT command);
    void Forget(HWND window);
    static void SendTyped(HWND window);
    static void LayOut(HWND window);
    static Conversations* OwnerAbove(HWND control, int& contact);
    static void RecordInput(HWND control, Control which, UINT message, WPARAM wParam);
    void CheckLeftovers(HWND window, const char* role, WNDPROC own);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    DevHost& host;
    std::map<int, HWND> windows;
    std::map<HWND, ConversationRecord*> records;
    std::map<int, std::string> unshown;  // lines for conversations not open yet
    std::map<HWND, std::vector<ActionRef>> toolbarButtons;  // by command number
};

}  // namespace DevHostLib
