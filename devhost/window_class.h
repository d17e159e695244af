// The host's own window classes, registered for this program's instance.
#pragma once

#include <windows.h>

namespace DevHostLib {

// Arrow cursor and the button-face background unless another brush is given.
inline bool RegisterHostClass(const char* name, WNDPROC proc, HBRUSH background = GetSysColorBrush(COLOR_BTNFACE)) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

}  // namespace DevHostLib
