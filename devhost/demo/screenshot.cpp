#include "screenshot.h"

#include <gdiplus.h>

#include <algorithm>

#include "menus.h"

namespace DevHostLib {

namespace {

constexpr int kMargin = 12;
// The PNG encoder of GDI+.
constexpr wchar_t kPngEncoder[] = L"{557CF406-1A04-11D3-9A73-0000F81EF32E}";

std::wstring Wide(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    return wide;
}

std::vector<RECT> Rectangles(const std::vector<HWND>& windows) {
    std::vector<RECT> rects;
    for (HWND window : windows) {
        RECT r{};
        if (IsWindowVisible(window) && GetWindowRect(window, &r)) rects.push_back(r);
    }
    return rects;
}

RECT Around(const std::vector<RECT>& rects) {
    RECT all{};
    for (const RECT& r : rects) {
        if (IsRectEmpty(&all))
            all = r;
        else
            UnionRect(&all, &all, &r);
    }
    InflateRect(&all, kMargin, kMargin);
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&all, &all, &screen);
    return all;
}

bool SavePng(HBITMAP bitmap, const std::string& path) {
    CLSID png{};
    if (FAILED(CLSIDFromString(kPngEncoder, &png))) return false;
    Gdiplus::Bitmap* image = Gdiplus::Bitmap::FromHBITMAP(bitmap, nullptr);
    if (!image) return false;
    bool saved = image->Save(Wide(path).c_str(), &png, nullptr) == Gdiplus::Ok;
    delete image;
    return saved;
}

// Everything of the picture outside the windows' rectangles.
void PaintUncovered(HDC picture, const RECT& area, const std::vector<RECT>& rects, COLORREF colour) {
    HRGN uncovered = CreateRectRgn(0, 0, area.right - area.left, area.bottom - area.top);
    for (const RECT& r : rects) {
        HRGN window = CreateRectRgn(r.left - area.left, r.top - area.top, r.right - area.left, r.bottom - area.top);
        CombineRgn(uncovered, uncovered, window, RGN_DIFF);
        DeleteObject(window);
    }
    HBRUSH brush = CreateSolidBrush(colour);
    FillRgn(picture, uncovered, brush);
    DeleteObject(brush);
    DeleteObject(uncovered);
}

}  // namespace

Screenshots::Screenshots(COLORREF desktop) : desktop(desktop) {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

Screenshots::~Screenshots() {
    if (token) Gdiplus::GdiplusShutdown(token);
}

bool Screenshots::Take(const std::string& path, const std::vector<HWND>& windows) const {
    std::vector<HWND> shown = windows;
    for (HWND menu : OpenMenus()) shown.push_back(menu);
    for (HWND window : shown) UpdateWindow(window);
    std::vector<RECT> rects = Rectangles(shown);
    RECT area = Around(rects);
    int width = area.right - area.left, height = area.bottom - area.top;
    if (!token || width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
    PaintUncovered(memory, area, rects, desktop);
    SelectObject(memory, old);
    bool saved = copied && SavePng(bitmap, path);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace DevHostLib
