// The order in which the tabs were last shown, most recent first, which the
// quick switcher lists them by. The container owns it, as a property of its
// own window: it lives while the container does, switcher open or not.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "conversations/registry.h"

namespace Tabs {

// A tab was brought up.
void NoteShown(int32_t contact);
// The tabs given (contacts) in the order last shown; contacts without a tab
// any longer leave the order.
ContactList ShownTabs(const std::vector<int32_t>& tabs);
// The container is going, and its order with it.
void DropShownOrder(HWND container);

}  // namespace Tabs
