#include "ui/session.h"

#include <unordered_set>
#include <vector>

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

bool Restorable(int32_t contact) { return contact != 0 && Send(Host::kContactExists, contact) != 0; }

// Each conversation the host opens attaches as a tab after those already
// open, so the tabs come back in their stored order.
void Restore(const ContactList& session, bool autoLoad) {
    for (int32_t contact : session) {
        Log(kTrace, "Tabs::IStart - Reverting: %d", contact);
        if (Restorable(contact)) OpenRestored(contact, autoLoad);
    }
}

// A contact kept out of the tabs, or one whose button id cannot be a tab's,
// never gets a tab for its window.
bool OpensAsTab(int32_t contact) {
    return GetContactInt(contact, Column::DontTab) == 0 && IsTabButtonId(ButtonOf(contact));
}

// The tabs come back without their windows, as tabs made for a message are,
// each contact once, in the order of its first place; only the conversation
// the restore above would leave shown (the last one) is opened now, every
// other one the first time its tab is shown. A conversation that would not
// be a tab is opened at once, as above.
void RestoreUnopened(const ContactList& session, bool autoLoad) {
    std::vector<int32_t> tabs;
    std::unordered_set<int32_t> seen;
    int32_t shown = 0;
    for (int32_t contact : session) {
        Log(kTrace, "Tabs::IStart - Reverting: %d", contact);
        if (!Restorable(contact)) continue;
        if (!OpensAsTab(contact)) {
            OpenRestored(contact, autoLoad);
            continue;
        }
        shown = contact;
        if (seen.insert(contact).second) tabs.push_back(contact);
    }
    if (tabs.empty()) return;
    AddTabs(tabs);
    for (int32_t contact : tabs)
        if (contact != shown) MarkUnopened(contact);
    OpenRestored(shown, autoLoad);
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
    bool autoLoad = AutoLoadWanted();
    // An unrestored session counts as closed, ahead of the older entries.
    if (!RestoreWanted(session))
        LoadClosed(GetString(Column::LastSession));
    else if (GetInt(Column::LazyRevertSession) != 0)
        RestoreUnopened(session, autoLoad);
    else
        Restore(session, autoLoad);
    LoadClosed(GetString(Column::ClosedRecentlyBuffer));
    SetString(Column::LastSession, "");
    SetString(Column::ClosedRecentlyBuffer, "");
    return 1;
}

bool AutoLoadWanted() { return PluginLoaded(Host::kViewerSignature) && GetInt(Column::AutoLoadChat) != 0; }

void OpenRestored(int32_t contact, bool autoLoad) {
    CallAction({Host::kActionOpenConversation, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
    if (autoLoad) CallAction({Host::kViewerLoadChat, Host::kViewerGroup, contact}, Host::kNoticeAction);
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
