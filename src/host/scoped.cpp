#include "host/scoped.h"

#include "host/plugin_state.h"

namespace Tabs {

size_t ChangesInForce() noexcept { return plugin.changes.size(); }

bool RecordChange(const ScopedChange& change) noexcept {
    try {
        plugin.changes.push_back(change);
        return true;
    } catch (...) {
        return false;
    }
}

void UndoChangesAfter(size_t inForce) noexcept {
    while (plugin.changes.size() > inForce) {
        ScopedChange newest = plugin.changes.back();
        plugin.changes.pop_back();
        newest.undo(newest.variable, newest.previous);
    }
}

}  // namespace Tabs
