#include "container/container.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "container/container_window.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "host/plugin_state.h"
#include "ui/elements.h"
#include "ui/registration.h"
#include "ui/switcher.h"

namespace Tabs {

HWND containerWnd = nullptr;
HWND contWnd = nullptr;
HWND tooltipWnd = nullptr;
int tabsAlign = 0;
int lastCx = 0, lastCy = 0;
int contentCx = 0, contentCy = 0;
HICON normalIcon = nullptr;
HICON messageIcon = nullptr;

namespace {

constexpr char kContainerClass[] = "Tabs";
constexpr char kContainerTitle[] = "Velmora - rozmowy";
constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW;
constexpr DWORD kTooltipStyle = WS_POPUP | WS_CHILD | TTS_NOPREFIX | TTS_ALWAYSTIP;
static_assert(kTooltipStyle == 0xC0000003);
constexpr int kContentId = 1;
constexpr DWORD kBarStyle = CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_WRAPABLE | TBSTYLE_FLAT | TBSTYLE_LIST;
static_assert(kBarStyle == 0x1A48);
constexpr DWORD kBarExStyle = TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS;
static_assert(kBarExStyle == 9);
constexpr int kDefaultPos = 100;
constexpr int kMinWidth = 300;
constexpr int kMinHeight = 200;
constexpr int kOpaque = 100;
constexpr UINT kRedrawCurrent = RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr UINT kPaintPending = RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr UINT kRedrawContainer = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME;

bool RegisterWindowClass(const char* name, WNDPROC proc, HICON icon) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = kClassStyle;
    wc.lpfnWndProc = proc;
    wc.hInstance = plugin.classInstance;
    wc.hIcon = icon;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

// A saved value outside [low, high] is replaced and the replacement stored.
int Validated(int column, int low, int high, int replacement) {
    int value = GetInt(column);
    if (value >= low && value <= high) return value;
    SetInt(column, replacement);
    return replacement;
}

HWND CreateTooltip(HWND owner) {
    return CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, kTooltipStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, owner, nullptr, AppInstance(), nullptr);
}

// The bar's tooltip is one tool over the whole toolbar, whose text the
// container gives for the button under the cursor. The toolbar is not given
// the tooltip control: with a tool per button it would send every button's
// rectangle to the control whenever it lays its buttons out, that is
// whenever a tab comes or goes.
TOOLINFOA BarTool(HWND container, HWND bar) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // the size every version of the control takes
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = container;
    tool.uId = reinterpret_cast<UINT_PTR>(bar);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    return tool;
}

void BarToolMessage(UINT message, HWND container, HWND bar) {
    if (!tooltipWnd || !bar) return;
    TOOLINFOA tool = BarTool(container, bar);
    SendMessageA(tooltipWnd, message, 0, reinterpret_cast<LPARAM>(&tool));
}

// A new tab bar, its images drawn by the container, watched for drags, with
// its tooltip, in the bar's view.
void MakeTabBar(Container& container, HWND window) {
    tabBar.Create(window, kBarStyle, kBarExStyle);
    container.Images().Adopt(tabBar.Window());
    container.Drag().Watch(tabBar.Window());
    BarToolMessage(TTM_ADDTOOLA, window, tabBar.Window());
    container.Bar().Adopt();
}

void AddFixedButtons() {
    tabBar.AddButton(kCloseButtonId, "", Icon::CloseIcon, kTabStyle);
    tabBar.AddButton(kDetachButtonId, "", Icon::TabsIcon, kTabStyle);
}

// The container's children die with it; nothing may keep their handles.
void ForgetChildren(HWND window) {
    if (window != containerWnd) return;
    containerWnd = nullptr;
    contWnd = nullptr;
    tooltipWnd = nullptr;
    tabBar = TabBar();
}

// The object lives from WM_NCCREATE to WM_NCDESTROY; the window keeps it.
LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Container(window)));
    Container* container = Container::Of(window);
    if (message == WM_NCDESTROY) {
        std::unique_ptr<Container> gone(container);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        ForgetChildren(window);
    } else if (container) {
        return container->Message(message, wParam, lParam);
    } else if (message == WM_GETMINMAXINFO) {
        return Container::OnGetMinMaxInfo(lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Container* Container::Of(HWND window) {
    return window ? reinterpret_cast<Container*>(GetWindowLongPtrA(window, GWLP_USERDATA)) : nullptr;
}

LRESULT Container::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnCreate();
        case WM_SIZE: return OnSize(lParam);
        case WM_GETMINMAXINFO: return OnGetMinMaxInfo(lParam);
        case WM_DESTROY: return OnDestroy();
        case WM_ACTIVATE: return OnActivate(wParam);
        case WM_CLOSE: return OnClose();
        case WM_COMMAND: return OnCommand(wParam, lParam);
        case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
        case WM_NOTIFY: return OnNotify(lParam);
        case WM_TIMER: return OnTimer(wParam);
        case WM_MOUSEWHEEL: return OnWheel(wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Container::OnCreate() {
    Log(kTrace, "Tabs::WndProc - WM_CREATE");
    containerWnd = window;
    tooltipWnd = CreateTooltip(window);
    contWnd = CreateWindowExA(0, kContentClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 800, 560, window,
                              reinterpret_cast<HMENU>(kContentId), AppInstance(), nullptr);
    tabsAlign = GetInt(Column::Align);
    bar.Create(window);
    MakeTabBar(*this, window);
    drop.Watch();
    AddFixedButtons();
    ShowFixedButtons();
    SetTimer(window, kReadTimer, kReadTimerPeriod, nullptr);
    StartFlashTimer();
    // The first layout is for the client area the window really has: a
    // hidden window may get no WM_SIZE before it is first shown.
    RECT client{};
    GetClientRect(window, &client);
    lastCx = client.right;
    lastCy = client.bottom;
    Reposition(-1, -1);
    SetAlpha();
    return 0;
}

LRESULT Container::OnSize(LPARAM lParam) {
    Reposition(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

LRESULT Container::OnGetMinMaxInfo(LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (info) info->ptMinTrackSize = {kMinWidth, kMinHeight};
    return 0;
}

LRESULT Container::OnDestroy() {
    SavePosition();
    return 0;
}

int RegisterClasses() {
    plugin.classInstance = AppInstance();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    if (!RegisterWindowClass(kContainerClass, WndProc, normalIcon)) Log(kError, "Błąd rejestrowania klasy okna");
    if (!RegisterWindowClass(kSwitcherClass, SwitcherProc, nullptr))
        Log(kError, "Błąd rejestrowania klasy okna wyszukiwania");
    if (!RegisterWindowClass(kContentClass, DefWindowProcA, nullptr)) {
        Log(kError, "Błąd rejestrowania klasy okna2");
        return 0;
    }
    return 1;
}

// A class left behind would keep a procedure in the freed module, and the
// next load's registration would fail and create the container with it.
void UnregisterClasses() {
    UnregisterClassA(kContainerClass, plugin.classInstance);
    UnregisterClassA(kContentClass, plugin.classInstance);
    UnregisterClassA(kSwitcherClass, plugin.classInstance);
}

int CreateContainer() {
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    int x = Validated(Column::PosX, left, left + width, kDefaultPos);
    int y = Validated(Column::PosY, top, top + height, kDefaultPos);
    int w = Validated(Column::PosW, 0, width, width);
    int h = Validated(Column::PosH, 0, height, height);
    HWND window = CreateWindowExA(0, kContainerClass, kContainerTitle, WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr,
                                  nullptr, AppInstance(), nullptr);
    containerWnd = window;
    if (!window) {
        Log(kError, "Okno nie utworzone :>");
        return 0;
    }
    return 1;
}

int Reposition(int cx, int cy) {
    if (cx == 0 && cy == 0) return 0;
    if (cx == -1 && cy == -1) {
        // Conversations coming many at once are laid out once, after the last.
        if (plugin.batch) return 0;
        cx = lastCx;
        cy = lastCy;
    }
    Log(kTrace, "Tabs::WndProc - Tabs::Reposition, cx=%d, cy=%d", cx, cy);
    Container* container = Container::Of(containerWnd);
    int barH = container ? container->Bar().LayOut(cx, cy) : 0;
    lastCy = cy;
    lastCx = cx;
    // The system gives a window a negative size as 0, and so does the layout.
    contentCx = cx > 0 ? cx : 0;
    contentCy = cy - barH > 0 ? cy - barH : 0;
    Place(contWnd, 0, tabsAlign != 0 ? barH : 0, contentCx, contentCy);
    if (currentWnd) FitContent(currentWnd);
    return container ? container->Bar().PlaceAt(tabsAlign != 0 ? 0 : cy - barH, cx) : 0;
}

BOOL Place(HWND window, int x, int y, int width, int height) {
    RECT r{};
    if (!window || !GetWindowRect(window, &r)) return 0;
    MapWindowPoints(nullptr, GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
    if (r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height) return 0;
    return MoveWindow(window, x, y, width, height, TRUE);
}

void FitContent(HWND window) { Place(window, 0, 0, contentCx, contentCy); }

void Redraw(bool justShown) {
    Log(kTrace, "Tabs::Redraw()");
    if (currentWnd) RedrawWindow(currentWnd, nullptr, nullptr, justShown ? kPaintPending : kRedrawCurrent);
}

void SetAlpha() {
    Log(kTrace, "Tabs::SetAlpha()");
    if (!setLayeredWindowAttributes || !containerWnd) return;
    int alpha = GetInt(Column::PosAlpha);
    LONG exStyle = GetWindowLongA(containerWnd, GWL_EXSTYLE);
    if (alpha != kOpaque && GetInt(Column::PosAlphaDisable) != 0) {
        // A percentage; anything outside 0..100 in the store is taken at its nearest end.
        if (alpha < 0) alpha = 0;
        if (alpha > kOpaque) alpha = kOpaque;
        SetWindowLongA(containerWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        setLayeredWindowAttributes(containerWnd, 0, static_cast<BYTE>(alpha * 255 / kOpaque), LWA_ALPHA);
    } else {
        SetWindowLongA(containerWnd, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
        RedrawWindow(containerWnd, nullptr, nullptr, kRedrawContainer);
    }
}

void SavePosition() {
    Log(kTrace, "Tabs::WndProc - WM_DESTROY");
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (containerWnd && GetWindowPlacement(containerWnd, &placement)) {
        const RECT& r = placement.rcNormalPosition;
        SetInt(Column::PosX, r.left);
        SetInt(Column::PosY, r.top);
        SetInt(Column::PosW, r.right - r.left);
        SetInt(Column::PosH, r.bottom - r.top);
    }
    Send(Host::kSaveSettings);
}

bool ContainerInFront() { return containerWnd && GetForegroundWindow() == containerWnd; }

void FlashContainer(UINT flags, UINT count) {
    if (!containerWnd) return;
    FLASHWINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = containerWnd;
    info.dwFlags = flags;
    info.uCount = count;
    FlashWindowEx(&info);
}

void SetContainerIcon(HICON icon) {
    if (!containerWnd) return;
    if (reinterpret_cast<HICON>(SendMessageA(containerWnd, WM_GETICON, ICON_SMALL, 0)) == icon) return;
    SendMessageA(containerWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool AddTab(int32_t contact) {
    return tabBar.AddButton(ButtonOf(contact), GetTabName(contact, true).c_str(), StatusIcon(contact, -1), kTabStyle);
}

void AddTabs(const std::vector<int32_t>& contacts) {
    bool iconPlugin = PluginLoaded(Host::kIconPluginSignature);
    std::vector<NewButton> buttons;
    buttons.reserve(contacts.size());
    for (int32_t contact : contacts)
        buttons.push_back({ButtonOf(contact), GetTabName(contact, true), StatusIcon(contact, -1, iconPlugin)});
    tabBar.AddButtons(buttons, kTabStyle);
    Reposition(-1, -1);
}

void MarkUnopened(int32_t contact) {
    if (Container* container = Container::Of(containerWnd)) container->Unopened().insert(contact);
}

bool TakeUnopened(int32_t contact) {
    Container* container = Container::Of(containerWnd);
    return container && container->Unopened().erase(contact) != 0;
}

void RemoveTab(int32_t contact) {
    TakeUnopened(contact);
    tabBar.Delete(ButtonOf(contact));
    Reposition(-1, -1);
}

// Taking a button off the bar lays out every button left, so emptying a bar
// of hundreds of tabs one button at a time takes seconds: a new bar takes the
// buttons that stay, with their texts, images and states, in one layout.
void RemoveTabsBut(int32_t kept) {
    HWND old = tabBar.Window();
    Container* container = Container::Of(containerWnd);
    if (!old || !container) return;
    struct Button {
        int id;
        std::string text;
        int image;
        int state;
    };
    std::vector<Button> staying;
    // Of the restored tabs still to be opened, only the kept one stays.
    bool keptUnopened = container->Unopened().count(kept) != 0;
    container->Unopened().clear();
    if (keptUnopened) container->Unopened().insert(kept);
    int keptId = kept == 0 || kept == -1 ? 0 : ButtonOf(kept);
    for (int id : {kCloseButtonId, kDetachButtonId, keptId})
        if (id != 0 && tabBar.Exists(id)) staying.push_back({id, tabBar.Text(id), tabBar.Image(id), tabBar.State(id)});
    BarToolMessage(TTM_DELTOOLA, containerWnd, old);
    MakeTabBar(*container, containerWnd);
    for (const Button& button : staying) {
        tabBar.AddButton(button.id, button.text.c_str(), 0, kTabStyle);
        tabBar.SetImageIndex(button.id, button.image);
        tabBar.SetState(button.id, button.state);
    }
    DestroyWindow(old);
}

void PlaceTab(ButtonId tab, int position) {
    int from = tabBar.IndexOf(tab);
    if (from < kFirstTabIndex) return;
    int to = std::clamp(position, kFirstTabIndex, tabBar.Count());
    // Taken out first, the tab leaves a gap before a place further on.
    if (to > from) --to;
    if (to != from) tabBar.Move(from, to);
}

void NoteShown(int32_t contact) {
    if (Container* container = Container::Of(containerWnd)) container->Shown().Note(contact);
}

std::vector<int32_t> ShownTabs(const std::vector<int32_t>& tabs) {
    Container* container = Container::Of(containerWnd);
    return container ? container->Shown().Of(tabs) : std::vector<int32_t>();
}

bool WheelOverBar(WPARAM wParam, LPARAM lParam) {
    Container* container = Container::Of(containerWnd);
    return container && container->Bar().Wheel(wParam, lParam);
}

void StartFlashTimer() {
    int period = GetInt(Column::MsgIconFlash);
    if (period != 0 && containerWnd) SetTimer(containerWnd, kFlashTimer, static_cast<UINT>(period), nullptr);
}

void RestartFlashTimer() {
    if (!containerWnd) return;
    KillTimer(containerWnd, kFlashTimer);
    StartFlashTimer();
}

void ShowFixedButtons() {
    tabBar.Hide(kCloseButtonId, GetInt(Column::TabsCloseButton) == 0);
    tabBar.Hide(kDetachButtonId, GetInt(Column::TabsDetachButton) == 0);
}

void EndDragAfterFault() {
    Container* container = Container::Of(containerWnd);
    if (!container) return;
    container->Drag().ComeToRest();
    container->Drop().ComeToRest();
}

// A close request that failed half-way must not reach the default handling,
// which would destroy the container and the host's windows inside it.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Answer answer = Answered("Tabs::WndProc", [&] { return Dispatch(window, message, wParam, lParam); });
    if (answer) return *answer;
    return message == WM_CLOSE ? 0 : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace Tabs
