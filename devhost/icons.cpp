#include "icons.h"

#include <vector>

#include "contacts.h"

namespace DevHostLib {

namespace {

COLORREF StatusColour(int status) {
    switch (status) {
        case 0: return RGB(128, 128, 128);  // offline
        case 1: return RGB(30, 170, 40);    // available
        case 2: return RGB(230, 160, 20);   // away
        case 3: return RGB(200, 40, 40);    // busy
        default: return RGB(60, 110, 200);
    }
}

}  // namespace

Icons::Icons() {
    imageList = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 64, 16);
    Register(13, 1, Make(RGB(160, 160, 160), false));  // unknown
    Register(63, 1, Make(RGB(60, 110, 200), false));   // conversation window
    Register(66, 1, Make(RGB(240, 200, 0), false));    // message waiting
    for (int network = 1; network <= 4; ++network)
        for (int status = 0; status <= 4; ++status) Register(StatusIconId(network, status), 1, Make(StatusColour(status), true));
}

Icons::~Icons() {
    for (auto& [id, icon] : handles) DestroyIcon(icon);
    if (imageList) ImageList_Destroy(imageList);
}

void Icons::Register(int iconId, int kind, HICON icon) {
    if (!icon) return;
    if (kind == 1) {
        auto it = indexes.find(iconId);
        if (it != indexes.end())
            ImageList_ReplaceIcon(imageList, it->second, icon);
        else
            indexes[iconId] = ImageList_AddIcon(imageList, icon);
    }
    auto old = handles.find(iconId);
    if (old != handles.end()) {
        if (old->second == icon) return;
        DestroyIcon(old->second);
    }
    handles[iconId] = icon;
}

bool Icons::Known(int iconId) const { return indexes.count(iconId) != 0; }

int Icons::Index(int iconId) const {
    auto it = indexes.find(iconId);
    return it == indexes.end() ? -1 : it->second;
}

HICON Icons::Handle(int iconId) const {
    auto it = handles.find(iconId);
    return it == handles.end() ? nullptr : it->second;
}

HICON Icons::Make(COLORREF colour, bool disc) {
    std::vector<DWORD> pixels(16 * 16, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int dx = x - 8, dy = y - 8;
            bool inside = disc ? dx * dx + dy * dy <= 36 : (x >= 2 && x <= 13 && y >= 2 && y <= 13);
            if (inside)
                pixels[y * 16 + x] = 0xFF000000 | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        }
    HBITMAP colourBits = CreateBitmap(16, 16, 1, 32, pixels.data());
    std::vector<WORD> maskBits(16, 0);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colourBits};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colourBits);
    DeleteObject(mask);
    return icon;
}

}  // namespace DevHostLib
