// The tab registry: which conversation is shown, the contacts with unread
// messages, the window properties, tab names and the container title.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>

namespace Tabs {

using ContactList = std::deque<int32_t>;

// Window properties, spelled only here.
inline constexpr char kPropTabbed[] = "TABBED";
inline constexpr char kPropOldProc[] = "oldProc";
inline constexpr char kPropViewProcOld[] = "CtrlViewProcOld";
inline constexpr char kPropSendProcOld[] = "CtrlSendProcOld";
inline constexpr char kPropContact[] = "CNT";          // set by the host
inline constexpr char kPropMsgWaiting[] = "MsgWaiting";  // set by the host

extern HWND currentWnd;
extern int32_t currentCnt;
extern ContactList waitingList;
// Set while the plug-in itself destroys or hides tab windows, so that their
// own destroy and show messages leave the tab bar alone.
extern bool bulkClosing;

// Fields of the host's record behind "CNT".
struct ConversationRecord {
    int32_t network;
    int32_t unused4;
    int32_t contact;
    int32_t waiting;
};
// The host's record of a conversation window, or null.
const ConversationRecord* ConversationOf(HWND window);
// Contact id of a conversation window, or 0.
int32_t ContactOfWindow(HWND window);
bool IsTabbed(HWND window);  // "TABBED" is non-null
// "TABBED" is exactly 1: how attaching and detaching, and the menu entry that
// offers them, tell a window in a tab.
bool TabbedExactly(HWND window);

std::string GetTabName(int32_t contact, bool shorten);
void SetTitle(const char* text);
void RefreshTitle();
void ClearMsgWaiting(int32_t contact);

// List helpers.
bool ListRemove(ContactList& list, int32_t id);
bool ListContains(const ContactList& list, int32_t id);

}  // namespace Tabs
