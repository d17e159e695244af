// What the system alone costs when a program takes another's top-level
// window into a window of its own, without the plug-in or the stand-in host:
// a conversation-like window (frame, toolbar, three nested panels with a
// read-only view, an edit, a button) is built and then
//   - shown as a top-level window, as the host shows it;
//   - built as a child of a content window from the start, the cheapest way
//     to have it inside a container;
//   - taken into the content window the way the plug-in takes it: frame
//     styles off, made a child, sized to the content, shown and painted.
// The difference between the last two is what re-parenting itself costs.
//
//   zavernok_reparent.exe [FOLDER] [--quick]
//
// Writes reparent.md into FOLDER (default "bench") and prints it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kWindowClass[] = "BareConversation";
constexpr char kPanelClass[] = "BarePanel";
constexpr char kContainerClass[] = "BareContainer";
constexpr DWORD kWindowStyle = WS_POPUP | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kTakenKeep = 0x3F30FFFF;  // frame, caption and pop-up bits off, as the plug-in does
constexpr int kToolbarId = 1300, kViewId = 250, kEditId = 251, kButtonId = 5691;

double NowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / perMs;
}

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

Figures Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    size_t n = ms.size();
    Figures f;
    f.median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    f.p95 = ms[std::min(n, static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n)))) - 1];
    return f;
}

// Times `work` (which builds a window and returns it) with the messages it
// left queued; the window goes after each sample, untimed.
Figures Measure(int samples, const std::function<HWND()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < samples; ++i) {
        Pump();
        double start = NowMs();
        HWND window = work();
        Pump();
        ms.push_back(NowMs() - start);
        DestroyWindow(window);
        Pump();
    }
    return Summarise(ms);
}

std::string Ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms < 10 ? "%.2f ms" : "%.1f ms", ms);
    return text;
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

    double taking = 0;
    std::vector<double> takingMs;
    struct Row {
        const char* what;
        Figures figures;
    };
    std::vector<Row> rows;
    rows.push_back({"Built and shown as a top-level window (as the host shows it)", Measure(samples, [] {
                        HWND window = Build(nullptr);
                        ShowWindow(window, SW_SHOW);
                        return window;
                    })});
    rows.push_back({"Built as a child of the content window and shown", Measure(samples, [&] {
                        HWND window = Build(content);
                        ShowWindow(window, SW_SHOW);
                        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                        return window;
                    })});
    rows.push_back({"Built as a top-level window, taken into the content window and shown", Measure(samples, [&] {
                        HWND window = Build(nullptr);
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
                        return window;
                    })});
    taking = Summarise(takingMs).median;

    std::ostringstream md;
    md << "| The system alone (" << samples << " samples each) | Median | p95 |\n|---|---:|---:|\n";
    for (const Row& row : rows) md << "| " << row.what << " | " << Ms(row.figures.median) << " | " << Ms(row.figures.p95) << " |\n";
    md << "| of which the style change and SetParent | " << Ms(taking) << " | |\n";
    md << "\nRe-parenting itself costs " << Ms(rows[2].figures.median - rows[1].figures.median)
       << " more than building the window inside the content window.\n";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream(folder + "/reparent.md") << md.str();
    std::fputs(md.str().c_str(), stdout);
    DestroyWindow(container);
    return 0;
}
