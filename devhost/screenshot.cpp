#include "screenshot.h"

#include <gdiplus.h>

#include <algorithm>

namespace DevHostLib {

namespace {

constexpr int kMargin = 12;
constexpr char kMenuClass[] = "#32768";
// The PNG encoder of GDI+.
constexpr wchar_t kPngEncoder[] = L"{557CF406-1A04-11D3-9A73-0000F81EF32E}";

BOOL CALLBACK CollectMenu(HWND window, LPARAM list) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name) == kMenuClass)
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::wstring Wide(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    return wide;
}

RECT Around(const std::vector<HWND>& windows) {
    RECT all{};
    for (HWND window : windows) {
        RECT r{};
        if (!IsWindowVisible(window) || !GetWindowRect(window, &r)) continue;
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

}  // namespace

Screenshots::Screenshots() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

Screenshots::~Screenshots() {
    if (token) Gdiplus::GdiplusShutdown(token);
}

std::vector<HWND> OpenMenus() {
    std::vector<HWND> menus;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenu, reinterpret_cast<LPARAM>(&menus));
    // The enumeration goes from the top of the z-order down.
    std::reverse(menus.begin(), menus.end());
    return menus;
}

bool Screenshots::Take(const std::string& path, const std::vector<HWND>& windows) const {
    std::vector<HWND> shown = windows;
    for (HWND menu : OpenMenus()) shown.push_back(menu);
    for (HWND window : shown) UpdateWindow(window);
    RECT area = Around(shown);
    int width = area.right - area.left, height = area.bottom - area.top;
    if (!token || width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
    SelectObject(memory, old);
    bool saved = copied && SavePng(bitmap, path);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace DevHostLib
