#include "tour.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dev_host.h"
#include "host/requests.h"
#include "menus.h"
#include "messenger.h"
#include "screenshot.h"
#include "window_class.h"

namespace DevHostLib {

namespace {

constexpr RECT kMessengerPlace{16, 16, 356, 496};
constexpr RECT kContainerPlace{370, 16, 980, 416};
constexpr RECT kDetachedPlace{700, 428, 1140, 758};
constexpr POINT kSettingsPlace{370, 16};
constexpr POINT kTearOffDrop{675, 440};  // under the container: the caption of a torn-off tab
constexpr COLORREF kDesktopColour = RGB(58, 110, 165);
constexpr char kConfigFile[] = "tour-config.txt";
constexpr int kBarViewId = 11;
constexpr int kBarId = 10;
constexpr int kBarCloseButton = 0xFFFF;
constexpr int kBarDetachButton = 0xFFFE;
constexpr int kButtonIdMask = 0xBFFFFFFF;
constexpr int kApplyButton = 3;  // "Zastosuj" of the settings dialog
constexpr int kClosedMainMenu = 306007;
constexpr int kAlignColumn = 306101;
constexpr int kTabsCloseButtonColumn = 306107;
constexpr int kAutoRevertColumn = 306146;
constexpr int kDontTabColumn = 306202;
constexpr int kAllTabsId = 13;  // the control beside the rows that lists every tab
constexpr char kDesktopClass[] = "VelmoraTourDesktop";
constexpr char kWaitingMark[] = "\tnowa wiadomość";
constexpr char kSearchEntry[] = "Szukaj… (Ctrl+K)";
// A hundred and fifty more people to talk to: every first name with every
// surname.
constexpr const char* kFirstNames[] = {"Adam",  "Barbara", "Cezary", "Dorota",  "Edward",  "Felicja", "Grzegorz", "Halina",
                                       "Igor",  "Joanna",  "Kamil",  "Lucyna",  "Marek",   "Natalia", "Olgierd"};
constexpr const char* kSurnames[] = {"Nowak", "Wójcik", "Kowalczyk", "Mazur", "Krawczyk",
                                     "Kaczmarek", "Zając", "Król", "Wróbel", "Dudek"};
constexpr char kContentClass[] = "TabsCont";
constexpr char kSwitcherClass[] = "TabsSwitcher";
constexpr int kSwitcherListId = 2;

// The desktop behind the windows: the pictures get a calm background
// instead of the bare screen. It never comes forward or takes the focus.
LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_WINDOWPOSCHANGING:
            reinterpret_cast<WINDOWPOS*>(lParam)->hwndInsertAfter = HWND_BOTTOM;
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateDesktop() {
    RegisterHostClass(kDesktopClass, DesktopProc, CreateSolidBrush(kDesktopColour));
    HWND desktop = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kDesktopClass, "", WS_POPUP, 0, 0,
                                   GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(desktop, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return desktop;
}

// The user's hands: real input, as the mouse and the keyboard give it.
void Press(DWORD down, DWORD up, POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
}

// The mouse carried to a point with the button held.
void MoveMouse(POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

void Key(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A tab as the user sees it on the bar.
struct Tab {
    int command = 0;
    std::string text;
    bool pressed = false;
    POINT middle{};  // on the screen
};

std::vector<Tab> TabsOf(HWND bar) {
    std::vector<Tab> tabs;
    int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.idCommand == kBarCloseButton || button.idCommand == kBarDetachButton) continue;
        Tab tab;
        tab.command = button.idCommand;
        char text[256] = {};
        SendMessageA(bar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(text));
        tab.text = text;
        tab.pressed = SendMessageA(bar, TB_ISBUTTONPRESSED, button.idCommand, 0) != 0;
        RECT r{};
        SendMessageA(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        tab.middle = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(bar, &tab.middle);
        tabs.push_back(tab);
    }
    return tabs;
}

// The pixels of a rectangle of a window's client area, as the window paints
// it into a bitmap of its own.
std::vector<COLORREF> Painted(HWND window, const RECT& part) {
    RECT r{};
    GetClientRect(window, &r);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    FillRect(memory, &r, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    GdiFlush();
    std::vector<COLORREF> pixels;
    const auto* all = static_cast<const DWORD*>(bits);
    for (LONG y = std::max(part.top, 0L); y < std::min(part.bottom, r.bottom); ++y)
        for (LONG x = std::max(part.left, 0L); x < std::min(part.right, r.right); ++x)
            pixels.push_back(all[y * r.right + x] & 0xFFFFFF);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Whether a tab shows an icon, as the user sees it: the colour at the
// icon's middle is painted somewhere on the tab.
bool ShowsIcon(HWND bar, int command, HICON icon) {
    HDC memory = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    DrawIconEx(memory, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    GdiFlush();
    COLORREF colour = static_cast<const DWORD*>(bits)[8 * 16 + 8] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    RECT tab{};
    if (!SendMessageA(bar, TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&tab))) return false;
    std::vector<COLORREF> shown = Painted(bar, tab);
    return std::find(shown.begin(), shown.end(), colour) != shown.end();
}

std::string Join(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts) all += (all.empty() ? "" : ", ") + (t.empty() ? std::string("-") : t);
    return all;
}

// A real menu's items as the user reads them; "" for a separator.
std::vector<std::string> MenuTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

HMENU MenuOf(HWND menuWindow) { return reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0)); }

int PositionOf(HMENU menu, const std::string& text) {
    std::vector<std::string> texts = MenuTexts(menu);
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) return static_cast<int>(i);
    return -1;
}

int Highlighted(HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_HILITE) return i;
    return -1;
}

// Down-arrow presses that move the highlight onto the item (separators are
// skipped by the menu itself).
int StepsTo(HMENU menu, int position) {
    int steps = 0;
    for (int i = Highlighted(menu) + 1; i <= position; ++i)
        if (!(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR)) ++steps;
    return steps;
}

}  // namespace

class Tour {
public:
    Tour(std::string plugin, std::string folder) : plugin(std::move(plugin)), folder(std::move(folder)) {}
    ~Tour();
    int Run();

private:
    using Step = void (Tour::*)();
    using Move = std::function<void()>;

    void StartMessenger();
    void OpenConversations();
    void MessageWhileAway();
    void SwitchByClick();
    void CloseByMiddleClick();
    void DetachFromContactMenu();
    void ChangeSettings();
    void CloseWithKeyboard();
    void ReopenFromMainMenu();
    void AttachFromToolbar();
    void TearOffByDragging();
    void CarryBackOntoBar();
    void KeepContactOutOfTabs();
    void RestartRestoresSession();
    void ManyConversations();
    void QuickSwitcher();
    void QuitLeavesNothing();

    bool Boot(bool fresh);
    void Quit();
    void Expect(bool ok, const std::string& what);
    void ExpectTabs(const std::vector<std::string>& names);
    void Shoot(const std::string& name, const std::vector<HWND>& windows);
    void InMenu(const std::function<void()>& open, std::vector<Move> moves);
    void InPluginMenu(const std::function<void()>& open, std::vector<Move> moves);
    void Highlight(const std::string& item);
    void ExpectHighlighted(const std::string& item);
    void Keys(std::initializer_list<WORD> keys);
    void Click(HWND target, POINT at, DWORD down, DWORD up);
    void Drag(HWND target, POINT from, POINT to);
    void ClickAttachButton(int contact);
    void ClickSetting(int page, int column, const std::string& label);

    int Id(const std::string& name) const;
    HWND Container() const;
    HWND Bar() const;
    HWND BarView() const { return GetDlgItem(Container(), kBarViewId); }
    std::vector<Tab> Tabs() const { return TabsOf(Bar()); }
    std::optional<Tab> TabOf(const std::string& name) const;
    HWND WindowOf(const std::string& name) const { return host->state.conversations.WindowOf(Id(name)); }
    std::string Path(const std::string& file) const { return folder + "/" + file; }

    std::string plugin;
    std::string folder;
    std::unique_ptr<DevHost> host;
    std::unique_ptr<Messenger> messenger;
    Screenshots shots{kDesktopColour};
    HWND desktop = nullptr;
    std::string failure;
    std::vector<std::string> pictures;
};

Tour::~Tour() {
    messenger.reset();
    host.reset();
    if (desktop) DestroyWindow(desktop);
}

int Tour::Run() {
    CreateDirectoryA(folder.c_str(), nullptr);
    desktop = CreateDesktop();
    const std::pair<const char*, Step> steps[] = {
        {"the messenger starts with the plug-in", &Tour::StartMessenger},
        {"conversations open as tabs", &Tour::OpenConversations},
        {"a message waits in another tab", &Tour::MessageWhileAway},
        {"a click on a tab shows it", &Tour::SwitchByClick},
        {"a middle click closes a tab", &Tour::CloseByMiddleClick},
        {"the contact menu detaches a conversation", &Tour::DetachFromContactMenu},
        {"the settings page puts the bar at the top", &Tour::ChangeSettings},
        {"Ctrl+F4 closes the shown tab", &Tour::CloseWithKeyboard},
        {"the main menu reopens a closed conversation", &Tour::ReopenFromMainMenu},
        {"a detached window's own button attaches it again", &Tour::AttachFromToolbar},
        {"a tab dragged out of the container tears off", &Tour::TearOffByDragging},
        {"a window carried by its caption onto the bar goes back in there", &Tour::CarryBackOntoBar},
        {"the contact page keeps a contact out of the tabs", &Tour::KeepContactOutOfTabs},
        {"a restart restores the session", &Tour::RestartRestoresSession},
        {"a hundred and fifty conversations: the bar scrolls", &Tour::ManyConversations},
        {"Ctrl+K finds a conversation by typing", &Tour::QuickSwitcher},
        {"quitting leaves the host's windows as they were", &Tour::QuitLeavesNothing},
    };
    int number = 0;
    for (const auto& [name, run] : steps) {
        ++number;
        (this->*run)();
        DevHost::Pump();
        if (!failure.empty()) {
            std::fprintf(stderr, "tour: step %d (%s) failed: %s\n", number, name, failure.c_str());
            return 1;
        }
        std::printf("tour: step %d passed: %s\n", number, name);
    }
    std::printf("tour: all %d steps passed; %u pictures in %s:\n", number, static_cast<unsigned>(pictures.size()),
                folder.c_str());
    for (const std::string& picture : pictures) std::printf("  %s\n", picture.c_str());
    return 0;
}

void Tour::Expect(bool ok, const std::string& what) {
    if (!ok && failure.empty()) failure = what;
}

void Tour::Shoot(const std::string& name, const std::vector<HWND>& windows) {
    DevHost::Pump();
    std::string path = Path(name + ".png");
    Expect(shots.Take(path, windows), "no picture could be written to " + path);
    pictures.push_back(path);
}

int Tour::Id(const std::string& name) const {
    for (const Contact& c : host->state.contacts.All())
        if (c.display == name) return c.id;
    return 0;
}

HWND Tour::Container() const { return reinterpret_cast<HWND>(host->Call(Host::kAskContainer)); }

// The tab bar lies in a window of its own inside the container.
HWND Tour::Bar() const { return GetDlgItem(GetDlgItem(Container(), kBarViewId), kBarId); }

std::optional<Tab> Tour::TabOf(const std::string& name) const {
    for (const Tab& tab : Tabs())
        if (tab.command == (Id(name) & kButtonIdMask)) return tab;
    return std::nullopt;
}

void Tour::ExpectTabs(const std::vector<std::string>& names) {
    std::vector<std::string> shown;
    for (const Tab& tab : Tabs()) shown.push_back(tab.text);
    Expect(shown == names, "the tabs are [" + Join(shown) + "], expected [" + Join(names) + "]");
}

bool Tour::Boot(bool fresh) {
    host = std::make_unique<DevHost>();
    if (!host->Load(plugin.c_str())) {
        Expect(false, "cannot load " + plugin);
        return false;
    }
    if (fresh)
        DeleteFileA(Path(kConfigFile).c_str());
    else
        Expect(host->state.config.Load(Path(kConfigFile)), "the host kept no configuration file");
    host->controls.onSaveSettings = [this] { host->state.config.Save(Path(kConfigFile)); };
    Messenger::AddSampleContacts(host->state.contacts);
    messenger = std::make_unique<Messenger>(*host);
    // The user says no to every question (the host keeps them).
    host->controls.askUser = [](const std::string&) { return 0; };
    host->Start();
    messenger->Show(kMessengerPlace.left, kMessengerPlace.top, kMessengerPlace.right - kMessengerPlace.left,
                    kMessengerPlace.bottom - kMessengerPlace.top);
    DevHost::Pump();
    return true;
}

// The user closes the messenger's window.
void Tour::Quit() {
    SendMessageA(messenger->Window(), WM_CLOSE, 0, 0);
    DevHost::Pump();
}

// A user in front of a real menu, which keeps the program inside it until
// it closes: each time the menu waits for the user, the next move runs.
// Moves press keys, which the menu takes before it waits again.
void Tour::InMenu(const std::function<void()>& open, std::vector<Move> moves) {
    size_t next = 0;
    host->controls.onMenuIdle = [&](HWND) {
        if (!failure.empty() || next == moves.size()) {
            EndMenu();
            return;
        }
        moves[next++]();
    };
    open();
    host->controls.onMenuIdle = nullptr;
    DevHost::Pump();
    Expect(next == moves.size(), "the menu closed before the user was done with it");
}

// The plug-in's own menus belong to its window, not to the host's: the
// moves run from a timer, which the menu's loop serves while it waits.
struct TimedMoves {
    std::vector<std::function<void()>>* moves = nullptr;
    size_t next = 0;
    std::function<bool()> stop;
};
TimedMoves timedMoves;

void CALLBACK NextTimedMove(HWND, UINT, UINT_PTR, DWORD) {
    if (OpenMenus().empty() || !timedMoves.moves) return;
    if (timedMoves.stop() || timedMoves.next == timedMoves.moves->size()) {
        EndMenu();
        return;
    }
    (*timedMoves.moves)[timedMoves.next++]();
}

void Tour::InPluginMenu(const std::function<void()>& open, std::vector<Move> moves) {
    timedMoves = {&moves, 0, [this] { return !failure.empty(); }};
    UINT_PTR timer = SetTimer(nullptr, 0, 100, NextTimedMove);
    open();
    KillTimer(nullptr, timer);
    DevHost::Pump();
    Expect(timedMoves.next == moves.size(), "the menu closed before the user was done with it");
    timedMoves = {};
}

// A click that reaches the target only: another window in front of it would
// get it instead.
void Tour::Click(HWND target, POINT at, DWORD down, DWORD up) {
    HWND under = WindowFromPoint(at);
    Expect(under == target || IsChild(target, under),
           "the click meant for " + ClassOf(target) + " would land on " + ClassOf(under) + " \"" + WindowText(under) + "\"");
    if (failure.empty()) Press(down, up, at);
    DevHost::Pump();
}

// A press that lasts: the button goes down on the target, the mouse is
// carried to the other point in steps, slower than a click, and the button
// comes up there.
void Tour::Drag(HWND target, POINT from, POINT to) {
    HWND under = WindowFromPoint(from);
    Expect(under == target || IsChild(target, under), "the drag meant for " + ClassOf(target) + " would start on " +
                                                          ClassOf(under) + " \"" + WindowText(under) + "\"");
    if (!failure.empty()) return;
    SetCursorPos(from.x, from.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof input);
    DevHost::Pump();
    constexpr int kSteps = 8;
    for (int step = 1; step <= kSteps; ++step) {
        Sleep(40);
        MoveMouse({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
        DevHost::Pump();
    }
    HCURSOR shown = GetCursor();
    Expect(shown && shown != LoadCursor(nullptr, IDC_ARROW) && shown != LoadCursor(nullptr, IDC_HAND),
           "outside the container the cursor does not show that the tab will tear off");
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
    DevHost::Pump();
}

void Tour::Keys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) PostMessageA(messenger->Window(), WM_KEYDOWN, key, 0);
}

// Arrow keys onto an item of the menu opened last.
void Tour::Highlight(const std::string& item) {
    HMENU menu = MenuOf(OpenMenus().back());
    int position = PositionOf(menu, item);
    Expect(position >= 0, "the menu [" + Join(MenuTexts(menu)) + "] has no \"" + item + "\"");
    for (int i = StepsTo(menu, position); i > 0; --i) Keys({VK_DOWN});
}

void Tour::ExpectHighlighted(const std::string& item) {
    HMENU menu = MenuOf(OpenMenus().back());
    Expect(Highlighted(menu) == PositionOf(menu, item), "\"" + item + "\" is not highlighted in the menu");
}

void Tour::StartMessenger() {
    if (!Boot(true)) return;
    Expect(IsWindowVisible(messenger->Window()), "the messenger's window is not shown");
    HWND container = Container();
    Expect(container && !IsWindowVisible(container), "the plug-in's container should exist, hidden");
    // The user has put the container beside the contact list.
    MoveWindow(container, kContainerPlace.left, kContainerPlace.top, kContainerPlace.right - kContainerPlace.left,
               kContainerPlace.bottom - kContainerPlace.top, TRUE);
    const Element* closed = host->state.elements.Find(kClosedMainMenu, kMainMenuGroup);
    Expect(closed && closed->HiddenFor(Host::kNoContact), "\"Zamknięte rozmowy\" shows in the main menu with nothing closed");
}

void Tour::OpenConversations() {
    for (const char* name : {"Agnieszka Nowak", "Celina Wiśniewska", "Ewa Kamińska", "Grażyna Zielińska"})
        messenger->OpenConversation(Id(name));
    DevHost::Pump();
    ExpectTabs({"Agnieszka Nowak", "Celina Wiśniewska", "Ewa Kamińska", "Grażyna Zielińska"});
    HWND grazyna = WindowOf("Grażyna Zielińska");
    Expect(IsWindowVisible(Container()), "the container is not shown");
    Expect(ClassOf(GetParent(grazyna)) == kContentClass, "Grażyna's conversation is not inside the container");
    Expect(reinterpret_cast<HWND>(host->Call(Host::kAskCurrentWindow)) == grazyna, "the last one opened is not shown");
    Expect(WindowText(Container()) == "Grażyna Zielińska", "the container's title is \"" + WindowText(Container()) + "\"");

    HWND edit = host->state.conversations.EditControl(Id("Grażyna Zielińska"));
    SetWindowTextA(edit, "Cześć Grażyna, jak tam nowa praca?");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    host->DeliverMessage(Id("Grażyna Zielińska"), "Super, opowiem Ci w sobotę!");
    std::string view = host->state.conversations.ViewText(Id("Grażyna Zielińska"));
    Expect(view.find("jak tam nowa praca?") != std::string::npos && view.find("opowiem Ci") != std::string::npos,
           "the conversation view does not show what was said: \"" + view + "\"");
    Shoot("01-tabs", {messenger->Window(), Container()});
}

void Tour::MessageWhileAway() {
    messenger->MessageFrom(Id("Celina Wiśniewska"));
    messenger->ChangeStatus(Id("Ewa Kamińska"), kStatusBusy);
    DevHost::Pump();
    std::optional<Tab> celina = TabOf("Celina Wiśniewska");
    Expect(celina && celina->pressed, "Celina's tab is not pressed while her message waits");
    std::string title = WindowText(Container());
    Expect(title == "[Celina Wiśniewska] Grażyna Zielińska", "the container's title is \"" + title + "\"");
    std::optional<Tab> ewa = TabOf("Ewa Kamińska");
    HICON busy = host->state.icons.Handle(StatusIconId(3, kStatusBusy));
    Expect(ewa && ShowsIcon(Bar(), ewa->command, busy), "Ewa's tab does not show her new status");
    Shoot("02-message-waiting", {Container()});
}

void Tour::SwitchByClick() {
    std::optional<Tab> celina = TabOf("Celina Wiśniewska");
    if (!celina) return Expect(false, "Celina has no tab");
    Click(Bar(), celina->middle, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    HWND window = WindowOf("Celina Wiśniewska");
    Expect(reinterpret_cast<HWND>(host->Call(Host::kAskCurrentWindow)) == window && IsWindowVisible(window),
           "Celina's conversation is not shown after a click on her tab");
    Expect(WindowText(Container()) == "Celina Wiśniewska", "the container's title is \"" + WindowText(Container()) + "\"");
    std::string view = host->state.conversations.ViewText(Id("Celina Wiśniewska"));
    Expect(view.find("Celina Wiśniewska: ") != std::string::npos, "Celina's message is not in her conversation");
}

void Tour::CloseByMiddleClick() {
    std::optional<Tab> agnieszka = TabOf("Agnieszka Nowak");
    if (!agnieszka) return Expect(false, "Agnieszka has no tab");
    Click(Bar(), agnieszka->middle, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ExpectTabs({"Celina Wiśniewska", "Ewa Kamińska", "Grażyna Zielińska"});
    HWND window = WindowOf("Agnieszka Nowak");
    Expect(!window || !IsWindowVisible(window), "Agnieszka's conversation is still shown");
    const Element* closed = host->state.elements.Find(kClosedMainMenu, kMainMenuGroup);
    Expect(closed && !closed->HiddenFor(Host::kNoContact), "\"Zamknięte rozmowy\" is not in the main menu");
}

void Tour::DetachFromContactMenu() {
    int ewa = Id("Ewa Kamińska");
    messenger->Select(ewa);
    InMenu([&] { messenger->ShowContactMenu(ewa, messenger->RowPoint(ewa)); },
           {[&] {
                std::vector<std::string> items = MenuTexts(MenuOf(OpenMenus().back()));
                for (const char* entry : {"Ostatnio zamknięte", "Zamknij pozostałe", "Odepnij", "Zamknij rozmowę"})
                    Expect(PositionOf(MenuOf(OpenMenus().back()), entry) >= 0,
                           "the contact menu [" + Join(items) + "] lacks \"" + entry + "\"");
                Shoot("03-contact-menu", {messenger->Window()});
                Highlight("Odepnij");
            },
            [&] {
                ExpectHighlighted("Odepnij");
                PostMessageA(messenger->Window(), WM_CHAR, '\r', 0);
            }});
    HWND window = host->state.conversations.WindowOf(ewa);
    Expect(window && GetParent(window) == nullptr && IsWindowVisible(window), "Ewa's conversation is not on its own");
    Expect(!GetPropA(window, "TABBED"), "Ewa's detached window is still marked as tabbed");
    ExpectTabs({"Celina Wiśniewska", "Grażyna Zielińska"});
    // The user puts it beside the container, and Ewa writes.
    MoveWindow(window, kDetachedPlace.left, kDetachedPlace.top, kDetachedPlace.right - kDetachedPlace.left,
               kDetachedPlace.bottom - kDetachedPlace.top, TRUE);
    messenger->MessageFrom(ewa);
    DevHost::Pump();
    ExpectTabs({"Celina Wiśniewska", "Grażyna Zielińska"});
    Expect(host->state.conversations.ViewText(ewa).find("Ewa Kamińska: ") != std::string::npos,
           "Ewa's message is not in her detached window");
    Shoot("04-detached", {Container(), window});
}

void Tour::ClickSetting(int page, int column, const std::string& label) {
    for (const Element* e : std::as_const(host->state.elements).ChildElements(page)) {
        std::string text = e->text.substr(0, e->text.find_first_of("\x02\x1A"));
        if (e->param != column || text != label) continue;
        SendMessageA(e->window, BM_CLICK, 0, 0);
        return;
    }
    Expect(false, "the settings page has no \"" + label + "\"");
}

void Tour::ChangeSettings() {
    HWND page = host->OpenSettingsPage();
    Expect(page != nullptr, "the settings page did not open");
    if (!page) return;
    ClickSetting(kSettingsPage, kAlignColumn, "Góra");
    ClickSetting(kSettingsPage, kAutoRevertColumn, "Zawsze");
    ClickSetting(kSettingsPage, kTabsCloseButtonColumn, "Zamknij rozmowę");
    HWND dialog = host->state.settingsPage.Dialog();
    SetWindowPos(dialog, HWND_TOP, kSettingsPlace.x, kSettingsPlace.y, 0, 0, SWP_NOSIZE);
    Shoot("05-settings", {dialog});
    SendMessageA(host->state.settingsPage.PageWindow(), WM_VSCROLL, SB_PAGEDOWN, 0);
    Shoot("06-settings-tabs", {dialog});
    SendMessageA(GetDlgItem(dialog, kApplyButton), BM_CLICK, 0, 0);
    host->CloseSettingsPage();
    DevHost::Pump();
    Expect(host->state.config.Int(0, 0, kAlignColumn) == 1 && host->state.config.Int(0, 0, kAutoRevertColumn) == 1,
           "the page did not store the settings");
    RECT bar{}, client{};
    GetWindowRect(Bar(), &bar);
    GetClientRect(Container(), &client);
    MapWindowPoints(Container(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    Expect(bar.top == client.top, "the tab bar is not at the top of the container");
    int closeButton = static_cast<int>(SendMessageA(Bar(), TB_ISBUTTONHIDDEN, kBarCloseButton, 0));
    Expect(closeButton == 0, "the bar's close button is not shown");
    Shoot("07-bar-at-top", {Container()});
}

void Tour::CloseWithKeyboard() {
    HWND edit = host->state.conversations.EditControl(Id("Celina Wiśniewska"));
    SetForegroundWindow(Container());
    SetFocus(edit);
    Key(VK_CONTROL, true);
    Key(VK_F4, true);
    Key(VK_F4, false);
    Key(VK_CONTROL, false);
    DevHost::Pump();
    ExpectTabs({"Grażyna Zielińska"});
}

void Tour::ReopenFromMainMenu() {
    InMenu([&] { messenger->OpenMainMenu(); },
           {[&] {
                Highlight("Zamknięte rozmowy");
                Keys({VK_RIGHT});
            },
            [&] {
                std::vector<std::string> items = MenuTexts(MenuOf(OpenMenus().back()));
                std::vector<std::string> expected{"Wyczyść listę", "", "Celina Wiśniewska", "Agnieszka Nowak"};
                Expect(items == expected, "the recently closed menu is [" + Join(items) + "]");
                Shoot("08-recently-closed", {messenger->Window()});
                Highlight("Agnieszka Nowak");
            },
            [&] {
                ExpectHighlighted("Agnieszka Nowak");
                PostMessageA(messenger->Window(), WM_CHAR, '\r', 0);
            }});
    ExpectTabs({"Grażyna Zielińska", "Agnieszka Nowak"});
}

// The "Przypnij/Odepnij" button of a conversation window on its own.
void Tour::ClickAttachButton(int contact) {
    HWND toolbar = host->state.conversations.Toolbar(contact);
    char text[64] = {};
    TBBUTTON button{};
    SendMessageA(toolbar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button));
    SendMessageA(toolbar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(text));
    Expect(std::string(text) == "Przypnij/Odepnij", "the window has no \"Przypnij/Odepnij\" button");
    RECT r{};
    SendMessageA(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(toolbar, &middle);
    Click(toolbar, middle, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

void Tour::AttachFromToolbar() {
    int ewa = Id("Ewa Kamińska");
    ClickAttachButton(ewa);
    HWND window = host->state.conversations.WindowOf(ewa);
    Expect(ClassOf(GetParent(window)) == kContentClass, "Ewa's conversation is not back in the container");
    ExpectTabs({"Grażyna Zielińska", "Agnieszka Nowak", "Ewa Kamińska"});
}

// The user drags Ewa's tab off the bar and lets it go under the container:
// her window comes out there, caption first; her own button takes her back.
void Tour::TearOffByDragging() {
    int ewa = Id("Ewa Kamińska");
    std::optional<Tab> tab = TabOf("Ewa Kamińska");
    if (!tab) return Expect(false, "Ewa has no tab");
    Drag(Bar(), tab->middle, kTearOffDrop);
    HWND window = host->state.conversations.WindowOf(ewa);
    Expect(window && GetParent(window) == nullptr && IsWindowVisible(window), "Ewa's conversation did not tear off");
    Expect(!GetPropA(window, "TABBED"), "Ewa's torn-off window is still marked as tabbed");
    ExpectTabs({"Grażyna Zielińska", "Agnieszka Nowak"});
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT client{};
    ClientToScreen(window, &client);
    Expect(kTearOffDrop.y > frame.top && kTearOffDrop.y < client.y && kTearOffDrop.x > frame.left &&
               kTearOffDrop.x < frame.right,
           "Ewa's caption is not where the tab was let go");
    Expect(GetCursor() == LoadCursor(nullptr, IDC_ARROW), "the cursor did not go back to the arrow");
    Shoot("09-torn-off", {Container(), window});
}

// The system's move loop holds the program while a window is carried: the
// user's hand moves from a timer, which the loop serves.
struct CarrySteps {
    std::vector<std::function<void()>>* steps = nullptr;
    size_t next = 0;
};
CarrySteps carrySteps;

void CALLBACK NextCarryStep(HWND, UINT, UINT_PTR, DWORD) {
    if (carrySteps.steps && carrySteps.next < carrySteps.steps->size()) (*carrySteps.steps)[carrySteps.next++]();
}

// The user takes Ewa's torn-off window by the top of its caption and
// carries it onto the bar: the bar marks where she would go in, before
// Agnieszka; let go there, she is a tab at that place again. Wine's move
// loop raises no move-size events: the tour raises them where Windows does,
// the start once the loop runs, the end once it is over.
void Tour::CarryBackOntoBar() {
    HWND window = WindowOf("Ewa Kamińska");
    std::optional<Tab> agnieszka = TabOf("Agnieszka Nowak");
    if (!window || !agnieszka) return Expect(false, "Ewa's window or Agnieszka's tab is missing");
    RECT frame{}, tab{};
    GetWindowRect(window, &frame);
    POINT client{};
    ClientToScreen(window, &client);
    POINT grab{(frame.left + frame.right) / 2, client.y - GetSystemMetrics(SM_CYCAPTION) + 2};
    int index = static_cast<int>(SendMessageA(Bar(), TB_COMMANDTOINDEX, agnieszka->command, 0));
    SendMessageA(Bar(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tab));
    MapWindowPoints(Bar(), nullptr, reinterpret_cast<POINT*>(&tab), 2);
    // Low on the row: the caption, under the cursor, leaves the mark in sight.
    POINT onBar{tab.left + (tab.right - tab.left) / 4, tab.bottom - 3};
    HWND under = WindowFromPoint(grab);
    Expect(under == window, "Ewa's caption is not in sight: " + ClassOf(under));
    if (!failure.empty()) return;
    TBINSERTMARK mark{-1, 0};
    std::vector<std::function<void()>> steps = {
        [&] { NotifyWinEvent(EVENT_SYSTEM_MOVESIZESTART, window, OBJID_WINDOW, CHILDID_SELF); },
        [&] { MoveMouse({(grab.x + onBar.x) / 2, (grab.y + onBar.y) / 2}); },
        [&] { MoveMouse(onBar); },
        [&] {
            SendMessageA(Bar(), TB_GETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
            Shoot("09b-carried-back", {Container(), window});
        },
        [&] { Press(MOUSEEVENTF_LEFTUP, 0, onBar); },
    };
    carrySteps = {&steps, 0};
    UINT_PTR timer = SetTimer(nullptr, 0, 150, NextCarryStep);
    SetCursorPos(grab.x, grab.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof input);
    MSG msg;
    while (carrySteps.next < steps.size() && GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, timer);
    carrySteps = {};
    DevHost::Pump();
    NotifyWinEvent(EVENT_SYSTEM_MOVESIZEEND, window, OBJID_WINDOW, CHILDID_SELF);
    DevHost::Pump();
    Expect(mark.iButton == index && !(mark.dwFlags & TBIMHT_AFTER),
           "while Ewa's window was over Agnieszka's tab the bar did not mark the place before it");
    Expect(GetParent(window) == GetDlgItem(Container(), 1) && GetPropA(window, "TABBED"),
           "Ewa's window did not go back into the container");
    ExpectTabs({"Grażyna Zielińska", "Ewa Kamińska", "Agnieszka Nowak"});
}

void Tour::KeepContactOutOfTabs() {
    int bartek = Id("Bartosz Kowalski");
    HWND page = host->OpenContactPage(bartek);
    Expect(page != nullptr, "Bartosz's properties have no page \"Zakładki\"");
    if (!page) return;
    ClickSetting(kContactPage, kDontTabColumn, "Domyślnie odpinaj okno tego kontaktu");
    SendMessageA(GetDlgItem(host->state.settingsPage.Dialog(), IDOK), BM_CLICK, 0, 0);
    DevHost::Pump();
    Expect(host->state.config.Int(1, bartek, kDontTabColumn) == 1, "the page did not store the contact's setting");
    messenger->OpenConversation(bartek);
    DevHost::Pump();
    HWND window = host->state.conversations.WindowOf(bartek);
    Expect(window && GetParent(window) == nullptr && IsWindowVisible(window), "Bartosz's conversation is not on its own");
    ExpectTabs({"Grażyna Zielińska", "Ewa Kamińska", "Agnieszka Nowak"});
}

void Tour::RestartRestoresSession() {
    Quit();
    Expect(!Container(), "the container outlived the plug-in's end");
    messenger.reset();
    host.reset();
    // A real restart is a new process. This one loads the plug-in again, so
    // the window classes it registered for the program go with the old
    // module first.
    UnregisterClassA("Tabs", GetModuleHandleA(nullptr));
    UnregisterClassA(kContentClass, GetModuleHandleA(nullptr));
    if (!Boot(false)) return;
    ExpectTabs({"Grażyna Zielińska", "Ewa Kamińska", "Agnieszka Nowak"});
    Expect(host->recorded.questions.empty(),
           "the plug-in asked before restoring although it was set to always restore");
    Expect(host->state.config.Int(1, Id("Bartosz Kowalski"), kDontTabColumn) == 1,
           "the contact's setting was not kept");
    RECT bar{}, client{};
    GetWindowRect(Bar(), &bar);
    GetClientRect(Container(), &client);
    MapWindowPoints(Container(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    Expect(bar.top == client.top, "the tab bar is no longer at the top");
}

namespace {

// The screen point of a window's centre.
POINT Middle(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

void Tour::ManyConversations() {
    std::vector<int> added;
    for (const char* first : kFirstNames)
        for (const char* surname : kSurnames) {
            std::string name = std::string(first) + " " + surname;
            added.push_back(host->state.contacts.Add(name + "@velmora", name, 1, kStatusOnline));
        }
    for (int contact : added) {
        messenger->OpenConversation(contact);
        DevHost::Pump();
    }
    size_t count = Tabs().size();
    Expect(count == added.size() + 3, "there are " + std::to_string(count) + " tabs");
    messenger->MessageFrom(added[20]);
    DevHost::Pump();

    HWND shown = reinterpret_cast<HWND>(host->Call(Host::kAskCurrentWindow));
    RECT client{}, content{}, view{};
    GetClientRect(Container(), &client);
    GetClientRect(shown, &content);
    GetWindowRect(BarView(), &view);
    Expect(shown == host->state.conversations.WindowOf(added.back()) && IsWindowVisible(shown),
           "the last conversation opened is not shown");
    Expect(content.bottom >= client.bottom * 2 / 3 && view.bottom - view.top <= client.bottom / 3,
           "the conversation has " + std::to_string(content.bottom) + " of " + std::to_string(client.bottom) +
               " pixels, the bar " + std::to_string(view.bottom - view.top));
    std::vector<Tab> tabs = Tabs();
    Expect(Inside(view, tabs.back().middle), "the bar is not scrolled to the shown tab");
    Expect(!Inside(view, tabs.front().middle), "the bar shows its first row, not the shown tab's");

    // The wheel over the bar, with the focus in the conversation: a row back.
    SetForegroundWindow(Container());
    SetFocus(host->state.conversations.EditControl(added.back()));
    RECT before{};
    GetWindowRect(Bar(), &before);
    POINT over = Middle(BarView());
    SetCursorPos(over.x, over.y);
    INPUT wheel{};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = WHEEL_DELTA;
    SendInput(1, &wheel, sizeof wheel);
    DevHost::Pump();
    RECT after{};
    GetWindowRect(Bar(), &after);
    int row = static_cast<int>(HIWORD(SendMessageA(Bar(), TB_GETBUTTONSIZE, 0, 0)));
    Expect(after.top - before.top == row, "the wheel over the bar did not bring one row back");
    wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    SendInput(1, &wheel, sizeof wheel);
    DevHost::Pump();
    GetWindowRect(Bar(), &after);
    Expect(after.top == before.top, "the wheel did not take the bar back to the shown tab's row");

    HWND allTabs = GetDlgItem(Container(), kAllTabsId);
    Expect(allTabs && IsWindowVisible(allTabs), "there is no menu of all conversations beside the rows");
    InPluginMenu([&] { Click(allTabs, Middle(allTabs), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); },
                 {[&] {
                      HMENU menu = MenuOf(OpenMenus().back());
                      std::vector<std::string> items = MenuTexts(menu);
                      // The switcher's entry and a separator come first.
                      Expect(items.size() == count + 2 && items.front() == kSearchEntry &&
                                 items[2] == "Grażyna Zielińska" && items.back() == "Olgierd Dudek",
                             "the menu lists " + std::to_string(items.size()) + " items from \"" +
                                 (items.empty() ? "" : items.front()) + "\"");
                      Expect(items.size() == count + 2 &&
                                 (GetMenuState(menu, static_cast<UINT>(count + 1), MF_BYPOSITION) & MF_CHECKED),
                             "the shown conversation is not checked in the menu");
                      Expect(PositionOf(menu, "Cezary Nowak" + std::string(kWaitingMark)) == 25,
                             "the waiting conversation is not marked in the menu");
                      Shoot("10-many-tabs", {Container()});
                      // The user clicks Grażyna in the menu (the menu's own
                      // loop takes the click).
                      RECT item{};
                      GetMenuItemRect(nullptr, menu, 2, &item);
                      Press(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
                  }});
    std::optional<Tab> grazyna = TabOf("Grażyna Zielińska");
    GetWindowRect(BarView(), &view);
    Expect(reinterpret_cast<HWND>(host->Call(Host::kAskCurrentWindow)) == WindowOf("Grażyna Zielińska"),
           "choosing Grażyna in the menu did not show her conversation");
    Expect(grazyna && Inside(view, grazyna->middle), "the bar is not scrolled back to Grażyna's tab");
}

// The user presses Ctrl+K in Grażyna's conversation and types "ko": the
// switcher lists the tabs and the contacts with a name that has a word
// starting so, the tabs last shown first; Enter shows the first.
void Tour::QuickSwitcher() {
    SetForegroundWindow(Container());
    SetFocus(host->state.conversations.EditControl(Id("Grażyna Zielińska")));
    Key(VK_CONTROL, true);
    Key('K', true);
    Key('K', false);
    Key(VK_CONTROL, false);
    DevHost::Pump();
    HWND switcher = FindWindowA(kSwitcherClass, nullptr);
    Expect(switcher && IsWindowVisible(switcher) && GetWindow(switcher, GW_OWNER) == Container(),
           "Ctrl+K did not open the switcher over the container");
    if (!switcher) return;
    for (WORD key : {'K', 'O'}) {
        Key(key, true);
        Key(key, false);
    }
    DevHost::Pump();
    HWND list = GetDlgItem(switcher, kSwitcherListId);
    std::vector<std::string> rows;
    for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
        char text[256] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    Expect(rows.size() == 17 && rows.front() == "Olgierd Kowalczyk" && rows[14] == "Adam Kowalczyk" &&
               rows[15] == "Bartosz Kowalski" && rows[16] == "Katarzyna Kozłowska",
           "after \"ko\" the switcher lists [" + Join(rows) + "]");
    Shoot("11-switcher", {Container(), switcher});
    Key(VK_RETURN, true);
    Key(VK_RETURN, false);
    DevHost::Pump();
    Expect(!IsWindow(switcher), "Enter did not close the switcher");
    Expect(reinterpret_cast<HWND>(host->Call(Host::kAskCurrentWindow)) == WindowOf("Olgierd Kowalczyk"),
           "Enter did not show Olgierd's conversation");
}

void Tour::QuitLeavesNothing() {
    Quit();
    Expect(host->state.conversations.leftovers.empty(),
           "the plug-in left things on the host's windows: " + Join(host->state.conversations.leftovers));
}

int RunTour(const std::string& plugin, const std::string& folder) { return Tour(plugin, folder).Run(); }

}  // namespace DevHostLib
