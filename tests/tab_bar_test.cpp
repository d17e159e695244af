// The tab bar on a real toolbar control: buttons, images, contact icons, the
// hit test and the tooltip texts.
#include "container_fixture.h"

using namespace DevHostLib;

class TabBarTest : public InProcessTest {
protected:
    void SetUp() override {
        InProcessTest::SetUp();
        host.state.config.SetInt("Tabs/TabsCloseButton", 1);
        MakeContainer();
    }

    NMTTDISPINFOA TooltipAt(int x, int y) {
        RECT bar{};
        GetWindowRect(Tabs::tabBar.Window(), &bar);
        SetCursorPos(bar.left + x, bar.top + y);
        NMTTDISPINFOA info{};
        info.hdr.code = TTN_GETDISPINFOA;
        info.lpszText = const_cast<char*>("poprzedni");
        EXPECT_EQ(ContainerObject().Bar().TooltipText(info), 0);
        return info;
    }
};

TEST_F(TabBarTest, FixedButtonsComeFirstAndTabsCarryButtonIdShortenedNameAndStatusImage) {
    host.state.config.SetInt("Tabs/ShortenDesc ", 20);
    int ola = host.state.contacts.Add("ola@velmora", "Aleksandra Wiśniewska-Kowal", 2, 3);
    AddTab(ola);

    ASSERT_EQ(Tabs::tabBar.Count(), 3);
    EXPECT_EQ(ButtonAt(0).idCommand, 0xFFFF);
    EXPECT_EQ(ButtonAt(0).iBitmap, host.state.icons.Index(Tabs::Icon::CloseIcon));
    EXPECT_EQ(ButtonAt(1).idCommand, 0xFFFE);
    EXPECT_EQ(ButtonAt(1).iBitmap, host.state.icons.Index(Tabs::Icon::TabsIcon));
    TBBUTTON tab = ButtonAt(2);
    EXPECT_EQ(tab.idCommand, ola & 0xBFFFFFFF);
    EXPECT_EQ(tab.dwData, static_cast<DWORD_PTR>(ola & 0xBFFFFFFF));
    EXPECT_EQ(tab.fsStyle, 0x50);
    EXPECT_EQ(tab.iBitmap, host.state.icons.Index(StatusIconId(2, 3)));
    EXPECT_EQ(ButtonText(tab.idCommand), std::string("Aleksandra Wiśniewsk") + "\x85");
}

TEST_F(TabBarTest, UnknownIconsFallBackAndIconZeroShowsNoImage) {
    int ala = AddContact("Ala");
    AddTab(ala);
    Tabs::tabBar.SetImage(Tabs::ButtonOf(ala), 999999);
    EXPECT_EQ(ButtonAt(2).iBitmap, host.state.icons.Index(Host::kIconUnknown));
    Tabs::tabBar.SetImage(Tabs::ButtonOf(ala), 0);
    EXPECT_EQ(ButtonAt(2).iBitmap, I_IMAGENONE) << "the whole -2, not its low word";
}

TEST_F(TabBarTest, ButtonIdsThatACommandCannotCarryOrThatRepeatAreRefused) {
    EXPECT_FALSE(Tabs::tabBar.AddButton(Tabs::ButtonOf(0x40000000 | 70000), "za duży", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(Tabs::ButtonOf(0x4000FFFE), "jak odepnij", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(0, "zero", 0, Tabs::kTabStyle));
    EXPECT_TRUE(Tabs::tabBar.AddButton(65533, "ostatni", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(65533, "drugi raz", 0, Tabs::kTabStyle));
    EXPECT_EQ(Tabs::tabBar.Count(), 3);
    EXPECT_TRUE(host.recorded.Logged("TabBar::AddButton - id poza zakresem: 70000"));
}

TEST_F(TabBarTest, StatusIconComesFromTheIconPluginThenTheContactThenTheNetwork) {
    int ala = AddContact("Ala", 3, 2);
    EXPECT_EQ(Tabs::StatusIcon(ala, -1), 0x40000000 + 3 * 0x100000 + 2 * 0x10);
    EXPECT_EQ(Tabs::MessageIcon(ala), 66);
    host.state.contacts.Find(ala)->icon = 4242;
    EXPECT_EQ(Tabs::StatusIcon(ala, 0), 4242) << "the chosen icon whatever the status";

    host.controls.pluginsPresent.insert("Merulka");
    host.controls.pluginAnswers[306101] = [&](int p1, int p2) { return p1 == ala && p2 == 2 ? 0 : 1; };
    host.controls.pluginAnswers[306102] = [&](int p1, int p2) { return p1 == ala && p2 == 0 ? 777 : 0; };
    host.recorded.ClearSent();
    EXPECT_EQ(Tabs::StatusIcon(ala, -1), 0) << "the plug-in's answer, 0 included";
    EXPECT_EQ(Tabs::MessageIcon(ala), 777);
    const Sent question = host.recorded.SentWithCode(306101).at(0);
    const auto* m = reinterpret_cast<const HostMessage*>(question.message.data());
    EXPECT_EQ(m->targetNumber, 306);
    EXPECT_EQ(m->targetKind, -1);
}

TEST_F(TabBarTest, HitTestCountsEdgesAndGivesSharedEdgesToTheLowerIndex) {
    AddTab(AddContact("Ala"));
    RECT close = ItemRect(0), detach = ItemRect(1), tab = ItemRect(2);
    ASSERT_EQ(close.right, detach.left);
    EXPECT_EQ(Tabs::tabBar.HitTest(close.right, close.top), 0xFFFF);
    EXPECT_EQ(Tabs::tabBar.HitTest(tab.right, tab.bottom), Tabs::tabBar.CommandAt(2));
    EXPECT_EQ(Tabs::tabBar.HitTest(tab.right + 1, tab.top), -1);

    host.state.config.SetInt("Tabs/TabsCloseButton", 0);
    Tabs::ShowFixedButtons();
    EXPECT_EQ(Tabs::tabBar.HitTest(close.left + 1, close.top + 1), 0xFFFE) << "the hidden button's place";
}

TEST_F(TabBarTest, TooltipsNameTheFixedButtonsAndShowTheContactsInformation) {
    int ala = AddContact("Ala");
    host.state.contacts.Find(ala)->info = "tel. 123\r\nul. Długa 5\nWarszawa";
    AddTab(ala);
    RECT close = ItemRect(0), detach = ItemRect(1), tab = ItemRect(2);

    EXPECT_STREQ(TooltipAt(close.left + 2, close.top + 2).lpszText, "Zamknij");
    EXPECT_STREQ(TooltipAt(detach.left + 2, detach.top + 2).lpszText, "Odepnij");
    EXPECT_STREQ(TooltipAt(tab.right, tab.bottom).lpszText, "tel. 123//ul. Długa 5/Warszawa");
    EXPECT_STREQ(TooltipAt(tab.right + 10, tab.top).lpszText, "") << "no contact belongs there";
    RECT bar{};
    GetWindowRect(Tabs::tabBar.Window(), &bar);
    EXPECT_STREQ(TooltipAt(0, bar.bottom - bar.top + 5).lpszText, "poprzedni") << "off the bar: untouched";
}
