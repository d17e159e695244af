// The hooks on the conversation window, its edit and its view: keyboard
// shortcuts through the real edit control, the host's own window events, and
// nothing left behind on the host's windows.
#include "conversation_fixture.h"
#include "host/columns.h"

using namespace DevHostLib;
using Hooks = ConversationTest;
using Control = Conversations::Control;

namespace {

int containerCloses = 0;
WNDPROC containerProc = nullptr;
LRESULT CALLBACK CountClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ++containerCloses;
        return 0;
    }
    return CallWindowProcA(containerProc, window, message, wParam, lParam);
}

// A view that speaks the "Vizorek" view's two messages.
int viewSelection = 0;
int viewCopies = 0;
WNDPROC viewProc = nullptr;
LRESULT CALLBACK FakeViewer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 2032) return viewSelection;
    if (message == 2029) ++viewCopies;
    return CallWindowProcA(viewProc, window, message, wParam, lParam);
}

bool Has(const std::vector<std::pair<UINT, WPARAM>>& seen, UINT message, WPARAM key) {
    for (const auto& s : seen)
        if (s.first == message && s.second == key) return true;
    return false;
}

LPARAM ScreenPoint(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace

TEST_F(Hooks, CtrlTabStepsThroughTheTabsAndWrapsAround) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    HWND edit = Edit(c[2]);
    Press(edit, VK_TAB, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[0]) << "after the last comes the first";
    Press(edit, VK_TAB, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[1]);
    Press(edit, VK_TAB, {VK_CONTROL, VK_SHIFT});
    Press(edit, VK_TAB, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(CurrentContact(), c[2]) << "before the first comes the last";
    EXPECT_EQ(CheckedTabs(), std::vector<int>{c[2]});
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[2])});

    auto seen = InputSeen(c[2]);
    EXPECT_FALSE(Has(seen, WM_KEYDOWN, VK_TAB)) << "Ctrl+Tab never reaches the edit";
    EXPECT_FALSE(Has(seen, WM_KEYUP, VK_TAB));
    Press(edit, VK_TAB);
    EXPECT_TRUE(Has(InputSeen(c[2]), WM_KEYUP, VK_TAB)) << "a plain Tab does";
}

TEST_F(Hooks, CtrlTabWithOneTabStaysAndWithoutACurrentTabDoesNothing) {
    Boot();
    int ala = AddContact("Ala"), jan = AddContact("Jan");
    host->state.config.SetInt(1, jan, Tabs::Column::DontTab, 1);
    HWND detached = Open(jan);
    host->recorded.ClearSent();
    Press(Edit(jan), VK_TAB, {VK_CONTROL});
    Press(Edit(jan), VK_TAB, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(host->recorded.CountSent(Host::kElementNotify), 0) << "no conversation is asked for";
    EXPECT_TRUE(IsWindowVisible(detached));

    Open(ala);
    Press(Edit(ala), VK_TAB, {VK_CONTROL});
    Press(Edit(ala), VK_TAB, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(CurrentContact(), ala);
    EXPECT_EQ(Tabs(), std::vector<int>{ala});
}

TEST_F(Hooks, CtrlAndADigitChooseTabsByNumber) {
    Boot();
    std::vector<int> c;
    for (int i = 0; i < 10; ++i) c.push_back(AddContact("Kontakt" + std::to_string(i)));
    for (int i = 0; i < 3; ++i) Open(c[i]);
    HWND edit = Edit(c[2]);
    Press(edit, '1', {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[0]);
    Press(edit, '5', {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[0]) << "no fifth tab";
    EXPECT_TRUE(Has(InputSeen(c[2]), WM_KEYUP, '5')) << "the key goes on to the edit";
    EXPECT_FALSE(Has(InputSeen(c[2]), WM_KEYUP, '1'));
    Press(edit, '2');
    EXPECT_EQ(CurrentContact(), c[0]) << "without Ctrl a digit is typed";

    for (int i = 3; i < 10; ++i) Open(c[i]);
    Open(c[0]);
    Press(Edit(c[0]), '0', {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[9]) << "Ctrl+0 is the tenth tab";
}

TEST_F(Hooks, FunctionKeysChooseTabsWhenSetSoAndF4ThenClosesNothing) {
    host->state.config.SetInt(0, 0, Tabs::Column::ChangeKey, 1);
    auto c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    HWND edit = Edit(c[3]);
    Press(edit, VK_F2);
    EXPECT_EQ(CurrentContact(), c[1]);
    Press(edit, VK_F4, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[3]);
    EXPECT_EQ(Tabs(), c);
    Press(edit, '1', {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[3]) << "digits are not examined";
    Press(edit, VK_F12);
    EXPECT_TRUE(Has(InputSeen(c[3]), WM_KEYUP, VK_F12));
}

TEST_F(Hooks, EnterStillSendsWhatWasTyped) {
    auto c = BootWithTabs({"Ala"});
    SetWindowTextA(Edit(c[0]), "Cześć");
    Press(Edit(c[0]), VK_RETURN);
    EXPECT_EQ(host->state.conversations.ViewText(c[0]), "Cześć\r\n");
    EXPECT_EQ(Text(Edit(c[0])), "");
}

TEST_F(Hooks, TheCloseRequestOfATabbedWindowFollowsTheEscSetting) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    containerCloses = 0;
    containerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Container(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountClose)));

    host->state.conversations.Close(c[2]);
    EXPECT_EQ(containerCloses, 1) << "0: the container is asked to close";
    EXPECT_EQ(Tabs(), c);

    host->state.config.SetInt("Tabs/EscAction", 2);
    host->state.conversations.Close(c[2]);
    EXPECT_EQ(containerCloses, 1);
    EXPECT_EQ(Tabs(), c);
    EXPECT_TRUE(IsWindowVisible(WindowOf(c[2])));

    host->state.config.SetInt("Tabs/EscAction", 1);
    host->state.conversations.Close(c[0]);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[2]})) << "the window's own tab closes";
    EXPECT_EQ(CurrentContact(), c[2]);
    host->state.conversations.Close(c[2]);
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});
    EXPECT_EQ(containerCloses, 1);
}

TEST_F(Hooks, CtrlCCopiesTheViewsSelectionOnlyWhenThereIsOne) {
    auto c = BootWithTabs({"Ala"});
    HWND view = host->state.conversations.ViewControl(c[0]);
    viewProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FakeViewer)));
    viewCopies = 0;
    viewSelection = 0;
    Press(Edit(c[0]), 'C', {VK_CONTROL});
    EXPECT_EQ(viewCopies, 0);
    EXPECT_TRUE(Has(InputSeen(c[0]), WM_KEYUP, 'C'));
    viewSelection = 5;
    host->state.conversations.input.clear();
    Press(Edit(c[0]), 'C', {VK_CONTROL});
    EXPECT_EQ(viewCopies, 1);
    EXPECT_FALSE(Has(InputSeen(c[0]), WM_KEYUP, 'C'));
    SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(viewProc));
}

TEST_F(Hooks, TheWheelOverTheViewScrollsTheView) {
    auto c = BootWithTabs({"Ala"});
    HWND edit = Edit(c[0]);
    SendMessageA(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                 ScreenPoint(host->state.conversations.ViewControl(c[0])));
    EXPECT_TRUE(Has(InputSeen(c[0], Control::View), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)));
    EXPECT_FALSE(Has(InputSeen(c[0]), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)));
    SendMessageA(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), ScreenPoint(edit));
    EXPECT_TRUE(Has(InputSeen(c[0]), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA)));
}

TEST_F(Hooks, HostEventsOnTabbedWindowsKeepTheTabsInStep) {
    auto c = BootWithTabs({"Ala", "Jan"});
    host->state.conversations.Retitle(c[0], "Ala pisze");
    EXPECT_EQ(Text(Container()), "Jan") << "a hidden tab leaves the title alone";
    host->state.conversations.Retitle(c[1], "Jan\r\npisze");
    EXPECT_EQ(Text(Container()), "Jan  pisze");

    SendMessageA(Bar(), TB_PRESSBUTTON, c[0] & 0xBFFFFFFF, TRUE);
    SendMessageA(WindowOf(c[0]), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_FALSE(SendMessageA(Bar(), TB_ISBUTTONPRESSED, c[0] & 0xBFFFFFFF, 0));
    EXPECT_EQ(Text(Container()), "Ala pisze");

    SetFocus(host->state.conversations.MessageView(c[0]));
    EXPECT_EQ(GetFocus(), Edit(c[0])) << "the view hands the focus to the edit";

    host->state.conversations.DestroyConversation(c[0]);
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});
    EXPECT_EQ(CurrentContact(), c[1]);
}

TEST_F(Hooks, AWindowWithoutItsHostRecordIsLeftAlone) {
    auto c = BootWithTabs({"Ala", "Jan"});
    HWND window = WindowOf(c[0]);
    RemovePropA(window, "CNT");
    SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(CurrentContact(), c[1]);
    EXPECT_FALSE(host->recorded.Logged("Tabs::ChangeWindow(cnt = 0)"));
    host->state.conversations.Move(c[0], 5, 5, 50, 50);
    EXPECT_EQ(InParent(window).left, 0) << "still pinned";
}

TEST_F(Hooks, NoWindowKeepsAPropertyOrProcedureOfThePlugIn) {
    Boot();
    int ala = AddContact("Ala"), jan = AddContact("Jan"), ola = AddContact("Ola"), ewa = AddContact("Ewa");
    host->state.config.SetInt(1, ola, Tabs::Column::DontTab, 1);
    for (int contact : {ala, jan, ola, ewa}) Open(contact);
    host->state.conversations.DestroyConversation(ala);
    Press(Edit(ewa), VK_F4, {VK_CONTROL});
    ASSERT_EQ(Tabs(), std::vector<int>{jan});

    host->Stop();
    HWND kept = WindowOf(jan);
    EXPECT_EQ(ParentOf(kept), GetDesktopWindow()) << "the end gives the tab back";
    EXPECT_TRUE(HasOwnProcedure(kept));
    EXPECT_FALSE(IsWindowVisible(kept));
    EXPECT_EQ(Proc(Edit(ola)), Conversations::EditClassProc());
    host->state.conversations.DestroyAll();
    EXPECT_TRUE(host->state.conversations.leftovers.empty()) << host->state.conversations.leftovers.front();
    EXPECT_EQ(host->state.conversations.destroyedWindows, 12) << "four windows, each with its edit and view";
}

TEST_F(Hooks, BrowserKeysInATabCloseReopenAndStepThroughTheTabs) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    Press(Edit(c[2]), VK_NEXT, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[0]) << "Ctrl+PageDown after the last comes the first";
    Press(Edit(c[0]), VK_PRIOR, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[2]) << "Ctrl+PageUp before the first comes the last";
    Press(Edit(c[2]), VK_PRIOR, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[1]);
    for (int contact : c) {
        EXPECT_FALSE(Has(InputSeen(contact), WM_KEYDOWN, VK_NEXT) || Has(InputSeen(contact), WM_KEYUP, VK_NEXT));
        EXPECT_FALSE(Has(InputSeen(contact), WM_KEYDOWN, VK_PRIOR) || Has(InputSeen(contact), WM_KEYUP, VK_PRIOR));
    }

    Press(Edit(c[1]), 'W', {VK_CONTROL});
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2]})) << "Ctrl+W closes the tab as Ctrl+F4 does";
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_FALSE(WindowOf(c[1])) << "destroyed: the host keeps no closed windows here";

    host->recorded.ClearSent();
    Press(Edit(c[0]), 'T', {VK_CONTROL});
    EXPECT_EQ(OpenRequests(c[1]), 0) << "Ctrl+T without Shift is the edit's";
    EXPECT_TRUE(Has(InputSeen(c[0]), WM_KEYUP, 'T'));
    Press(Edit(c[0]), 'T', {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(OpenRequests(c[1]), 1) << "Ctrl+Shift+T reopens the newest closed";
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2], c[1]}));
    EXPECT_EQ(CurrentContact(), c[1]);
    host->recorded.ClearSent();
    Press(Edit(c[1]), 'T', {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(host->recorded.CountSent(Host::kElementNotify), 0) << "with nothing closed nothing opens";
    EXPECT_FALSE(Has(InputSeen(c[1]), WM_KEYUP, 'T'));

    Press(Edit(c[1]), VK_NEXT, {VK_CONTROL, VK_SHIFT});
    Press(Edit(c[1]), 'W', {VK_CONTROL, VK_MENU});
    EXPECT_EQ(CurrentContact(), c[1]);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2], c[1]})) << "Ctrl+Shift+PageDown and AltGr+W are not ours";
    EXPECT_TRUE(Has(InputSeen(c[1]), WM_KEYUP, VK_NEXT));
    EXPECT_TRUE(Has(InputSeen(c[1]), WM_KEYUP, 'W'));
}

TEST_F(Hooks, BrowserKeysInAWindowOnItsOwnGoToTheHost) {
    Boot();
    int ala = AddContact("Ala"), jan = AddContact("Jan"), ola = AddContact("Ola"), ewa = AddContact("Ewa");
    host->state.config.SetInt(1, ola, Tabs::Column::DontTab, 1);
    for (int contact : {ala, jan, ewa, ola}) Open(contact);
    SendMessageA(Container(), WM_COMMAND, 0xFFFE, 0);  // the bar's detach button: Ewa leaves
    Open(ala);
    Press(Edit(ala), VK_F4, {VK_CONTROL});  // something to reopen
    ASSERT_EQ(Tabs(), std::vector<int>{jan});
    host->recorded.ClearSent();

    for (int contact : {ola, ewa}) {
        for (UINT key : {UINT{VK_NEXT}, UINT{VK_PRIOR}, UINT{'W'}}) Press(Edit(contact), key, {VK_CONTROL});
        Press(Edit(contact), 'T', {VK_CONTROL, VK_SHIFT});
        for (UINT key : {UINT{VK_NEXT}, UINT{VK_PRIOR}, UINT{'W'}, UINT{'T'}}) {
            EXPECT_TRUE(Has(InputSeen(contact), WM_KEYDOWN, key)) << key;
            EXPECT_TRUE(Has(InputSeen(contact), WM_KEYUP, key)) << key;
        }
        EXPECT_TRUE(IsWindowVisible(WindowOf(contact)));
    }
    EXPECT_EQ(Tabs(), std::vector<int>{jan});
    EXPECT_EQ(CurrentContact(), jan);
    EXPECT_EQ(host->recorded.CountSent(Host::kElementNotify), 0) << "nothing opened, nothing switched";
}
