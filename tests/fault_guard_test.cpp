// The fault guard takes the plug-in's own faults and only those: a fault
// raised in the host's code while the plug-in is the caller reaches the
// host's own handler as if the plug-in were not there.
#include <cstring>

#include "conversation_fixture.h"
#include "host/fault_guard.h"
#include "host_handler.h"
#include "ui/elements.h"

using namespace DevHostLib;

namespace {

// A page that faults on every access.
struct Nowhere {
    char* const at = static_cast<char*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS));
    ~Nowhere() { VirtualFree(at, 0, MEM_RELEASE); }
};

int* volatile nullTarget = nullptr;
void Fault() { *nullTarget = 1; }

WNDPROC below = nullptr;
LRESULT CALLBACK FaultOnActivate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE) Fault();
    return CallWindowProcA(below, window, message, wParam, lParam);
}

}  // namespace

using FaultGuard = ConversationTest;

TEST_F(FaultGuard, AFaultInTheHostsProcedureOfAWindowThePluginSendsAMessageToReachesTheHostsHandler) {
    auto c = BootWithTabs({"Ala", "Jan"});
    HWND shown = CurrentWindow();
    below = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(shown, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FaultOnActivate)));
    CaughtFault caught = RunUnderHostHandler([&] { SendMessageA(Container(), WM_ACTIVATE, WA_ACTIVE, 0); });
    SetWindowLongPtrA(shown, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below));

    EXPECT_TRUE(caught.caught) << "the container passes WM_ACTIVATE on to the shown conversation";
    HMODULE raisedIn = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<const char*>(caught.address), &raisedIn);
    EXPECT_EQ(raisedIn, GetModuleHandleA(nullptr));
    EXPECT_FALSE(host->recorded.Logged("błąd ochrony pamięci"));
    Open(c[0]);
    EXPECT_EQ(CurrentContact(), c[0]);
}

// The host's action faults inside the C runtime: the nearest caller outside
// the system is the host.
TEST_F(FaultGuard, AFaultInAHostOperationThePluginCallsReachesTheHostsHandler) {
    auto c = BootWithTabs({"Ala"});
    Nowhere nowhere;
    host->state.hostActions[{Host::kGroupContactMenu, Host::kActionOpenConversation}] = [&](const ActionRef&, int) {
        [[maybe_unused]] volatile size_t length = std::strlen(nowhere.at);
    };
    ActionRef closedEntry{c[0], Tabs::Element::ClosedMainMenu, Host::kNoContact};
    ActionNotice chosen{sizeof chosen, closedEntry, Host::kNoticeAction, 0, 0, 0};
    CaughtFault caught = RunUnderHostHandler([&] { host->Call(Host::kMsgAction, &chosen); });

    EXPECT_EQ(caught.code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)) << "a closed contact chosen";
    EXPECT_FALSE(host->recorded.Logged("błąd ochrony pamięci"));
    EXPECT_EQ(host->Call(Host::kAskCurrentContact), c[0]);
}

// A C-runtime call on the host's pointer, a call into code of no module
// through the host's control object, a record that is not there.
TEST_F(FaultGuard, ThePluginsOwnFaultsAreStillCaughtAndLoggedAndTheHostRunsOn) {
    auto c = BootWithTabs({"Ala"});
    Nowhere nowhere;
    const char from[] = "Ala@velmora";
    IncomingMessage message{sizeof message, Host::kMsgIncoming, 1, 1, from, 0, nowhere.at, 0, 0};
    std::vector<char*> operations(40, nowhere.at);
    void* control = operations.data();
    auto callWithControl = [&] {
        host->Call(Host::kMsgSetControl, &control);
        intptr_t answer = host->Call(20003);
        host->Call(Host::kMsgSetControl, static_cast<HostControl*>(host.get()));
        return answer;
    };
    const std::function<intptr_t()> calls[] = {[&] { return host->Call(Host::kMsgIncoming, &message); },
                                               [&] { return host->Call(Host::kMsgAction, nowhere.at); },
                                               callWithControl};
    for (const auto& call : calls) {
        host->recorded.log.clear();
        intptr_t answer = -1;
        EXPECT_FALSE(RunUnderHostHandler([&] { answer = call(); }).caught);
        EXPECT_EQ(answer, 0);
        // A control object that points nowhere takes no log line.
        EXPECT_EQ(host->recorded.Logged("IMessageProc - błąd ochrony pamięci"), &call != &calls[2]);
        EXPECT_EQ(host->Call(Host::kAskCurrentContact), c[0]);
    }
}

TEST(FaultGuardAbandoned, FramesLeftByTheGuardsRecoveryOrByTheHostsUnwindAreReportedAndNoOthers) {
    constexpr DWORD kHostsOwn = 0xE0000001;
    int reports = 0;
    auto report = [](void* count) noexcept { ++*static_cast<int*>(count); };
    EXPECT_EQ(Tabs::RunFaultGuarded([](void*) -> intptr_t { return 5; }, &reports, 7, report), 5);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(Tabs::RunFaultGuarded([](void*) -> intptr_t { Fault(); return 5; }, &reports, 7, report), 7);
    EXPECT_EQ(reports, 1);

    CaughtFault caught = RunUnderHostHandler([&] {
        Tabs::RunFaultGuarded([](void*) -> intptr_t { RaiseException(kHostsOwn, 0, 0, nullptr); return 5; },
                              &reports, 7, report);
    });
    EXPECT_EQ(caught.code, kHostsOwn);
    EXPECT_EQ(reports, 2);
}
