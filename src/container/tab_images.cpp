#include "container/tab_images.h"

namespace Tabs {

namespace {

constexpr int kNoImage = I_IMAGENONE;

}  // namespace

void TabImages::Adopt(HWND window) {
    bar = window;
    shown.clear();
    HIMAGELIST list = bar ? reinterpret_cast<HIMAGELIST>(SendMessageA(bar, TB_GETIMAGELIST, 0, 0)) : nullptr;
    if (list && !ImageList_GetIconSize(list, &imageCx, &imageCy)) list = nullptr;
    if (list != images) icons.clear();
    images = list;
}

int TabImages::Image(int id) const {
    auto it = shown.find(id);
    return it == shown.end() ? kNoImage : it->second;
}

void TabImages::SetImage(int id, int image) { shown[id] = image; }

void TabImages::Forget(int id) { shown.erase(id); }

// The toolbar puts a list button's image a frame edge and half its padding
// in from the button's top-left corner, and a pressed or checked button's
// one pixel further right and down.
RECT TabImages::ImagePart(const RECT& button) const {
    DWORD padding = static_cast<DWORD>(SendMessageA(bar, TB_GETPADDING, 0, 0));
    int left = button.left + GetSystemMetrics(SM_CXEDGE) + LOWORD(padding) / 2;
    int top = button.top + HIWORD(padding) / 2;
    return {left, top, left + imageCx + 1, top + imageCy + 1};
}

POINT TabImages::ImageAt(const NMCUSTOMDRAW& item) const {
    RECT part = ImagePart(item.rc);
    int offset = (item.uItemState & (CDIS_SELECTED | CDIS_CHECKED)) ? 1 : 0;
    return {part.left + offset, part.top + offset};
}

LRESULT TabImages::OnCustomDraw(const NMTBCUSTOMDRAW& draw) {
    const NMCUSTOMDRAW& item = draw.nmcd;
    if (!images || item.hdr.hwndFrom != bar) return CDRF_DODEFAULT;
    switch (item.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return shown.count(static_cast<int>(item.dwItemSpec)) ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
        case CDDS_ITEMPOSTPAINT:
            if (HICON icon = IconOf(Image(static_cast<int>(item.dwItemSpec)))) {
                POINT at = ImageAt(item);
                DrawIconEx(item.hdc, at.x, at.y, icon, imageCx, imageCy, 0, nullptr, DI_NORMAL);
            }
            return CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
}

// The toolbar asks for a button's image as it draws it; it has none to
// draw, the image is drawn here.
LRESULT TabImages::OnGetDispInfo(NMTBDISPINFOW& info) const {
    if (bar && info.hdr.hwndFrom == bar && (info.dwMask & TBNF_IMAGE)) info.iImage = kNoImage;
    return 0;
}

LRESULT TabImages::OnGetDispInfo(NMTBDISPINFOA& info) const {
    if (bar && info.hdr.hwndFrom == bar && (info.dwMask & TBNF_IMAGE)) info.iImage = kNoImage;
    return 0;
}

HICON TabImages::IconOf(int image) {
    if (!images || image < 0 || image >= ImageList_GetImageCount(images)) return nullptr;
    auto taken = icons.find(image);
    if (taken == icons.end())
        taken = icons.emplace(image, UniqueIcon(ImageList_GetIcon(images, image, ILD_NORMAL))).first;
    return taken->second.Get();
}

}  // namespace Tabs
