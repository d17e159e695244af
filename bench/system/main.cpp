// What the system alone costs for the work that the plug-in's figures
// cannot go below, measured without the plug-in or the stand-in host.
//
// Re-parenting: a conversation-like window (frame, toolbar, three nested
// panels with a read-only view, an edit, a button) is built and then
//   - shown as a top-level window, as the host shows it;
//   - built as a child of a content window from the start, the cheapest way
//     to have it inside a container;
//   - taken into the content window the way the plug-in takes it: frame
//     styles off, made a child, sized to the content, shown and painted.
// The difference between the last two is what re-parenting itself costs.
//
// Giving back: what the end of a run does to the windows in the tabs
// (procedures, properties, styles, parent, frame), done to 10, 100 and 500
// windows.
//
// A switch: the same window work as a switch by a click between two of ten
// such windows inside the content window (switch_floor.h), under a bar of
// ten tabs: what a switch cannot go below.
//
// Tab buttons: a toolbar made like the tab bar (same styles, an image list
// like the host's) repaints some of its buttons, with their images and
// without; and one image drawn from the image list is timed against the
// same icon drawn on its own.
//
//   zavernok_system.exe [FOLDER] [--quick]
//
// Writes system.md into FOLDER (default "bench") and prints it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../figures.h"
#include "switch_floor.h"

namespace {

constexpr char kWindowClass[] = "BareConversation";
constexpr char kPanelClass[] = "BarePanel";
constexpr char kContainerClass[] = "BareContainer";
constexpr DWORD kWindowStyle = WS_POPUP | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kTakenKeep = 0x3F30FFFF;  // frame, caption and pop-up bits off, as the plug-in does
constexpr int kToolbarId = 1300, kViewId = 250, kEditId = 251, kButtonId = 5691;

using BenchFigures::Ms;
using BenchFigures::NowMs;

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND Child(HWND parent, const char* cls, DWORD style, int id) {
    HWND child = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

HWND FirstChild(HWND window) { return GetWindow(window, GW_CHILD); }

// The same layout as the stand-in's: toolbar on top, view, then the edit
// and the button.
void LayOut(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    int width = client.right, height = client.bottom;
    HWND bar = GetDlgItem(window, kToolbarId);
    int barHeight = HIWORD(SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0)) + 2;
    MoveWindow(bar, 0, 0, width, barHeight, TRUE);
    int editTop = height - 66;
    int viewHeight = std::max(editTop - 6 - barHeight, 0);
    HWND view = GetDlgItem(window, kViewId);
    MoveWindow(view, 0, barHeight, width, viewHeight, TRUE);
    for (HWND inner = FirstChild(view); inner; inner = FirstChild(inner)) MoveWindow(inner, 0, 0, width, viewHeight, TRUE);
    MoveWindow(GetDlgItem(window, kEditId), 0, editTop, std::max(width - 92, 0), 60, TRUE);
    MoveWindow(GetDlgItem(window, kButtonId), width - 86, editTop, 80, 28, TRUE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        LayOut(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpfnWndProc = WindowProc;
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kPanelClass;
    RegisterClassExA(&wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpszClassName = kContainerClass;
    RegisterClassExA(&wc);
}

// Built hidden, as the host builds its windows: at its own size, or as a
// child of `parent` at the parent's size.
HWND Build(HWND parent) {
    RECT r{200, 150, 620, 470};
    if (parent) GetClientRect(parent, &r);
    DWORD style = parent ? (kWindowStyle & kTakenKeep) | WS_CHILD : kWindowStyle;
    HWND window = CreateWindowExA(0, kWindowClass, "Kontakt", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                  parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND bar = Child(window, TOOLBARCLASSNAMEA,
                     TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN, kToolbarId);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[2] = {};
    const char* texts[2] = {"Zamknij", "Odepnij"};
    for (int i = 0; i < 2; ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        buttons[i].iString = reinterpret_cast<INT_PTR>(texts[i]);
    }
    SendMessageA(bar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
    HWND view = Child(window, kPanelClass, WS_CLIPCHILDREN, kViewId);
    HWND inner = Child(view, kPanelClass, WS_CLIPCHILDREN, 1);
    HWND frame = Child(inner, kPanelClass, WS_CLIPCHILDREN, 1);
    Child(frame, "EDIT", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 1);
    Child(window, "EDIT", ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER | WS_TABSTOP, kEditId);
    Child(window, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, kButtonId);
    LayOut(window);
    return window;
}

struct Figures {
    double median = 0;
    double p95 = 0;
};

Figures Summarise(const std::vector<double>& ms) { return {BenchFigures::Median(ms), BenchFigures::Percentile95(ms)}; }

// Times `work` with the messages it left queued; `after` runs untimed after
// each sample.
Figures Measure(int samples, const std::function<void()>& work, const std::function<void()>& after = nullptr) {
    std::vector<double> ms;
    for (int i = 0; i < samples; ++i) {
        Pump();
        double start = NowMs();
        work();
        Pump();
        ms.push_back(NowMs() - start);
        if (after) after();
        Pump();
    }
    return Summarise(ms);
}

struct Row {
    std::string what;
    Figures figures;
};

void Table(std::ostream& out, const char* title, int samples, const std::vector<Row>& rows) {
    out << "| " << title << " (" << samples << " samples each) | Median | p95 |\n|---|---:|---:|\n";
    for (const Row& row : rows) out << "| " << row.what << " | " << Ms(row.figures.median) << " | " << Ms(row.figures.p95) << " |\n";
}

// --- re-parenting -------------------------------------------------------------

void Reparenting(std::ostream& out, int samples, HWND content) {
    HWND window = nullptr;
    auto destroy = [&] { DestroyWindow(window); };
    std::vector<double> takingMs;
    std::vector<Row> rows;
    rows.push_back({"Built and shown as a top-level window (as the host shows it)", Measure(samples, [&] {
                        window = Build(nullptr);
                        ShowWindow(window, SW_SHOW);
                    }, destroy)});
    rows.push_back({"Built as a child of the content window, shown and painted", Measure(samples, [&] {
                        window = Build(content);
                        ShowWindow(window, SW_SHOW);
                        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                    }, destroy)});
    rows.push_back({"Built as a top-level window, taken into the content window, shown and painted",
                    Measure(samples, [&] {
                        window = Build(nullptr);
                        double start = NowMs();
                        DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
                        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>((style & kTakenKeep) | WS_CHILD));
                        SetParent(window, content);
                        takingMs.push_back(NowMs() - start);
                        RECT r{};
                        GetClientRect(content, &r);
                        MoveWindow(window, 0, 0, r.right, r.bottom, TRUE);
                        ShowWindow(window, SW_SHOW);
                        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                    }, destroy)});
    rows.push_back({"of which the style change and SetParent", Summarise(takingMs)});
    Table(out, "Re-parenting", samples, rows);
    out << "\nTaking the window in costs " << Ms(rows[2].figures.median - rows[1].figures.median)
        << " more than building it inside the content window.\n";
}

// --- giving windows back -----------------------------------------------------

// What the end of a run does to the windows in the tabs, done by the system
// alone: n windows like a conversation inside the content window, the last
// shown, each with its own procedure and its view's and its edit's replaced
// and four properties set. The container is hidden first; then every window
// gets its three procedures back and loses the properties, is hidden, gets
// its frame styles back, leaves the content window and has its frame
// computed anew. It leaves the content window while it is still a child, so
// that the system does not activate it as a new top-level window.
constexpr char kPropTabbed[] = "TABBED";
constexpr char kPropWindow[] = "oldProc";
constexpr char kPropView[] = "CtrlViewProcOld";
constexpr char kPropEdit[] = "CtrlSendProcOld";

LRESULT CALLBACK Borrowed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (const char* prop : {kPropWindow, kPropView, kPropEdit})
        if (auto old = reinterpret_cast<WNDPROC>(GetPropA(window, prop)))
            return CallWindowProcA(old, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ViewOf(HWND window) { return FirstChild(FirstChild(FirstChild(GetDlgItem(window, kViewId)))); }

void Borrow(HWND window, const char* prop) {
    SetPropA(window, prop, reinterpret_cast<HANDLE>(SetWindowLongPtrA(window, GWLP_WNDPROC,
                                                                        reinterpret_cast<LONG_PTR>(Borrowed))));
}

void GiveBack(HWND window, const char* prop) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RemovePropA(window, prop)));
}

std::vector<HWND> Lend(HWND content, int count) {
    std::vector<HWND> windows;
    for (int i = 0; i < count; ++i) {
        HWND window = Build(content);
        Borrow(window, kPropWindow);
        Borrow(ViewOf(window), kPropView);
        Borrow(GetDlgItem(window, kEditId), kPropEdit);
        SetPropA(window, kPropTabbed, reinterpret_cast<HANDLE>(1));
        windows.push_back(window);
    }
    ShowWindow(windows.back(), SW_SHOW);
    return windows;
}

void GiveAllBack(HWND container, const std::vector<HWND>& windows) {
    ShowWindow(container, SW_HIDE);
    for (HWND window : windows) {
        GiveBack(window, kPropWindow);
        GiveBack(ViewOf(window), kPropView);
        GiveBack(GetDlgItem(window, kEditId), kPropEdit);
        RemovePropA(window, kPropTabbed);
        ShowWindow(window, SW_HIDE);
        SetParent(window, nullptr);
        DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>((style & ~WS_CHILD) | WS_OVERLAPPEDWINDOW));
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void GivingBack(std::ostream& out, int samples, HWND container, HWND content, bool quick) {
    std::vector<Row> rows;
    int rounds = std::max(samples / 4, 3);
    for (int count : {10, 100, 500}) {
        if (quick && count > 100) continue;
        std::vector<HWND> windows;
        std::vector<double> ms;
        for (int i = 0; i < rounds; ++i) {
            windows = Lend(content, count);
            ShowWindow(container, SW_SHOW);
            Pump();
            double start = NowMs();
            GiveAllBack(container, windows);
            Pump();
            ms.push_back(NowMs() - start);
            for (HWND window : windows) DestroyWindow(window);
            Pump();
        }
        rows.push_back({std::to_string(count) + " windows given back", Summarise(ms)});
    }
    ShowWindow(container, SW_SHOW);
    Pump();
    Table(out, "Giving the tabs' windows back at the end", rounds, rows);
}

// --- tab buttons --------------------------------------------------------------

constexpr int kButtons = 100;
constexpr DWORD kBarStyle = 0x1A48 | 0x56008000;  // the tab bar's styles
constexpr DWORD kBarExStyle = 9;

// An icon like the host's status icons: a disc with an alpha channel.
HICON MakeIcon() {
    std::vector<DWORD> pixels(16 * 16, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x - 8) * (x - 8) + (y - 8) * (y - 8) <= 36) pixels[y * 16 + x] = 0xFF1EAA28;
    HBITMAP colour = CreateBitmap(16, 16, 1, 32, pixels.data());
    std::vector<WORD> maskBits(16, 0);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

HWND MakeBar(HWND parent, HIMAGELIST images, bool withImages) {
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, kBarStyle, 0, 0, 500, 20, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, kBarExStyle);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    for (int i = 0; i < kButtons; ++i) {
        std::string text = "Kontakt " + std::to_string(i + 1);
        TBBUTTON button{};
        button.iBitmap = withImages ? 0 : I_IMAGENONE;
        button.idCommand = i + 1;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_SHOWTEXT | BTNS_AUTOSIZE;
        button.iString = reinterpret_cast<INT_PTR>(text.c_str());
        SendMessageA(bar, TB_INSERTBUTTONA, 0x3FFF, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    return bar;
}

void Repaint(HWND bar, int buttons) {
    for (int i = 0; i < buttons; ++i) {
        RECT r{};
        SendMessageA(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        InvalidateRect(bar, &r, TRUE);
    }
    UpdateWindow(bar);
}

void TabButtons(std::ostream& out, int samples, HWND container) {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = MakeIcon();
    ImageList_AddIcon(images, icon);
    std::vector<Row> rows;
    for (bool withImages : {true, false}) {
        HWND bar = MakeBar(container, images, withImages);
        Pump();
        for (int buttons : {1, 25}) {
            std::string what = buttons == 1 ? "1 button repainted, " : std::to_string(buttons) + " buttons repainted, ";
            what += withImages ? (buttons == 1 ? "with its image" : "with their images") : "without images";
            rows.push_back({what, Measure(samples, [&] { Repaint(bar, buttons); })});
        }
        DestroyWindow(bar);
    }
    HDC dc = GetDC(container);
    const int draws = 100;
    rows.push_back({"One image drawn from the image list (ImageList_Draw)", Measure(samples, [&] {
                        for (int i = 0; i < draws; ++i) ImageList_Draw(images, 0, dc, i, 0, ILD_TRANSPARENT);
                    })});
    rows.push_back({"The same icon drawn on its own (DrawIconEx)", Measure(samples, [&] {
                        for (int i = 0; i < draws; ++i) DrawIconEx(dc, i, 20, icon, 16, 16, 0, nullptr, DI_NORMAL);
                    })});
    for (size_t i = rows.size() - 2; i < rows.size(); ++i) {
        rows[i].figures.median /= draws;
        rows[i].figures.p95 /= draws;
    }
    ReleaseDC(container, dc);
    Table(out, "Tab buttons", samples, rows);
    DestroyIcon(icon);
    ImageList_Destroy(images);
}

// --- a switch -------------------------------------------------------------------

// The same window work as a switch between two of ten conversations inside
// the content window, under a bar of ten tabs: the floor of a switch.
void Switching(std::ostream& out, int samples, HWND container, HWND content) {
    constexpr int kTabs = 10;
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = MakeIcon();
    ImageList_AddIcon(images, icon);
    RECT client{};
    GetClientRect(container, &client);
    HWND bar = SwitchFloor::TabBar(container, images, kTabs);
    MoveWindow(bar, 0, client.bottom - 48, client.right, 48, TRUE);
    std::vector<SwitchFloor::Tab> tabs;
    for (int i = 0; i < kTabs; ++i) tabs.push_back({Build(content), i + 1});
    ShowWindow(tabs[0].window, SW_SHOW);
    SendMessageA(bar, TB_CHECKBUTTON, 1, TRUE);
    Pump();
    size_t shown = 0;
    std::vector<double> paintedMs;
    Figures whole = Measure(4 * samples, [&] {
        size_t next = (shown + 1 + static_cast<size_t>(std::rand()) % (kTabs - 1)) % kTabs;
        double start = NowMs();
        std::string caption = "Kontakt " + std::to_string(next + 1);
        SwitchFloor::Switch(container, bar, tabs[shown], tabs[next], caption.c_str());
        paintedMs.push_back(NowMs() - start);
        shown = next;
    });
    Table(out, "A switch", 4 * samples,
          {{"A tab clicked, its conversation raised, shown and painted, the one before hidden, the focus, two button "
            "states, the caption",
            whole},
           {"of which the calls, before the messages they left queued", Summarise(paintedMs)}});
    for (const SwitchFloor::Tab& tab : tabs) DestroyWindow(tab.window);
    DestroyWindow(bar);
    DestroyIcon(icon);
    ImageList_Destroy(images);
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = "bench";
    int samples = 41;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            samples = 11;
        else
            folder = argv[i];
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterClasses();
    HWND container = CreateWindowExA(0, kContainerClass, "Kontener", WS_OVERLAPPEDWINDOW, 100, 100, 500, 400, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND content = CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, container, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    RECT client{};
    GetClientRect(container, &client);
    MoveWindow(content, 0, 0, client.right, client.bottom - 48, TRUE);
    ShowWindow(container, SW_SHOW);
    SetForegroundWindow(container);
    Pump();

    std::ostringstream md;
    Reparenting(md, samples, content);
    md << "\n";
    GivingBack(md, samples, container, content, samples < 41);
    md << "\n";
    Switching(md, samples, container, content);
    md << "\n";
    ShowWindow(content, SW_HIDE);
    TabButtons(md, samples, container);
    CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream(folder + "/system.md") << md.str();
    std::fputs(md.str().c_str(), stdout);
    DestroyWindow(container);
    return 0;
}
