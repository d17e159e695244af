// Registration of icons, buttons, menus and pages with the host.
#pragma once

#include <windows.h>

#include <sstream>

#include "host/records.h"

namespace Tabs {

using SetLayeredWindowAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

extern SetLayeredWindowAttributesProc setLayeredWindowAttributes;
extern int buttonGroup;
extern int changeKey;
extern int menuAlign;  // "Tabs/MenuAlign" the contact-menu entries were registered with
extern int viewCtrlOwner;
extern int sendCtrlOwner;

int IPrepare();
void TakeOverActions();
void ListActions(std::ostringstream& stream, const ActionRef& group, int depth);
// Registers the contact-menu entries (rows 4 to 10) at a position.
void RegisterContactMenuEntries(int position);

}  // namespace Tabs
