// Registration of icons, buttons, menus and pages with the host.
#pragma once

#include <windows.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "host/records.h"

namespace Tabs {

using SetLayeredWindowAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

extern SetLayeredWindowAttributesProc setLayeredWindowAttributes;
extern int buttonGroup;
extern int changeKey;
extern int viewCtrlOwner;
extern int sendCtrlOwner;

int IPrepare();
void TakeOverActions();
void ListActions(std::ostringstream& stream, const ActionRef& group, int depth);
// Registers the contact-menu entries (rows 4 to 10) at a position.
void RegisterContactMenuEntries(int position);

// Element registration over request 10101; a group element gets the group
// flag or-ed into its status.
void AddElement(int parent, int id, int position, uint32_t status, const char* text, int param = 0);
void AddGroupElement(int parent, int id, int position, uint32_t status, const char* text, int param = 0);

// The controls of the settings page below its information box; the
// transparency controls only when the system can make windows layered.
void RegisterSettingsControls(bool withTransparency);
// The drop-down items of the click settings: no action, then the contact
// menu's actions.
std::string ActionList();

}  // namespace Tabs
