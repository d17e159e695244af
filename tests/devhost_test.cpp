// The stand-in host itself, only where its own fault would let a fault of the
// plug-in pass unseen: a host text that outlives the next call, a record the
// real host would refuse, a message answered by a plug-in it was not
// addressed to, a menu entry chosen that the user could not choose, a popup
// for a notice that pops nothing up, and the order in which a conversation
// window's parts are reported.
#include <functional>
#include <utility>

#include "fixture.h"

#include <commctrl.h>

using namespace DevHostLib;

namespace {

constexpr int kStandIn = 999;  // a stand-in plug-in that owns test elements

}  // namespace

// A text the host hands out as its own copy holds only until the next call
// into the host: a plug-in that keeps the pointer longer reads garbage.
TEST(HostTextCopy, TheNextCallIntoTheHostSpendsIt) {
    DevHost host;
    host.state.config.Declare({0, 306145, 1, "Tabs/LastSession", 0, ""});
    host.state.config.SetText("Tabs/LastSession", "1073741825\x01");
    auto copy = [&host] {
        ColumnValue v{1, 0, -1};
        return reinterpret_cast<const char*>(host.getColumn(0, 0, 306145, &v));
    };
    EXPECT_STREQ(copy(), "1073741825\x01");

    const char* kept = copy();
    HostMessage log{};
    log.size = sizeof log;
    log.code = Host::kLog;
    log.p1 = reinterpret_cast<intptr_t>("Tabs::IStart");
    log.p2 = 256;
    host.send(&log);
    EXPECT_NE(std::string(kept), "1073741825\x01") << "after a request";

    kept = copy();
    ColumnValue number{0, 7, 0};
    host.setColumn(0, 0, 306101, &number);
    EXPECT_NE(std::string(kept), "1073741825\x01") << "after a write";

    kept = copy();
    EXPECT_STREQ(copy(), "1073741825\x01") << "a fresh read has the text";
    EXPECT_NE(std::string(kept), "1073741825\x01") << "after another read";
}

class StandInHost : public PluginTest {
protected:
    // An element of the stand-in plug-in.
    void Add(int parent, int id, uint32_t status, const char* text) {
        Element e;
        e.id = id;
        e.parent = parent;
        e.owner = kStandIn;
        e.status = status;
        e.text = text ? text : "";
        host->state.elements.Insert(e, -1);
    }
    void SetStatus(const ActionRef& ref, uint32_t status, uint32_t mask) {
        ActionInfo a{};
        a.size = kActionInfoSize;
        a.ref = ref;
        a.mask = Host::kMaskStatus;
        a.status = status;
        a.statusMask = mask;
        HostMessage m;
        BuildHostMessage(m, Host::kElementChange, reinterpret_cast<intptr_t>(&a));
        host->send(&m);
    }
    // The notices that reached the stand-in owner, as (id, notice).
    std::vector<std::pair<int, int>> StandInHeard() const {
        std::vector<std::pair<int, int>> heard;
        for (const DeliveredNotice& n : host->recorded.notices)
            if (n.owner == kStandIn) heard.push_back({n.ref.id, n.notice});
        return heard;
    }
    void OwnerOnCreate(int id, std::function<void(const ActionNotice&)> react) {
        host->controls.elementOwners[kStandIn] = [id, react](const ActionNotice& n) {
            if (n.ref.id == id && n.notice == Host::kNoticeCreate) react(n);
            return 0;
        };
    }
};

TEST_F(StandInHost, MarkingReadTakesOnlyTheSelectorTheHostKnows) {
    int ala = AddContact("Ala", 3);
    HWND window = host->state.conversations.Open(ala);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_HIDE);
    host->DeliverMessage(ala, "Nieprzeczytana");
    auto* record = static_cast<ConversationRecord*>(GetPropA(window, "CNT"));
    ASSERT_EQ(record->waiting, 1);

    std::string user = "Ala@velmora";
    auto markRead = [&](const std::function<void(MessageSelector&, intptr_t&)>& spoil) {
        MessageSelector s;
        BuildMessageSelector(s);
        s.network = 3;
        s.userId = user.c_str();
        s.field10 = 1;
        s.field14 = 0x40;
        s.field18 = 2;
        intptr_t p2 = -1;
        spoil(s, p2);
        HostMessage m;
        BuildHostMessage(m, Host::kMarkRead, reinterpret_cast<intptr_t>(&s), p2);
        return host->send(&m);
    };
    using Spoil = std::pair<const char*, std::function<void(MessageSelector&, intptr_t&)>>;
    const Spoil spoiled[] = {
        {"short", [](MessageSelector& s, intptr_t&) { s.size = static_cast<uint16_t>(s.size - 1); }},
        {"at 10 as built", [](MessageSelector& s, intptr_t&) { s.field10 = -1; }},
        {"at 14 as built", [](MessageSelector& s, intptr_t&) { s.field14 = 0; }},
        {"at 18 as built", [](MessageSelector& s, intptr_t&) { s.field18 = 0; }},
        {"at 22", [](MessageSelector& s, intptr_t&) { s.field22 = 0; }},
        {"at 26", [](MessageSelector& s, intptr_t&) { s.field26 = 1; }},
        {"another network", [](MessageSelector& s, intptr_t&) { s.network = 1; }},
        {"no user id", [](MessageSelector& s, intptr_t&) { s.userId = nullptr; }},
        {"p2 not -1", [](MessageSelector&, intptr_t& p2) { p2 = 0; }},
    };
    for (const Spoil& each : spoiled) {
        EXPECT_EQ(markRead(each.second), 0) << each.first;
        EXPECT_EQ(record->waiting, 1) << each.first;
    }
    user = "Nikt@velmora";
    EXPECT_EQ(markRead([](MessageSelector&, intptr_t&) {}), 0) << "an unknown user";
    EXPECT_EQ(record->waiting, 1);

    user = "Ala@velmora";
    EXPECT_EQ(markRead([](MessageSelector&, intptr_t&) {}), 1);
    EXPECT_EQ(record->waiting, 0);
}

TEST_F(StandInHost, PluginQuestionsAreRecordedAndAnsweredOnlyByTheAddressedPlugin) {
    host->controls.AnswerPlugin(Host::kLeaveMessage, 1);
    HostMessage m;
    BuildPluginMessage(m, Host::kLeavePlugin, Host::kLeaveMessage, 0x40000007, 0);
    EXPECT_EQ(host->send(&m), 1);
    BuildPluginMessage(m, Host::kLockPlugin, Host::kLeaveMessage, 0x40000008, 0);
    EXPECT_EQ(host->send(&m), 0);
    BuildPluginMessage(m, Host::kLockPlugin, Host::kLockUnlocked);
    EXPECT_EQ(host->send(&m), 0) << "an unscripted code answers 0";

    ASSERT_EQ(host->recorded.pluginQuestions.size(), 3u);
    EXPECT_EQ(host->recorded.pluginQuestions[0].target, Host::kLeavePlugin);
    EXPECT_EQ(host->recorded.pluginQuestions[0].p1, 0x40000007);
    EXPECT_EQ(host->recorded.pluginQuestions[1].answer, 0);
    EXPECT_EQ(host->recorded.CountAsked(Host::kLeaveMessage), 2);
    EXPECT_EQ(host->recorded.CountAsked(Host::kLockUnlocked), 1);
}

TEST_F(StandInHost, MenuEntriesTheUserCannotChooseAreNeverChosen) {
    int ala = AddContact("Ala");
    Add(Host::kGroupContactMenu, 999001, 0, "Ukrywany przy tworzeniu");
    Add(Host::kGroupContactMenu, 999002, 2, "Wyszarzony");
    OwnerOnCreate(999001, [this](const ActionNotice& n) { SetStatus(n.ref, 1, 1); });

    for (int id : {999001, 999002, 135}) {
        host->recorded.notices.clear();
        host->controls.chooseMenu = ChooseInOrder({id});
        EXPECT_EQ(host->ShowContactMenu(ala), 0) << id;
        for (const DeliveredNotice& n : host->recorded.notices) EXPECT_NE(n.notice, Host::kNoticeAction) << id;
    }
    EXPECT_TRUE(host->recorded.lastMenu.menu.Find(999001)->hidden)
        << "the menu is built after the owners had their say";
    EXPECT_TRUE(host->recorded.lastMenu.menu.Find(999002)->disabled);
}

TEST_F(StandInHost, PopupCallsShowTheContactMenuOrTheElementsOwnSubmenuAtThePoint) {
    int ala = AddContact("Ala");
    Add(kMainMenuGroup, 999007, 0x10, "Zamknięte");
    Add(999007, 999008, 0, "Wyczyść");
    auto popup = [this](const ActionRef& ref, int notice) {
        ActionCall call;
        BuildActionCall(call, ref, notice, 50, 60, 0, nullptr, 0, 0);
        host->send(reinterpret_cast<HostMessage*>(&call));
    };

    popup({Host::kGroupContactMenu, Host::kActionContactMenu, ala}, Host::kNoticePopup);
    EXPECT_EQ(host->recorded.lastMenu.menu.id, Host::kGroupContactMenu);
    EXPECT_EQ(host->recorded.lastMenu.contact, ala);
    EXPECT_EQ(host->recorded.lastMenu.at.x, 50);
    EXPECT_EQ(host->recorded.lastMenu.at.y, 60);

    host->recorded.notices.clear();
    popup({999007, kMainMenuGroup, Host::kNoContact}, Host::kNoticePopup);
    EXPECT_EQ(host->recorded.lastMenu.menu.id, 999007);
    EXPECT_EQ(host->recorded.lastMenu.menu.Ids(), std::vector<int>{999008});
    EXPECT_EQ(StandInHeard(), (std::vector<std::pair<int, int>>{{999008, 10}, {999008, 11}}));

    host->recorded.lastMenu = ShownMenu{};
    popup({999007, kMainMenuGroup, Host::kNoContact}, Host::kNoticeCreate);
    EXPECT_EQ(host->recorded.lastMenu.menu.id, 0) << "only notice 266 pops a menu up";
    ASSERT_EQ(host->recorded.elementCalls.size(), 3u);
    EXPECT_EQ(host->recorded.elementCalls[0].ref.contact, ala);
}

// The real host builds a conversation window's toolbar before its message
// view: its buttons hear of their creation while the contact has no tab yet.
TEST_F(StandInHost, OwnersHearOfTheToolbarButtonsBeforeTheViewAndOfAClick) {
    constexpr int kToolbar = 999100;
    Add(Host::kGroupToolbars, kToolbar, 0x10, "Pasek");
    Add(kToolbar, 999101, 0, "Jeden");
    Add(kToolbar, 999102, 0, "Dwa");
    host->controls.elementOwners[kStandIn] = [](const ActionNotice&) { return 0; };
    int ala = AddContact("Ala");
    host->state.conversations.Open(ala);
    std::vector<std::pair<int, int>> heard;
    for (const DeliveredNotice& n : host->recorded.notices) {
        if (n.ref.id == 999101 || n.ref.id == Host::kActionMessageView) heard.push_back({n.ref.id, n.notice});
        if (n.ref.id == 999101) {
            EXPECT_EQ(n.ref.contact, ala);
        }
    }
    EXPECT_EQ(heard, (std::vector<std::pair<int, int>>{{999101, 10}, {Host::kActionMessageView, 220}}));

    HWND bar = host->state.conversations.Toolbar(ala);
    TBBUTTON second{};
    SendMessageA(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&second));
    host->recorded.notices.clear();
    SendMessageA(host->state.conversations.WindowOf(ala), WM_COMMAND, MAKEWPARAM(second.idCommand, BN_CLICKED),
                 reinterpret_cast<LPARAM>(bar));
    ASSERT_EQ(host->recorded.notices.size(), 1u);
    EXPECT_EQ(host->recorded.notices[0].ref.id, 999102);
    EXPECT_EQ(host->recorded.notices[0].ref.parent, kToolbar);
    EXPECT_EQ(host->recorded.notices[0].ref.contact, ala);
    EXPECT_EQ(host->recorded.notices[0].notice, Host::kNoticeAction);
}
