// Tab names and the container title with the bracket of waiting contacts.
#include "container_fixture.h"

using namespace DevHostLib;

class TitleTest : public InProcessTest {
protected:
    void SetUp() override {
        InProcessTest::SetUp();
        MakeContainer();
    }
};

TEST_F(TitleTest, NamesLongerThanTheLimitEndInAnEllipsis) {
    int longName = AddContact("Bartłomiej Zdzisław Go");  // 22 bytes in code page 1250
    int exact = AddContact("Bartłomiej Zdzisław ");       // 20
    int noDisplay = host.state.contacts.Add("jan@velmora", "");
    host.state.config.SetInt("Tabs/ShortenDesc ", 20);
    EXPECT_EQ(Tabs::GetTabName(longName, true), std::string("Bartłomiej Zdzisław ") + "\x85");
    EXPECT_EQ(Tabs::GetTabName(exact, true), "Bartłomiej Zdzisław ");
    EXPECT_EQ(Tabs::GetTabName(longName, false), "Bartłomiej Zdzisław Go");
    EXPECT_EQ(Tabs::GetTabName(noDisplay, true), "jan@velmora");
    host.state.config.SetInt("Tabs/ShortenDesc ", 0);
    EXPECT_EQ(Tabs::GetTabName(longName, true), "Bartłomiej Zdzisław Go");

    std::string huge(3000, 'n');
    host.state.config.SetInt("Tabs/ShortenDesc ", 5000);
    EXPECT_EQ(Tabs::GetTabName(AddContact(huge), true), huge) << "no buffer cuts a long name";
}

TEST_F(TitleTest, WaitingContactsStandInABracketBeforeTheCleanedConversationTitle) {
    Tabs::SetTitle("Ala\r\nma\nkota");
    EXPECT_EQ(Text(Tabs::containerWnd), "Ala  ma kota");

    int a = AddContact("a"), b = AddContact("b"), c = AddContact("c");
    Tabs::waitingList = {a};
    Tabs::SetTitle("T");
    EXPECT_EQ(Text(Tabs::containerWnd), "[a] T");
    Tabs::waitingList = {a, b, c};
    std::string longTitle(5000, 't');
    Tabs::SetTitle(longTitle.c_str());
    EXPECT_EQ(Text(Tabs::containerWnd), "[a, b, c] " + longTitle);
}

TEST_F(TitleTest, ClearingAWaitingContactRestoresItsIconAndTheTitle) {
    int jan = AddContact("Jan", 2, 1), ola = AddContact("Ola");
    AddTab(jan);
    Tabs::tabBar.SetImage(Tabs::ButtonOf(jan), Host::kIconMessage);
    Tabs::waitingList = {ola, jan};
    Tabs::currentCnt = jan;
    MakeCurrentWindow("Rozmowa z Janem");

    Tabs::ClearMsgWaiting(0);
    EXPECT_EQ(Tabs::waitingList, Tabs::ContactList{ola});
    EXPECT_EQ(Tabs::tabBar.Image(ButtonAt(2).idCommand), host.state.icons.Index(StatusIconId(2, 1)));
    EXPECT_EQ(Text(Tabs::containerWnd), "[Ola] Rozmowa z Janem");

    SetWindowTextA(Tabs::containerWnd, "bez zmian");
    Tabs::ClearMsgWaiting(jan);
    EXPECT_EQ(Text(Tabs::containerWnd), "bez zmian") << "a contact that is not waiting changes nothing";
    Tabs::currentWnd = nullptr;
    Tabs::ClearMsgWaiting(ola);
    EXPECT_EQ(Text(Tabs::containerWnd), "");
}
