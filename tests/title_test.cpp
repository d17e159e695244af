// Tab names, the container title with the bracket of waiting contacts, and
// the conversation window's properties.
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
    int longName = AddContact("Bartłomiej Zdzisław Go");      // 22 bytes in code page 1250
    int exact = AddContact("Bartłomiej Zdzisław ");           // 20
    host.config.SetInt("Tabs/ShortenDesc ", 20);
    EXPECT_EQ(Tabs::GetTabName(longName, true), std::string("Bartłomiej Zdzisław ") + "\x85");
    EXPECT_EQ(Tabs::GetTabName(exact, true), "Bartłomiej Zdzisław ");
    EXPECT_EQ(Tabs::GetTabName(longName, false), "Bartłomiej Zdzisław Go");
    host.config.SetInt("Tabs/ShortenDesc ", 0);
    EXPECT_EQ(Tabs::GetTabName(longName, true), "Bartłomiej Zdzisław Go");
}

TEST_F(TitleTest, LongNamesAndTitlesArriveWhole) {
    std::string name(3000, 'n');
    int contact = AddContact(name);
    host.config.SetInt("Tabs/ShortenDesc ", 5000);
    EXPECT_EQ(Tabs::GetTabName(contact, true), name);

    std::string title(5000, 't');
    title += "ąę";
    Tabs::SetTitle(title.c_str());
    EXPECT_EQ(Text(Tabs::containerWnd), title);
}

TEST_F(TitleTest, AContactWithoutADisplayNameIsNamedByItsUserId) {
    int contact = host.contacts.Add("jan@velmora", "");
    EXPECT_EQ(Tabs::GetTabName(contact, true), "jan@velmora");
    int nobody = host.contacts.Add("", "");
    EXPECT_EQ(Tabs::GetTabName(nobody, true), "");
}

TEST_F(TitleTest, WaitingContactsStandInABracketBeforeTheConversationTitle) {
    Tabs::SetTitle("Ala");
    EXPECT_EQ(Text(Tabs::containerWnd), "Ala");

    int a = AddContact("a"), b = AddContact("b"), c = AddContact("c");
    Tabs::waitingList = {a};
    Tabs::SetTitle("T");
    EXPECT_EQ(Text(Tabs::containerWnd), "[a] T");
    Tabs::waitingList = {a, b, c};
    Tabs::SetTitle("T");
    EXPECT_EQ(Text(Tabs::containerWnd), "[a, b, c] T");

    host.config.SetInt("Tabs/ShortenDesc ", 3);
    Tabs::waitingList = {AddContact("Aleksandra")};
    Tabs::SetTitle("T");
    EXPECT_EQ(Text(Tabs::containerWnd), std::string("[Ale") + "\x85" + "] T") << "names in the bracket are shortened";
}

TEST_F(TitleTest, LineBreaksInTheConversationTitleBecomeBlanks) {
    Tabs::SetTitle("Ala\r\nma\nkota\r");
    EXPECT_EQ(Text(Tabs::containerWnd), "Ala  ma kota ");
}

TEST_F(TitleTest, RefreshTitleTakesTheShownConversationsText) {
    int ola = AddContact("Ola");
    Tabs::waitingList = {ola};
    MakeCurrentWindow("Rozmowa z Janem");
    Tabs::RefreshTitle();
    EXPECT_EQ(Text(Tabs::containerWnd), "[Ola] Rozmowa z Janem");

    Tabs::currentWnd = nullptr;
    Tabs::RefreshTitle();
    EXPECT_EQ(Text(Tabs::containerWnd), "[Ola] ") << "only the waiting part";
}

TEST_F(TitleTest, ClearingAWaitingContactRestoresItsIconAndTheTitle) {
    int jan = AddContact("Jan", 2, 1), ola = AddContact("Ola");
    AddTab(jan);
    AddTab(ola);
    Tabs::tabBar.SetImage(Tabs::ButtonId(jan), Host::kIconMessage);
    Tabs::waitingList = {ola, jan};
    Tabs::currentCnt = jan;
    MakeCurrentWindow("Jan");

    Tabs::ClearMsgWaiting(0);
    EXPECT_EQ(Tabs::waitingList, Tabs::ContactList{ola});
    EXPECT_EQ(ButtonAt(2).iBitmap, host.icons.Index(StatusIconId(2, 1)));
    EXPECT_EQ(Text(Tabs::containerWnd), "[Ola] Jan");

    SetWindowTextA(Tabs::containerWnd, "bez zmian");
    Tabs::ClearMsgWaiting(jan);
    EXPECT_EQ(Text(Tabs::containerWnd), "bez zmian") << "a contact that is not waiting changes nothing";
    Tabs::ClearMsgWaiting(ola);
    EXPECT_TRUE(Tabs::waitingList.empty());
    EXPECT_EQ(Text(Tabs::containerWnd), "Jan");
}

TEST_F(TitleTest, AConversationWindowTellsItsContactAndWhetherItIsTabbed) {
    int ala = AddContact("Ala", 4);
    HWND window = host.conversations.Open(ala);
    ASSERT_NE(window, nullptr);

    const Tabs::ConversationRecord* record = Tabs::ConversationOf(window);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->network, 4);
    EXPECT_EQ(Tabs::ContactOfWindow(window), ala);
    EXPECT_FALSE(Tabs::IsTabbed(window));
    SetPropA(window, Tabs::kPropTabbed, reinterpret_cast<HANDLE>(1));
    EXPECT_TRUE(Tabs::IsTabbed(window));
    RemovePropA(window, Tabs::kPropTabbed);

    HWND plain = MakeTopWindow("bez rekordu");
    EXPECT_EQ(Tabs::ConversationOf(plain), nullptr);
    EXPECT_EQ(Tabs::ContactOfWindow(plain), 0);
    EXPECT_EQ(Tabs::ContactOfWindow(nullptr), 0);
    EXPECT_FALSE(Tabs::IsTabbed(nullptr));
}

TEST(ContactLists, RemoveTakesOnlyTheFirstOccurrence) {
    Tabs::ContactList list{5, 7, 5};
    EXPECT_TRUE(Tabs::ListRemove(list, 5));
    EXPECT_EQ(list, (Tabs::ContactList{7, 5}));
    EXPECT_FALSE(Tabs::ListRemove(list, 9));
    EXPECT_TRUE(Tabs::ListContains(list, 5));
    EXPECT_FALSE(Tabs::ListContains(list, 9));
}
