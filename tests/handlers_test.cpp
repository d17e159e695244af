// What the tabs do when the host reports an incoming message, applied
// settings or a status change, and what other plug-ins learn with 40004.
#include <cstring>
#include <string>

#include "container/tab_bar.h"
#include "conversation_fixture.h"
#include "host/columns.h"

using namespace DevHostLib;

// Which image a tab shows is kept by the plug-in (its toolbar carries
// I_IMAGECALLBACK): these run the linked code.
class Handlers : public ConversationTest {
protected:
    Handlers() { inProcess = true; }
    int ImageOf(int contact) { return Tabs::tabBar.Image(contact & 0xBFFFFFFF); }
    bool Pressed(int contact) { return SendMessageA(Bar(), TB_ISBUTTONPRESSED, contact & 0xBFFFFFFF, 0) != 0; }
    HICON SmallIcon() { return reinterpret_cast<HICON>(SendMessageA(Container(), WM_GETICON, ICON_SMALL, 0)); }
    int MessageImage() { return host->state.icons.Index(Host::kIconMessage); }
    int StatusImage(int status) { return host->state.icons.Index(StatusIconId(1, status)); }

    // A message record of the test's own making, for what the host never sends.
    int Deliver(IncomingMessage m) {
        m.code = Host::kMsgIncoming;
        HostMessage call{};
        call.size = sizeof call;
        call.code = Host::kMsgIncoming;
        call.p1 = reinterpret_cast<intptr_t>(&m);
        return host->CallRecord(&call);
    }
    static IncomingMessage Record(const char* from, const char* body) {
        IncomingMessage m{};
        m.size = sizeof m;
        m.network = 1;
        m.kind = 1;
        m.from = from;
        m.body = body;
        return m;
    }
    int WindowState(int contact) { return host->Call(Host::kAskWindowState, contact); }
};

TEST_F(Handlers, AMessageForAnotherContactMakesItsTabPressedWithTheMessageIconAndNamesItInTheTitle) {
    auto c = BootWithTabs({"Ala"});
    int jan = AddContact("Jan");
    SetForegroundWindow(host->state.mainWindow);
    EXPECT_EQ(host->DeliverMessage(jan, "cześć"), 0);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], jan}));
    EXPECT_TRUE(Pressed(jan));
    EXPECT_EQ(ImageOf(jan), MessageImage());
    EXPECT_EQ(SmallIcon(), host->state.icons.Handle(Host::kIconMessage));
    EXPECT_EQ(Text(Container()), "[Jan] Ala");
    EXPECT_EQ(CurrentContact(), c[0]) << "the shown conversation stays";

    host->DeliverMessage(jan, "jesteś?");
    EXPECT_EQ(Text(Container()), "[Jan] Ala") << "once in the waiting list";

    Open(jan);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], jan})) << "the conversation takes the tab made for it";
    EXPECT_EQ(Text(Container()), "Jan");
    EXPECT_EQ(ImageOf(jan), StatusImage(1));
}

TEST_F(Handlers, MessagesTheTabsLeaveAloneChangeNothing) {
    auto c = BootWithTabs({"Ala"});
    int jan = AddContact("Jan");
    host->controls.AnswerPlugin(Host::kLeaveMessage, 0);
    host->DeliverMessage(jan, "obrazek", 2);
    host->DeliverMessage(jan, "x", 1, 2);
    host->DeliverMessage(jan, "rysuj >board: 1,2");
    Deliver(Record("", "bez nadawcy"));
    Deliver(Record(nullptr, "pusty wskaźnik"));
    Deliver(Record("Jan@velmora", nullptr));
    IncomingMessage shortRecord = Record("Jan@velmora", "krótki");
    shortRecord.size = 30;
    Deliver(shortRecord);
    EXPECT_EQ(host->recorded.CountAsked(Host::kLeaveMessage), 0);

    host->controls.AnswerPlugin(Host::kLeaveMessage, 1);
    host->DeliverMessage(jan, "dla wtyczki 116");
    EXPECT_EQ(host->recorded.CountAsked(Host::kLeaveMessage), 1);
    EXPECT_EQ(host->recorded.pluginQuestions.back().p1, jan);

    EXPECT_EQ(Tabs(), c);
    EXPECT_EQ(Text(Container()), "Ala");
    EXPECT_EQ(SmallIcon(), host->state.icons.Handle(Host::kIconNormal));
}

// A sender the host does not know has no conversation to show: it gets no
// tab and no place in the title, and no plug-in is asked about it.
TEST_F(Handlers, AMessageFromASenderTheHostDoesNotKnowIsIgnored) {
    auto c = BootWithTabs({"Ala"});
    int noResults = host->recorded.noResultCalls;
    EXPECT_EQ(Deliver(Record("obcy@velmora", "kup pan cegłę")), 0);
    EXPECT_EQ(host->recorded.noResultCalls, noResults);
    EXPECT_EQ(host->recorded.CountAsked(Host::kLeaveMessage), 0);
    EXPECT_EQ(Tabs(), c);
    EXPECT_EQ(Text(Container()), "Ala");
    SendMessageA(Container(), WM_TIMER, 2, 0);
    EXPECT_EQ(ImageOf(c[0]), StatusImage(1));
}

TEST_F(Handlers, ContactsKeptOutOfTheTabsOnlyJoinTheTitle) {
    auto c = BootWithTabs({"Ala"});
    int jan = AddContact("Jan"), ola = AddContact("Ola"), ewa = AddContact("Ewa");
    host->state.config.SetInt(1, jan, Tabs::Column::DontTab, 1);
    host->state.config.SetInt(1, ola, Tabs::Column::DontTab, 1);
    Open(ola);
    host->state.config.SetInt(1, ola, Tabs::Column::DontTab, 0);
    host->state.config.SetInt("Tabs/AutoCreateButton", 0);

    for (int contact : {jan, ola, ewa}) host->DeliverMessage(contact, "hej");
    EXPECT_EQ(Tabs(), c);
    EXPECT_EQ(Text(Container()), "[Ewa] Ala") << "without a tab of its own, still unread";
}

TEST_F(Handlers, AMessageForTheShownConversationWaitsOnlyWhileTheContainerIsNotInFront) {
    auto c = BootWithTabs({"Ala", "Jan"});
    SetForegroundWindow(Container());
    ASSERT_EQ(GetForegroundWindow(), Container());
    host->DeliverMessage(c[1], "widzę");
    EXPECT_FALSE(Pressed(c[1]));
    EXPECT_EQ(ImageOf(c[1]), StatusImage(1));
    EXPECT_EQ(Text(Container()), "Jan");
    EXPECT_EQ(SmallIcon(), host->state.icons.Handle(Host::kIconMessage)) << "the icon says a message came all the same";

    SetForegroundWindow(host->state.mainWindow);
    host->DeliverMessage(c[1], "a teraz?");
    EXPECT_FALSE(Pressed(c[1]));
    EXPECT_EQ(Text(Container()), "[Jan] Jan");
    SetForegroundWindow(Container());
    SendMessageA(Container(), WM_TIMER, 1, 0);
    EXPECT_EQ(Text(Container()), "Jan");
    EXPECT_EQ(SmallIcon(), host->state.icons.Handle(Host::kIconNormal));
}

TEST_F(Handlers, SettingsAppliedWithoutThePageChangeNothing) {
    auto c = BootWithTabs({"Ala"});
    host->state.config.SetInt("Tabs/TabsCloseButton", 1);
    host->state.config.SetInt("Tabs/MenuAlign", -1);
    int noResults = host->recorded.noResultCalls;
    host->recorded.ClearSent();
    EXPECT_EQ(host->SendSettingsApplied(), 0);
    EXPECT_EQ(host->recorded.noResultCalls, noResults);
    EXPECT_TRUE(SendMessageA(Bar(), TB_GETSTATE, 0xFFFF, 0) & TBSTATE_HIDDEN);
    EXPECT_EQ(host->recorded.CountSent(Host::kElementRemove), 0);
}

TEST_F(Handlers, AppliedSettingsTakeEffectAtOnce) {
    auto c = BootWithTabs({"Ala", "Jan"});
    int distant = AddContact("Daleki");
    int ewa = AddContact("Ewa");
    host->DeliverMessage(ewa, "hej");
    Open(c[0]);
    Press(Edit(c[0]), VK_F4, {VK_CONTROL});
    ASSERT_EQ(Tabs(), (std::vector<int>{c[1], ewa}));
    const std::pair<const char*, int> settings[] = {
        {"Tabs/TabsCloseButton", 1}, {"Tabs/TabsDetachButton", 0}, {"Tabs/MsgIconFlash", 0},
        {"Tabs/Align", 1},           {"Tabs/ToolbarCloseButton", 1}, {"Tabs/MenuAlign", -1},
        {"Tabs/ChangeKey", 1},       {"Tabs/ClosedRecentlyMain", 0}, {"Tabs/Pos/AlphaDisable", 1},
        {"Tabs/Pos/Alpha", 50},
    };
    for (const auto& [key, value] : settings) host->state.config.SetInt(key, value);
    host->OpenSettingsPage();
    int noResults = host->recorded.noResultCalls;
    ASSERT_TRUE(host->ApplySettings());
    EXPECT_EQ(host->recorded.noResultCalls, noResults + 1);

    EXPECT_FALSE(SendMessageA(Bar(), TB_GETSTATE, 0xFFFF, 0) & TBSTATE_HIDDEN);
    EXPECT_TRUE(SendMessageA(Bar(), TB_GETSTATE, 0xFFFE, 0) & TBSTATE_HIDDEN);
    EXPECT_FALSE(KillTimer(Container(), 2)) << "no flash timer";
    RECT bar{}, content{}, container{};
    GetWindowRect(Bar(), &bar);
    GetWindowRect(Content(), &content);
    GetClientRect(Container(), &container);
    MapWindowPoints(Container(), nullptr, reinterpret_cast<POINT*>(&container), 2);
    EXPECT_EQ(bar.top, container.top) << "the bar above the conversations";
    EXPECT_EQ(content.bottom, container.bottom);
    for (int contact : {c[1], distant}) {
        EXPECT_FALSE(host->state.elements.Find(306003, 306001)->HiddenFor(contact)) << "every contact's window";
    }
    std::vector<int> menu = host->state.elements.Children(Host::kGroupContactMenu);
    EXPECT_EQ(std::vector<int>(menu.end() - 5, menu.end()), (std::vector<int>{306004, 306006, 306005, 306002, 306003}))
        << "moved to the bottom of the contact menu";
    EXPECT_EQ(host->state.elements.Children(306006), (std::vector<int>{306008, 306009}));
    EXPECT_TRUE(host->state.elements.Find(306007, kMainMenuGroup)->HiddenFor(Host::kNoContact));
    EXPECT_TRUE(GetWindowLongA(Container(), GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_EQ(CurrentContact(), c[1]);
    Press(Edit(c[1]), VK_F2);
    EXPECT_EQ(CurrentContact(), ewa) << "F2 now chooses the second tab";

    host->recorded.ClearSent();
    ASSERT_TRUE(host->ApplySettings());
    EXPECT_EQ(host->recorded.CountSent(Host::kElementRemove), 0) << "the menu stays where it is";
    EXPECT_EQ(host->recorded.CountSent(Host::kElementInsert), 0);
}

TEST_F(Handlers, TabIconsFollowStatusChanges) {
    auto c = BootWithTabs({"Ala", "Jan"});
    int ola = AddContact("Ola");
    host->ChangeStatus(c[0], 4);
    EXPECT_EQ(ImageOf(c[0]), StatusImage(4));
    EXPECT_TRUE(host->recorded.Logged("Tabs::StatusChange - okno istnieje: cnt=" + std::to_string(c[0] & 0xBFFFFFFF) +
                                      ", status=4"));
    host->ChangeStatus(c[1], 0x103, true);
    EXPECT_EQ(ImageOf(c[1]), StatusImage(3)) << "the record may name the contact by its position";

    host->recorded.log.clear();
    EXPECT_EQ(host->ChangeStatus(ola, 4), 1);
    EXPECT_FALSE(host->recorded.Logged("Tabs::StatusChange"));
    EXPECT_EQ(Tabs(), c);
}

TEST_F(Handlers, OtherPlugInsLearnTheStateOfAConversationWindow) {
    auto c = BootWithTabs({"Ala", "Jan"});
    int ola = AddContact("Ola"), stranger = 0x4000FF00;
    host->state.config.SetInt(1, ola, Tabs::Column::DontTab, 1);
    Open(ola);
    host->controls.windowState = [&](int contact) { return contact == ola ? 7 : 99; };

    EXPECT_EQ(WindowState(stranger), 0) << "no conversation window";
    EXPECT_EQ(WindowState(ola), 7) << "a window of its own: the host answers";
    SetForegroundWindow(Container());
    EXPECT_EQ(WindowState(c[1]), 1);
    EXPECT_EQ(WindowState(c[0]), -2);
    SetForegroundWindow(host->state.mainWindow);
    EXPECT_EQ(WindowState(c[1]), -1);
    ShowWindow(Container(), SW_HIDE);
    EXPECT_EQ(WindowState(c[1]), 0);
    EXPECT_EQ(WindowState(c[0]), 0);
}

TEST_F(Handlers, AContactWhoseButtonIdIsAFixedButtonsLeavesThatButtonAlone) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    auto c = BootWithTabs({"Ala"});
    int odd = AddContact("Daleki");
    host->state.contacts.Find(odd)->id = 0x4000FFFF;
    odd = 0x4000FFFF;
    int closeImage = ImageOf(0xFFFF);
    SetForegroundWindow(host->state.mainWindow);

    host->DeliverMessage(odd, "hej");
    host->ChangeStatus(odd, 4);
    SendMessageA(Container(), WM_TIMER, 2, 0);
    SendMessageA(Container(), WM_TIMER, 2, 0);
    EXPECT_FALSE(Pressed(0xFFFF));
    EXPECT_EQ(ImageOf(0xFFFF), closeImage);
    EXPECT_EQ(Tabs(), c);
    EXPECT_EQ(Text(Container()), "Ala");

    host->ShowContactMenu(odd);
    for (int id : {306002, 306003, 306005}) EXPECT_TRUE(host->recorded.lastMenu.menu.Find(id)->hidden) << id;
}
