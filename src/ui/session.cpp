#include "ui/session.h"

#include <unordered_set>

#include "container/container.h"
#include "conversations/attach.h"
#include "conversations/closed_list.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "host/plugin_state.h"
#include "ui/registration.h"
#include "ui/switcher.h"

namespace Tabs {

namespace {

constexpr int kRestoreAlways = 1;
constexpr int kRestoreAsk = 2;

HICON HostIcon(int id) { return reinterpret_cast<HICON>(Send(Host::kIconHandle, id, Host::kIconSmall)); }

bool RestoreWanted(const ContactList& session) {
    if (session.empty()) return false;
    if (GetInt(Column::AutoRevertSession) == kRestoreAlways) return true;
    return GetInt(Column::AutoRevertSession) == kRestoreAsk &&
           Send(Host::kAskUser, "Zapisano sesję rozmów, przywrócić?") != 0;
}

// Each conversation the host opens attaches as a tab after those already
// open, so the tabs come back in their stored order, all in one batch. A
// contact named twice comes back once, at its first place.
void Restore(const ContactList& session, bool autoLoad) {
    std::unordered_set<int32_t> asked;
    AttachMany([&] {
        for (int32_t contact : session) {
            Log(kTrace, "Tabs::IStart - Reverting: %d", contact);
            if (contact == 0 || !asked.insert(contact).second || Send(Host::kContactExists, contact) == 0) continue;
            CallAction({Host::kActionOpenConversation, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
            if (autoLoad) CallAction({Host::kViewerLoadChat, Host::kViewerGroup, contact}, Host::kNoticeAction);
        }
    });
}

ContactList OpenTabs() {
    ContactList tabs;
    int count = tabBar.Count();
    Log(kTrace, "bnt count: %d", count);
    for (int i = 0; i < count; ++i) {
        int id = tabBar.CommandAt(i);
        if (id >= 0 && !IsFixedButton(id)) tabs.push_back(ContactOf(ButtonId{id}));
    }
    return tabs;
}

}  // namespace

int IStart() {
    if (plugin.running) {
        Log(kTrace, "Tabs::IStart - już uruchomiony");
        return 1;
    }
    plugin.running = true;
    messageIcon = HostIcon(Host::kIconMessage);
    normalIcon = HostIcon(Host::kIconNormal);
    RegisterClasses();
    CreateContainer();
    TakeOverActions();
    closedList.clear();
    Log(kTrace, "Tabs::IStart - SavedSession: %s", GetString(Column::LastSession));
    ContactList session;
    StringToList(GetString(Column::LastSession), session);
    bool autoLoad = PluginLoaded(Host::kViewerSignature) && GetInt(Column::AutoLoadChat) != 0;
    // An unrestored session counts as closed, ahead of the older entries.
    if (RestoreWanted(session))
        Restore(session, autoLoad);
    else
        LoadClosed(GetString(Column::LastSession));
    LoadClosed(GetString(Column::ClosedRecentlyBuffer));
    SetString(Column::LastSession, "");
    SetString(Column::ClosedRecentlyBuffer, "");
    return 1;
}

int IEnd() {
    if (!plugin.running) {
        Log(kTrace, "Tabs::IEnd - nie uruchomiony");
        return 1;
    }
    plugin.running = false;
    CloseSwitcher();
    SetString(Column::LastSession, ListToString(OpenTabs()).c_str());
    SetString(Column::ClosedRecentlyBuffer, ListToString(closedList).c_str());
    ReleaseWindows();
    waitingList.clear();
    if (containerWnd) DestroyWindow(containerWnd);
    return 1;
}

// Without an end message before (the host failed in its own clean-up, or
// another plug-in freed the module) the run still goes, and the host may be
// half gone: its control is dropped first, so that nothing reaches it, not
// even a log line, and nothing is saved (the container's position neither).
// The host's windows get back what was borrowed, or they would call into
// freed code at their next message. They are touched only from their own
// thread: under the loader lock, waiting on another one could hang the host.
void ReleaseAtUnload() {
    if (containerWnd && GetWindowThreadProcessId(containerWnd, nullptr) != GetCurrentThreadId()) return;
    hostControl = nullptr;
    CloseSwitcher();
    ReleaseWindows();
    if (containerWnd) DestroyWindow(containerWnd);
    UnregisterClasses();
}

}  // namespace Tabs
