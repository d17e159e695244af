// The module freed while the run goes on (no end message): the host's
// windows get back everything the plug-in borrowed and keep working, and the
// host is not called.
#include "conversation_fixture.h"
#include "host/columns.h"
#include "host/host.h"
#include "ui/session.h"

using namespace DevHostLib;
using Unload = ConversationTest;

namespace {

constexpr int kKeepWindow = 148;

BOOL CALLBACK CollectProperty(HWND, LPSTR name, HANDLE, ULONG_PTR names) {
    if (!IS_INTRESOURCE(name)) reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
    return TRUE;
}

std::vector<std::string> OurProperties(HWND window) {
    std::vector<std::string> names, ours;
    EnumPropsExA(window, CollectProperty, reinterpret_cast<LPARAM>(&names));
    for (const std::string& name : names)
        if (name == "TABBED" || name == "oldProc" || name == "CtrlViewProcOld" || name == "CtrlSendProcOld")
            ours.push_back(name);
    return ours;
}

// The frame is there when the client area leaves room for the caption.
bool FrameComputed(HWND window) {
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return outer.bottom - outer.top - client.bottom >= GetSystemMetrics(SM_CYCAPTION);
}

bool ClassRegistered(const char* name) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    return GetClassInfoExA(GetModuleHandleA(nullptr), name, &wc) != 0;
}

}  // namespace

TEST_F(Unload, WithoutAnEndEveryWindowGetsBackWhatWasBorrowedAndTheHostIsNotCalled) {
    Boot();
    int ala = AddContact("Ala"), jan = AddContact("Jan"), ola = AddContact("Ola"), ewa = AddContact("Ewa"),
        bartek = AddContact("Bartek");
    host->state.config.SetInt(1, bartek, Tabs::Column::DontTab, 1);
    for (int contact : {ala, jan, ola, ewa, bartek}) Open(contact);
    SendMessageA(Container(), WM_COMMAND, 0xFFFE, 0);  // Ewa detached by the bar's button
    host->state.config.SetInt(0, 0, kKeepWindow, 1);
    Press(Edit(ola), VK_F4, {VK_CONTROL});  // Ola's window kept, hidden, still hooked
    ASSERT_EQ(Tabs(), (std::vector<int>{ala, jan}));
    ASSERT_TRUE(Tabbed(WindowOf(ola)));
    HWND container = Container();
    Press(Edit(bartek), 'K', {VK_CONTROL});  // the quick switcher open over Bartek's window
    HWND switcher = FindWindowA("TabsSwitcher", nullptr);
    ASSERT_TRUE(switcher);
    size_t sent = host->recorded.sent.size(), logged = host->recorded.log.size();
    int saves = host->recorded.saveSettingsCalls;
    int x = host->state.config.Int("Tabs/Pos/X");

    host->FreeWithoutEnd();

    EXPECT_EQ(host->recorded.sent.size(), sent) << "not a request, not a log line";
    EXPECT_EQ(host->recorded.log.size(), logged);
    EXPECT_EQ(host->recorded.saveSettingsCalls, saves);
    EXPECT_EQ(host->state.config.Text("Tabs/LastSession"), "") << "the session is saved only by the end";
    EXPECT_EQ(host->state.config.Int("Tabs/Pos/X"), x);
    EXPECT_FALSE(IsWindow(container));
    EXPECT_FALSE(IsWindow(switcher));
    EXPECT_FALSE(ClassRegistered("Tabs")) << "no class keeps a procedure in the freed module";
    EXPECT_FALSE(ClassRegistered("TabsCont"));
    EXPECT_FALSE(ClassRegistered("TabsSwitcher"));

    for (int contact : {ala, jan, ola, ewa, bartek}) {
        HWND window = WindowOf(contact);
        SCOPED_TRACE(Text(window));
        EXPECT_EQ(ParentOf(window), GetDesktopWindow());
        EXPECT_EQ(Style(window) & (WS_CHILD | WS_CAPTION), static_cast<DWORD>(WS_CAPTION));
        EXPECT_TRUE(FrameComputed(window)) << "a caption and borders, not only their style";
        EXPECT_TRUE(HasOwnProcedure(window));
        EXPECT_EQ(Proc(Edit(contact)), Conversations::EditClassProc());
        EXPECT_EQ(Proc(host->state.conversations.MessageView(contact)), Conversations::ViewClassProc());
        for (HWND w : {window, Edit(contact), host->state.conversations.MessageView(contact)})
            EXPECT_TRUE(OurProperties(w).empty()) << OurProperties(w).front();
    }
    for (int contact : {ala, jan, ola}) EXPECT_FALSE(IsWindowVisible(WindowOf(contact))) << "tabs leave hidden";
    for (int contact : {ewa, bartek}) EXPECT_TRUE(IsWindowVisible(WindowOf(contact)));

    // The host's own procedures get every message now, keys the plug-in
    // took included.
    host->state.conversations.input.clear();
    Press(Edit(jan), VK_TAB, {VK_CONTROL});
    Press(Edit(jan), VK_F4, {VK_CONTROL});
    EXPECT_EQ(InputSeen(jan).size(), 4u);
    host->state.conversations.Retitle(ala, "Ala pisze");
    EXPECT_EQ(Text(WindowOf(ala)), "Ala pisze");
    host->state.conversations.Close(ewa);
    EXPECT_FALSE(IsWindowVisible(WindowOf(ewa))) << "the host's own close request: kept, hidden";
    Open(ola);
    EXPECT_TRUE(IsWindowVisible(WindowOf(ola)));
    host->state.conversations.Move(jan, 40, 40, 300, 200);
    EXPECT_EQ(InParent(WindowOf(jan)).left, 40) << "no longer pinned";
    host->state.conversations.DestroyAll();
    EXPECT_TRUE(host->state.conversations.leftovers.empty()) << host->state.conversations.leftovers.front();
}

TEST_F(Unload, AfterAnEndTheUnloadLeavesNoWindowClassBehind) {
    auto c = BootWithTabs({"Ala"});
    Press(Edit(c[0]), 'K', {VK_CONTROL});
    ASSERT_TRUE(FindWindowA("TabsSwitcher", nullptr));
    host->Stop();
    EXPECT_FALSE(FindWindowA("TabsSwitcher", nullptr)) << "the end takes the quick switcher";
    host->Unload();
    EXPECT_FALSE(ClassRegistered("Tabs"));
    EXPECT_FALSE(ClassRegistered("TabsCont"));
    EXPECT_FALSE(ClassRegistered("TabsSwitcher"));
    EXPECT_EQ(ParentOf(WindowOf(c[0])), GetDesktopWindow());

    ASSERT_TRUE(host->Load(ZAVERNOK_DLL));
    Boot();
    int jan = AddContact("Jan");
    Open(jan);
    EXPECT_EQ(Tabs(), std::vector<int>{jan}) << "the module loaded again makes its container anew";
}

// The hook on the system's move events, seen through the linked code: it
// hears every move while the run goes on, and neither the end nor the
// unload's own clean-up (as the module's unload runs it) leaves it behind.
// The host's control is handed back after each, so that a hook left behind
// would still be heard.
class MoveHook : public ConversationTest {
protected:
    MoveHook() { inProcess = true; }
    void TearDown() override {
        Tabs::hostControl = nullptr;
        ConversationTest::TearDown();
    }
    size_t MovesHeard() {
        size_t n = 0;
        for (const auto& line : host->recorded.log)
            if (line.text.rfind("Tabs::MoveSizeEvent", 0) == 0) ++n;
        return n;
    }
};

TEST_F(MoveHook, TheEndTakesItAway) {
    auto c = BootWithTabs({"Ala", "Jan"});
    host->Notify({306002, Host::kGroupContactMenu, c[1]}, Host::kNoticeAction);
    HWND jan = WindowOf(c[1]);
    RaiseMoveEvents(jan);
    ASSERT_EQ(MovesHeard(), 2u) << "the start and the end of a move";
    HostControl* control = Tabs::hostControl;
    host->Stop();
    Tabs::hostControl = control;
    RaiseMoveEvents(jan);
    EXPECT_EQ(MovesHeard(), 2u);
}

TEST_F(MoveHook, AnUnloadWithoutAnEndTakesItAway) {
    auto c = BootWithTabs({"Ala", "Jan"});
    host->Notify({306002, Host::kGroupContactMenu, c[1]}, Host::kNoticeAction);
    HWND jan = WindowOf(c[1]);
    RaiseMoveEvents(jan);
    ASSERT_EQ(MovesHeard(), 2u);
    HostControl* control = Tabs::hostControl;
    Tabs::ReleaseAtUnload();
    Tabs::hostControl = control;
    RaiseMoveEvents(jan);
    EXPECT_EQ(MovesHeard(), 2u);
}
