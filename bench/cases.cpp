#include "cases.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "host/requests.h"
#include "system/switch_floor.h"

namespace Bench {

namespace {

constexpr UINT_PTR kFlashTimer = 2;
constexpr UINT_PTR kDropFollowTimer = 4;  // the container's look at the cursor of a carried window
constexpr int kAttachDetach = 306002;
constexpr char kMessage[] = "Hej, jak leci?";


int Scaled(const Plan& plan, int samples) {
    int n = plan.quick ? samples / 4 : samples;
    return n < 3 ? 3 : n;
}

void Progress(const char* name, int size) {
    std::printf("  %s, %d\n", name, size);
    std::fflush(stdout);
}

// --- opening a conversation -------------------------------------------------

// From the host building the window until it is shown (with the plug-in:
// until it is a tab); the conversation goes again, untimed, after each sample.
Figures OpenAt(const Plan& plan, bool plugin, int open, int samples) {
    World w(plugin, open + 1);
    w.Open(0, open);
    int extra = w.Contact(open);
    auto work = [&](int) { w.Host().state.conversations.Open(extra); };
    auto prepare = [&](int) { w.Host().ForgetRecords(); };
    auto restore = [&](int) { w.Host().state.conversations.DestroyConversation(extra); };
    Figures f = Measure(samples, work, prepare, restore);
    prepare(samples);
    int shown = plugin ? w.Current() : w.Contact(open - 1);
    f.counts = CountMessages([&] { work(samples); }, {extra, shown}, w.Container(), plan.trace);
    restore(samples);
    return f;
}

Series Opening(const Plan& plan) {
    Series s{"Opening a conversation", "tabs open", true, Limit::OverHost25, {}};
    for (int open : {1, 10, 100, 500}) {
        if (plan.quick && open > 100) continue;
        Progress(s.name.c_str(), open);
        int n = Scaled(plan, open >= 500 ? plan.samples / 2 : plan.samples);
        s.points.push_back({open, OpenAt(plan, false, open, n), OpenAt(plan, true, open, n)});
    }
    return s;
}

// --- switching ----------------------------------------------------------------

enum class Switch { Click, CtrlTab };

// Another tab at random each time; the host alone brings another of its
// windows forward instead.
Figures SwitchAt(const Plan& plan, bool plugin, int open, Switch how, int samples) {
    World w(plugin, open);
    w.Open(0, open);
    std::mt19937 random(static_cast<unsigned>(open));
    int target = 0, shown = w.Contact(open - 1);
    POINT tab{};
    auto prepare = [&](int) {
        w.Host().ForgetRecords();
        if (plugin) shown = w.Current();
        if (plugin && how == Switch::CtrlTab) {
            target = w.NextTab();
            return;
        }
        if (!plugin) {
            do target = w.Contact(static_cast<int>(random() % static_cast<unsigned>(open)));
            while (target == shown);
            return;
        }
        // A user clicks a tab the bar shows.
        std::vector<int> inSight = w.TabsInSight();
        inSight.erase(std::remove(inSight.begin(), inSight.end(), shown), inSight.end());
        target = inSight.empty() ? shown : inSight[random() % inSight.size()];
        tab = w.TabCentre(target);
    };
    auto work = [&](int) {
        if (!plugin)
            w.Host().state.conversations.Activate(target);
        else if (how == Switch::Click)
            w.ClickBar(tab);
        else
            w.CtrlTab();
    };
    auto restore = [&](int) { shown = target; };
    Figures f = Measure(samples, work, prepare, restore);
    prepare(samples);
    f.counts = CountMessages([&] { work(samples); }, {target, shown}, w.Container(), plan.trace);
    return f;
}

Series Switching(const Plan& plan, Switch how) {
    Series s{how == Switch::Click ? "Switching tabs: click" : "Switching tabs: Ctrl+Tab", "tabs open", true,
             Limit::FrameWhenSeen, {}};
    for (int open : {10, 100, 500}) {
        if (plan.quick && open > 100) continue;
        Progress(s.name.c_str(), open);
        int n = Scaled(plan, plan.samples * 4);
        s.points.push_back({open, SwitchAt(plan, false, open, how, n), SwitchAt(plan, true, open, how, n)});
    }
    return s;
}

// --- a switch against its floor ---------------------------------------------

constexpr char kBareClass[] = "BenchBareContainer";
constexpr int kFloorButtons = 20;

// The same window work as a switch, done by the system alone on the stand-in
// host's conversation windows, taken into a bare content window as the
// plug-in takes them, under a bare tab bar of the plug-in's styles in the
// top third of a container of the plug-in's default size.
Figures SwitchFloorAt(int open, int samples) {
    World w(false, open);
    w.Open(0, open);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kBareClass;
    RegisterClassExA(&wc);
    HWND container = CreateWindowExA(0, kBareClass, "Kontener", WS_OVERLAPPEDWINDOW, 100, 100, 500, 400, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
    RECT client{};
    GetClientRect(container, &client);
    int barHeight = client.bottom / 3;
    HWND content = CreateWindowExA(0, kBareClass, "", WS_CHILD | WS_VISIBLE, 0, barHeight, client.right,
                                   client.bottom - barHeight, container, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND bar = SwitchFloor::TabBar(container, w.Host().state.icons.ImageList(), kFloorButtons);
    MoveWindow(bar, 0, 0, client.right, barHeight, TRUE);
    std::vector<SwitchFloor::Tab> tabs;
    for (int i = 0; i < open; ++i) {
        HWND window = w.Host().state.conversations.WindowOf(w.Contact(i));
        ShowWindow(window, SW_HIDE);
        DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>((style & 0x3F30FFFF) | WS_CHILD));
        SetParent(window, content);
        MoveWindow(window, 0, 0, client.right, client.bottom - barHeight, FALSE);
        tabs.push_back({window, 1 + i % kFloorButtons});
    }
    ShowWindow(tabs[0].window, SW_SHOW);
    SendMessageA(bar, TB_CHECKBUTTON, static_cast<WPARAM>(tabs[0].button), TRUE);
    ShowWindow(container, SW_SHOW);
    SetForegroundWindow(container);
    DevHostLib::DevHost::Pump();
    std::mt19937 random(static_cast<unsigned>(open));
    size_t shown = 0, target = 0;
    std::string caption;
    auto prepare = [&](int) {
        do target = random() % tabs.size();
        while (tabs[target].button == tabs[shown].button && tabs.size() > 1);
        caption = "Kontakt " + std::to_string(target + 1);
    };
    auto work = [&](int) { SwitchFloor::Switch(container, bar, tabs[shown], tabs[target], caption.c_str()); };
    Figures f = Measure(samples, work, prepare, [&](int) { shown = target; });
    DestroyWindow(container);
    UnregisterClassA(kBareClass, GetModuleHandleA(nullptr));
    return f;
}

Series SwitchingAgainstFloor(const Plan& plan) {
    Series s{"Switching tabs against the floor", "tabs open", false, Limit::FloorP95, {}};
    for (int open : {10, 100, 500}) {
        if (plan.quick && open > 100) continue;
        Progress(s.name.c_str(), open);
        int n = Scaled(plan, plan.samples * 4);
        s.points.push_back({open, SwitchFloorAt(open, n), SwitchAt(plan, true, open, Switch::Click, n)});
    }
    return s;
}

// --- an incoming message ------------------------------------------------------

// A message for a tab that is not shown, with others already waiting. The
// shown tab is the last one; afterwards, untimed, the user looks at the
// new message and goes back, which takes it off the waiting list again.
Figures IncomingWith(bool plugin, int waiting, int samples) {
    const int tabs = 120;
    World w(plugin, tabs);
    w.Open(0, tabs);
    for (int i = 0; i < waiting; ++i) w.Host().DeliverMessage(w.Contact(i), kMessage);
    DevHostLib::DevHost::Pump();
    int sender = w.Contact(110);
    int shown = w.Contact(tabs - 1);
    auto restore = [&](int) {
        if (!plugin) return;
        w.ClickTab(sender);
        w.ClickTab(shown);
    };
    return Measure(
        samples, [&](int) { w.Host().DeliverMessage(sender, kMessage); }, [&](int) { w.Host().ForgetRecords(); },
        restore);
}

Series Incoming(const Plan& plan) {
    Series s{"Incoming message for a tab not shown (120 tabs)", "contacts waiting", true, Limit::None, {}};
    for (int waiting : {0, 10, 100}) {
        Progress(s.name.c_str(), waiting);
        int n = Scaled(plan, plan.samples * 2);
        s.points.push_back({waiting, IncomingWith(false, waiting, n), IncomingWith(true, waiting, n)});
    }
    return s;
}

// --- closing all but one ----------------------------------------------------

// "Zamknij pozostałe" in the kept contact's menu; the host alone closes the
// same windows one by one. The tabs are opened again, untimed, each time.
Figures CloseOthersAt(bool plugin, int open, int samples) {
    World w(plugin, open);
    int keep = w.Contact(open - 1);
    return Measure(
        samples,
        [&](int) {
            if (plugin) {
                w.CloseOthers(keep);
                return;
            }
            for (int i = 0; i < open - 1; ++i) w.Host().state.conversations.DestroyConversation(w.Contact(i));
        },
        [&](int) { w.Open(0, open); });
}

Series ClosingOthers(const Plan& plan) {
    Series s{"Closing all but one", "tabs open", true, Limit::NoMoreThanHost, {}};
    for (int open : {10, 100, 500}) {
        if (plan.quick && open > 100) continue;
        Progress(s.name.c_str(), open);
        int n = Scaled(plan, open >= 500 ? plan.samples / 6 : open >= 100 ? plan.samples / 2 : plan.samples);
        s.points.push_back({open, CloseOthersAt(false, open, n), CloseOthersAt(true, open, n)});
    }
    return s;
}

// --- the flash timer --------------------------------------------------------

Figures FlashTick(const Plan& plan, int waiting, int samples) {
    World w(true, waiting + 2);
    w.Open(0, waiting + 2);
    for (int i = 0; i < waiting; ++i) w.Host().DeliverMessage(w.Contact(i), kMessage);
    auto work = [&](int) { SendMessageA(w.Container(), WM_TIMER, kFlashTimer, 0); };
    auto prepare = [&](int) { w.Host().ForgetRecords(); };
    Figures f = Measure(samples, work, prepare);
    prepare(samples);
    f.counts = CountMessages([&] { work(samples); }, {0, 0}, w.Container(), plan.trace);
    return f;
}

Series Flashing(const Plan& plan) {
    Series s{"One tick of the flash timer", "contacts waiting", true, Limit::HalfFrameMedian, {}};
    Progress(s.name.c_str(), 100);
    s.points.push_back({100, std::nullopt, FlashTick(plan, 100, Scaled(plan, plan.samples * 2))});
    return s;
}

// --- a window carried over the bar --------------------------------------------

// One look of the plug-in's at the cursor while a detached conversation is
// carried over the bar, the cursor each time on the other half of a tab in
// sight, so that the mark moves at every look: one hit test and one change
// of the mark, whatever the number of tabs. The system's move loop raises
// the start event; here it is raised with the cursor on the caption.
Figures CarriedLook(int open, int samples) {
    World w(true, open + 1);
    w.Open(0, open + 1);
    int carried = w.Contact(open);
    w.Host().Notify({kAttachDetach, Host::kGroupContactMenu, carried}, Host::kNoticeAction);
    HWND window = w.Host().state.conversations.WindowOf(carried);
    RECT frame{};
    POINT client{};
    GetWindowRect(window, &frame);
    ClientToScreen(window, &client);
    SetCursorPos((frame.left + frame.right) / 2, (frame.top + client.y) / 2);
    NotifyWinEvent(EVENT_SYSTEM_MOVESIZESTART, window, OBJID_WINDOW, CHILDID_SELF);
    DevHostLib::DevHost::Pump();
    std::vector<int> inSight = w.TabsInSight();
    auto work = [&](int i) {
        POINT at = w.TabCentre(inSight[static_cast<size_t>(i / 2) % inSight.size()]);
        ClientToScreen(w.Bar(), &at);
        SetCursorPos(at.x + (i % 2 ? 4 : -4), at.y);
        SendMessageA(w.Container(), WM_TIMER, kDropFollowTimer, 0);
    };
    return Measure(samples, work);
}

Series Carrying(const Plan& plan) {
    Series s{"A window carried over the bar: one look at the cursor", "tabs open", true, Limit::HalfFrameMedian, {}};
    for (int open : {10, 100, 500}) {
        if (plan.quick && open > 100) continue;
        Progress(s.name.c_str(), open);
        s.points.push_back({open, std::nullopt, CarriedLook(open, Scaled(plan, plan.samples * 4))});
    }
    return s;
}

// --- what the host and the system take on their own -------------------------

// The host repainting the shown conversation with its controls, as a switch
// has it painted: what a switch cannot go below.
Figures ConversationPaint(int open, int samples) {
    World w(true, open);
    w.Open(0, open);
    HWND shown = w.Host().state.conversations.WindowOf(w.Current());
    return Measure(samples, [&](int) {
        RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
}

// The toolbar control repainting some of the tab buttons, as it does after a
// switch (two) or a flash tick (every waiting tab in sight).
Figures ButtonPaint(int buttons, int samples) {
    World w(true, buttons + 1);
    w.Open(0, buttons + 1);
    HWND bar = w.Bar();
    constexpr int kFirstTab = 2;
    return Measure(samples, [&](int) {
        for (int i = 0; i < buttons; ++i) {
            RECT r{};
            SendMessageA(bar, TB_GETITEMRECT, kFirstTab + i, reinterpret_cast<LPARAM>(&r));
            InvalidateRect(bar, &r, TRUE);
        }
        UpdateWindow(bar);
    });
}

// The toolbar control taking one more button at the end, as a new tab is
// added: it lays every button out again, measuring every text.
Figures ButtonInsert(int open, int samples) {
    World w(true, open);
    w.Open(0, open);
    HWND bar = w.Bar();
    constexpr int kSpareId = 65000;
    char text[] = "Kontakt nowy";
    TBBUTTON button{};
    button.iBitmap = 0;
    button.idCommand = kSpareId;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_SHOWTEXT | BTNS_AUTOSIZE;
    button.iString = reinterpret_cast<INT_PTR>(text);
    return Measure(
        samples, [&](int) { SendMessageA(bar, TB_INSERTBUTTONA, 0x3FFF, reinterpret_cast<LPARAM>(&button)); }, nullptr,
        [&](int) {
            SendMessageA(bar, TB_DELETEBUTTON, SendMessageA(bar, TB_COMMANDTOINDEX, kSpareId, 0), 0);
            DevHostLib::DevHost::Pump();
        });
}

Series Inserting(const Plan& plan) {
    Series s{"The toolbar taking one more tab button", "tabs open", false, Limit::None, {}};
    for (int open : {10, 100, 500}) {
        if (plan.quick && open > 100) continue;
        Progress(s.name.c_str(), open);
        s.points.push_back({open, std::nullopt, ButtonInsert(open, Scaled(plan, plan.samples))});
    }
    return s;
}

Series Painting(const Plan& plan) {
    Series s{"The host repainting the shown conversation", "tabs open", false, Limit::None, {}};
    Progress(s.name.c_str(), 10);
    s.points.push_back({10, std::nullopt, ConversationPaint(10, Scaled(plan, plan.samples * 2))});
    return s;
}

Series ButtonPainting(const Plan& plan) {
    Series s{"The toolbar repainting tab buttons", "buttons", false, Limit::None, {}};
    for (int buttons : {1, 2, 10, 50}) {
        Progress(s.name.c_str(), buttons);
        s.points.push_back({buttons, std::nullopt, ButtonPaint(buttons, Scaled(plan, plan.samples * 2))});
    }
    return s;
}

// --- the quick switcher -------------------------------------------------------

constexpr char kSwitcherClass[] = "TabsSwitcher";
constexpr int kSwitcherField = 1;

HWND SwitcherField() { return GetDlgItem(FindWindowA(kSwitcherClass, nullptr), kSwitcherField); }

// What a sample asked of the host: counted from before it to after it.
struct RequestCount {
    World& w;
    std::vector<long> asked;
    long before = 0;
    void Start() { before = w.Requests(); }
    void Stop() { asked.push_back(w.Requests() - before); }
};

// Ctrl+K in the shown conversation until the switcher is painted with its
// rows, read from the host then; Esc closes it again, untimed.
Figures SwitcherOpening(int tabs, int contacts, int samples) {
    World w(true, contacts);
    w.Open(0, tabs);
    RequestCount requests{w, {}};
    auto prepare = [&](int) {
        w.Host().ForgetRecords();
        requests.Start();
    };
    auto restore = [&](int) {
        requests.Stop();
        SendMessageA(SwitcherField(), WM_KEYDOWN, VK_ESCAPE, 1);
        DevHostLib::DevHost::Pump();
    };
    Figures f = Measure(samples, [&](int) { w.CtrlK(); }, prepare, restore);
    f.hostRequests = requests.asked;
    return f;
}

// A key typed into the open switcher as the keyboard gives it (its key
// down, its character, its key up): "1", "2", "3", then Backspace three
// times, over and over; the list follows each.
Figures SwitcherTyping(int tabs, int contacts, int samples) {
    World w(true, contacts);
    w.Open(0, tabs);
    w.CtrlK();
    DevHostLib::DevHost::Pump();
    const WPARAM keys[] = {'1', '2', '3', VK_BACK, VK_BACK, VK_BACK};
    RequestCount requests{w, {}};
    auto work = [&](int i) {
        HWND field = SwitcherField();
        WPARAM key = keys[static_cast<size_t>(i) % (sizeof keys / sizeof keys[0])];
        SendMessageA(field, WM_KEYDOWN, key, 1);
        SendMessageA(field, WM_CHAR, key, 1);
        SendMessageA(field, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    };
    auto prepare = [&](int) {
        w.Host().ForgetRecords();
        requests.Start();
    };
    Figures f = Measure(samples, work, prepare, [&](int) { requests.Stop(); });
    f.hostRequests = requests.asked;
    return f;
}

Series Switcher(const Plan& plan, bool typing) {
    const int tabs = plan.quick ? 100 : 500, contacts = plan.quick ? 1000 : 5000;
    std::string unit = "contacts, " + std::to_string(tabs) + " tabs open";
    Series s{typing ? "The quick switcher: a key typed" : "The quick switcher: Ctrl+K opens it", unit, true,
             Limit::FrameNoMoreAsked, {}};
    Progress(s.name.c_str(), contacts);
    int n = Scaled(plan, plan.samples * 2);
    s.points.push_back({contacts, std::nullopt,
                        typing ? SwitcherTyping(tabs, contacts, n) : SwitcherOpening(tabs, contacts, n)});
    return s;
}

// --- start and end ------------------------------------------------------------

std::string SessionText(const World& w, int tabs) {
    std::string text;
    for (int i = 0; i < tabs; ++i) text += std::to_string(w.Contact(i)) + '\x01';
    return text;
}

// Everything a host does at start up to the start message, with a saved
// session of the first `tabs` contacts restored always; `lazy` restores it
// with each conversation opened only when its tab is first shown.
void PrepareStart(World& w, int tabs, bool lazy) {
    DevHostLib::DevHost& host = w.Host();
    host.Call(Host::kMsgSetControl, static_cast<HostControl*>(&host));
    host.Call(Host::kMsgDeclareColumns);
    host.state.config.SetText("Tabs/LastSession", SessionText(w, tabs));
    host.state.config.SetInt("Tabs/AutoRevertSession", 1);
    host.state.config.SetInt("Tabs/LazyRevertSession", lazy ? 1 : 0);
    host.Call(Host::kMsgPluginsLoaded);
    host.Call(Host::kMsgPrepare);
}

// The start message with a saved session; the host alone opens the same
// conversations.
Figures StartWithSession(bool plugin, int tabs, int samples, bool lazy = false) {
    std::unique_ptr<World> w;
    auto prepare = [&](int) {
        w = std::make_unique<World>(plugin, tabs, false);
        if (plugin) PrepareStart(*w, tabs, lazy);
    };
    auto work = [&](int) {
        if (plugin)
            w->Host().Call(Host::kMsgStart);
        else
            w->Open(0, tabs);
    };
    auto restore = [&](int) {
        if (plugin) {
            w->Host().Call(Host::kMsgEnd);
            w->Host().Call(Host::kMsgReleaseControl);
        }
        w.reset();
    };
    return Measure(samples, work, prepare, restore);
}

// Every conversation opened by the host at the start ("Otwieraj przywrócone
// rozmowy dopiero po wybraniu zakładki" off), at 10, 100 and 500 tabs.
Series Starting(const Plan& plan) {
    Series s{"Start with a saved session", "tabs restored", false, Limit::OverHost25Share, {}};
    for (int tabs : {10, 100, 500}) {
        if (plan.quick && tabs > 100) continue;
        Progress(s.name.c_str(), tabs);
        int n = Scaled(plan, tabs >= 500 ? plan.samples / 8 : tabs >= 100 ? plan.samples / 4 : plan.samples / 2);
        s.points.push_back({tabs, StartWithSession(false, tabs, n), StartWithSession(true, tabs, n)});
    }
    return s;
}

// With the setting on, only the shown tab's conversation is opened at the
// start: the whole start stays short however many tabs come back.
Series StartingLazily(const Plan& plan) {
    const int tabs = plan.quick ? 100 : 500;
    Series s{"Start with a saved session, conversations opened when first shown", "tabs restored", false,
             Limit::Under500Ms, {}};
    Progress(s.name.c_str(), tabs);
    s.points.push_back({tabs, std::nullopt, StartWithSession(true, tabs, Scaled(plan, plan.samples / 4), true)});
    return s;
}

// Ctrl+Tab from the shown tab to the next one, restored without its window:
// the host builds the window into that tab. Each sample shows another such
// tab for the first time. The comparison (in the host's column) is the same
// host building a conversation window that the plug-in takes as a new tab,
// the setting off, with as many tabs open.
Figures FirstShowing(const Plan& plan, int tabs, int samples) {
    World w(true, tabs, false);
    PrepareStart(w, tabs, true);
    w.Host().Call(Host::kMsgStart);
    auto prepare = [&](int) { w.Host().ForgetRecords(); };
    Figures f = Measure(samples, [&](int) { w.CtrlTab(); }, prepare);
    prepare(samples);
    int shown = w.Current();
    f.counts = CountMessages([&] { w.CtrlTab(); }, {w.NextTab(), shown}, w.Container(), plan.trace);
    w.Host().Call(Host::kMsgEnd);
    w.Host().Call(Host::kMsgReleaseControl);
    return f;
}

Series ShowingFirst(const Plan& plan) {
    const int tabs = plan.quick ? 100 : 500;
    Series s{"First showing of a tab restored without its window (host column: opening with the setting off)",
             "tabs open", true, Limit::OverSettingOff25, {}};
    Progress(s.name.c_str(), tabs);
    int n = Scaled(plan, plan.samples);
    s.points.push_back({tabs, OpenAt(plan, true, tabs, n), FirstShowing(plan, tabs, n)});
    return s;
}

// The end message with the tabs open: every window given back to the host.
// The system's own give-back of as many windows is in system.md.
Figures EndWith(const Plan& plan, int tabs, int samples) {
    std::unique_ptr<World> w;
    auto prepare = [&](int) {
        w = std::make_unique<World>(true, tabs);
        w->Open(0, tabs);
    };
    Figures f = Measure(samples, [&](int) { w->Host().Call(Host::kMsgEnd); }, prepare, [&](int) { w.reset(); });
    prepare(samples);
    f.counts = CountMessages([&] { w->Host().Call(Host::kMsgEnd); }, {0, 0}, w->Container(), plan.trace);
    w.reset();
    return f;
}

Series Ending(const Plan& plan) {
    Series s{"End with the tabs open", "tabs open", false, Limit::EndFloor, {}};
    for (int tabs : {10, 100, 500}) {
        if (plan.quick && tabs > 100) continue;
        Progress(s.name.c_str(), tabs);
        int n = Scaled(plan, tabs >= 500 ? plan.samples / 4 : plan.samples / 2);
        s.points.push_back({tabs, std::nullopt, EndWith(plan, tabs, n)});
    }
    return s;
}

}  // namespace

std::vector<Series> RunAll(const Plan& plan) {
    const std::pair<const char*, std::function<Series()>> cases[] = {
        {"Opening a conversation", [&] { return Opening(plan); }},
        {"Switching tabs: click", [&] { return Switching(plan, Switch::Click); }},
        {"Switching tabs: Ctrl+Tab", [&] { return Switching(plan, Switch::CtrlTab); }},
        {"Switching tabs against the floor", [&] { return SwitchingAgainstFloor(plan); }},
        {"Incoming message", [&] { return Incoming(plan); }},
        {"Closing all but one", [&] { return ClosingOthers(plan); }},
        {"One tick of the flash timer", [&] { return Flashing(plan); }},
        {"A window carried over the bar: one look at the cursor", [&] { return Carrying(plan); }},
        {"The quick switcher: Ctrl+K opens it", [&] { return Switcher(plan, false); }},
        {"The quick switcher: a key typed", [&] { return Switcher(plan, true); }},
        {"Start with a saved session", [&] { return Starting(plan); }},
        {"Start with a saved session, conversations opened when first shown", [&] { return StartingLazily(plan); }},
        {"First showing of a tab restored without its window", [&] { return ShowingFirst(plan); }},
        {"End with the tabs open", [&] { return Ending(plan); }},
        {"The host repainting the shown conversation", [&] { return Painting(plan); }},
        {"The toolbar repainting tab buttons", [&] { return ButtonPainting(plan); }},
        {"The toolbar taking one more tab button", [&] { return Inserting(plan); }},
    };
    std::vector<Series> all;
    for (const auto& [name, run] : cases)
        if (std::string(name).find(plan.only) != std::string::npos) all.push_back(run());
    return all;
}

}  // namespace Bench
