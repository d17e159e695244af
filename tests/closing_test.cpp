// Closing one tab or all but one: destroyed or kept hidden by the host's
// keep setting and Shift, the neighbour shown, the recently closed list.
#include "container/tab_bar.h"
#include "conversation_fixture.h"
#include "conversations/closed_list.h"
#include "conversations/closing.h"
#include "host/columns.h"
#include "ui/elements.h"

using namespace DevHostLib;
using Closing = ConversationTest;

class ClosingInProcess : public ConversationTest {
protected:
    ClosingInProcess() { inProcess = true; }
    static std::vector<int> Closed() { return std::vector<int>(Tabs::closedList.begin(), Tabs::closedList.end()); }
};

namespace {
constexpr int kKeepWindow = 148;

std::string Stored(std::initializer_list<int> ids) {
    std::string text;
    for (int id : ids) text += std::to_string(id) + '\x01';
    return text;
}
}  // namespace

TEST_F(Closing, CtrlF4DestroysOrHidesTheWindowByTheKeepSettingAndShift) {
    Boot();
    for (int keep : {0, 1}) {
        for (bool shift : {false, true}) {
            host->state.config.SetInt(0, 0, kKeepWindow, keep);
            int stays = AddContact("Zostaje"), closed = AddContact("Zamykany");
            Open(stays);
            HWND window = Open(closed);
            if (shift)
                Press(Edit(closed), VK_F4, {VK_CONTROL, VK_SHIFT});
            else
                Press(Edit(closed), VK_F4, {VK_CONTROL});
            SCOPED_TRACE("keep " + std::to_string(keep) + (shift ? " with Shift" : ""));
            if (keep == static_cast<int>(shift)) {
                EXPECT_FALSE(IsWindow(window));
            } else {
                ASSERT_TRUE(IsWindow(window));
                EXPECT_FALSE(Style(window) & WS_VISIBLE);
                EXPECT_TRUE(Tabbed(window));
                EXPECT_EQ(ParentOf(window), Content());
            }
            EXPECT_EQ(Tabs().back(), stays);
            EXPECT_EQ(CurrentContact(), stays);
            EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(stays)});
        }
    }
}

TEST_F(Closing, ClosingTheShownTabShowsItsNeighbourAndTheLastOneHidesTheContainer) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    Press(Edit(c[2]), VK_F4, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[1]) << "the one before it";
    Open(c[0]);
    Press(Edit(c[0]), VK_F4, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), c[1]) << "the first tab's neighbour is the next one";
    EXPECT_EQ(CheckedTabs(), std::vector<int>{c[1]});
    Press(Edit(c[1]), VK_F4, {VK_CONTROL});
    EXPECT_EQ(CurrentContact(), 0);
    EXPECT_EQ(CurrentWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Container()));
    EXPECT_TRUE(Tabs().empty());

    host->Stop();
    EXPECT_EQ(host->state.config.Text("Tabs/ClosedRecentlyBuffer"), Stored({c[1], c[0], c[2]}));
}

TEST_F(Closing, AKeptWindowThatTheHostShowsAgainIsATabAgain) {
    auto c = BootWithTabs({"Ala", "Jan"});
    host->state.config.SetInt(0, 0, kKeepWindow, 1);
    Press(Edit(c[0]), VK_F4, {VK_CONTROL});  // the edit of a hidden tab: the shown one closes
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]});
    Open(c[1]);
    EXPECT_EQ(Tabs(), c);
    EXPECT_EQ(CurrentContact(), c[1]);
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[1])});
}

TEST_F(ClosingInProcess, ClosingAllButOneRecordsTheOthersLeftmostFirst) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    std::vector<HWND> windows;
    for (int contact : c) windows.push_back(WindowOf(contact));
    Tabs::RecordClosed(c[2]);
    WithShift(true, [&] { Tabs::CloseTabs(c[1]); });
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});
    EXPECT_EQ(CurrentContact(), c[1]);
    EXPECT_EQ(Closed(), (std::vector<int>{c[0], c[2], c[3]}));
    for (int i : {0, 2, 3}) EXPECT_FALSE(IsWindow(windows[i])) << "Shift plays no part";
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{windows[1]});
}

TEST_F(ClosingInProcess, ClosingAllWithNoneToKeepHidesWindowsByTheKeepSettingAndTheContainer) {
    auto c = BootWithTabs({"Ala", "Jan"});
    host->state.config.SetInt(0, 0, kKeepWindow, 1);
    Tabs::CloseTabs(-1);
    EXPECT_TRUE(Tabs().empty());
    EXPECT_FALSE(IsWindowVisible(Container()));
    EXPECT_TRUE(ShownTabWindows().empty());
    for (int contact : c) EXPECT_TRUE(IsWindow(WindowOf(contact)));
    EXPECT_EQ(Closed(), c);
}

TEST_F(ClosingInProcess, ClosingAConversationThatIsNoTabLeavesItToTheHostAndRecordsIt) {
    Boot();
    int ala = AddContact("Ala"), jan = AddContact("Jan"), ola = AddContact("Ola");
    host->state.config.SetInt(1, jan, Tabs::Column::DontTab, 1);
    Open(ala);
    HWND detached = Open(jan);
    Tabs::CloseTab(jan);
    EXPECT_FALSE(IsWindow(detached)) << "the host closed it its own way";
    Tabs::CloseTab(ola);  // no window at all
    Tabs::CloseTab(jan);
    EXPECT_EQ(Closed(), (std::vector<int>{jan, ola}));
    EXPECT_EQ(Tabs(), std::vector<int>{ala});
}

TEST_F(Closing, ATabWithoutAWindowClosesByItsActionAndTheMiddleClick) {
    auto c = BootWithTabs({"Ala"});
    int jan = AddContact("Jan"), ola = AddContact("Ola");
    host->DeliverMessage(jan, "hej");
    host->DeliverMessage(ola, "hej");
    ASSERT_EQ(Tabs(), (std::vector<int>{c[0], jan, ola}));
    ASSERT_EQ(WindowOf(jan), nullptr);

    host->Notify({Tabs::Element::Close, Host::kGroupContactMenu, jan}, Host::kNoticeAction);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], ola}));
    RECT bar{}, tab{};
    GetWindowRect(Bar(), &bar);
    SendMessageA(Bar(), TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&tab));
    SetCursorPos(bar.left + (tab.left + tab.right) / 2, bar.top + (tab.top + tab.bottom) / 2);
    SendMessageA(Container(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Bar()), MAKELPARAM(HTCLIENT, WM_MBUTTONUP));
    EXPECT_EQ(Tabs(), c) << "the middle click closes by default";
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[0])});
}

TEST_F(ClosingInProcess, ClosingAllButOneKeepsTheFixedButtonsAndTheKeptTabAsTheyWere) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    host->state.config.SetInt(0, 0, Tabs::Column::TabsDetachButton, 0);
    auto c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    host->DeliverMessage(c[1], "hej");
    auto look = [&](int id) {
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STATE;
        SendMessageA(Bar(), TB_GETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info));
        return std::make_pair(static_cast<int>(info.fsState), Tabs::tabBar.Image(id));
    };
    host->state.contacts.Find(c[0])->info = "informacja: Ala";
    host->state.contacts.Find(c[1])->info = "informacja: Jan";
    auto closeButton = look(0xFFFF), detachButton = look(0xFFFE), waiting = look(c[1] & 0xBFFFFFFF);
    ASSERT_TRUE(waiting.first & TBSTATE_PRESSED);

    host->Notify({Tabs::Element::CloseOthers, Host::kGroupContactMenu, c[1]}, Host::kNoticeAction);
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});
    EXPECT_EQ(look(0xFFFF), closeButton);
    EXPECT_EQ(look(0xFFFE), detachButton) << "hidden as it was";
    char text[64] = {};
    SendMessageA(Bar(), TB_GETBUTTONTEXTA, c[1] & 0xBFFFFFFF, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Jan");
    EXPECT_EQ(CurrentContact(), c[1]);
    EXPECT_EQ(CheckedTabs(), std::vector<int>{c[1]});
    Open(c[0]);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[0]})) << "the bar goes on taking tabs";

    int tools = 0;
    for (HWND tooltip : OwnedTooltips()) tools += static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(tools, 2) << "the new bar's tool and the menu control's, none of the old bar's";
    EXPECT_EQ(TooltipOver(c[1]), "informacja: Jan") << "the buttons still have their tooltips";
    EXPECT_EQ(TooltipOver(c[0]), "informacja: Ala");
}
