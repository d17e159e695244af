// The window work of one switch between tabs, done by the system alone with
// nothing of the plug-in's in between: what a switch cannot go below. The
// bare system program does it with its own conversation-like windows, the
// benchmark with the stand-in host's conversation windows, taken into a
// content window as the plug-in takes them.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace SwitchFloor {

// A toolbar made as the plug-in makes its tab bar, with `buttons` tabs
// (command ids 1 to buttons) showing image 0 of `images`, drawn by the
// toolbar from the list.
inline HWND TabBar(HWND parent, HIMAGELIST images, int buttons) {
    constexpr DWORD kBarStyle = 0x1A48 | 0x56008000;  // the tab bar's styles
    constexpr DWORD kBarExStyle = 9;
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, kBarStyle, 0, 0, 500, 20, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, kBarExStyle);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    for (int i = 1; i <= buttons; ++i) {
        char text[32];
        wsprintfA(text, "Kontakt %d", i);
        TBBUTTON button{};
        button.iBitmap = 0;
        button.idCommand = i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_SHOWTEXT | BTNS_AUTOSIZE;
        button.iString = reinterpret_cast<INT_PTR>(text);
        SendMessageA(bar, TB_INSERTBUTTONA, 0x3FFF, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    return bar;
}

struct Tab {
    HWND window;  // the conversation window inside the content window
    int button;   // its button's command id
};

constexpr int kFocusItem = 5691;  // the conversation's control that takes the focus

// The tab is clicked, as the mouse gives it to the bar; the tab brought up
// is raised to the top of the content window's children and shown over the
// one shown before, which is then hidden, and painted with its children; the
// focus goes into it; the two tabs' buttons change state and the
// container's caption changes.
inline void Switch(HWND container, HWND bar, const Tab& from, const Tab& to, const char* caption) {
    RECT r{};
    SendMessageA(bar, TB_GETRECT, static_cast<WPARAM>(to.button), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(bar, WM_LBUTTONUP, 0, at);
    SetWindowPos(to.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(to.window, SW_SHOW);
    ShowWindow(from.window, SW_HIDE);
    RedrawWindow(to.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (HWND focus = GetDlgItem(to.window, kFocusItem)) SetFocus(focus);
    SendMessageA(bar, TB_CHECKBUTTON, static_cast<WPARAM>(from.button), FALSE);
    SendMessageA(bar, TB_CHECKBUTTON, static_cast<WPARAM>(to.button), TRUE);
    SetWindowTextA(container, caption);
}

}  // namespace SwitchFloor
