// The saved session across a restart of the host: the tabs in their order,
// restored always, never or after asking, and the recently closed list.
#include <functional>

#include "conversation_fixture.h"
#include "host/columns.h"

using namespace DevHostLib;

class Session : public ConversationTest {
protected:
    // A run that ends with the tabs a, b, c open and d recently closed.
    void FirstRun() {
        c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
        Press(Edit(c[3]), VK_F4, {VK_CONTROL});
    }

    std::string Stored(std::initializer_list<int> indexes) {
        std::string text;
        for (int i : indexes) text += std::to_string(c[i]) + '\x01';
        return text;
    }
    std::string SavedSession() { return host->state.config.Text("Tabs/LastSession"); }
    // The viewer's action that loads a contact's previous chat, as asked for.
    int Loads(int contact) {
        int n = 0;
        for (const auto& s : host->recorded.SentWithCode(Host::kElementNotify)) {
            const auto* notice = reinterpret_cast<const ActionNotice*>(s.record.data());
            n += notice->ref.id == 780453 && notice->ref.parent == 780400 && notice->ref.contact == contact;
        }
        return n;
    }
    // The next start restores always, opening each conversation only when
    // its tab is first shown, with the viewer loading previous chats.
    void RestartLazily() {
        host->state.config.SetInt(0, 0, Tabs::Column::LazyRevertSession, 1);
        host->state.config.SetInt(0, 0, Tabs::Column::AutoLoadChat, 1);
        RestartHost(1, nullptr, [](DevHost& h) { h.controls.pluginsPresent.insert("Vizorek"); });
    }
    // A click on a tab, as the bar reports it.
    void ChooseTab(int contact) {
        SendMessageA(Container(), WM_COMMAND, contact & 0xFFFF, reinterpret_cast<LPARAM>(Bar()));
    }
    std::string SavedClosed() { return host->state.config.Text("Tabs/ClosedRecentlyBuffer"); }

    std::vector<int> c;
};

TEST_F(Session, AlwaysRestoringBringsTheTabsBackInOrderWithoutAsking) {
    FirstRun();
    SendMessageA(Bar(), TB_MOVEBUTTON, 2, 4);  // the first tab dragged to the end
    host->Stop();
    EXPECT_EQ(SavedSession(), Stored({1, 2, 0})) << "in tab order";
    EXPECT_EQ(SavedClosed(), Stored({3}));

    RestartHost(1);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[2], c[0]}));
    EXPECT_TRUE(host->recorded.questions.empty());
    EXPECT_EQ(SavedSession(), "") << "emptied at start, written at the end";
    EXPECT_EQ(SavedClosed(), "");
    std::vector<int> smallIcons;
    for (const auto& s : host->recorded.SentWithCode(Host::kIconHandle))
        if (s.p2 == 256) smallIcons.push_back(s.p1);
    EXPECT_EQ(smallIcons, (std::vector<int>{66, 63})) << "the container's two icons";

    host->Stop();
    EXPECT_EQ(SavedSession(), Stored({1, 2, 0}));
    EXPECT_EQ(SavedClosed(), Stored({3}));
}

TEST_F(Session, AskingRestoresOnYesAndOnNoMakesTheSessionRecentlyClosed) {
    for (int yes : {1, 0}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        FirstRun();
        RestartHost(2, [yes](const std::string&) { return yes; });
        EXPECT_EQ(host->recorded.questions, std::vector<std::string>{"Zapisano sesję rozmów, przywrócić?"});
        EXPECT_EQ(Tabs(), yes ? (std::vector<int>{c[0], c[1], c[2]}) : std::vector<int>{});
        host->Stop();
        EXPECT_EQ(SavedClosed(), yes ? Stored({3}) : Stored({0, 1, 2, 3}));
        RestartHost(0);  // a clean slate for the next round
        host->Stop();
        host->state.config.SetText("Tabs/ClosedRecentlyBuffer", "");
    }
}

TEST_F(Session, NeverRestoringAsksNothingAndAnEmptySessionIsNeverAskedAbout) {
    for (int setting : {0, 3}) {
        FirstRun();
        RestartHost(setting, [](const std::string&) { return 1; });
        EXPECT_TRUE(Tabs().empty());
        EXPECT_TRUE(host->recorded.questions.empty());
        host->Stop();
        EXPECT_EQ(SavedClosed(), Stored({0, 1, 2, 3}));
        EXPECT_EQ(SavedSession(), "");
        host->state.config.SetText("Tabs/ClosedRecentlyBuffer", "");
    }
    RestartHost(2, [](const std::string&) { return 1; });
    EXPECT_TRUE(host->recorded.questions.empty());
}

TEST_F(Session, RestoringSkipsUnknownContactsAndAsksTheViewerForPreviousChats) {
    c = {AddContact("Ala")};
    host->state.config.SetText(0, 0, Tabs::Column::LastSession,
                               "0\x01" "1073799999\x01" + std::to_string(c[0]) + "\x01" "1073741826");
    host->state.config.SetInt(0, 0, Tabs::Column::AutoRevertSession, 1);
    host->state.config.SetInt(0, 0, Tabs::Column::AutoLoadChat, 1);
    host->controls.pluginsPresent.insert("Vizorek");
    Boot();
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]});
    EXPECT_TRUE(host->recorded.Logged("Tabs::IStart - Reverting: 0"));
    int loads = 0;
    for (const auto& s : host->recorded.SentWithCode(Host::kElementNotify)) {
        const auto* notice = reinterpret_cast<const ActionNotice*>(s.record.data());
        if (notice->ref.id == 780453 && notice->ref.parent == 780400) {
            EXPECT_EQ(notice->ref.contact, c[0]);
            ++loads;
        }
    }
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(OpenRequests(1073799999), 0);
}

TEST_F(Session, AnEndOrStartMessageOutOfTurnLosesNothingStored) {
    FirstRun();
    host->Stop();
    std::string session = SavedSession(), closed = SavedClosed();
    ASSERT_EQ(session, Stored({0, 1, 2}));

    // An end message again, and one before any start of the next run.
    host->Call(Host::kMsgSetControl, static_cast<HostControl*>(host.get()));
    host->Call(Host::kMsgEnd);
    EXPECT_EQ(SavedSession(), session);
    EXPECT_EQ(SavedClosed(), closed);

    // A second start message while the run goes on.
    RestartHost(0);
    auto late = AddContact("Iza");
    Open(late);
    host->Call(Host::kMsgStart);
    EXPECT_EQ(Tabs(), std::vector<int>{late});
    host->Stop();
    EXPECT_EQ(SavedSession(), std::to_string(late) + "\x01");
    EXPECT_EQ(SavedClosed(), Stored({0, 1, 2, 3}));
}

TEST_F(Session, ALazyRestoreOpensOnlyTheShownTabAndEachOtherOneWhenFirstShownAtItsPlace) {
    FirstRun();
    RestartLazily();
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1], c[2]}));
    EXPECT_EQ(CheckedTabs(), std::vector<int>{c[2]}) << "the last one, as a restore that opens them all leaves it";
    EXPECT_EQ(CurrentContact(), c[2]);
    EXPECT_TRUE(IsWindowVisible(Container()));
    for (int i : {0, 1}) {
        EXPECT_EQ(WindowOf(c[i]), nullptr) << i;
        EXPECT_EQ(OpenRequests(c[i]) + Loads(c[i]), 0) << i;
    }
    EXPECT_EQ(OpenRequests(c[2]), 1);
    EXPECT_EQ(Loads(c[2]), 1);

    Press(Edit(c[2]), VK_TAB, {VK_CONTROL});  // from the last tab to the first
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1], c[2]})) << "into its own tab, not a new one";
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[0])});
    EXPECT_EQ(OpenRequests(c[0]), 1);
    EXPECT_EQ(Loads(c[0]), 1);
    ChooseTab(c[2]);
    ChooseTab(c[0]);
    EXPECT_EQ(Loads(c[0]), 1) << "the previous chat is loaded only into a restored window";

    SendMessageA(Bar(), TB_MOVEBUTTON, 3, 2);  // the unopened tab moved to the front
    host->Stop();
    EXPECT_EQ(SavedSession(), Stored({1, 0, 2}));
    EXPECT_EQ(SavedClosed(), Stored({3}));
    EXPECT_EQ(OpenRequests(c[1]), 0);
}

TEST_F(Session, AnUnopenedTabClosedOrOfAContactTheHostForgotLeavesTheRestOfTheSessionWhole) {
    c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa", "Iza"});
    host->Stop();
    RestartLazily();
    ASSERT_EQ(CurrentContact(), c[4]);

    host->Notify({306003, 30, c[1]}, 1);  // "Zamknij rozmowę" in Jan's menu
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2], c[3], c[4]}));
    host->state.contacts.Remove(c[2]);
    ChooseTab(c[2]);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[3], c[4]})) << "a tab that can never open goes";
    EXPECT_EQ(CurrentContact(), c[4]);
    EXPECT_EQ(OpenRequests(c[1]) + OpenRequests(c[2]), 0);

    host->controls.chooseMenu = ChooseInOrder({306007, c[1]});  // "Zamknięte rozmowy", Jan
    host->ShowMainMenu();
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[3], c[4], c[1]}));
    EXPECT_EQ(CurrentContact(), c[1]);
    host->Stop();
    EXPECT_EQ(SavedSession(), Stored({0, 3, 4, 1}));
    EXPECT_EQ(SavedClosed(), Stored({2})) << "closed as tabs are, so kept among the recently closed";
}

TEST_F(Session, UnknownRepeatedAndHugeStoredSessionsRestoreEachKnownContactOnceInOrderEitherWay) {
    c = {AddContact("Ala"), AddContact("Jan")};
    std::string stored = "0\x01" "1073799999\x01" + std::to_string(c[0]) + "\x01" + std::string(300000, '7') +
                         "\x01" + std::to_string(c[1]) + "\x01" + std::to_string(c[0]) + "\x01" "x\x01";
    for (int lazy : {0, 1}) {
        SCOPED_TRACE(lazy ? "opened when shown" : "opened at once");
        host->state.config.SetText(0, 0, Tabs::Column::LastSession, stored);
        host->state.config.SetInt(0, 0, Tabs::Column::LazyRevertSession, lazy);
        RestartHost(1);
        EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1]}));
        EXPECT_EQ(CurrentContact(), c[0]) << "the last one named";
        EXPECT_EQ(OpenRequests(1073799999), 0);
        host->Stop();
        EXPECT_EQ(SavedSession(), Stored({0, 1}));
    }
}
