// The container's answers to the user's gestures, its close request and its
// timers; container.cpp hands each of these messages here.
#pragma once

#include <windows.h>

namespace Tabs {

LRESULT OnContainerActivate(WPARAM wParam);
LRESULT OnContainerClose();
LRESULT OnContainerCommand(WPARAM wParam, LPARAM lParam);
LRESULT OnContainerSetCursor(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnContainerNotify(LPARAM lParam);
LRESULT OnContainerTimer(WPARAM timer);
LRESULT OnContainerWheel(HWND window, WPARAM wParam, LPARAM lParam);

// The toolbar keeps the mouse while one of its buttons is dragged, so only
// the bar's own messages tell where a dragged tab is: each new bar is
// watched for them.
void WatchDrags(HWND bar);
// The cursor made for tearing a tab off goes at the module's unload.
void DestroyTearOffCursor();

}  // namespace Tabs
