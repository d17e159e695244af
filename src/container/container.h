// The container window: classes, creation, layout, transparency, position,
// its window procedure and what the start, the end and applied settings do
// to it. The conversations use it through container_tabs.h.
#pragma once

#include <windows.h>

#include <ctime>

#include "container/container_tabs.h"
#include "host/records.h"

namespace Tabs {

// The class of the content child, also the window the tab bar lies in.
inline constexpr char kContentClass[] = "TabsCont";

extern HWND tooltipWnd;
extern int tabsAlign;
extern int lastCx, lastCy;
extern HICON messageIcon;
extern clock_t dragStart;
extern bool flashPhase;

constexpr UINT kReadTimer = 1;
constexpr UINT kFlashTimer = 2;
constexpr UINT kDragScrollTimer = 3;
constexpr UINT kDropFollowTimer = 4;
constexpr UINT kDropScrollTimer = 5;
constexpr UINT kReadTimerPeriod = 2000;
constexpr UINT kDragScrollPeriod = 300;  // ms per row while a tab or a window is held on the first or last row

int RegisterClasses();
void UnregisterClasses();
int CreateContainer();
// Moves a window in its parent's client area; one already in place is left
// alone (0), since moving it would still cost a round of position messages.
BOOL Place(HWND window, int x, int y, int width, int height);
void SetAlpha();
void SavePosition();
// Whether the container is the foreground window.
bool ContainerInFront();
// The container's taskbar button flashes (count times) or stops.
void FlashContainer(UINT flags, UINT count);
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Starts timer 2 when "Tabs/MsgIconFlash" is nonzero; RestartFlashTimer
// kills it first.
void StartFlashTimer();
void RestartFlashTimer();
// Shows or hides the two fixed buttons by their settings.
void ShowFixedButtons();

// The host action a click setting names, for a contact.
ActionRef ReadClickSetting(int column, int contact);
// Runs a click setting for a contact (notice 1).
void RunClickSetting(int column, int contact);

// After a fault abandoned the plug-in's handling of a message: a tab being
// dragged is let go, the bar's hold on the mouse, the cursor and the drag's
// timer with it, and a window being carried is no longer followed.
void EndDragAfterFault();

}  // namespace Tabs
