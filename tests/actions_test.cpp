// The plug-in's menu entries, buttons and settings controls as the stand-in
// host shows them: what a menu holds for a contact, what choosing does, the
// recently closed submenus and the dependent check boxes of the settings page.
#include <string>

#include "conversation_fixture.h"
#include "host/columns.h"

using namespace DevHostLib;

class Actions : public ConversationTest {
protected:
    const MenuEntry& Menu() { return host->recorded.lastMenu.menu; }
    const MenuEntry& Entry(int id) {
        const MenuEntry* e = host->recorded.lastMenu.menu.Find(id);
        static const MenuEntry missing;
        EXPECT_NE(e, nullptr) << id;
        return e ? *e : missing;
    }
    // The recently closed contacts the submenu listed, in order.
    std::vector<int> ClosedEntries(int submenu) {
        std::vector<int> ids;
        for (int id : Entry(submenu).Ids())
            if (id != 306008 && id != 306009) ids.push_back(id);
        return ids;
    }
    void StoreClosed(const std::vector<int>& ids) {
        std::string text;
        for (int id : ids) text += std::to_string(id) + '\x01';
        host->state.config.SetText(0, 0, Tabs::Column::ClosedRecentlyBuffer, text);
    }
    bool HiddenMainEntry() { return host->state.elements.Find(306007, kMainMenuGroup)->HiddenFor(Host::kNoContact); }
    HWND Control(int id) { return host->state.settingsPage.ControlOf(id); }
};

TEST_F(Actions, TheContactMenuOfAContactWithoutATabHidesEveryEntryOfThePlugIn) {
    auto c = BootWithTabs({"Ala"});
    int jan = AddContact("Jan");
    host->ShowContactMenu(jan);
    for (int id : {306002, 306003, 306004, 306005, 306006}) EXPECT_TRUE(Entry(id).hidden) << id;

    host->ShowContactMenu(c[0]);
    for (int id : {306002, 306003, 306004, 306005}) EXPECT_FALSE(Entry(id).hidden) << id;
    EXPECT_TRUE(Entry(306006).hidden) << "nothing was closed yet";
    EXPECT_EQ(Entry(306002).text, "Odepnij");
}

TEST_F(Actions, TheAttachEntrySaysWhatChoosingItDoes) {
    auto c = BootWithTabs({"Ala", "Jan"});
    host->controls.chooseMenu = ChooseInOrder({306002});
    host->ShowContactMenu(c[0]);
    EXPECT_EQ(ParentOf(WindowOf(c[0])), GetDesktopWindow());
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});

    // A tab made for a message before the conversation was opened: a button,
    // no tabbed window.
    int ola = AddContact("Ola");
    host->DeliverMessage(ola, "hej");
    ASSERT_EQ(Tabs(), (std::vector<int>{c[1], ola}));
    host->controls.chooseMenu = nullptr;
    host->ShowContactMenu(ola);
    EXPECT_FALSE(Entry(306002).hidden);
    EXPECT_EQ(Entry(306002).text, "Przypnij");
}

TEST_F(Actions, CloseAndCloseOthersFromTheMenuWaitForTheLock) {
    host->controls.pluginsPresent.insert("ZORPA");
    int unlocked = 1;
    host->controls.pluginAnswers[Host::kLockUnlocked] = [&](int, int) { return unlocked; };
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    ASSERT_TRUE(IsWindowVisible(Container()));
    unlocked = 0;
    for (int id : {306003, 306005, 306002}) {
        host->controls.chooseMenu = ChooseInOrder({id});
        host->ShowContactMenu(c[1]);
    }
    EXPECT_EQ(Tabs(), c) << "the lock said no";

    unlocked = 1;
    host->controls.chooseMenu = ChooseInOrder({306005});
    host->ShowContactMenu(c[1]);
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});
    host->controls.chooseMenu = ChooseInOrder({306003});
    host->ShowContactMenu(c[1]);
    EXPECT_TRUE(Tabs().empty());
    EXPECT_FALSE(IsWindowVisible(Container()));
}

TEST_F(Actions, TheRecentlyClosedSubmenuListsTheTenNewestKnownContactsNewestFirst) {
    std::vector<int> known;
    for (int i = 0; i < 12; ++i) known.push_back(AddContact("Kontakt " + std::to_string(i)));
    int forgotten = AddContact("Zapomniany");
    StoreClosed({known[0], 0, forgotten, known[1], known[2], known[3], known[4], known[5], known[6], known[7],
                 known[8], known[9], known[10], known[11]});
    host->state.contacts.Find(known[3])->display = "Bardzo długa nazwa kontaktu do skrócenia";
    host->state.contacts.Remove(forgotten);
    auto c = BootWithTabs({"Ala"});

    host->controls.chooseMenu = ChooseInOrder({306006});
    host->ShowContactMenu(c[0]);
    EXPECT_EQ(Entry(306006).Ids()[0], 306008) << "\"Wyczyść listę\" and its separator stay first";
    EXPECT_EQ(Entry(306006).Ids()[1], 306009);
    EXPECT_EQ(ClosedEntries(306006), std::vector<int>(known.begin(), known.begin() + 10));
    EXPECT_EQ(Entry(known[3]).text, "Bardzo długa nazwa kontaktu do skrócenia") << "names are not shortened";
    EXPECT_EQ(Entry(known[3]).icon, StatusIconId(1, 1));

    host->controls.chooseMenu = ChooseInOrder({306006});
    host->ShowContactMenu(c[0]);
    EXPECT_EQ(ClosedEntries(306006), std::vector<int>(known.begin(), known.begin() + 10)) << "no duplicates";

    host->controls.chooseMenu = ChooseInOrder({306006, known[4]});
    host->ShowContactMenu(c[0]);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], known[4]}));
    host->controls.chooseMenu = ChooseInOrder({306006});
    host->ShowContactMenu(c[0]);
    EXPECT_EQ(ClosedEntries(306006), (std::vector<int>{known[0], known[1], known[2], known[3], known[5], known[6],
                                                       known[7], known[8], known[9], known[10]}))
        << "the reopened one is no longer closed";
}

TEST_F(Actions, ClearingTheListHidesBothRecentlyClosedSubmenus) {
    int ewa = AddContact("Ewa");
    StoreClosed({ewa});
    auto c = BootWithTabs({"Ala"});
    host->ShowMainMenu();
    EXPECT_FALSE(Entry(306007).hidden);
    host->recorded.ClearSent();
    host->Notify({306009, 306007, Host::kNoContact}, Host::kNoticeAction);
    EXPECT_EQ(host->recorded.CountSent(Host::kElementNotify), 0) << "the separator is no contact to open";

    host->controls.chooseMenu = ChooseInOrder({306007, 306008});
    host->ShowMainMenu();
    EXPECT_TRUE(HiddenMainEntry());
    host->controls.chooseMenu = nullptr;
    host->ShowContactMenu(c[0]);
    EXPECT_TRUE(Entry(306006).hidden);
    host->Call(Host::kMsgEnd);
    EXPECT_EQ(host->state.config.Text("Tabs/ClosedRecentlyBuffer"), "");
}

TEST_F(Actions, EachRecentlyClosedSubmenuFollowsItsOwnSetting) {
    int ewa = AddContact("Ewa");
    StoreClosed({ewa});
    host->state.config.SetInt(0, 0, Tabs::Column::ClosedRecentlyCnt, 0);
    auto c = BootWithTabs({"Ala"});
    host->ShowContactMenu(c[0]);
    EXPECT_TRUE(Entry(306006).hidden);
    host->ShowMainMenu();
    EXPECT_FALSE(Entry(306007).hidden);

    host->state.config.SetInt("Tabs/ClosedRecentlyCnt", 1);
    host->state.config.SetInt("Tabs/ClosedRecentlyMain", 0);
    host->ShowContactMenu(c[0]);
    EXPECT_FALSE(Entry(306006).hidden);
    host->ShowMainMenu();
    EXPECT_TRUE(Entry(306007).hidden);
}

TEST_F(Actions, TheTwoCloseAllCheckBoxesGreyEachOther) {
    host->state.config.SetInt(0, 0, Tabs::Column::CloseAllTabs, 1);
    Boot();
    host->OpenSettingsPage();
    HWND all = Control(306106), one = Control(306138);
    ASSERT_TRUE(all && one);
    EXPECT_TRUE(IsWindowEnabled(all));
    EXPECT_FALSE(IsWindowEnabled(one));

    SendMessageA(all, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(one));
    SendMessageA(one, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(all));
    SendMessageA(one, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(all));
}

TEST_F(Actions, OnlyWhenDetachedIsGreyedWhileTheDetachButtonIsOff) {
    host->state.config.SetInt(0, 0, Tabs::Column::ToolbarDetachButton, 0);
    Boot();
    host->OpenSettingsPage();
    HWND detach = Control(306110), onlyDetached = Control(306139);
    EXPECT_FALSE(IsWindowEnabled(onlyDetached));
    SendMessageA(detach, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(onlyDetached));
    SendMessageA(detach, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(onlyDetached));
}

TEST_F(Actions, TheContactPageShowsForKnownContactsWhileTheSettingsAreNotLocked) {
    Boot();
    int ala = AddContact("Ala");
    // The status the plug-in wrote for the page when the host built it for the contact.
    auto written = [&](int contact) {
        host->recorded.ClearSent();
        host->Notify({306201, Host::kGroupContactPages, contact}, Host::kNoticeCreate);
        auto changes = host->recorded.SentWithCode(Host::kElementChange);
        EXPECT_EQ(changes.size(), 1u);
        const auto* info = reinterpret_cast<const ActionInfo*>(changes.back().record.data());
        EXPECT_EQ(info->ref.contact, contact);
        EXPECT_EQ(info->statusMask, 1u);
        return info->status;
    };
    EXPECT_EQ(written(ala), 0u);
    host->controls.rowTestAnswer = [](int, int) { return 0; };
    EXPECT_EQ(written(ala), 0xFFFFFFFFu);
    EXPECT_TRUE(host->state.elements.Find(306201, Host::kGroupContactPages)->HiddenFor(ala));
    host->controls.rowTestAnswer = nullptr;
    host->state.config.SetInt("Tabs/LockState", 1);
    EXPECT_EQ(written(ala), 0xFFFFFFFFu);
}

TEST_F(Actions, ANoticeWhosePreviousOwnerFallsBackToThePlugInItselfIsNotSentBackToIt) {
    host->state.elements.Find(250, 3)->owner = 0;
    host->state.elements.Find(251, 3)->owner = 0;
    host->controls.fallbackOwner = kPluginNumber;
    Boot();
    int ala = AddContact("Ala");
    // The toolbar's create notices (10) aside: the host builds it with the window.
    auto controlNotices = [this] {
        size_t n = 0;
        for (const Sent& s : host->recorded.CallsWithCode(Host::kMsgAction)) {
            const auto* notice = reinterpret_cast<const ActionNotice*>(s.record.data());
            if (s.record.size() < sizeof(ActionNotice) || notice->notice != Host::kNoticeCreate) ++n;
        }
        return n;
    };
    size_t before = controlNotices();
    Open(ala);
    EXPECT_EQ(Tabs(), std::vector<int>{ala});
    EXPECT_EQ(controlNotices(), before + 2) << "one notice each, none came back";
    EXPECT_EQ(host->Notify({251, 3, ala}, Host::kNoticeCreate), 0);
}

// Only the two recently closed submenus hold the clear entry: its creation
// or choice named under any other parent deletes nothing there, adds
// nothing and clears nothing.
TEST_F(Actions, TheClearEntryUnderAnotherParentLeavesThatGroupAndTheListAlone) {
    int ewa = AddContact("Ewa");
    StoreClosed({ewa});
    auto c = BootWithTabs({"Ala"});
    for (int parent : {Host::kGroupConversation, Host::kGroupContactMenu, kMainMenuGroup, 0}) {
        std::vector<int> before = host->state.elements.Children(parent);
        host->recorded.ClearSent();
        for (int code : {Host::kNoticeCreate, Host::kNoticeAction}) {
            ActionNotice notice{};
            notice.size = sizeof notice;
            notice.ref = {306008, parent, Host::kNoContact};
            notice.notice = code;
            EXPECT_EQ(host->Call(Host::kMsgAction, &notice), 0) << parent;
        }
        EXPECT_EQ(host->state.elements.Children(parent), before) << parent;
        EXPECT_EQ(host->recorded.CountSent(Host::kElementRemove), 0) << parent;
        EXPECT_EQ(host->recorded.CountSent(Host::kElementInsert), 0) << parent;
    }
    host->controls.chooseMenu = ChooseInOrder({306006});
    host->ShowContactMenu(c[0]);
    EXPECT_EQ(ClosedEntries(306006), std::vector<int>{ewa});
    int jan = AddContact("Jan");
    Open(jan);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], jan})) << "the host's message view is still the plug-in's to take";
}
