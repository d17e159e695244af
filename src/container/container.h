// The container window: classes, creation, layout, transparency, position,
// and its window procedure.
#pragma once

#include <windows.h>

#include <ctime>

#include "host/records.h"

namespace Tabs {

// The class of the content child, also the window the tab bar lies in.
inline constexpr char kContentClass[] = "TabsCont";

extern HWND containerWnd;
extern HWND contWnd;
extern HWND tooltipWnd;
extern int tabsAlign;
extern int lastCx, lastCy;
extern int contentCx, contentCy;
extern HICON normalIcon;
extern HICON messageIcon;
extern clock_t dragStart;
extern bool flashPhase;

constexpr UINT kReadTimer = 1;
constexpr UINT kFlashTimer = 2;
constexpr UINT kReadTimerPeriod = 2000;

int RegisterClasses();
void UnregisterClasses();
int CreateContainer();
int Reposition(int cx, int cy);
// Repaints the shown conversation with its controls at once. A window the
// system has just shown is invalid already: invalidated again, it would
// erase its frame and background a second time.
void Redraw(bool justShown = false);
// Gives a tab's window the content area's size, at its top left corner.
void FitContent(HWND window);
// Moves a window in its parent's client area; one already in place is left
// alone (0), since moving it would still cost a round of position messages.
BOOL Place(HWND window, int x, int y, int width, int height);
void SetAlpha();
void SavePosition();
// The container's small icon; the system redraws the caption and the taskbar
// button even when the icon is the one already set, so only a change is sent.
void SetContainerIcon(HICON icon);
// Whether the container is the foreground window.
bool ContainerInFront();
// The container's taskbar button flashes (count times) or stops.
void FlashContainer(UINT flags, UINT count);
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// A new tab bar in place of the old one, holding only the two fixed buttons
// and the tab of `kept` (a button id; 0 for none), as they were.
void RebuildTabBar(int kept);

// Starts timer 2 when "Tabs/MsgIconFlash" is nonzero.
void StartFlashTimer();
// Shows or hides the two fixed buttons by their settings.
void ShowFixedButtons();

// The host action a click setting names, for a contact.
ActionRef ReadClickSetting(int column, int contact);
// Runs a click setting for a contact (notice 1).
void RunClickSetting(int column, int contact);
}  // namespace Tabs
