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
