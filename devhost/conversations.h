// The host's conversation windows: one top-level window per contact, with the
// "CNT" property (the host's record of the window), the conversation title as
// its text, dialog item 250 (whose first child's first child's first child
// is the message view), dialog item 251 (the message edit) and dialog item
// 5691.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace DevHostLib {

constexpr int kViewItem = 250;
constexpr int kEditItem = 251;
constexpr int kFocusItem = 5691;

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
    // first use and reports its controls' creation to their owners.
    HWND Open(int contact);
    HWND WindowOf(int contact) const;
    HWND ViewControl(int contact) const;   // dialog item 250
    HWND MessageView(int contact) const;   // the view inside item 250
    HWND EditControl(int contact) const;   // dialog item 251
    void DestroyAll();

    // Called by the window procedure when a window goes.
    void Forget(HWND window);

private:
    HWND Create(int contact);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    DevHost& host;
    std::map<int, HWND> windows;
    std::map<HWND, ConversationRecord*> records;
};

}  // namespace DevHostLib
