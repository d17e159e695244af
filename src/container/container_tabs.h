// The container as the conversations see it: its windows and the size a
// tab's window is given, the tab bar (the thin TabBar over the toolbar
// control), tabs added to it, taken off it and placed on it, the layout that
// follows every such change, and the order the tabs were last shown in. How
// the container shows the bar, follows a drag and answers its own messages
// stays behind this.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "container/tab_bar.h"

namespace Tabs {

extern HWND containerWnd;
extern HWND contWnd;
extern int contentCx, contentCy;
extern HICON normalIcon;

// Lays the container out for a client area of cx by cy; (-1, -1) repeats the
// last layout, which every change of the tabs is followed by.
int Reposition(int cx, int cy);
// Repaints the shown conversation with its controls at once. A window the
// system has just shown is invalid already: invalidated again, it would
// erase its frame and background a second time.
void Redraw(bool justShown = false);
// Gives a tab's window the content area's size, at its top left corner.
void FitContent(HWND window);
// The container's small icon; the system redraws the caption and the taskbar
// button even when the icon is the one already set, so only a change is sent.
void SetContainerIcon(HICON icon);

// A contact's tab at the end of the bar, with the contact's tab name and
// status icon; false when the bar refuses it (it has one, or the contact's
// button id cannot be a tab's).
bool AddTab(int32_t contact);
// Tabs of many contacts at the end of the bar, in their order, laid out once
// for all of them; those the bar refuses (see AddTab) are left out.
void AddTabs(const std::vector<int32_t>& contacts);
// A restored tab whose conversation the host opens only when the tab is
// first shown; taking the mark tells whether it had it (and removes it).
void MarkUnopened(int32_t contact);
bool TakeUnopened(int32_t contact);
// Takes a contact's tab off the bar and lays the container out again.
void RemoveTab(int32_t contact);
// Every tab goes but the contact's `kept` (0 or -1 for none), as it was.
void RemoveTabsBut(int32_t kept);
// Moves a tab (by button id) to a place on the bar, from kFirstTabIndex on;
// the tabs between shift by one. The fixed buttons never move.
void PlaceTab(ButtonId tab, int index);

// A contact's tab was brought up: it comes first in the order last shown.
void NoteShown(int32_t contact);
// The tabs given (contacts) in the order last shown, most recent first;
// contacts without a tab any longer leave the order. Empty without a
// container.
std::vector<int32_t> ShownTabs(const std::vector<int32_t>& tabs);

// Takes a wheel message whose point lies over the bar while the bar scrolls;
// false leaves it to whoever would take it otherwise.
bool WheelOverBar(WPARAM wParam, LPARAM lParam);

}  // namespace Tabs
