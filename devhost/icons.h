// The host's icons: a real 16x16 image list and icon handles, known by icon
// id. The host's own icons are drawn here; plug-ins register theirs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>

namespace DevHostLib {

class Icons {
public:
    Icons();
    ~Icons();
    Icons(const Icons&) = delete;
    Icons& operator=(const Icons&) = delete;

    // kind 1 adds to the image list; other kinds only keep the handle.
    void Register(int iconId, int kind, HICON icon);
    bool Known(int iconId) const;
    int Index(int iconId) const;  // -1 when unknown
    HICON Handle(int iconId) const;
    HIMAGELIST ImageList() const { return imageList; }

    // A small coloured icon made on the spot: a filled disc or square.
    static HICON Make(COLORREF colour, bool disc);

private:
    HIMAGELIST imageList = nullptr;
    std::map<int, int> indexes;
    std::map<int, HICON> handles;
};

}  // namespace DevHostLib
