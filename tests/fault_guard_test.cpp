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
class Nowhere {
public:
    Nowhere() : page(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS)) {}
    ~Nowhere() { VirtualFree(page, 0, MEM_RELEASE); }
    Nowhere(const Nowhere&) = delete;
    Nowhere& operator=(const Nowhere&) = delete;
    char* Address() const { return static_cast<char*>(page); }

private:
    void* page;
};

int* volatile nullTarget = nullptr;
void Fault() { *nullTarget = 1; }

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<const char*>(address), &module);
    return module;
}

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
    EXPECT_EQ(caught.code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_EQ(ModuleOf(caught.address), GetModuleHandleA(nullptr));
    EXPECT_FALSE(host->Logged("błąd ochrony pamięci"));
    Open(c[0]);
    EXPECT_EQ(CurrentContact(), c[0]);
}

// The host's action faults inside the C runtime it calls: the nearest code
// outside the system is the host's.
TEST_F(FaultGuard, AFaultInAHostOperationThePluginCallsReachesTheHostsHandler) {
    auto c = BootWithTabs({"Ala"});
    Nowhere nowhere;
    host->hostActions[{Host::kGroupContactMenu, Host::kActionOpenConversation}] = [&](const ActionRef&, int) {
        volatile size_t length = std::strlen(nowhere.Address());
        (void)length;
    };
    ActionNotice chosen{};
    chosen.size = sizeof chosen;
    chosen.ref = {c[0], Tabs::Element::ClosedMainMenu, Host::kNoContact};
    chosen.notice = Host::kNoticeAction;
    CaughtFault caught = RunUnderHostHandler([&] { host->Call(Host::kMsgAction, &chosen); });

    EXPECT_TRUE(caught.caught) << "choosing a recently closed contact runs the host's action";
    EXPECT_EQ(caught.code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_FALSE(host->Logged("błąd ochrony pamięci"));
    EXPECT_EQ(host->Call(Host::kAskCurrentContact), c[0]);
}

// A C-runtime call with a pointer the host handed in, a call to code of no
// module through the host's control object, a record the plug-in reads.
TEST_F(FaultGuard, ThePluginsOwnFaultsAreStillCaughtAndLoggedAndTheHostRunsOn) {
    auto c = BootWithTabs({"Ala"});
    Nowhere nowhere;
    const std::string from = "Ala@velmora";
    IncomingMessage message{};
    message.size = sizeof message;
    message.code = Host::kMsgIncoming;
    message.network = 1;
    message.kind = 1;
    message.from = from.c_str();
    message.body = nowhere.Address();
    std::vector<void*> operations(40, nowhere.Address());
    void* control = operations.data();

    struct Case {
        const char* what;
        std::function<intptr_t()> call;
        bool logged;  // a control object that points nowhere carries no log line
    };
    const Case cases[] = {
        {"strstr on the message's body", [&] { return host->Call(Host::kMsgIncoming, &message); }, true},
        {"a notice that is not there", [&] { return host->Call(Host::kMsgAction, nowhere.Address()); }, true},
        {"the host control's operations",
         [&] {
             host->Call(Host::kMsgSetControl, &control);
             intptr_t answer = host->Call(20003);
             host->Call(Host::kMsgSetControl, static_cast<HostControl*>(host.get()));
             return answer;
         },
         false},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        host->log.clear();
        intptr_t answer = -1;
        CaughtFault caught = RunUnderHostHandler([&] { answer = each.call(); });
        EXPECT_FALSE(caught.caught);
        EXPECT_EQ(answer, 0);
        EXPECT_EQ(host->Logged("IMessageProc - błąd ochrony pamięci"), each.logged);
        EXPECT_EQ(host->Call(Host::kAskCurrentContact), c[0]) << "the plug-in goes on";
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
