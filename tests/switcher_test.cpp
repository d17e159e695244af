// The quick switcher through the real DLL: Ctrl+K in a conversation's edit,
// keys, characters and clicks as the controls get them, and the truth read
// from the windows and the host's records.
#include "conversation_fixture.h"
#include "ui/switcher_filter.h"

using namespace DevHostLib;

class Switcher : public ConversationTest {
protected:
    static HWND Window() { return FindWindowA("TabsSwitcher", nullptr); }
    static HWND Field() { return GetDlgItem(Window(), 1); }
    static HWND List() { return GetDlgItem(Window(), 2); }
    static HWND NothingText() { return GetDlgItem(Window(), 3); }

    void CtrlK(HWND edit) { Press(edit, 'K', {VK_CONTROL}); }
    static void Type(const std::string& text) {
        for (char ch : text) SendMessageA(Field(), WM_CHAR, static_cast<BYTE>(ch), 1);
    }
    void Key(UINT key, std::initializer_list<int> held = {}) { Press(Field(), key, held); }

    // The contacts of the rows, in order.
    static std::vector<int> Rows() {
        std::vector<int> rows;
        int count = static_cast<int>(SendMessageA(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) rows.push_back(static_cast<int>(SendMessageA(List(), LB_GETITEMDATA, i, 0)));
        return rows;
    }
    static int Chosen() { return static_cast<int>(SendMessageA(List(), LB_GETCURSEL, 0, 0)); }
    static RECT RowRect(int index) {
        RECT r{};
        SendMessageA(List(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    bool Faulted() const { return host->recorded.Logged("wyjątek") || host->recorded.Logged("błąd ochrony pamięci"); }
};

TEST_F(Switcher, WaitingConversationsComeFirstThenTabsByRecencyThenContactsWithoutATab) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    int bartek = AddContact("Bartek"), celina = AddContact("Celina");
    Press(Edit(c[3]), '2', {VK_CONTROL});
    Press(Edit(c[1]), '3', {VK_CONTROL});
    host->DeliverMessage(c[3], "hej");
    host->DeliverMessage(c[0], "hej");
    CtrlK(Edit(c[2]));
    ASSERT_TRUE(Window());
    EXPECT_EQ(GetFocus(), Field());
    EXPECT_EQ(Rows(), (std::vector<int>{c[0], c[3], c[1], c[2], bartek, celina}))
        << "waiting newest first, then tabs last shown first and the shown one last, then the table";
    EXPECT_EQ(Chosen(), 0);
    Key(VK_RETURN);
    EXPECT_FALSE(Window());
    EXPECT_EQ(CurrentContact(), c[0]) << "Ctrl+K, Enter: the newest waiting conversation";
    EXPECT_TRUE(InputSeen(c[2]).empty()) << "Ctrl+K never reaches the edit";
}

TEST_F(Switcher, TypingKeepsTheRowsThatHoldEveryWordWithoutRegardToCaseOrPolishLetters) {
    auto c = BootWithTabs({"Łukasz Żółć", "Lucyna Kowalska", "Zofia Łukasiewicz", "Anna Kot"});
    CtrlK(Edit(c[3]));
    auto typed = [&](const std::string& text) {
        SetWindowTextA(Field(), "");
        Type(text);
        EXPECT_EQ(Chosen(), Rows().empty() ? -1 : 0) << text;
        return Rows();
    };
    EXPECT_EQ(typed("lukasz"), std::vector<int>{c[0]});
    EXPECT_EQ(typed("ŁUK"), (std::vector<int>{c[2], c[0]})) << "three letters: anywhere, the rows in their order";
    EXPECT_EQ(typed("zolc"), std::vector<int>{c[0]});
    EXPECT_EQ(typed("lu  ko"), std::vector<int>{c[1]}) << "every word at the start of a word";
    EXPECT_EQ(typed("ot"), std::vector<int>{}) << "two letters inside a word are not enough";
    EXPECT_TRUE(IsWindowVisible(NothingText()));
    EXPECT_FALSE(IsWindowVisible(List()));
    Key(VK_RETURN);
    EXPECT_TRUE(Window()) << "Enter with nothing matching does nothing";
    EXPECT_EQ(CurrentContact(), c[3]);
}

TEST_F(Switcher, TheFieldKeepsItsEditingKeysAndTheListGetsItsOwn) {
    auto c = BootWithTabs({"Ala"});
    std::vector<int> contacts{c[0]};
    for (int i = 0; i < 40; ++i) contacts.push_back(AddContact("Kontakt " + std::to_string(i)));
    CtrlK(Edit(c[0]));
    Type("anna kot");
    Key(VK_LEFT);
    Key(VK_LEFT);
    Key(VK_BACK, {VK_CONTROL});
    EXPECT_EQ(Text(Field()), "anna ot") << "Ctrl+Backspace takes the word before the caret";
    Key('A', {VK_CONTROL});
    Type("k");
    EXPECT_EQ(Text(Field()), "k") << "Ctrl+A chose the whole text";
    Type("\b");
    EXPECT_EQ(Rows(), contacts);

    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_UP);
    EXPECT_EQ(Chosen(), 1);
    Key(VK_NEXT);
    int page = Chosen();
    EXPECT_GT(page, 5);
    Key(VK_PRIOR);
    EXPECT_EQ(Chosen(), 1) << "a page back";
    Key(VK_END, {VK_CONTROL});
    EXPECT_EQ(Chosen(), 40);
    Key(VK_HOME);
    EXPECT_EQ(Chosen(), 40) << "Home without Ctrl stays in the field";
    Key(VK_HOME, {VK_CONTROL});
    EXPECT_EQ(Chosen(), 0);
    SendMessageA(Field(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_GT(SendMessageA(List(), LB_GETTOPINDEX, 0, 0), 0) << "the wheel scrolls the list";

    int top = static_cast<int>(SendMessageA(List(), LB_GETTOPINDEX, 0, 0));
    RECT r = RowRect(top + 2);
    SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 2));
    SendMessageA(List(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, r.top + 2));
    EXPECT_EQ(Chosen(), top + 2) << "a click chooses the row";
    EXPECT_EQ(GetFocus(), Field()) << "and the field keeps the focus";
    SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 2));
    EXPECT_FALSE(Window()) << "a double click takes the row";
    EXPECT_EQ(OpenRequests(contacts[top + 2]), 1);
    EXPECT_EQ(CurrentContact(), contacts[top + 2]) << "the conversation arrives as a tab";
}

TEST_F(Switcher, EnterShowsATabAsAClickDoesAndBringsADetachedConversationForward) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    int bartek = AddContact("Bartek");
    CtrlK(Edit(c[3]));
    Type("ja");
    Key(VK_RETURN);
    EXPECT_FALSE(Window());
    EXPECT_EQ(CurrentContact(), c[1]);
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[1])});
    EXPECT_EQ(OpenRequests(c[1]), 1) << "as a click: the host is asked to bring it up too";

    host->Notify({306002, Host::kGroupContactMenu, c[2]}, Host::kNoticeAction);  // Ola detached
    CtrlK(Edit(c[2]));
    EXPECT_EQ(GetWindow(Window(), GW_OWNER), WindowOf(c[2])) << "over the window the key came from";
    Type("ala");
    Key(VK_RETURN);
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_EQ(GetForegroundWindow(), Container());

    CtrlK(Edit(c[0]));
    Type("ola");
    Key(VK_RETURN);
    EXPECT_EQ(OpenRequests(c[2]), 1);
    EXPECT_EQ(GetForegroundWindow(), WindowOf(c[2])) << "the host brings the detached conversation forward";
    EXPECT_FALSE(Tabbed(WindowOf(c[2])));

    CtrlK(Edit(c[2]));
    Type("bar");
    Key(VK_RETURN);
    EXPECT_EQ(OpenRequests(bartek), 1);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1], c[3], bartek})) << "a contact without a tab arrives as one";
    EXPECT_EQ(CurrentContact(), bartek);
}

TEST_F(Switcher, EscAltF4CtrlKAndLosingActivationCloseItAndGiveTheFocusBack) {
    auto c = BootWithTabs({"Ala", "Jan"});
    int bartek = AddContact("Bartek");
    host->state.config.SetInt(1, bartek, Tabs::Column::DontTab, 1);
    Open(bartek);
    SetForegroundWindow(Container());
    SetFocus(Edit(c[1]));
    auto closes = [&](const char* how, std::function<void()> close) {
        CtrlK(GetFocus());
        ASSERT_TRUE(Window()) << how;
        close();
        DevHost::Pump();
        EXPECT_FALSE(Window()) << how;
    };
    closes("Esc", [&] { Key(VK_ESCAPE); });
    EXPECT_EQ(GetFocus(), Edit(c[1]));
    closes("Ctrl+K", [&] { Key('K', {VK_CONTROL}); });
    EXPECT_EQ(GetFocus(), Edit(c[1]));
    closes("Alt+F4", [&] { SendMessageA(Field(), WM_SYSKEYDOWN, VK_F4, 0x20000001); });
    EXPECT_EQ(GetFocus(), Edit(c[1]));
    closes("the container activated", [&] { SetActiveWindow(Container()); });
    EXPECT_EQ(GetFocus(), Edit(c[1]));
    closes("another window activated", [&] { SetActiveWindow(host->state.mainWindow); });
    EXPECT_EQ(GetActiveWindow(), host->state.mainWindow) << "the window the user went to keeps the focus";

    SetForegroundWindow(WindowOf(bartek));
    SetFocus(Edit(bartek));
    closes("Esc over a window of its own", [&] {
        EXPECT_EQ(GetWindow(Window(), GW_OWNER), WindowOf(bartek)) << "a contact kept out of the tabs";
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(GetFocus(), Edit(bartek));
    SetFocus(Edit(c[1]));
    closes("the container closing", [&] { SendMessageA(Container(), WM_CLOSE, 0, 0); });
}

// A key held down repeats its key-down (the previous-state bit set) until it
// is released.
TEST_F(Switcher, CtrlKHeldDownOpensOrClosesItOnce) {
    auto c = BootWithTabs({"Ala"});
    BYTE ctrl[256] = {};
    ctrl[VK_CONTROL] = 0x80;
    SetKeyboardState(ctrl);
    auto down = [](bool repeat) { SendMessageA(GetFocus(), WM_KEYDOWN, 'K', repeat ? 0x40000001 : 1); };
    SetFocus(Edit(c[0]));
    down(false);
    ASSERT_TRUE(Window());
    for (int i = 0; i < 3; ++i) down(true);
    EXPECT_TRUE(Window()) << "held after opening it";
    SendMessageA(GetFocus(), WM_KEYUP, 'K', static_cast<LPARAM>(0xC0000001));
    down(false);
    EXPECT_FALSE(Window());
    for (int i = 0; i < 3; ++i) down(true);
    EXPECT_FALSE(Window()) << "held after closing it";
    EXPECT_TRUE(InputSeen(c[0]).empty()) << "the conversation's edit never sees it";
}

TEST_F(Switcher, TheListIsMadeAgainWhenATabClosesOrAMessageArrivesKeepingTextAndRow) {
    auto c = BootWithTabs({"Ala Nowak", "Adam Kot", "Anna Lis", "Jan"});
    CtrlK(Edit(c[3]));
    Type("a");
    EXPECT_EQ(Rows(), (std::vector<int>{c[2], c[1], c[0]}));
    Key(VK_DOWN);
    host->DeliverMessage(c[0], "hej");
    DevHost::Pump();
    EXPECT_EQ(Rows(), (std::vector<int>{c[0], c[2], c[1]})) << "waiting first";
    EXPECT_EQ(Chosen(), 2) << "Adam stays chosen";
    host->state.conversations.DestroyConversation(c[1]);
    DevHost::Pump();
    EXPECT_EQ(Rows(), (std::vector<int>{c[0], c[2], c[1]})) << "Adam, without a tab now, among the contacts";
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2], c[3]}));
    host->state.contacts.Remove(c[1]);
    host->ChangeStatus(c[2], 3);
    DevHost::Pump();
    EXPECT_EQ(Rows(), (std::vector<int>{c[0], c[2]}));
    EXPECT_EQ(Chosen(), 0) << "the chosen row is gone: the first is chosen";
    EXPECT_EQ(Text(Field()), "a");
}

TEST_F(Switcher, OddNamesAndContactsTheHostNoLongerKnowsNeverFault) {
    Boot();
    int kept = AddContact("Bartek");
    host->state.config.SetInt(1, kept, Tabs::Column::DontTab, 1);
    Open(kept);
    host->state.contacts.Remove(kept);
    CtrlK(Edit(kept));
    EXPECT_TRUE(IsWindowVisible(NothingText())) << "no tabs and an empty contact table";
    EXPECT_EQ(Text(NothingText()), "Brak pasujących rozmów");
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Window());

    int ala = AddContact("Ala"), gone = AddContact("Zapomniany");
    int empty = AddContact("Pusty"), longName = AddContact(std::string(300, 'W'));
    int odd = AddContact("\x01\x7F\x80\x98\xFF ŁĄ");
    host->state.contacts.Find(empty)->display = "";
    host->state.contacts.Find(empty)->userId = "";
    for (int contact : {gone, ala}) Open(contact);
    host->state.contacts.Remove(gone);
    CtrlK(Edit(ala));
    EXPECT_EQ(Rows(), (std::vector<int>{gone, ala, empty, longName, odd}));
    char text[64] = {};
    SendMessageA(List(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Zapomniany") << "a tab the host forgot keeps its tab's name";
    RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Type("ła");
    EXPECT_EQ(Rows(), std::vector<int>{odd});
    SetWindowTextA(Field(), "");
    Type("www");
    host->state.contacts.Remove(longName);
    Key(VK_RETURN);
    EXPECT_EQ(OpenRequests(longName), 0) << "a contact the host no longer knows is not opened";
    EXPECT_EQ(Rows(), std::vector<int>{}) << "the list is made again without it";
    EXPECT_FALSE(Faulted());
}

TEST_F(Switcher, AChoiceGoesThroughTheLockAsAClickOnATabDoes) {
    host->controls.pluginsPresent.insert("ZORPA");
    int unlocked = 0;
    host->controls.pluginAnswers[Host::kLockUnlocked] = [&](int, int) { return unlocked; };
    auto c = BootWithTabs({"Ala", "Jan"});
    int bartek = AddContact("Bartek");
    host->state.config.SetInt(1, bartek, Tabs::Column::DontTab, 1);
    Open(bartek);
    SendMessageA(Container(), WM_CLOSE, 0, 0);
    for (int allowed : {0, 1}) {
        unlocked = allowed;
        int asked = host->recorded.CountAsked(Host::kLockUnlocked);
        CtrlK(Edit(bartek));
        Type("ala");
        Key(VK_RETURN);
        EXPECT_GT(host->recorded.CountAsked(Host::kLockUnlocked), asked);
        EXPECT_EQ(IsWindowVisible(Container()), allowed == 1) << "refused, the container stays hidden";
    }
}

// What a capital folds to comes from the system's own case mapping of the
// code page, not from the plug-in's table.
char SmallLetterIn1250(unsigned char byte) {
    wchar_t wide = 0;
    if (MultiByteToWideChar(1250, 0, reinterpret_cast<const char*>(&byte), 1, &wide, 1) != 1) return byte;
    CharLowerBuffW(&wide, 1);
    char small = 0;
    BOOL lost = FALSE;
    if (WideCharToMultiByte(1250, 0, &wide, 1, &small, 1, nullptr, &lost) != 1 || lost) return byte;
    return small;
}

TEST(SwitcherFilter, EveryPolishLetterOfCodePage1250FoldsToItsBaseLetterAndEveryOtherCapitalToItsSmallLetter) {
    const std::pair<unsigned char, char> polish[] = {
        {0xA5, 'a'}, {0xC6, 'c'}, {0xCA, 'e'}, {0xA3, 'l'}, {0xD1, 'n'}, {0xD3, 'o'}, {0x8C, 's'}, {0x8F, 'z'},
        {0xAF, 'z'}, {0xB9, 'a'}, {0xE6, 'c'}, {0xEA, 'e'}, {0xB3, 'l'}, {0xF1, 'n'}, {0xF3, 'o'}, {0x9C, 's'},
        {0x9F, 'z'}, {0xBF, 'z'}};  // ĄĆĘŁŃÓŚŹŻ ąćęłńóśźż
    int capitals = 0;
    for (int byte = 0; byte < 256; ++byte) {
        char expected = SmallLetterIn1250(static_cast<unsigned char>(byte));
        if (expected != static_cast<char>(byte)) ++capitals;
        for (auto [letter, base] : polish)
            if (letter == byte) expected = base;
        EXPECT_EQ(Tabs::FoldLetter(static_cast<char>(byte)), expected) << "byte " << byte;
    }
    EXPECT_EQ(capitals, 26 + 40) << "the system knows the capitals of the code page";
    EXPECT_EQ(Tabs::Fold("ŠÁRKA ČAPKOVÁ"), "šárka čapková") << "Czech, Slovak and Hungarian names too";
}
