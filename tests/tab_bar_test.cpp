// The tab bar on a real toolbar control: buttons, images, icons chosen for
// contacts, the hit test and the tooltip texts.
#include "container_fixture.h"

using namespace DevHostLib;

class TabBarTest : public InProcessTest {
protected:
    void SetUp() override {
        InProcessTest::SetUp();
        MakeContainer();
    }

    // Puts the cursor on a point of the bar given in bar coordinates.
    void CursorOnBar(int x, int y) {
        RECT bar{};
        GetWindowRect(Tabs::tabBar.Window(), &bar);
        SetCursorPos(bar.left + x, bar.top + y);
        POINT p{};
        GetCursorPos(&p);
        ASSERT_EQ(p.x, bar.left + x);
        ASSERT_EQ(p.y, bar.top + y);
    }

    // Lays the container out with the bar on top and both fixed buttons shown.
    void ShowWithBarOnTop(int tabs) {
        host.config.SetInt("Tabs/Align", 1);
        host.config.SetInt("Tabs/TabsCloseButton", 1);
        Tabs::tabsAlign = 1;
        Tabs::ShowFixedButtons();
        for (int i = 0; i < tabs; ++i) AddTab(AddContact("Kontakt" + std::to_string(i)));
        SetWindowPos(Tabs::containerWnd, nullptr, 50, 50, 700, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    NMTTDISPINFOA Tooltip() {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = Tabs::tooltipWnd;
        info.hdr.code = TTN_GETDISPINFOA;
        info.lpszText = const_cast<char*>("poprzedni");
        EXPECT_EQ(Tabs::TooltipText(info), 0);
        return info;
    }
};

TEST_F(TabBarTest, FixedButtonsStandFirstWithTheirIdsIconsAndStyle) {
    ASSERT_EQ(Tabs::tabBar.Count(), 2);
    TBBUTTON close = ButtonAt(0), detach = ButtonAt(1);
    EXPECT_EQ(close.idCommand, 0xFFFF);
    EXPECT_EQ(detach.idCommand, 0xFFFE);
    EXPECT_EQ(close.iBitmap, host.icons.Index(Tabs::Icon::CloseIcon));
    EXPECT_EQ(detach.iBitmap, host.icons.Index(Tabs::Icon::TabsIcon));
    EXPECT_EQ(close.fsStyle, 0x50);
    EXPECT_EQ(close.dwData, 0xFFFFu);
    EXPECT_EQ(ButtonText(0xFFFF), "");
    EXPECT_EQ(Bar(TB_GETIMAGELIST), reinterpret_cast<LRESULT>(host.icons.ImageList()));
}

TEST_F(TabBarTest, ATabCarriesTheButtonIdTheShortenedNameAndTheStatusImage) {
    host.config.SetInt("Tabs/ShortenDesc ", 20);
    int ola = host.contacts.Add("ola@velmora", "Aleksandra Wiśniewska-Kowal", 2, 3);
    AddTab(ola);

    ASSERT_EQ(Tabs::tabBar.Count(), 3);
    TBBUTTON tab = ButtonAt(2);
    EXPECT_EQ(tab.idCommand, ola & 0xBFFFFFFF);
    EXPECT_EQ(tab.dwData, static_cast<DWORD_PTR>(ola & 0xBFFFFFFF));
    EXPECT_EQ(tab.fsState, TBSTATE_ENABLED);
    EXPECT_EQ(tab.iBitmap, host.icons.Index(StatusIconId(2, 3)));
    EXPECT_EQ(ButtonText(tab.idCommand), std::string("Aleksandra Wiśniewsk") + "\x85");
    EXPECT_EQ(Tabs::ContactOf(Tabs::tabBar.CommandAt(2)), ola);
}

TEST_F(TabBarTest, IconsTheHostDoesNotKnowFallBackAndIconZeroMeansNoImage) {
    int ala = AddContact("Ala");
    AddTab(ala);
    int id = Tabs::ButtonId(ala);

    Tabs::tabBar.SetImage(id, 999999);
    EXPECT_EQ(ButtonAt(2).iBitmap, host.icons.Index(Host::kIconUnknown));
    Tabs::tabBar.SetImage(id, Host::kIconMessage);
    EXPECT_EQ(ButtonAt(2).iBitmap, host.icons.Index(Host::kIconMessage));
    Tabs::tabBar.SetImage(id, 0);
    EXPECT_EQ(ButtonAt(2).iBitmap, I_IMAGENONE);

    ASSERT_TRUE(Tabs::tabBar.AddButton(40, "bez ikony", 0, 0));
    EXPECT_EQ(ButtonAt(3).iBitmap, I_IMAGENONE);
    EXPECT_EQ(ButtonAt(3).fsStyle, BTNS_AUTOSIZE);
}

TEST_F(TabBarTest, ButtonIdsThatACommandCannotCarryOrThatRepeatAreRefused) {
    host.ClearSent();
    EXPECT_FALSE(Tabs::tabBar.AddButton(Tabs::ButtonId(0x40000000 | 70000), "za duży", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(Tabs::ButtonId(0x4000FFFE), "jak odepnij", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(0, "zero", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(Tabs::ButtonId(static_cast<int>(0xC0000005)), "ujemny", 0, Tabs::kTabStyle));
    EXPECT_TRUE(Tabs::tabBar.AddButton(65533, "ostatni", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(65533, "drugi raz", 0, Tabs::kTabStyle));

    EXPECT_EQ(Tabs::tabBar.Count(), 3);
    EXPECT_EQ(Tabs::tabBar.CommandAt(2), 65533);
    EXPECT_EQ(ButtonText(65533), "ostatni");
    EXPECT_TRUE(host.Logged("TabBar::AddButton - id poza zakresem: 70000"));
}

TEST_F(TabBarTest, OperationsByCommandAndByIndexAnswerFromTheControl) {
    int a = AddContact("A"), b = AddContact("B");
    AddTab(a);
    AddTab(b);
    int idA = Tabs::ButtonId(a), idB = Tabs::ButtonId(b);

    EXPECT_EQ(Tabs::tabBar.IndexOf(idB), 3);
    EXPECT_EQ(Tabs::tabBar.IndexOf(12345), -1);
    EXPECT_EQ(Tabs::tabBar.CommandAt(7), -1);
    EXPECT_TRUE(Tabs::tabBar.Exists(3, true));
    EXPECT_FALSE(Tabs::tabBar.Exists(4, true));

    Tabs::tabBar.Check(idA, true);
    Tabs::tabBar.Press(idB, true);
    EXPECT_TRUE(Bar(TB_GETSTATE, idA) & TBSTATE_CHECKED);
    EXPECT_TRUE(Bar(TB_GETSTATE, idB) & TBSTATE_PRESSED);
    Tabs::tabBar.SetText(idA, "Ania");
    EXPECT_EQ(ButtonText(idA), "Ania");

    Tabs::tabBar.Move(3, 2);
    EXPECT_EQ(Tabs::tabBar.CommandAt(2), idB);
    Tabs::tabBar.Delete(idB);
    Tabs::tabBar.Delete(12345);
    EXPECT_EQ(Tabs::tabBar.Count(), 3);
    Tabs::tabBar.Delete(2, true);
    EXPECT_EQ(Tabs::tabBar.Count(), 2);
}

TEST_F(TabBarTest, StatusIconComesFromTheIconPluginThenTheContactThenTheNetwork) {
    int ala = AddContact("Ala", 3, 2);
    EXPECT_EQ(Tabs::StatusIcon(ala, -1), 0x40000000 + 3 * 0x100000 + 2 * 0x10);
    EXPECT_EQ(Tabs::StatusIcon(ala, 0x104), 0x40000000 + 3 * 0x100000 + 4 * 0x10) << "the status's low byte";

    host.contacts.Find(ala)->icon = 4242;
    EXPECT_EQ(Tabs::StatusIcon(ala, -1), 4242);
    EXPECT_EQ(Tabs::StatusIcon(ala, 0), 4242) << "the chosen icon stays whatever the status";

    host.pluginsPresent.insert("Merulka");
    int seenP1 = 0, seenP2 = -1;
    host.pluginAnswers[306101] = [&](int p1, int p2) {
        seenP1 = p1;
        seenP2 = p2;
        return 0;
    };
    host.ClearSent();
    EXPECT_EQ(Tabs::StatusIcon(ala, -1), 0) << "the plug-in's answer, 0 included";
    EXPECT_EQ(seenP1, ala);
    EXPECT_EQ(seenP2, 2);
    auto asked = host.SentWithCode(306101);
    ASSERT_EQ(asked.size(), 1u);
    const auto* m = reinterpret_cast<const HostMessage*>(asked[0].message.data());
    EXPECT_EQ(m->targetNumber, 306);
    EXPECT_EQ(m->targetKind, -1);
    EXPECT_EQ(host.SentWithCode(Host::kPluginLoaded).at(0).text, "Merulka");
}

TEST_F(TabBarTest, MessageIconIsTheIconPluginsNonzeroAnswerOrTheHostsOwn) {
    int ala = AddContact("Ala");
    host.ClearSent();
    EXPECT_EQ(Tabs::MessageIcon(ala), 66);
    EXPECT_EQ(host.CountSent(306102), 0);

    host.pluginsPresent.insert("Merulka");
    EXPECT_EQ(Tabs::MessageIcon(ala), 66) << "an answer of 0";
    host.pluginAnswers[306102] = [&](int p1, int p2) { return p1 == ala && p2 == 0 ? 777 : 0; };
    EXPECT_EQ(Tabs::MessageIcon(ala), 777);
}

TEST_F(TabBarTest, HitTestCountsEdgesAndGivesSharedEdgesToTheLowerIndex) {
    ShowWithBarOnTop(2);
    RECT close = ItemRect(0), detach = ItemRect(1), first = ItemRect(2);
    ASSERT_LT(close.left, close.right);

    EXPECT_EQ(Tabs::tabBar.HitTest(close.left, close.top), 0xFFFF);
    EXPECT_EQ(Tabs::tabBar.HitTest(first.right, first.bottom), Tabs::tabBar.CommandAt(2)) << "right and bottom edges count";
    ASSERT_EQ(close.right, detach.left);
    ASSERT_EQ(detach.right, first.left);
    EXPECT_EQ(Tabs::tabBar.HitTest(close.right, close.top + 1), 0xFFFF);
    EXPECT_EQ(Tabs::tabBar.HitTest(detach.right, detach.top + 1), 0xFFFE);
    EXPECT_EQ(Tabs::tabBar.HitTest(ItemRect(3).right + 5, first.top + 1), -1);
    EXPECT_EQ(Tabs::tabBar.HitTest(first.left + 1, first.bottom + 3), -1);
}

TEST_F(TabBarTest, WithTheCloseButtonHiddenItsPlaceHitsWhatNowStandsThere) {
    ShowWithBarOnTop(1);
    RECT close = ItemRect(0);
    host.config.SetInt("Tabs/TabsCloseButton", 0);
    Tabs::ShowFixedButtons();
    EXPECT_TRUE(Bar(TB_GETSTATE, 0xFFFF) & TBSTATE_HIDDEN);
    EXPECT_EQ(Tabs::tabBar.CommandAt(0), 0xFFFF) << "a hidden button keeps its index";

    int hit = Tabs::tabBar.HitTest(close.left + 1, close.top + 1);
    EXPECT_TRUE(hit == 0xFFFE || hit == Tabs::tabBar.CommandAt(2)) << hit;
}

TEST_F(TabBarTest, TooltipsNameTheFixedButtonsAndShowTheContactsInformation) {
    ShowWithBarOnTop(1);
    int ala = AddContact("Ala");
    host.contacts.Find(ala)->info = "tel. 123\r\nul. Długa 5\nWarszawa";
    AddTab(ala);
    Tabs::tabBar.AutoSize();

    RECT r = ItemRect(0);
    CursorOnBar(r.left + 2, r.top + 2);
    NMTTDISPINFOA info = Tooltip();
    EXPECT_STREQ(info.szText, "Zamknij");
    EXPECT_EQ(info.lpszText, info.szText);

    r = ItemRect(1);
    CursorOnBar(r.left + 2, r.top + 2);
    EXPECT_STREQ(Tooltip().szText, "Odepnij");

    r = ItemRect(3);
    CursorOnBar(r.right, r.bottom);
    host.ClearSent();
    info = Tooltip();
    EXPECT_STREQ(info.lpszText, "tel. 123//ul. Długa 5/Warszawa");
    EXPECT_TRUE(host.Logged("Tabs::WndProc - TTN_GETDISPINFO"));
}

TEST_F(TabBarTest, TooltipOffTheButtonsReadsNoContactAndOffTheBarGivesNothing) {
    ShowWithBarOnTop(1);
    RECT last = ItemRect(2);
    CursorOnBar(last.right + 10, last.top + 2);
    NMTTDISPINFOA info = Tooltip();
    EXPECT_STREQ(info.lpszText, "") << "no contact belongs to that point";

    RECT bar{};
    GetWindowRect(Tabs::tabBar.Window(), &bar);
    SetCursorPos(bar.left + 5, bar.bottom + 20);
    info = Tooltip();
    EXPECT_STREQ(info.lpszText, "poprzedni") << "the notification is left alone";

    int command = 0;
    EXPECT_FALSE(Tabs::ButtonUnderCursor(command));
    SetCursorPos(bar.right, bar.bottom);
    EXPECT_TRUE(Tabs::ButtonUnderCursor(command)) << "the bar's edges count";
}
