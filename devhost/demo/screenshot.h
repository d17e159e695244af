// Pictures of the screen: the part that holds some windows and the menus
// open in front of them, written as PNG files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace DevHostLib {

class Screenshots {
public:
    // Parts of a picture that none of its windows covers get the desktop's
    // colour, whatever other windows are there.
    explicit Screenshots(COLORREF desktop);
    ~Screenshots();
    Screenshots(const Screenshots&) = delete;
    Screenshots& operator=(const Screenshots&) = delete;

    // The smallest part of the screen that holds the visible windows given
    // and this thread's open menus, with a margin; false when nothing was
    // written.
    bool Take(const std::string& path, const std::vector<HWND>& windows) const;

private:
    ULONG_PTR token = 0;
    COLORREF desktop;
};

}  // namespace DevHostLib
