// What the plug-in keeps from its load to its unload that no window owns.
// The container's own state belongs to the container window (Container);
// the variables every part shares by name (Tabs::currentWnd, Tabs::tabBar
// and the like) stay where every part finds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <vector>

#include "host/scoped.h"

namespace Tabs {

struct AttachBatch;

struct PluginState {
    // Between the start and the end message the session lives in the tab
    // bar and the stored texts are empty: a start or end out of turn would
    // wipe them.
    bool running = false;
    // "Tabs/MenuAlign" as the contact-menu entries were registered with it.
    int menuAlign = 0;
    // The host's instance the window classes were registered for: they go
    // with it at the module's unload, when the host is no longer asked.
    HINSTANCE classInstance = nullptr;

    // What the plug-in is in the middle of, so that the messages it causes
    // do not start it again; changed only through Scoped.
    int32_t showingCnt = 0;  // the contact whose window a switch brings up
    bool pinning = false;    // a tabbed window being put back in place
    // Conversations coming many at once (a restored session) join this
    // batch instead of coming up one by one; null when none is open.
    AttachBatch* batch = nullptr;

    // Hooked host windows whose procedure of ours lies under one put over
    // it later: taking ours out would take that one out too, so ours only
    // passes messages on until the window is hooked again or goes.
    std::set<HWND> passingOn;

    // The scoped changes in force, oldest first, and how many fault guards
    // run, one inside the other.
    std::vector<ScopedChange> changes;
    int guards = 0;
};

extern PluginState plugin;

}  // namespace Tabs
