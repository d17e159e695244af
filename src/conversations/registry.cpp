#include "conversations/registry.h"

#include <algorithm>
#include <sstream>

#include "container/container_tabs.h"
#include "host/columns.h"
#include "host/host.h"

namespace Tabs {

HWND currentWnd = nullptr;
int32_t currentCnt = 0;
ContactList waitingList;
bool bulkClosing = false;

namespace {

constexpr char kEllipsis = '\x85';  // "…" in code page 1250

}  // namespace

const ConversationRecord* ConversationOf(HWND window) {
    return window ? static_cast<const ConversationRecord*>(GetPropA(window, kPropContact)) : nullptr;
}

int32_t ContactOfWindow(HWND window) {
    const ConversationRecord* record = ConversationOf(window);
    return record ? record->contact : 0;
}

bool IsTabbed(HWND window) { return window && GetPropA(window, kPropTabbed) != nullptr; }

bool TabbedExactly(HWND window) { return window && GetPropA(window, kPropTabbed) == reinterpret_cast<HANDLE>(1); }

std::string GetTabName(int32_t contact, bool shorten) {
    std::string name = GetContactString(contact, Host::kContactDisplay);
    if (name.empty()) name = GetContactString(contact, Host::kContactUserId);
    if (!shorten) return name;
    unsigned limit = static_cast<unsigned>(GetInt(Column::ShortenDesc));
    if (limit != 0 && name.size() > limit) {
        name.resize(limit);
        name += kEllipsis;
    }
    return name;
}

void SetTitle(const char* text) {
    std::string cleaned = text ? text : "";
    std::replace_if(cleaned.begin(), cleaned.end(), [](char ch) { return ch == '\n' || ch == '\r'; }, ' ');
    std::ostringstream title;
    if (!waitingList.empty()) {
        title << '[';
        for (auto it = waitingList.begin(); it != waitingList.end(); ++it) {
            if (it != waitingList.begin()) title << ", ";
            title << GetTabName(*it, true);
        }
        title << "] ";
    }
    title << cleaned;
    // Setting a title, even the same one, redraws the caption and the taskbar
    // button: the title is composed on every switch.
    if (containerWnd && WindowText(containerWnd) != title.str()) SetWindowTextA(containerWnd, title.str().c_str());
}

void RefreshTitle() { SetTitle(WindowText(currentWnd).c_str()); }

void ClearMsgWaiting(int32_t contact) {
    if (contact == 0) contact = currentCnt;
    if (!ListRemove(waitingList, contact)) return;
    tabBar.SetImage(ButtonOf(contact), StatusIcon(contact, -1));
    RefreshTitle();
}

bool ListRemove(ContactList& list, int32_t id) {
    auto it = std::find(list.begin(), list.end(), id);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

bool ListContains(const ContactList& list, int32_t id) { return std::find(list.begin(), list.end(), id) != list.end(); }

}  // namespace Tabs
