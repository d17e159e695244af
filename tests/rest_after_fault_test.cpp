// After a fault in the plug-in's own code that a guard recovered, whatever
// the abandoned frames had under way is back at rest: a bulk close, a switch
// and a drag. The fault is made in the linked code: at a chosen request the
// host control the plug-in calls through goes bad, so that the plug-in's next
// call through it faults on reading the object, half-way through its work.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>

#include "container/container.h"
#include "conversation_fixture.h"
#include "host/host.h"
#include "ui/elements.h"

namespace {

class FaultingHost : public DevHostLib::DevHost {
public:
    std::function<void(const HostMessage&)> beforeSend;
    intptr_t send(HostMessage* message) override {
        if (beforeSend && message) beforeSend(*message);
        return DevHost::send(message);
    }
};

}  // namespace

class RestAfterFault : public ConversationTest {
protected:
    RestAfterFault() { inProcess = true; }
    void SetUp() override {
        auto faulting = std::make_unique<FaultingHost>();
        faulting->UseEntry(IMessageProc);
        faulty = faulting.get();
        host = std::move(faulting);
        unreadable = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
        ReleaseKeys();
    }
    void TearDown() override {
        Restore();
        ConversationTest::TearDown();
        VirtualFree(unreadable, 0, MEM_RELEASE);
    }

    // The host control goes bad right after the plug-in logs a line that
    // starts with `line`.
    void FaultAfterLogging(const std::string& line) {
        faulty->beforeSend = [this, line](const HostMessage& m) {
            const char* text = reinterpret_cast<const char*>(m.p1);
            if (m.code != Host::kLog || !text || std::strncmp(text, line.c_str(), line.size()) != 0) return;
            Break();
        };
    }
    // The host control goes bad right after the plug-in asks for request `code`.
    void FaultAfterRequest(int code) {
        faulty->beforeSend = [this, code](const HostMessage& m) {
            if (m.code == code) Break();
        };
    }
    void Break() {
        faulty->beforeSend = nullptr;
        Tabs::hostControl = static_cast<HostControl*>(unreadable);
        broke = true;
    }
    void Restore() {
        if (Tabs::hostControl == unreadable) Tabs::hostControl = host.get();
    }

    void Click(int contact) {
        RECT r{};
        SendMessageA(Bar(), TB_GETRECT, contact & 0xBFFFFFFF, reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, onScreen = p;
        ClientToScreen(Bar(), &onScreen);
        SetCursorPos(onScreen.x, onScreen.y);
        SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageA(Bar(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }

    FaultingHost* faulty = nullptr;
    void* unreadable = nullptr;
    bool broke = false;
};

TEST_F(RestAfterFault, AfterABulkCloseFaultsTheShownTabDestroyedStillShowsItsNeighbour) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    FaultAfterLogging("Tabs::CloseTabs - niszcz");
    host->Notify({Tabs::Element::CloseOthers, Host::kGroupContactMenu, c[0]}, Host::kNoticeAction);
    ASSERT_TRUE(broke);
    Restore();
    ASSERT_EQ(Tabs(), c) << "the fault came before the first tab closed";

    host->state.conversations.DestroyConversation(c[2]);
    EXPECT_EQ(CurrentContact(), c[1]) << "the bulk close is over: the window's own destruction switches";
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1]}));
    host->Notify({Tabs::Element::CloseOthers, Host::kGroupContactMenu, c[0]}, Host::kNoticeAction);
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]});
    EXPECT_EQ(CurrentContact(), c[0]);
}

TEST_F(RestAfterFault, AfterASwitchFaultsEveryTabCanBeShownAgain) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    // Inside the switch to Ala, after her window is up.
    FaultAfterRequest(Host::kMainMenuGroup);
    Click(c[0]);
    ASSERT_TRUE(broke);
    Restore();
    ASSERT_EQ(CurrentContact(), c[0]);

    Click(c[1]);
    EXPECT_EQ(CurrentContact(), c[1]);
    Click(c[0]);
    EXPECT_EQ(CurrentContact(), c[0]) << "the switch to Ala is over";
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[0])});
}

TEST_F(RestAfterFault, AFaultWhileATabIsDraggedLetsGoOfIt) {
    host->state.config.SetInt(0, 0, Tabs::Column::PosW, 360);
    host->state.config.SetInt(0, 0, Tabs::Column::PosH, 240);
    Boot();
    std::vector<int> c;
    for (int i = 0; i < 30; ++i) c.push_back(AddContact("Kontakt " + std::to_string(i + 10)));
    for (int contact : c) Open(contact);

    RECT r{};
    SendMessageA(Bar(), TB_GETRECT, c.back() & 0xBFFFFFFF, reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, onScreen = p;
    ClientToScreen(Bar(), &onScreen);
    SetCursorPos(onScreen.x, onScreen.y);
    // The press is taken as a drag on a bar that scrolls; the next move, out
    // of the container, faults.
    FaultAfterLogging("Tabs::WM_NOTIFY(TBN_BEGINDRAG)");
    SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ASSERT_TRUE(broke);
    ASSERT_EQ(GetCapture(), Bar());
    RECT container{};
    GetWindowRect(Container(), &container);
    POINT out{container.right + 40, container.top + 40}, inBar = out;
    SetCursorPos(out.x, out.y);
    ScreenToClient(Bar(), &inBar);
    SendMessageA(Bar(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(inBar.x, inBar.y));
    Restore();

    EXPECT_NE(GetCapture(), Bar()) << "the bar let go of the mouse";
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
    EXPECT_FALSE(KillTimer(Container(), Tabs::kDragScrollTimer)) << "the drag scroll stopped";
    SendMessageA(Bar(), WM_LBUTTONUP, 0, MAKELPARAM(inBar.x, inBar.y));
    EXPECT_EQ(Tabs(), c) << "letting go afterwards tears nothing off";
}

TEST(ScopedFlags, AScopeInsideAnotherPutsBackTheOuterValue) {
    bool closing = false;
    {
        Tabs::Scoped<bool> outer(closing, true);
        { Tabs::Scoped<bool> inner(closing, true); }
        EXPECT_TRUE(closing) << "the outer close still runs";
    }
    EXPECT_FALSE(closing);
}
