// The tab bar's images, drawn by the plug-in. Drawn by the toolbar, each
// image comes out of the host's image list, which takes Wine about ten times
// as long as the same icon drawn on its own: with the bar's images changing
// at every flash tick that was most of the tick. So a button with an image
// carries I_IMAGECALLBACK: the toolbar lays it out with the room for its
// image as before, asks for the image only as it draws the button and, told
// there is none, draws the button without it. The image index the button
// shows is kept here, and its icon, taken out of the host's list once, is
// drawn once the toolbar has drawn the button.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <unordered_map>

#include "host/unique_handle.h"

namespace Tabs {

class TabImages {
public:
    // Follows a newly made bar, which has no buttons yet: its image list is
    // the host's.
    void Adopt(HWND bar);
    // Whether the bar's images are drawn here: only a bar with an image list
    // makes room for them.
    bool Drawing() const { return images != nullptr; }

    // The image index a button shows; I_IMAGENONE for none.
    int Image(int id) const;
    void SetImage(int id, int image);
    void Forget(int id);
    // Where a button's image is drawn: its left part, pressed offset
    // included.
    RECT ImagePart(const RECT& button) const;

    LRESULT OnCustomDraw(const NMTBCUSTOMDRAW& draw);
    // The toolbar asks in the form it chooses (Wine always asks in the wide
    // one). Only the bar's own question is answered: its record is whole.
    LRESULT OnGetDispInfo(NMTBDISPINFOW& info) const;
    LRESULT OnGetDispInfo(NMTBDISPINFOA& info) const;

private:
    HICON IconOf(int image);
    POINT ImageAt(const NMCUSTOMDRAW& item) const;

    HWND bar = nullptr;
    HIMAGELIST images = nullptr;  // the host's; never freed here
    int imageCx = 0, imageCy = 0;
    std::unordered_map<int, int> shown;  // button id -> image index
    std::map<int, UniqueIcon> icons;     // image index -> its icon
};

}  // namespace Tabs
