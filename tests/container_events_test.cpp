// The container's events on the real tab bar: Wine's toolbar turns the mouse
// messages into the notifications and commands the plug-in answers; the
// modifiers come from the thread's key state.
#include <climits>
#include <ctime>

#include "container/container.h"
#include "container/tab_bar.h"
#include "conversation_fixture.h"
#include "host/columns.h"
#include "host/host.h"

using namespace DevHostLib;

class ContainerEvents : public ConversationTest {
protected:
    // `tabs` conversations open, every `every`-th one from the first with a
    // message waiting: more than the bar shows at once.
    std::vector<int> BootWithWaiting(int tabs, size_t every) {
        Boot();
        std::vector<int> c;
        for (int i = 0; i < tabs; ++i) c.push_back(AddContact("Kontakt " + std::to_string(i + 1)));
        for (int contact : c) Open(contact);
        for (size_t i = 0; i < c.size(); i += every) host->DeliverMessage(c[i], "hej");
        DevHost::Pump();
        return c;
    }
    // Centre of a button, in the bar's client coordinates.
    POINT Centre(int index) {
        RECT r{};
        SendMessageA(Bar(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A point on the bar past its last button.
    POINT PastLastButton() {
        RECT last{}, bar{};
        SendMessageA(Bar(), TB_GETITEMRECT, SendMessageA(Bar(), TB_BUTTONCOUNT, 0, 0) - 1,
                     reinterpret_cast<LPARAM>(&last));
        GetClientRect(Bar(), &bar);
        EXPECT_LT(last.right + 5, bar.right) << "the bar has room past its buttons";
        return {last.right + 5, (last.top + last.bottom) / 2};
    }
    void PutCursor(POINT inBar) {
        POINT screen = inBar;
        ClientToScreen(Bar(), &screen);
        SetCursorPos(screen.x, screen.y);
    }
    static void Hold(std::initializer_list<int> keys) {
        BYTE state[256] = {};
        for (int k : keys) state[k] = 0x80;
        SetKeyboardState(state);
    }
    static LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

    // The left button pressed and released on a button, with keys held.
    void Click(int index, std::initializer_list<int> held = {}) {
        POINT p = Centre(index);
        PutCursor(p);
        Hold(held);
        SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, At(p));
        SendMessageA(Bar(), WM_LBUTTONUP, 0, At(p));
        ReleaseKeys();
    }
    void MiddleClick(POINT inBar) {
        PutCursor(inBar);
        SendMessageA(Bar(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Bar()), MAKELPARAM(HTCLIENT, WM_MBUTTONUP));
    }
    void RightClick(POINT inBar) {
        PutCursor(inBar);
        SendMessageA(Bar(), WM_RBUTTONDOWN, MK_RBUTTON, At(inBar));
        SendMessageA(Bar(), WM_RBUTTONUP, 0, At(inBar));
    }
    void RightDoubleClick(POINT inBar) {
        PutCursor(inBar);
        SendMessageA(Bar(), WM_RBUTTONDBLCLK, MK_RBUTTON, At(inBar));
        SendMessageA(Bar(), WM_RBUTTONUP, 0, At(inBar));
    }

    // The host actions the plug-in ran (request 10103), as {id, parent, contact, notice}.
    std::vector<std::vector<int>> ActionsRun() {
        std::vector<std::vector<int>> run;
        for (const auto& s : host->recorded.SentWithCode(Host::kElementNotify)) {
            const auto* n = reinterpret_cast<const ActionNotice*>(s.record.data());
            run.push_back({n->ref.id, n->ref.parent, n->ref.contact, n->notice});
        }
        return run;
    }
    bool Layered() { return GetWindowLongA(Container(), GWL_EXSTYLE) & WS_EX_LAYERED; }
};

// Dragging needs a press that lasted: the press's start time lives in the
// plug-in, so these run the linked code and move that time back.
class ContainerDrag : public ContainerEvents {
protected:
    ContainerDrag() { inProcess = true; }
    void TearDown() override {
        ContainerEvents::TearDown();
        Tabs::lockPresent = false;
    }

    void Drag(int fromIndex, POINT to, clock_t heldMs) {
        POINT from = Centre(fromIndex);
        PutCursor(from);
        SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, At(from));
        Tabs::dragStart -= heldMs;
        PutCursor(to);
        SendMessageA(Bar(), WM_LBUTTONUP, 0, At(to));
    }

    // A drag that leaves the bar: pressed on a button, then the bar, which
    // holds the mouse, sees it move to a point of the screen.
    void PressFor(int index, clock_t heldMs) {
        POINT from = Centre(index);
        PutCursor(from);
        SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, At(from));
        Tabs::dragStart -= heldMs;
    }
    void MoveTo(POINT screen) { MouseAt(WM_MOUSEMOVE, MK_LBUTTON, screen); }
    void ReleaseAt(POINT screen) { MouseAt(WM_LBUTTONUP, 0, screen); }
    void DragOut(int index, POINT screen, clock_t heldMs = 250) {
        PressFor(index, heldMs);
        MoveTo(screen);
        ReleaseAt(screen);
    }
    void MouseAt(UINT message, WPARAM keys, POINT screen) {
        SetCursorPos(screen.x, screen.y);
        POINT inBar = screen;
        ScreenToClient(Bar(), &inBar);
        SendMessageA(Bar(), message, keys, At(inBar));
    }
    RECT WindowRect(int contact) {
        RECT r{};
        GetWindowRect(WindowOf(contact), &r);
        return r;
    }
    static HCURSOR Arrow() { return LoadCursor(nullptr, IDC_ARROW); }
    static HCURSOR Hand() { return LoadCursor(nullptr, IDC_HAND); }
};

TEST_F(ContainerEvents, APlainClickSwitchesAndEachModifierRunsItsOwnSettingAltFirst) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    host->state.config.SetText("Tabs/Clicks/ShiftClick", "30:901");
    host->state.config.SetText("Tabs/Clicks/ControlClick", "30:902");
    host->state.config.SetText("Tabs/Clicks/AltClick", "30:903");

    Click(2);
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_EQ(CheckedTabs(), std::vector<int>{c[0]});

    host->recorded.ClearSent();
    Click(3, {VK_SHIFT});
    Click(3, {VK_CONTROL});
    Click(3, {VK_MENU});
    Click(3, {VK_CONTROL, VK_MENU});
    Click(3, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(ActionsRun(), (std::vector<std::vector<int>>{{901, 30, c[1], 1},
                                                           {902, 30, c[1], 1},
                                                           {903, 30, c[1], 1},
                                                           {903, 30, c[1], 1},
                                                           {901, 30, c[1], 1}}));
    EXPECT_EQ(CurrentContact(), c[0]) << "a modified click does not switch";
}

namespace {

// Counts what the window procedures of one window are sent.
struct SentTo {
    static inline HWND window = nullptr;
    static inline int activations = 0;
    static inline int sizes = 0;
    static inline int sizesWhileShown = 0;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->hwnd == window) {
            if (sent->message == WM_ACTIVATE && LOWORD(sent->wParam) != WA_INACTIVE) ++activations;
            if (sent->message == WM_SIZE) {
                ++sizes;
                if (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) ++sizesWhileShown;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

}  // namespace

// Showing a tab sends its window messages that lead back to the switch: the
// window is still activated once, and sized once, while it is hidden.
TEST_F(ContainerEvents, ASwitchActivatesTheConversationOnceAndSizesItBeforeShowingIt) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    SetWindowPos(Container(), nullptr, 0, 0, 520, 430, SWP_NOMOVE | SWP_NOZORDER);
    SentTo::window = WindowOf(c[0]);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, SentTo::Hook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Click(2);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_EQ(SentTo::activations, 1);
    EXPECT_EQ(SentTo::sizes, 1) << "the window took the container's new size once";
    EXPECT_EQ(SentTo::sizesWhileShown, 0);
    RECT shown = InParent(WindowOf(c[0])), content{};
    GetClientRect(Content(), &content);
    EXPECT_EQ(shown.right - shown.left, content.right);
    EXPECT_EQ(shown.bottom - shown.top, content.bottom);
}

TEST_F(ContainerEvents, WithTheDefaultsShiftClickClosesCtrlClickDetachesAltClickAsksForTheContactsInformation) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    Click(3, {VK_SHIFT});
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2]}));

    Click(2, {VK_CONTROL});
    EXPECT_EQ(Tabs(), std::vector<int>{c[2]});
    EXPECT_EQ(ParentOf(WindowOf(c[0])), GetDesktopWindow());

    host->recorded.ClearSent();
    Click(2, {VK_MENU});
    EXPECT_EQ(ActionsRun(), (std::vector<std::vector<int>>{{132, 30, c[2], 1}}));
}

TEST_F(ContainerEvents, ClickSettingsThatAreNotGroupAndActionStillRunWhatTheNumbersSay) {
    auto c = BootWithTabs({"Ala"});
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"0:0", {0, 0}},     {"abc", {0, 0}},         {"138", {138, 138}},   {"", {0, 0}},
        {":7", {7, 0}},      {" 30:x", {0, 30}},      {"99999999999:5", {5, INT_MAX}},
    };
    for (const auto& [text, want] : cases) {
        SCOPED_TRACE(text);
        host->state.config.SetText("Tabs/Clicks/AltClick", text);
        host->recorded.ClearSent();
        Click(2, {VK_MENU});
        EXPECT_EQ(ActionsRun(), (std::vector<std::vector<int>>{{want[0], want[1], c[0], 1}}));
    }
}

TEST_F(ContainerEvents, TheFixedButtonsCloseAndDetachTheShownTabAndNothingWithoutOne) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    Click(0);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1]}));
    EXPECT_EQ(CurrentContact(), c[1]);
    Click(1);
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]});
    EXPECT_EQ(ParentOf(WindowOf(c[1])), GetDesktopWindow());

    Click(0);
    EXPECT_EQ(CurrentContact(), 0);
    EXPECT_FALSE(IsWindowVisible(Container()));
    SendMessageA(Container(), WM_COMMAND, 0xFFFF, 0);
    SendMessageA(Container(), WM_COMMAND, 0xFFFE, 0);
    host->Call(Host::kMsgEnd);
    EXPECT_EQ(host->state.config.Text("Tabs/ClosedRecentlyBuffer"),
              std::to_string(c[0]) + "\x01" + std::to_string(c[2]) + "\x01")
        << "no empty contact among the closed ones";
}

TEST_F(ContainerEvents, TabCommandsCountOnlyFromTheBar) {
    auto c = BootWithTabs({"Ala", "Jan"});
    SendMessageA(Container(), WM_COMMAND, c[0] & 0xFFFF, 0);
    EXPECT_EQ(CurrentContact(), c[1]);
    SendMessageA(Container(), WM_COMMAND, c[0] & 0xFFFF, reinterpret_cast<LPARAM>(Bar()));
    EXPECT_EQ(CurrentContact(), c[0]);
}

TEST_F(ContainerDrag, ATabHeldLongEnoughTakesThePlaceOfTheTabItIsDroppedOn) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    Drag(2, Centre(4), kShortPress);
    EXPECT_EQ(Tabs(), c) << "a short press is a click";
    EXPECT_EQ(CurrentContact(), c[3]) << "released elsewhere: no click either";

    Drag(2, Centre(4), 250);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[2], c[0], c[3]}));
    EXPECT_EQ(Tabs::dragStart, 0);
    EXPECT_EQ(CurrentContact(), c[3]);

    Drag(5, Centre(2), 250);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[3], c[1], c[2], c[0]}));
}

TEST_F(ContainerDrag, TheFixedButtonsNeitherMoveNorTakeATab) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    auto c = BootWithTabs({"Ala", "Jan"});
    Drag(3, Centre(0), 250);
    Drag(2, Centre(1), 250);
    Drag(0, Centre(3), 250);
    Drag(1, Centre(2), 250);
    EXPECT_EQ(Tabs(), c);
    EXPECT_EQ(Tabs::tabBar.CommandAt(0), 0xFFFF);
    EXPECT_EQ(Tabs::tabBar.CommandAt(1), 0xFFFE);
}

TEST_F(ContainerDrag, ATabDroppedBesideTheButtonsGoesToTheEndAndOneDroppedOffTheBarStays) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    Drag(2, PastLastButton(), 250);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[2], c[0]}));

    RECT bar{};
    GetClientRect(Bar(), &bar);
    Drag(2, {bar.right / 2, bar.bottom + 40}, 250);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[2], c[0]}));
    EXPECT_NE(Tabs::dragStart, 0) << "kept until the next press";
}

TEST_F(ContainerDrag, ATabDraggedOutOfTheContainerTearsOffWithItsCaptionUnderTheCursor) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    RECT before = WindowRect(c[1]);
    POINT drop{800, 600};
    PressFor(3, 250);
    MoveTo(drop);
    HCURSOR dragOut = GetCursor();
    EXPECT_TRUE(dragOut && dragOut != Arrow() && dragOut != Hand()) << "outside, the cursor says a release tears off";
    ReleaseAt(drop);

    HWND jan = WindowOf(c[1]);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2]}));
    EXPECT_EQ(CurrentContact(), c[2]);
    EXPECT_EQ(ParentOf(jan), GetDesktopWindow());
    EXPECT_TRUE(IsWindowVisible(jan));
    EXPECT_FALSE(Tabbed(jan));
    EXPECT_TRUE(HasOwnProcedure(jan));
    EXPECT_EQ(Style(jan) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    RECT after = WindowRect(c[1]), client{};
    EXPECT_EQ(after.right - after.left, before.right - before.left) << "the size stays, as with the detach button";
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    GetClientRect(jan, &client);
    MapWindowPoints(jan, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(drop.y > after.top && drop.y < client.top) << "the caption is under the cursor";
    EXPECT_NEAR(drop.x - after.left, (after.right - after.left) / 2, 1);
    EXPECT_EQ(GetCursor(), Arrow());

    DragOut(3, {800, 150});
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]});
    EXPECT_EQ(CurrentContact(), c[0]) << "the shown tab torn off: its neighbour is shown, as after detaching";
    EXPECT_FALSE(Tabbed(WindowOf(c[2])));
}

TEST_F(ContainerDrag, ATornOffWindowStaysWhollyOnTheVirtualScreen) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN), bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    DragOut(2, {left + 2, top + 2});
    RECT r = WindowRect(c[0]);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    DragOut(2, {right - 3, bottom - 3});
    r = WindowRect(c[1]);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST_F(ContainerDrag, OnlyATabWhoseWindowIsInTheContainerTearsOff) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    Boot();
    int ala = AddContact("Ala"), jan = AddContact("Jan"), ola = AddContact("Ola");
    Open(ala);
    host->DeliverMessage(jan, "Cześć");  // a tab without a window yet
    host->DeliverMessage(ola, "Hej");
    host->state.config.SetInt(1, ola, Tabs::Column::DontTab, 1);
    HWND olaWindow = Open(ola);  // kept out of the tabs, her button stays
    RECT olaBefore = WindowRect(ola);
    ASSERT_EQ(Tabs(), (std::vector<int>{ala, jan, ola}));
    POINT out{900, 800};

    PressFor(2, 250);
    MoveTo(out);
    HCURSOR dragOut = GetCursor();
    MoveTo({300, 200});
    EXPECT_EQ(GetCursor(), Hand()) << "back inside: the tab moves on the bar again";
    ReleaseAt({300, 200});
    EXPECT_EQ(GetCursor(), Arrow()) << "let go inside but off the bar: nothing, and the arrow";
    EXPECT_TRUE(Tabbed(WindowOf(ala)));

    DragOut(2, out, kShortPress);
    EXPECT_TRUE(Tabbed(WindowOf(ala))) << "a short press is a click";

    host->recorded.ClearSent();
    for (int index : {0, 1, 3, 4}) {
        PressFor(index, 250);
        MoveTo(out);
        EXPECT_NE(GetCursor(), dragOut) << "button " << index;
        ReleaseAt(out);
    }
    EXPECT_EQ(Tabs(), (std::vector<int>{ala, jan, ola}));
    EXPECT_TRUE(Tabbed(WindowOf(ala)));
    EXPECT_FALSE(WindowOf(jan)) << "no conversation was opened";
    EXPECT_EQ(OpenRequests(jan), 0);
    EXPECT_EQ(ParentOf(olaWindow), GetDesktopWindow()) << "not taken into the container";
    RECT olaAfter = WindowRect(ola);
    EXPECT_TRUE(EqualRect(&olaBefore, &olaAfter));

    Tabs::lockPresent = true;
    host->controls.pluginAnswers[Host::kLockUnlocked] = [](int, int) { return 0; };
    DragOut(2, out);
    EXPECT_TRUE(Tabbed(WindowOf(ala))) << "the lock says no";
}

TEST_F(ContainerEvents, AMiddleClickTogglesTransparencyOnTheEmptyBarAndClosesATab) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    auto c = BootWithTabs({"Ala", "Jan"});
    ASSERT_FALSE(Layered());
    MiddleClick(PastLastButton());
    EXPECT_EQ(host->state.config.Int("Tabs/Pos/AlphaDisable"), 1);
    EXPECT_TRUE(Layered());
    MiddleClick(PastLastButton());
    EXPECT_EQ(host->state.config.Int("Tabs/Pos/AlphaDisable"), 0);
    EXPECT_FALSE(Layered());

    MiddleClick(Centre(2));
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});
}

TEST_F(ContainerEvents, AMiddleClickOnAFixedButtonReopensTheNewestClosedConversationTheHostKnows) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    int gone = AddContact("Znikły");
    int later = gone + 2;  // the next contact after Ala
    host->state.config.SetText(0, 0, Tabs::Column::ClosedRecentlyBuffer,
                               "0\x01" + std::to_string(gone) + "\x01" + std::to_string(later) + "\x01");
    auto c = BootWithTabs({"Ala"});
    host->state.contacts.Remove(gone);

    host->recorded.ClearSent();
    MiddleClick(Centre(0));
    EXPECT_TRUE(ActionsRun().empty()) << "neither 0 nor contacts the host does not know";

    ASSERT_EQ(AddContact("Ewa"), later);
    MiddleClick(Centre(1));
    EXPECT_EQ(ActionsRun(), (std::vector<std::vector<int>>{{138, 30, later, 1}}));
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], later}));
}

TEST_F(ContainerEvents, ARightClickOnATabPopsUpTheContactMenuOverItsConversation) {
    auto c = BootWithTabs({"Ala", "Jan"});
    RightClick(Centre(2));
    ASSERT_EQ(host->recorded.elementCalls.size(), 1u);
    const ActionCall& call = host->recorded.elementCalls[0];
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(call.size, X86OrX64(62, 66));
    EXPECT_EQ(call.ref.id, 30);
    EXPECT_EQ(call.ref.parent, 10);
    EXPECT_EQ(call.ref.contact, c[0]);
    EXPECT_EQ(call.notice, 266);
    EXPECT_EQ(call.pointX, cursor.x);
    EXPECT_EQ(call.pointY, cursor.y);
    EXPECT_EQ(call.window, WindowOf(c[0]));
    EXPECT_EQ(host->recorded.lastMenu.contact, c[0]);

    host->controls.chooseMenu = ChooseInOrder({306003});
    RightClick(Centre(3));
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]}) << "\"Zamknij rozmowę\" from the menu";
}

TEST_F(ContainerEvents, ARightClickBesideTheTabsShowsTheRecentlyClosedMenuOnlyWhenItHoldsSomething) {
    auto c = BootWithTabs({"Ala", "Jan"});
    host->recorded.ClearSent();
    RightClick(PastLastButton());
    EXPECT_TRUE(host->recorded.elementCalls.empty());
    EXPECT_TRUE(ActionsRun().empty());

    Click(2, {VK_SHIFT});
    host->recorded.ClearSent();
    host->controls.chooseMenu = ChooseInOrder({c[0]});
    RightClick(Centre(1));
    ASSERT_EQ(host->recorded.elementCalls.size(), 1u);
    EXPECT_EQ(host->recorded.elementCalls[0].ref.id, 306007);
    EXPECT_EQ(host->recorded.elementCalls[0].ref.parent, kMainMenuGroup);
    EXPECT_EQ(host->recorded.elementCalls[0].ref.contact, -2);
    EXPECT_EQ(host->recorded.elementCalls[0].window, WindowOf(c[1]));
    auto run = ActionsRun();
    ASSERT_EQ(run.size(), 3u);
    EXPECT_EQ(run.front(), (std::vector<int>{306007, kMainMenuGroup, -2, 10}));
    EXPECT_EQ(run[1], (std::vector<int>{138, 30, c[0], 1})) << "the user chose Ala";
    EXPECT_EQ(run.back(), (std::vector<int>{306007, kMainMenuGroup, -2, 11}));
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[0]}));
}

TEST_F(ContainerEvents, ARightDoubleClickRunsItsSettingOnATabOnly) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    auto c = BootWithTabs({"Ala", "Jan"});
    RightDoubleClick(Centre(0));
    RightDoubleClick(PastLastButton());
    EXPECT_EQ(Tabs(), c);
    RightDoubleClick(Centre(3));
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]});
}

TEST_F(ContainerEvents, TheCloseBoxClosesEveryTabOrHidesTheContainerAsSettingsAndShiftSay) {
    host->state.config.SetInt(0, 0, Tabs::Column::CloseTabWhenOne, 1);
    auto c = BootWithTabs({"Ala"});
    WithShift(true, [&] { SendMessageA(Container(), WM_CLOSE, 0, 0); });
    EXPECT_FALSE(IsWindowVisible(Container()));
    EXPECT_FALSE(IsWindowVisible(WindowOf(c[0])));
    EXPECT_EQ(Tabs(), c) << "Shift turns closing into hiding";

    Open(c[0]);
    SendMessageA(Container(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(Tabs().empty());
    EXPECT_EQ(CurrentContact(), 0);
    EXPECT_EQ(CurrentWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Container()));
    EXPECT_NE(Container(), nullptr) << "never destroyed";

    host->state.config.SetInt("Tabs/CloseTabWhenOne", 0);
    host->state.config.SetInt("Tabs/CloseAllTabs", 1);
    auto more = std::vector<int>{AddContact("Jan"), AddContact("Ola")};
    for (int contact : more) Open(contact);
    WithShift(true, [&] { SendMessageA(Container(), WM_CLOSE, 0, 0); });
    EXPECT_FALSE(IsWindowVisible(Container()));
    EXPECT_EQ(Tabs(), more);
}

// The bar's toolbar carries I_IMAGECALLBACK for every image: which image a
// tab shows is kept by the plug-in, so these run the linked code.
class ContainerImages : public ContainerEvents {
protected:
    ContainerImages() { inProcess = true; }
    int ImageOf(int contact) { return Tabs::tabBar.Image(contact & 0xBFFFFFFF); }
};

TEST_F(ContainerImages, TheFlashTimerAlternatesTheStatusAndMessageIconsOfWaitingTabs) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    host->DeliverMessage(c[0], "hej");
    host->DeliverMessage(c[1], "hej");
    int status = host->state.icons.Index(StatusIconId(1, 1));
    int message = host->state.icons.Index(Host::kIconMessage);
    ASSERT_EQ(ImageOf(c[0]), message);

    std::vector<int> seen;
    for (int tick = 0; tick < 3; ++tick) {
        SendMessageA(Container(), WM_TIMER, 2, 0);
        EXPECT_EQ(ImageOf(c[0]), ImageOf(c[1])) << "in step";
        seen.push_back(ImageOf(c[0]));
    }
    EXPECT_TRUE(seen == std::vector<int>({status, message, status}) || seen == std::vector<int>({message, status, message}));
    EXPECT_EQ(ImageOf(c[2]), status) << "the shown tab does not flash";
}

// A flash tick changes every waiting tab's image: the toolbar repaints those
// buttons, and of them only what the bar shows, whatever the number of tabs.
TEST_F(ContainerEvents, AFlashTickRepaintsTheWaitingTabsInSightAndNothingElse) {
    std::vector<int> c = BootWithWaiting(60, 2);

    ValidateRect(Bar(), nullptr);
    SendMessageA(Container(), WM_TIMER, 2, 0);
    HRGN repainted = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetUpdateRgn(Bar(), repainted, FALSE), ERROR);
    HWND holder = GetParent(Bar());
    RECT seen{};
    GetClientRect(holder, &seen);
    int inSight = 0;
    for (size_t i = 0; i < c.size(); ++i) {
        RECT button{}, shown{};
        int index = static_cast<int>(SendMessageA(Bar(), TB_COMMANDTOINDEX, c[i] & 0xBFFFFFFF, 0));
        ASSERT_TRUE(SendMessageA(Bar(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button)));
        RECT inHolder = button;
        MapWindowPoints(Bar(), holder, reinterpret_cast<POINT*>(&inHolder), 2);
        bool sight = IntersectRect(&shown, &inHolder, &seen) != 0;
        bool waiting = i % 2 == 0;
        if (sight && waiting) ++inSight;
        EXPECT_EQ(RectInRegion(repainted, &button) != 0, waiting && sight) << "tab " << i + 1;
    }
    DeleteObject(repainted);
    EXPECT_GT(inSight, 0);
}

// The pixels of a window's client area, as the screen shows them.
static std::vector<DWORD> Pixels(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + r.right * r.bottom);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

// A tick repaints only the part of each waiting tab that its image takes:
// the bar must look as a repaint of the whole bar draws it, tick after tick.
TEST_F(ContainerEvents, AFlashTickLeavesTheBarAsAWholeRepaintDrawsIt) {
    BootWithWaiting(40, 3);
    HWND view = GetParent(Bar());
    for (int tick = 0; tick < 3; ++tick) {
        UpdateWindow(Bar());
        std::vector<DWORD> before = Pixels(view);
        SendMessageA(Container(), WM_TIMER, 2, 0);
        UpdateWindow(Bar());
        std::vector<DWORD> after = Pixels(view);
        RedrawWindow(Bar(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_NE(after, before) << "tick " << tick << ": the waiting tabs' images change";
        EXPECT_EQ(after, Pixels(view)) << "tick " << tick;
    }
}

TEST_F(ContainerEvents, TheReadTimerMarksTheShownConversationReadOnlyWhileTheContainerIsInFront) {
    auto c = BootWithTabs({"Ala", "Jan"});
    HWND window = WindowOf(c[1]);
    SetForegroundWindow(host->state.mainWindow);
    ASSERT_EQ(GetForegroundWindow(), host->state.mainWindow);
    host->DeliverMessage(c[1], "hej");
    ASSERT_NE(GetPropA(window, "MsgWaiting"), nullptr);
    EXPECT_EQ(Text(Container()), "[Jan] Jan");

    host->recorded.ClearSent();
    SendMessageA(Container(), WM_TIMER, 1, 0);
    EXPECT_EQ(host->recorded.CountSent(Host::kMarkRead), 0);
    EXPECT_NE(GetPropA(window, "MsgWaiting"), nullptr);

    SetForegroundWindow(Container());
    ASSERT_EQ(GetForegroundWindow(), Container());
    host->recorded.ClearSent();
    SendMessageA(Container(), WM_TIMER, 1, 0);
    auto read = host->recorded.SentWithCode(Host::kMarkRead);
    ASSERT_EQ(read.size(), 1u);
    const auto* selector = reinterpret_cast<const MessageSelector*>(read[0].record.data());
    EXPECT_EQ(selector->size, X86OrX64(30, 34));
    EXPECT_EQ(selector->network, 1);
    EXPECT_EQ(read[0].text, "Jan@velmora");
    // After the user id: 1, 0x40, 2, -1, 0.
    size_t afterUser = X86OrX64(10, 14);
    ASSERT_EQ(read[0].record.size(), afterUser + 20);
    EXPECT_EQ(Bytes(std::vector<uint8_t>(read[0].record.begin() + afterUser, read[0].record.end())),
              std::string("\x01\0\0\0\x40\0\0\0\x02\0\0\0\xFF\xFF\xFF\xFF\0\0\0\0", 20));
    EXPECT_EQ(read[0].p2, -1);
    auto* record = static_cast<ConversationRecord*>(GetPropA(window, "CNT"));
    EXPECT_EQ(record->waiting, 0) << "the host marked the conversation read";
    EXPECT_EQ(GetPropA(window, "MsgWaiting"), nullptr);
    EXPECT_EQ(Text(Container()), "Jan");

    SendMessageA(Container(), WM_TIMER, 1, 0);
    EXPECT_EQ(host->recorded.CountSent(Host::kMarkRead), 1) << "nothing left to mark";

    // The host's own record of the window may say that messages wait.
    record->waiting = 1;
    SendMessageA(Container(), WM_TIMER, 1, 0);
    EXPECT_EQ(host->recorded.CountSent(Host::kMarkRead), 2);
    EXPECT_EQ(record->waiting, 0);
}

TEST_F(ContainerImages, ActivatingTheContainerClearsTheShownTabsMessageMark) {
    auto c = BootWithTabs({"Ala", "Jan"});
    SetForegroundWindow(host->state.mainWindow);
    host->DeliverMessage(c[1], "hej");
    ASSERT_EQ(Text(Container()), "[Jan] Jan");
    SendMessageA(Container(), WM_ACTIVATE, 0, 0);
    EXPECT_EQ(Text(Container()), "[Jan] Jan") << "a deactivation changes nothing";
    SendMessageA(Container(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
    EXPECT_EQ(Text(Container()), "Jan") << "a deactivation while minimised counts";
    EXPECT_EQ(ImageOf(c[1]), host->state.icons.Index(StatusIconId(1, 1)));
}
