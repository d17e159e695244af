// Attaching, switching and detaching conversation windows, on the stand-in
// host's real windows.
#include <map>

#include "conversation_fixture.h"
#include "conversations/attach.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "ui/elements.h"
#include "ui/registration.h"

using namespace DevHostLib;
using Attach = ConversationTest;

class AttachInProcess : public ConversationTest {
protected:
    AttachInProcess() { inProcess = true; }
    void TearDown() override {
        ConversationTest::TearDown();
        Tabs::lockPresent = false;
        Tabs::buttonGroup = savedGroup;
    }
    // The status the plug-in last gave a host element for a contact, or -1.
    int LastStatus(int id, int parent, int contact) {
        int status = -1;
        for (const auto& s : host->recorded.SentWithCode(Host::kElementChange)) {
            const auto* info = reinterpret_cast<const ActionInfo*>(s.record.data());
            if (info->ref.id == id && info->ref.parent == parent && info->ref.contact == contact)
                status = static_cast<int>(info->status & info->statusMask);
        }
        return status;
    }
    int savedGroup = Tabs::buttonGroup;
};

TEST_F(Attach, ConversationsOpenedByTheHostBecomeTabsInOpeningOrder) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    EXPECT_EQ(Tabs(), c);
    EXPECT_EQ(CheckedTabs(), std::vector<int>{c[2]});
    EXPECT_EQ(CurrentContact(), c[2]);
    EXPECT_EQ(CurrentWindow(), WindowOf(c[2]));
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[2])});
    EXPECT_TRUE(IsWindowVisible(Container()));
    EXPECT_EQ(Text(Container()), "Ola");
    for (int contact : c) {
        HWND window = WindowOf(contact);
        EXPECT_EQ(ParentOf(window), Content());
        EXPECT_TRUE(Tabbed(window));
        EXPECT_FALSE(HasOwnProcedure(window));
        EXPECT_NE(Proc(host->state.conversations.MessageView(contact)), Conversations::ViewClassProc());
        EXPECT_NE(Proc(Edit(contact)), Conversations::EditClassProc());
        EXPECT_EQ(Style(window) & (WS_POPUP | WS_CHILD | WS_CAPTION | WS_THICKFRAME), static_cast<DWORD>(WS_CHILD))
            << "attached on creation: the frame and the pop-up bit go";
    }

    Open(c[0]);
    EXPECT_EQ(Tabs(), c) << "opening an open conversation adds no tab";
    EXPECT_EQ(CheckedTabs(), std::vector<int>{c[0]});
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[0])});
    EXPECT_EQ(Text(Container()), "Ala");
}

namespace {

std::vector<HWND> focusedWindows;

LRESULT CALLBACK RecordFocus(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_SETFOCUS) focusedWindows.push_back(sent->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(Attach, ASwitchHandsTheFocusStraightFromTheOldTabToTheNewOne) {
    auto c = BootWithTabs({"Ala", "Jan"});
    SetForegroundWindow(Container());
    // Where the host's activation of a conversation leaves the focus.
    SetFocus(WindowOf(c[1]));
    ASSERT_EQ(GetFocus(), WindowOf(c[1]));

    focusedWindows.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordFocus, nullptr, GetCurrentThreadId());
    Press(Edit(c[1]), VK_TAB, {VK_CONTROL});
    UnhookWindowsHookEx(hook);

    ASSERT_EQ(CurrentContact(), c[0]);
    ASSERT_FALSE(focusedWindows.empty());
    for (HWND focused : focusedWindows)
        EXPECT_TRUE(focused == WindowOf(c[0]) || IsChild(WindowOf(c[0]), focused)) << "never the content child";
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == WindowOf(c[0]) || IsChild(WindowOf(c[0]), focus));
}

namespace {

std::vector<std::pair<HWND, UINT>> paintMessages;

LRESULT CALLBACK RecordPaint(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && (sent->message == WM_ERASEBKGND || sent->message == WM_NCPAINT))
        paintMessages.push_back({sent->hwnd, sent->message});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// The new tab comes up where the old one was: the content child behind them
// is never uncovered, and each window of the new conversation has its frame
// drawn once, not once as it shows and again as it is repainted.
TEST_F(Attach, ASwitchPaintsTheNewConversationOnceAndNothingBehindIt) {
    auto c = BootWithTabs({"Ala", "Jan", "Ewa"});
    SetForegroundWindow(Container());
    ASSERT_EQ(CurrentContact(), c[2]);
    for (int target : {c[0], c[1], c[2], c[0]}) {
        DevHost::Pump();
        paintMessages.clear();
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordPaint, nullptr, GetCurrentThreadId());
        Press(Edit(CurrentContact()), VK_TAB, {VK_CONTROL});
        DevHost::Pump();
        UnhookWindowsHookEx(hook);

        ASSERT_EQ(CurrentContact(), target);
        HWND shown = WindowOf(target);
        std::map<HWND, int> framed;
        for (auto [window, message] : paintMessages) {
            EXPECT_NE(window, GetParent(shown)) << "the content child is not uncovered";
            for (int other : c) {
                if (other == target) continue;
                EXPECT_FALSE(window == WindowOf(other) || IsChild(WindowOf(other), window));
            }
            if (message == WM_NCPAINT && (window == shown || IsChild(shown, window))) ++framed[window];
        }
        EXPECT_EQ(framed[shown], 1);
        for (auto [window, times] : framed) EXPECT_EQ(times, 1) << "window " << window;
    }
}

TEST_F(Attach, NoticesOfTheViewAndEditGoToTheirPreviousOwnerWhoseAnswerComesBack) {
    Boot();
    int ala = AddContact("Ala"), jan = AddContact("Jan");
    std::vector<std::pair<int, uint16_t>> forwarded;  // element, notice size
    host->controls.sendToAnswers[kHostUiPlugin] = [&](HostMessage& m) {
        const auto* notice = reinterpret_cast<const ActionNotice*>(m.p1);
        forwarded.push_back({notice->ref.id, notice->size});
        return m.code == Host::kMsgAction && m.p2 == 0 ? 77 : -1;
    };
    Open(ala);
    EXPECT_EQ(forwarded, (std::vector<std::pair<int, uint16_t>>{{250, X86OrX64<uint16_t>(68, 76)}, {251, X86OrX64<uint16_t>(68, 76)}}));
    EXPECT_EQ(host->NotifyWindow({250, 3, ala}, 310, nullptr, nullptr), 77);
    EXPECT_EQ(host->Notify({251, 3, ala}, 10), 77);

    // A creation notice without the window handles is passed on, nothing more.
    EXPECT_EQ(host->Notify({250, 3, jan}, Host::kNoticeCreateWindow), 77);
    EXPECT_EQ(host->Notify({251, 3, jan}, Host::kNoticeCreateWindow), 77);
    EXPECT_EQ(Tabs(), std::vector<int>{ala});
    EXPECT_EQ(forwarded.size(), 6u);
}

TEST_F(Attach, AForwardThatWouldComeBackToThePlugInIsDropped) {
    host->state.elements.Find(250, 3)->owner = 0;
    host->state.elements.Find(251, 3)->owner = 0;
    host->controls.fallbackOwner = 0;
    Boot();
    int ala = AddContact("Ala");
    Open(ala);
    EXPECT_EQ(Tabs(), std::vector<int>{ala});
    EXPECT_EQ(host->NotifyWindow({250, 3, ala}, 310, nullptr, nullptr), 0);
    EXPECT_TRUE(host->recorded.sentTo.empty());
}

TEST_F(Attach, ContactsThatMustNotBeTabsStayTopLevelWindowsWithTheShortcuts) {
    Boot();
    int ala = AddContact("Ala"), jan = AddContact("Jan"), distant = AddContact("Daleki");
    host->state.config.SetInt(1, jan, Tabs::Column::DontTab, 1);
    host->state.contacts.Find(distant)->id = 0x4000FFFF;  // its button id would be the close button's
    distant = 0x4000FFFF;
    Open(ala);
    for (int contact : {jan, distant}) {
        HWND window = Open(contact);
        EXPECT_EQ(ParentOf(window), GetDesktopWindow());
        EXPECT_TRUE(HasOwnProcedure(window));
        EXPECT_EQ(GetPropA(window, "TABBED"), nullptr);
        EXPECT_TRUE(Style(window) & WS_POPUP);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_NE(Proc(Edit(contact)), Conversations::EditClassProc()) << "the shortcuts work detached too";
    }
    EXPECT_EQ(Tabs(), std::vector<int>{ala});
    EXPECT_EQ(CurrentContact(), ala);
}

TEST_F(Attach, AHostMoveOfAnAttachedWindowIsUndone) {
    auto c = BootWithTabs({"Ala", "Jan"});
    RECT content{};
    GetClientRect(Content(), &content);
    for (int contact : c) {
        host->state.conversations.Move(contact, 30, 40, 200, 100);
        RECT r = InParent(WindowOf(contact));
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, content.right);
        EXPECT_EQ(r.bottom, content.bottom);
    }
}

namespace {
// Another plug-in's procedures, put over the plug-in's own on a window and its view.
WNDPROC underOther[2] = {};
int otherSaw = 0;
template <int N>
LRESULT CALLBACK OtherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (N == 0 && message == WM_SETTEXT) ++otherSaw;
    return CallWindowProcA(underOther[N], window, message, wParam, lParam);
}
template <int N>
void PutOver(HWND window) {
    underOther[N] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OtherProc<N>)));
}
}  // namespace

TEST_F(Attach, AProcedurePutOverTheTabsStaysThroughDetachingAndTheHostStillGetsEveryMessage) {
    auto c = BootWithTabs({"Ala", "Jan"});
    HWND window = WindowOf(c[0]), view = host->state.conversations.MessageView(c[0]);
    PutOver<0>(window);
    PutOver<1>(view);
    auto toggle = [&] { host->Notify({Tabs::Element::AttachDetach, Host::kGroupContactMenu, c[0]}, Host::kNoticeAction); };

    toggle();
    EXPECT_EQ(Proc(window), OtherProc<0>);
    EXPECT_EQ(Proc(view), OtherProc<1>);
    EXPECT_EQ(ParentOf(window), GetDesktopWindow());
    SetFocus(view);
    EXPECT_EQ(GetFocus(), view) << "a detached view keeps its focus";
    otherSaw = 0;
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ala pisze"));
    EXPECT_EQ(otherSaw, 1);
    EXPECT_EQ(Text(window), "Ala pisze");
    EXPECT_EQ(Text(Container()), "Jan") << "a detached window's title is its own";

    toggle();
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[0]}));
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{window});
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ala znowu"));
    EXPECT_EQ(Text(Container()), "Ala znowu") << "attached again, the tab follows its window";

    toggle();
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window)) << "the host closes a detached window its own way";
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});
    EXPECT_TRUE(IsWindowVisible(Container()));
}

TEST_F(AttachInProcess, DetachingGivesTheWindowBackAndAttachingTakesItAgain) {
    auto c = BootWithTabs({"Ala", "Jan"});
    HWND window = WindowOf(c[0]);
    RECT before{};
    GetWindowRect(window, &before);

    Tabs::ToggleAttach(Tabs::RefTo(c[0]));
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(ParentOf(window), GetDesktopWindow());
    EXPECT_EQ(after.left, 100);
    EXPECT_EQ(after.top, 100);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(Style(window) & (WS_CHILD | WS_POPUP | 0x00CF0000), 0x00CF0000u) << "the pop-up bit does not come back";
    EXPECT_TRUE(HasOwnProcedure(window));
    EXPECT_EQ(Proc(host->state.conversations.MessageView(c[0])), Conversations::ViewClassProc());
    EXPECT_EQ(GetPropA(window, "TABBED"), nullptr);
    EXPECT_EQ(GetPropA(window, "oldProc"), nullptr);
    EXPECT_EQ(GetPropA(host->state.conversations.MessageView(c[0]), "CtrlViewProcOld"), nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Tabs(), std::vector<int>{c[1]});
    EXPECT_EQ(CurrentContact(), c[1]) << "a tab that is not shown leaves the shown one alone";

    Tabs::ToggleAttach(Tabs::RefTo(c[0]));
    EXPECT_EQ(ParentOf(window), Content());
    EXPECT_TRUE(Tabbed(window));
    EXPECT_FALSE(HasOwnProcedure(window));
    EXPECT_EQ(Tabs(), (std::vector<int>{c[1], c[0]}));
    EXPECT_EQ(CurrentContact(), c[0]);
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{window});
}

// A window detached from a tab keeps the tab's size; attached again at that
// size, it once kept the frame it had on its own around a smaller client area.
TEST_F(AttachInProcess, AWindowAttachedAgainFillsTheContentWithoutItsOldFrame) {
    auto c = BootWithTabs({"Ala", "Jan"});
    HWND window = WindowOf(c[0]);
    Tabs::ToggleAttach(Tabs::RefTo(c[0]));
    Tabs::ToggleAttach(Tabs::RefTo(c[0]));
    RECT client{}, content{};
    GetClientRect(window, &client);
    GetClientRect(Content(), &content);
    EXPECT_EQ(client.right, content.right);
    EXPECT_EQ(client.bottom, content.bottom);
}

TEST_F(AttachInProcess, DetachingAWindowWhoseStoredProcedureIsGoneGivesItItsClassProcedure) {
    auto c = BootWithTabs({"Ala"});
    HWND window = WindowOf(c[0]);
    RemovePropA(window, "oldProc");
    Tabs::ToggleAttach(Tabs::RefTo(c[0]));
    EXPECT_TRUE(HasOwnProcedure(window));
    EXPECT_EQ(ParentOf(window), GetDesktopWindow());
}

TEST_F(AttachInProcess, AttachingByTheActionLeavesThePopUpBitAsItWas) {
    Boot();
    int jan = AddContact("Jan");
    host->state.config.SetInt(1, jan, Tabs::Column::DontTab, 1);
    HWND window = Open(jan);
    Tabs::ToggleAttach(Tabs::RefTo(jan));
    EXPECT_EQ(Style(window) & (WS_POPUP | WS_CHILD | WS_CAPTION), static_cast<DWORD>(WS_POPUP | WS_CHILD));
    EXPECT_EQ(ParentOf(window), Content());
    EXPECT_EQ(Tabs(), std::vector<int>{jan});
}

TEST_F(AttachInProcess, DetachingTheShownTabShowsItsNeighbour) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    Tabs::ToggleAttach(Tabs::RefTo(c[2]));
    EXPECT_EQ(CurrentContact(), c[1]) << "the one before it";
    Open(c[0]);
    Tabs::ToggleAttach(Tabs::RefTo(c[0]));
    EXPECT_EQ(CurrentContact(), c[1]) << "the first tab's neighbour is the next one";
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[1])});
    Tabs::ToggleAttach(Tabs::RefTo(c[1]));
    EXPECT_EQ(CurrentContact(), 0);
    EXPECT_FALSE(IsWindowVisible(Container()));
    EXPECT_TRUE(Tabs().empty());
}

TEST_F(AttachInProcess, ARefusingLockLeavesTheTabsAsTheyAre) {
    auto c = BootWithTabs({"Ala"});
    Tabs::lockPresent = true;
    host->controls.pluginAnswers[Host::kLockUnlocked] = [](int, int) { return 0; };
    Tabs::ToggleAttach(Tabs::RefTo(c[0]));
    EXPECT_TRUE(Tabbed(WindowOf(c[0])));
    host->controls.pluginAnswers[Host::kLockUnlocked] = [](int, int) { return 1; };
    Tabs::ToggleAttach(Tabs::RefTo(c[0]));
    EXPECT_FALSE(Tabbed(WindowOf(c[0])));
}

TEST_F(AttachInProcess, ConversationToolbarButtonsFollowTheSettings) {
    Boot();
    host->state.config.SetInt("Tabs/ToolbarDetachButtonWhenDetached", 1);
    int ala = AddContact("Ala"), jan = AddContact("Jan");
    host->state.config.SetInt(1, jan, Tabs::Column::DontTab, 1);
    Open(ala);
    Open(jan);
    EXPECT_EQ(LastStatus(306002, 306001, ala), 1) << "only while detached";
    EXPECT_EQ(LastStatus(306002, 306001, jan), 0);
    EXPECT_EQ(LastStatus(306003, 306001, ala), 1) << "close button off by default";

    host->state.config.SetInt("Tabs/ToolbarCloseButton", 1);
    host->state.config.SetInt("Tabs/ToolbarDetachButton", 0);
    Tabs::UpdateWindowButtons(Tabs::RefTo(ala));
    EXPECT_EQ(LastStatus(306001, 4, ala), 0) << "the group stays for the close button";
    EXPECT_EQ(LastStatus(306003, 306001, ala), 0);
    EXPECT_EQ(LastStatus(306002, 306001, ala), 1);

    Tabs::buttonGroup = Host::kGroupMainToolbar;
    host->recorded.ClearSent();
    Tabs::UpdateWindowButtons(Tabs::RefTo(ala));
    EXPECT_EQ(LastStatus(Host::kGroupMainToolbar, 4, ala), -1) << "the host's main toolbar is never hidden";
    EXPECT_EQ(LastStatus(306003, Host::kGroupMainToolbar, ala), 0);
}

TEST_F(AttachInProcess, ShowingAnUnreadConversationTakesItOutOfTheTitle) {
    auto c = BootWithTabs({"Ala", "Jan"});
    Tabs::waitingList.push_back(c[0]);
    Tabs::RefreshTitle();
    EXPECT_EQ(Text(Container()), "[Ala] Jan");
    Open(c[0]);
    EXPECT_EQ(Text(Container()), "Ala");
    EXPECT_TRUE(Tabs::waitingList.empty());
}
