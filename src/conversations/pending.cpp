// Placeholders until the conversations subsystem is built.
#include "conversations/closed_list.h"
#include "conversations/registry.h"

namespace Tabs {
HWND currentWnd = nullptr;
int32_t currentCnt = 0;
ContactList waitingList;
ContactList closedList;
bool bulkClosing = false;
}  // namespace Tabs
