// Window procedures the plug-in puts on the host's conversation windows.
#pragma once

#include <windows.h>

namespace Tabs {

LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK CtrlSendProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK CtrlViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Replaces a window's procedure, keeping the previous one in the property.
// Only windows of this thread are hooked, and a window already hooked under
// that property is left as it is. True when the procedure is in place.
bool Hook(HWND window, WNDPROC proc, const char* property);
// Puts the stored procedure back and removes the property. Without a stored
// procedure a window that still runs `proc` gets its class's own procedure
// back; any other is left alone. Used as the window goes and at the end of
// the run, it takes the procedure out whatever was put over it.
void Unhook(HWND window, WNDPROC proc, const char* property);
// Takes the procedure off a window that lives on. When another procedure
// was put over it, taking it out would drop that one too: it stays and only
// passes every message on until the window is hooked again or goes.
void StepOut(HWND window, WNDPROC proc, const char* property);
// The message view of a conversation window: first child of the first child
// of the first child of the control given.
HWND MessageView(HWND control);

}  // namespace Tabs
