// The stand-in host's menus: what a menu shows a contact, and the order in
// which the elements' owners hear of its creation, the choice and its end.
#include <utility>

#include "fixture.h"

using namespace DevHostLib;

namespace {

constexpr int kStandIn = 999;  // a stand-in plug-in that owns test elements

}  // namespace

class HostMenus : public PluginTest {
protected:
    // Registers an element the way a plug-in does (request 10101), then
    // hands it to the stand-in owner.
    void Register(int parent, int id, uint32_t status, const char* text) {
        ActionInfo a;
        BuildActionInfo(a, parent, id, -1, status, text);
        Request(Host::kElementInsert, &a);
        host->state.elements.Find(id, parent)->owner = kStandIn;
    }
    void SetStatus(const ActionRef& ref, uint32_t status, uint32_t mask) {
        ActionInfo a{};
        a.size = kActionInfoSize;
        a.ref = ref;
        a.mask = Host::kMaskStatus;
        a.status = status;
        a.statusMask = mask;
        Request(Host::kElementChange, &a);
    }
    void SetText(const ActionRef& ref, const char* text) {
        ActionInfo a{};
        a.size = kActionInfoSize;
        a.ref = ref;
        a.mask = Host::kMaskText;
        a.text = text;
        Request(Host::kElementChange, &a);
    }
    int Request(int code, const void* p1) {
        HostMessage m;
        BuildHostMessage(m, code, reinterpret_cast<intptr_t>(p1));
        return host->send(&m);
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

TEST_F(HostMenus, ContactMenuLeavesOutWhatIsHiddenForThatContactAndShowsItsOwnTexts) {
    int ala = AddContact("Ala");
    int jan = AddContact("Jan");
    Register(Host::kGroupContactMenu, 999001, 0, "Wspólny");
    SetStatus({999001, Host::kGroupContactMenu, ala}, 1, 1);
    SetText({999001, Host::kGroupContactMenu, jan}, "Tylko dla Jana");

    host->ShowContactMenu(ala);
    const MenuEntry& menu = host->recorded.lastMenu.menu;
    EXPECT_EQ(menu.id, Host::kGroupContactMenu);
    EXPECT_EQ(menu.Ids(), (std::vector<int>{138, 132, 135, 400, 999001}));
    EXPECT_EQ(menu.Ids(true), (std::vector<int>{138, 132, 135, 400}));
    EXPECT_TRUE(menu.Find(135)->separator);
    EXPECT_TRUE(menu.Find(400)->submenu);
    EXPECT_FALSE(menu.Find(400)->opened) << "a submenu is built only when the user opens it";

    host->ShowContactMenu(jan);
    const MenuEntry* entry = host->recorded.lastMenu.menu.Find(999001);
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->hidden);
    EXPECT_EQ(entry->text, "Tylko dla Jana");
    EXPECT_EQ(host->recorded.lastMenu.contact, jan);
}

TEST_F(HostMenus, OwnersHearCreationThenTheChoiceThenDestruction) {
    int ala = AddContact("Ala");
    Register(Host::kGroupContactMenu, 999001, 0, "Pierwszy");
    Register(Host::kGroupContactMenu, 999002, 0, "Drugi");
    host->recorded.notices.clear();
    host->controls.chooseMenu = ChooseInOrder({999002});

    EXPECT_EQ(host->ShowContactMenu(ala), 999002);

    std::vector<std::pair<int, int>> expected{{999001, 10}, {999002, 10}, {999002, 1}, {999001, 11}, {999002, 11}};
    EXPECT_EQ(StandInHeard(), expected);
    for (const DeliveredNotice& n : host->recorded.notices) {
        EXPECT_EQ(n.ref.parent, Host::kGroupContactMenu);
        EXPECT_EQ(n.ref.contact, ala);
    }
    int hostCreates = 0;
    for (const DeliveredNotice& n : host->recorded.notices)
        if (n.owner == 0 && n.notice == Host::kNoticeCreate) ++hostCreates;
    EXPECT_EQ(hostCreates, 4) << "every element of the group hears of it, the host's own included";
}

TEST_F(HostMenus, ChoosingTheHostsOwnEntryRunsItsHandler) {
    int ala = AddContact("Ala");
    host->controls.chooseMenu = ChooseInOrder({Host::kActionOpenConversation});
    host->ShowContactMenu(ala);
    EXPECT_NE(host->state.conversations.WindowOf(ala), nullptr);
}

TEST_F(HostMenus, EntriesTheUserCannotChooseAreNeverChosen) {
    int ala = AddContact("Ala");
    Register(Host::kGroupContactMenu, 999001, 0, "Ukrywany przy tworzeniu");
    Register(Host::kGroupContactMenu, 999002, 2, "Wyszarzony");
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

TEST_F(HostMenus, SubmenuElementsHearOfCreationOnlyWhenTheSubmenuOpens) {
    int ala = AddContact("Ala");
    Register(kMainMenuGroup, 999007, 0x10, "Zamknięte");
    Register(999007, 999008, 0, "Wyczyść");
    Register(999007, 999009, 0x00010000, nullptr);
    // As the plug-in does: the first child's creation rebuilds the submenu.
    OwnerOnCreate(999008, [this, ala](const ActionNotice&) {
        Register(999007, ala, 0, "Ala");
        host->state.elements.Find(ala, 999007)->owner = kStandIn;
    });

    host->ShowMainMenu();
    EXPECT_FALSE(host->recorded.lastMenu.menu.Find(999007)->opened);
    EXPECT_EQ(host->state.elements.Find(ala, 999007), nullptr);

    host->recorded.notices.clear();
    host->controls.chooseMenu = ChooseInOrder({999007, ala});
    EXPECT_EQ(host->ShowMainMenu(), ala);
    const MenuEntry* submenu = host->recorded.lastMenu.menu.Find(999007);
    ASSERT_TRUE(submenu->opened);
    EXPECT_EQ(submenu->Ids(), (std::vector<int>{999008, 999009, ala}));
    EXPECT_TRUE(submenu->entries[1].separator);
    EXPECT_EQ(host->recorded.lastMenu.chosenParent, 999007);
    std::vector<std::pair<int, int>> expected{{999007, 10}, {999008, 10}, {999009, 10}, {ala, 10}, {ala, 1},
                                              {999007, 11}, {999008, 11}, {999009, 11}, {ala, 11}};
    EXPECT_EQ(StandInHeard(), expected);
}

TEST_F(HostMenus, PopupCallsShowTheContactMenuOrTheElementsOwnSubmenuAtThePoint) {
    int ala = AddContact("Ala");
    Register(kMainMenuGroup, 999007, 0x10, "Zamknięte");
    Register(999007, 999008, 0, "Wyczyść");
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

TEST_F(HostMenus, AMenuBarGroupIsBuiltEachTimeItOpensAndEndsAfterTheChoice) {
    Register(kMainMenuGroup, 999007, 0x10, "Zamknięte");
    Register(999007, 999008, 0, "Wyczyść");
    Register(kMainMenuGroup, 999010, 1, "Ukryty");
    MenuBarGroup bar(*host, kMainMenuGroup, 1000);
    HMENU popup = CreatePopupMenu();
    auto texts = [](HMENU menu) {
        std::vector<std::string> all;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = {};
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            all.push_back(text);
        }
        return all;
    };
    host->recorded.notices.clear();

    bar.Build(popup);
    EXPECT_EQ(texts(popup), (std::vector<std::string>{"Ustawienia", "Zamknięte"}));
    HMENU submenu = GetSubMenu(popup, 1);
    EXPECT_FALSE(bar.BuildSubmenu(popup)) << "only the group's own submenus are built here";
    ASSERT_TRUE(bar.BuildSubmenu(submenu));
    EXPECT_EQ(texts(submenu), std::vector<std::string>{"Wyczyść"});
    UINT command = GetMenuItemID(submenu, 0);
    EXPECT_FALSE(bar.Choose(999)) << "a command of the messenger's own";
    EXPECT_TRUE(bar.Choose(command));
    bar.Close();

    std::vector<std::pair<int, int>> expected{{999007, 10}, {999010, 10}, {999008, 10}, {999008, 1},
                                              {999007, 11}, {999010, 11}, {999008, 11}};
    EXPECT_EQ(StandInHeard(), expected);
    EXPECT_EQ(host->recorded.lastMenu.chosen, 999008);
    EXPECT_EQ(host->recorded.lastMenu.chosenParent, 999007);

    host->recorded.notices.clear();
    bar.Build(popup);
    bar.Build(popup);
    EXPECT_EQ(texts(popup).size(), 2u) << "a popup built again holds the group once";
    EXPECT_FALSE(bar.Choose(command)) << "the old entries are gone";
    bar.Close();
    bar.Close();
    std::vector<std::pair<int, int>> twice{{999007, 10}, {999010, 10}, {999007, 11}, {999010, 11},
                                           {999007, 10}, {999010, 10}, {999007, 11}, {999010, 11}};
    EXPECT_EQ(StandInHeard(), twice) << "every showing ends once, the unopened submenu not at all";
    DestroyMenu(popup);
}
