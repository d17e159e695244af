// The tab bar's place in the container. The toolbar sits in a window of its
// own (the bar's view) that shows at most a third of the container's client
// height of its rows; the rows that do not fit scroll, one row at a time,
// with the wheel, with the arrows beside the rows, and while a tab is dragged
// onto the first or last row shown. Beside the arrows, a menu lists every
// tab while not all of them fit, under an entry that opens the quick
// switcher.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace Tabs {

extern HWND barViewWnd;

constexpr int kBarViewId = 11;
constexpr int kBarArrowsId = 12;
constexpr int kAllTabsId = 13;
constexpr UINT kDragScrollTimer = 3;

// The view, the arrows and the menu control, as children of the container;
// the toolbar comes in with AdoptBar.
void CreateBarView(HWND container);
// Puts a newly made toolbar into the view; its commands and notices still go
// to the container.
void AdoptBar();
// The container's children are gone with it.
void ForgetBarView();

// Lays the bar out for a client area of cx by cy: its height, its rows shown
// and the shown tab among them. Returns the height the content gives up, 0
// when the bar is hidden.
int LayOutBar(int cx, int cy);
// Puts the view and the controls beside it in their place with the bar's top
// edge at `top`; returns nonzero when the view had to move.
BOOL PlaceBar(int top, int cx);

// Scrolls by whole rows (negative: towards the first row).
void ScrollBar(int rows);
// Whether not every row fits, so that the bar scrolls.
bool BarScrolls();
// Takes a wheel message whose point lies over the bar while it scrolls;
// false leaves it to whoever would take it otherwise.
bool WheelOverBar(WPARAM wParam, LPARAM lParam);
// Whether the point (screen coordinates) lies on the part of the bar shown.
bool OnShownBar(POINT point);

// The container's answers to the controls beside the rows.
LRESULT OnBarArrows(const NMUPDOWN& info);
bool IsAllTabsControl(LPARAM control);
void ShowAllTabsMenu();

// A tab dragged onto the first or last row shown scrolls the bar.
void StartDragScroll(int item);
void StopDragScroll();
void OnDragScrollTimer();

}  // namespace Tabs
