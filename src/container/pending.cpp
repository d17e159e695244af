// Placeholders until the container is built.
#include "container/container.h"
#include "container/tab_bar.h"

namespace Tabs {
HWND containerWnd = nullptr;
HWND contWnd = nullptr;
HWND tooltipWnd = nullptr;
int tabsAlign = 0;
int lastCx = 0, lastCy = 0;
int contentCx = 0, contentCy = 0;
HICON normalIcon = nullptr;
HICON messageIcon = nullptr;
clock_t dragStart = 0;
bool flashPhase = true;
TabBar tabBar;
int RegisterClasses() { return 0; }
int CreateContainer() { return 0; }
int Reposition(int, int) { return 0; }
void Redraw() {}
void SetAlpha() {}
int TabBar::Count() { return 0; }
int TabBar::CommandAt(int) { return -1; }
}  // namespace Tabs
