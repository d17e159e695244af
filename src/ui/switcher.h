// The quick switcher: a small window of the plug-in's own over the container
// (or over the conversation window on its own that Ctrl+K came from) that
// finds any conversation by typing. An edit field, and under it the tabs
// and the contacts whose names hold what was typed; Enter shows the chosen
// one as a click on its tab would, or opens a conversation with a contact
// that has no tab.
#pragma once

#include <windows.h>

namespace Tabs {

inline constexpr char kSwitcherClass[] = "TabsSwitcher";

LRESULT CALLBACK SwitcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Ctrl+K: the key of "k" with Ctrl held and Alt not.
bool IsSwitcherKey(WPARAM key);
// A key held down sends its key-down again and again: Ctrl+K held opens or
// closes the switcher once.
bool IsRepeat(LPARAM keyData);
// Opens the switcher over the window that holds `from`, which gets the
// focus back when the switcher closes without a choice; closes it instead
// when it is open.
void ToggleSwitcher(HWND from);
// Closes an open switcher and gives the focus nowhere: the container
// closes, the run ends, the module goes.
void CloseSwitcher();
// Something the switcher lists changed: an open switcher makes its list
// again from the host, keeping what was typed and the chosen row.
void SwitcherFollow();

}  // namespace Tabs
