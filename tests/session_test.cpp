// The saved session across a restart of the host: the tabs in their order,
// restored always, never or after asking, and the recently closed list.
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <set>

#include "conversation_fixture.h"
#include "host/columns.h"
#include "host_handler.h"
#include "ui/elements.h"

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

// Many tabs restored at once come back as they would one by one: in their
// stored order, the last one shown, each with its tooltip; the bar takes
// their buttons in one message, so that it lays them out once.
namespace {

constexpr int kBarId = 10;  // the host's conversations have toolbars of their own
int barInserts = 0, barAdds = 0;

LRESULT CALLBACK CountBarButtons(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    bool toBar = code == HC_ACTION && GetDlgCtrlID(sent->hwnd) == kBarId;
    if (toBar && sent->message == TB_INSERTBUTTONA) ++barInserts;
    if (toBar && sent->message == TB_ADDBUTTONSA) ++barAdds;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(Session, ManyTabsRestoredComeBackInOrderWithTheLastShownAndTheirTooltips) {
    c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa", "Iza", "Piotr", "Zenon", "Adam", "Beata"});
    for (size_t i = 0; i < c.size(); ++i) host->state.contacts.Find(c[i])->info = "informacja " + std::to_string(i);
    std::vector<int> order = {c[4], c[0], c[8], c[2], c[6], c[1], c[7], c[3], c[5]};
    for (size_t i = 0; i < order.size(); ++i)
        SendMessageA(Bar(), TB_MOVEBUTTON, SendMessageA(Bar(), TB_COMMANDTOINDEX, order[i] & 0xBFFFFFFF, 0), 2 + i);
    ASSERT_EQ(Tabs(), order);

    barInserts = barAdds = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountBarButtons, nullptr, GetCurrentThreadId());
    RestartHost(1);
    UnhookWindowsHookEx(hook);
    DevHost::Pump();

    EXPECT_EQ(Tabs(), order);
    EXPECT_EQ(barAdds, 1) << "every restored tab in one message";
    EXPECT_EQ(barInserts, 2) << "only the bar's own two buttons one by one";
    EXPECT_EQ(CurrentContact(), order.back()) << "the last one restored is shown, as one by one";
    EXPECT_EQ(CheckedTabs(), std::vector<int>{order.back()});
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(order.back())});
    EXPECT_TRUE(IsWindowVisible(Container()));
    EXPECT_EQ(InParent(WindowOf(order.back())).right - InParent(WindowOf(order.back())).left, InParent(Content()).right);
    for (size_t i : {size_t{0}, order.size() / 2, order.size() - 1}) {
        size_t contact = std::find(c.begin(), c.end(), order[i]) - c.begin();
        EXPECT_EQ(TooltipOver(order[i]), "informacja " + std::to_string(contact)) << "tab " << i;
    }
    host->Stop();
    EXPECT_EQ(SavedSession(), Stored({4, 0, 8, 2, 6, 1, 7, 3, 5}));
}

// Contacts the host no longer knows, contacts named twice and a text of
// hundreds of thousands of characters: the known contacts come back once
// each, in their first places, and only they are stored back.
TEST_F(Session, AHugeSessionWithUnknownAndRepeatedContactsBringsEachKnownOneBackOnce) {
    c = {AddContact("Ala"), AddContact("Jan"), AddContact("Ola")};
    std::string session = Stored({1}) + "1073799999\x01" + Stored({0, 1});
    for (int i = 0; i < 25000; ++i) session += std::to_string(1073800000 + i) + '\x01';
    session += Stored({2, 0}) + "0\x01" + Stored({2});
    ASSERT_GT(session.size(), 250000u);
    host->state.config.SetText(0, 0, Tabs::Column::LastSession, session);
    host->state.config.SetInt(0, 0, Tabs::Column::AutoRevertSession, 1);
    Boot();

    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[0], c[2]}));
    EXPECT_EQ(CurrentContact(), c[2]);
    for (int contact : c) EXPECT_EQ(OpenRequests(contact), 1);
    host->Stop();
    EXPECT_EQ(SavedSession(), Stored({1, 0, 2}));
    EXPECT_EQ(SavedClosed(), "");
}

// The end gives every tab's window back to the host, hidden, with its frame,
// its own procedures and none of the plug-in's properties, and paints none of
// them, nor the container, on the way; a window hidden by closing stays hidden, a detached one
// is left as it stands.
namespace {

std::set<HWND>* givenBack = nullptr;
int paints = 0;

bool IsPaint(UINT message) { return message == WM_PAINT || message == WM_ERASEBKGND || message == WM_NCPAINT; }

void CountPaint(HWND window, UINT message) {
    if (!IsPaint(message)) return;
    for (HWND w = window; w && w != GetDesktopWindow(); w = GetAncestor(w, GA_PARENT))
        if (givenBack->count(w)) ++paints;
}

LRESULT CALLBACK SentPaints(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION) CountPaint(sent->hwnd, sent->message);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK TakenPaints(int code, WPARAM wParam, LPARAM lParam) {
    const auto* taken = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE) CountPaint(taken->hwnd, taken->message);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(Session, TheEndGivesEveryWindowBackWithoutPaintingAny) {
    Boot();
    for (int i = 0; i < 40; ++i) c.push_back(AddContact("Kontakt " + std::to_string(i)));
    for (int contact : c) Open(contact);
    host->state.config.SetInt(0, 0, Host::kColumnKeepWindow, 1);
    host->Notify({Tabs::Element::Close, Host::kGroupContactMenu, c[5]}, Host::kNoticeAction);  // kept, hidden
    host->Notify({Tabs::Element::AttachDetach, Host::kGroupContactMenu, c[7]}, Host::kNoticeAction);
    DevHost::Pump();
    HWND detached = WindowOf(c[7]);
    ASSERT_EQ(ParentOf(detached), GetDesktopWindow());
    ASSERT_TRUE(IsWindowVisible(detached));

    std::set<HWND> windows{Container()};
    for (int contact : c)
        if (contact != c[7]) windows.insert(WindowOf(contact));
    givenBack = &windows;
    paints = 0;
    HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, SentPaints, nullptr, GetCurrentThreadId());
    HHOOK taken = SetWindowsHookExA(WH_GETMESSAGE, TakenPaints, nullptr, GetCurrentThreadId());
    host->Stop();
    DevHost::Pump();
    UnhookWindowsHookEx(taken);
    UnhookWindowsHookEx(sent);
    givenBack = nullptr;

    EXPECT_EQ(paints, 0);
    for (int contact : c) {
        HWND window = WindowOf(contact);
        SCOPED_TRACE(contact);
        EXPECT_EQ(ParentOf(window), GetDesktopWindow());
        EXPECT_EQ(Style(window) & (WS_CHILD | WS_CAPTION), static_cast<DWORD>(WS_CAPTION));
        EXPECT_TRUE(HasOwnProcedure(window));
        EXPECT_EQ(Proc(host->state.conversations.MessageView(contact)), Conversations::ViewClassProc());
        EXPECT_EQ(Proc(Edit(contact)), Conversations::EditClassProc());
        EXPECT_EQ(GetPropA(window, "TABBED"), nullptr);
        EXPECT_EQ(IsWindowVisible(window) != 0, contact == c[7]);
    }
    host->state.conversations.DestroyAll();
    EXPECT_TRUE(host->state.conversations.leftovers.empty()) << host->state.conversations.leftovers.front();
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

// Closing the shown tab whose neighbours the host forgot before they were
// ever shown: they go, and the next tab that can open is shown.
TEST_F(Session, ClosingTheShownTabPassesOverNeighboursTheHostForgot) {
    c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    host->Stop();
    RestartLazily();
    host->state.contacts.Remove(c[1]);
    host->state.contacts.Remove(c[2]);
    Press(Edit(c[3]), VK_F4, {VK_CONTROL});
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]});
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[0])});
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

// What the host does in the middle of a restore: a message for a contact
// already taken in, a window it destroys as soon as it built it, a fault of
// its own that its handler unwinds. Every window taken in gets its button,
// at its place, with its unread mark, and one tab is shown.
TEST_F(Session, ARestoreTheHostInterruptsLeavesNoWindowWithoutItsTabAndOneTabShown) {
    c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    host->Stop();
    auto hostOpens = [this](std::function<void(DevHost&, int contact)> during) {
        return [this, during](DevHost& h) {
            h.state.hostActions[{Host::kGroupContactMenu, Host::kActionOpenConversation}] =
                [&h, during](const ActionRef& ref, int) { during(h, h.state.contacts.RowId(ref.contact)); };
        };
    };
    RestartHost(1, nullptr, hostOpens([this](DevHost& h, int contact) {
        HWND window = h.state.conversations.Open(contact);
        if (contact == c[2]) h.DeliverMessage(c[1], "hej");
        if (contact == c[3]) DestroyWindow(window);
    }));
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1], c[2]}));
    EXPECT_TRUE(SendMessageA(Bar(), TB_ISBUTTONPRESSED, c[1] & 0xBFFFFFFF, 0)) << "its message unread";
    EXPECT_EQ(CurrentContact(), c[2]) << "the last one left";
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[2])});
    host->Stop();

    std::unique_ptr<char, void (*)(char*)> nowhere(
        static_cast<char*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS)),
        [](char* at) { VirtualFree(at, 0, MEM_RELEASE); });
    CaughtFault caught = RunUnderHostHandler([&] {
        RestartHost(1, nullptr, hostOpens([&](DevHost& h, int contact) {
            if (contact == c[2]) [[maybe_unused]] volatile size_t length = std::strlen(nowhere.get());
            h.state.conversations.Open(contact);
        }));
    });
    ASSERT_TRUE(caught.caught);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1]}));
    EXPECT_EQ(CurrentContact(), c[1]);
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[1])});
    EXPECT_TRUE(IsWindowVisible(Container()));
}
