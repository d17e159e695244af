#include "conversations/closing.h"

#include "container/container_tabs.h"
#include "conversations/attach.h"
#include "conversations/closed_list.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "host/scoped.h"

namespace Tabs {

namespace {

// The host's own setting: a closed conversation window stays alive, hidden.
bool KeepWindows() { return GetHostInt(Host::kColumnKeepWindow) != 0; }

// The current tab's window answers its own destruction by showing the
// neighbour (the hook's destroy row); any other goes quietly.
void DestroyTab(int32_t contact, HWND window) {
    if (contact == currentCnt) {
        DestroyWindow(window);
        return;
    }
    Scoped<bool> closing(bulkClosing, true);
    DestroyWindow(window);
    RemoveTab(contact);
}

// The window stays a tabbed child, hidden and without a button, until the
// host shows it again.
void HideTab(int32_t contact) {
    if (contact == currentCnt) {
        HWND shown = currentWnd;
        SelectNeighbour();
        ShowWindow(shown, SW_HIDE);
    } else {
        RemoveTab(contact);
    }
}

void CloseTabbed(int32_t contact, HWND window) {
    if (KeepWindows() == KeyDown(VK_SHIFT))
        DestroyTab(contact, window);
    else
        HideTab(contact);
}

void CloseButtonAt(int index, ButtonId id, int32_t contact) {
    Log(kTrace, "Tabs::CloseTabs - niszczę okno: i=%d, id=%d, cnt = %d", index, id.value, contact);
    if (HWND window = ConversationWindow(contact)) {
        if (KeepWindows())
            ShowWindow(window, SW_HIDE);
        else
            DestroyWindow(window);
    }
    RecordClosed(contact);
}

}  // namespace

void CloseTab(int32_t contact) {
    Log(kTrace, "Tabs::CloseTab, cnt=%d", contact);
    HWND window = ConversationWindow(contact);
    if (IsTabbed(window)) {
        CloseTabbed(contact, window);
    } else {
        if (window) SendMessageA(window, WM_CLOSE, 0, 0);
        // A tab made for a message before its conversation had a window has
        // only its button to lose.
        if (HasTab(contact)) RemoveTab(contact);
    }
    RecordClosed(contact);
}

// A contact to keep that has no tab (its menu was built while it had one, or
// its window floats detached) keeps nothing: every tab goes, the shown one
// too, and the host is only asked to bring that conversation up.
void CloseTabs(int32_t leave) {
    int count = tabBar.Count();
    Log(kTrace, "Tabs::CloseTabs - leave: %d, count: %d", leave, count);
    bool keepsATab = leave != -1 && tabBar.Exists(ButtonOf(leave));
    {
        Scoped<bool> closing(bulkClosing, true);
        for (int i = count - 1; i >= 1; --i) {
            ButtonId id{tabBar.CommandAt(i)};
            int32_t contact = ContactOf(id);
            if (contact == leave || IsFixedButton(id) || id < 0) continue;
            CloseButtonAt(i, id, contact);
        }
    }
    RemoveTabsBut(keepsATab ? leave : 0);
    Reposition(-1, -1);
    if (keepsATab) {
        MoveToWnd(leave);
        return;
    }
    ShowWindow(containerWnd, SW_HIDE);
    if (leave == -1) return;
    currentCnt = 0;
    currentWnd = nullptr;
    CallAction({Host::kActionOpenConversation, Host::kGroupContactMenu, leave}, Host::kNoticeAction);
}

}  // namespace Tabs
