#include "host/entry.h"

#include <cstdlib>
#include <cstring>

#include "container/container.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/fault_guard.h"
#include "host/handlers.h"
#include "host/host.h"
#include "ui/actions.h"
#include "ui/registration.h"
#include "ui/session.h"
#include "ui/switcher.h"

namespace Tabs {

namespace {

// The status change has a layout of its own, which on x64 is shorter than a
// host message's: its two numbers end where they do on x86, and the record
// is measured against its own size after that.
constexpr uint16_t MinimumSize(int32_t code) {
    return code == Host::kMsgStatusChange && kStatusChangeSize < kHostMessageSize
               ? offsetof(StatusChangeMessage, unread30)
               : kHostMessageSize;
}

// Parameters are read only from records that are long enough to hold them.
const HostMessage* Params(const HostMessage& message) {
    return message.size >= MinimumSize(message.code) ? &message : nullptr;
}

int NoResult() {
    if (hostControl) hostControl->noResult(1);
    return 0;
}

void ProbeLock() {
    if (PluginLoaded(Host::kLockSignature)) lockPresent = true;
}

int OnStatusChange(const HostMessage* params) {
    const auto* record = reinterpret_cast<const StatusChangeMessage*>(params);
    if (record->size < kStatusChangeSize) {
        Log(kError, "Tabs::StatusChange - rekord za krótki: %d", record->size);
        return 0;
    }
    StatusChangeMessage copy;
    std::memcpy(&copy, record, sizeof copy);
    copy.size = kStatusChangeSize;
    StatusChange(copy);
    return 1;
}

int OnIncoming(const HostMessage* params) {
    const auto* record = reinterpret_cast<const IncomingMessage*>(params->p1);
    if (record && record->size >= sizeof(IncomingMessage)) OnIncomingMessage(*record);
    return 0;
}

intptr_t OnAction(const HostMessage* params) {
    const auto* notice = reinterpret_cast<const ActionNotice*>(params->p1);
    if (!notice || notice->size < sizeof(ActionNotice)) return 0;
    return ActionProc(notice);
}

// Codes that need their parameters; a short record or a null p1 is answered 0.
intptr_t DispatchWithParams(const HostMessage& message, const HostMessage* params) {
    // A message, a notice (a conversation opened, a tab closed by an action)
    // or a status change may change what an open switcher lists: it makes
    // its list again once the message is handled.
    bool followed = message.code == Host::kMsgIncoming || message.code == Host::kMsgAction ||
                    message.code == Host::kMsgStatusChange;
    if (followed) SwitcherFollow();
    switch (message.code) {
        case Host::kMsgSetControl:
            hostControl = reinterpret_cast<HostControl*>(params->p1);
            return 1;
        case Host::kMsgReleaseControl:
            hostControl = nullptr;
            return 1;
        case Host::kMsgIncoming:
            return OnIncoming(params);
        case Host::kMsgAction:
            return OnAction(params);
        case Host::kMsgStatusChange:
            return OnStatusChange(params);
        case Host::kAskWindowState:
            return WindowState(static_cast<int>(params->p1));
    }
    return 0;
}

bool NeedsParams(int code) {
    switch (code) {
        case Host::kMsgSetControl:
        case Host::kMsgReleaseControl:
        case Host::kMsgIncoming:
        case Host::kMsgAction:
        case Host::kMsgStatusChange:
        case Host::kAskWindowState:
            return true;
    }
    return false;
}

}  // namespace

intptr_t Dispatch(const HostMessage& message) {
    const HostMessage* params = Params(message);
    if (NeedsParams(message.code)) {
        bool usable = params && (params->p1 != 0 || message.code == Host::kMsgReleaseControl ||
                                 message.code == Host::kMsgStatusChange);
        return usable ? DispatchWithParams(message, params) : 0;
    }
    switch (message.code) {
        case Host::kMsgApiVersion: return 2;
        case Host::kMsgApiFlags: return 64;
        case Host::kMsgPluginsLoaded:
            ProbeLock();
            return NoResult();
        case Host::kMsgDeclareColumns: return DeclareColumns();
        case Host::kMsgSettingsApplied: return ApplySettings() ? NoResult() : 0;
        case Host::kMsgPrepare: return IPrepare();
        case Host::kMsgStart: return IStart();
        case Host::kMsgEnd: return IEnd();
        case Host::kMsgNumber: return kPluginNumber;
        case Host::kMsgType: return 0x218;
        case Host::kMsgReserved30012: return 0;
        case Host::kMsgSignature: return reinterpret_cast<intptr_t>(kSignature);
        case Host::kMsgName: return reinterpret_cast<intptr_t>(kName);
        case Host::kMsgReserved30017: return 0;
        case Host::kAskContainer: return reinterpret_cast<intptr_t>(containerWnd);
        case Host::kAskCurrentContact: return currentCnt;
        case Host::kAskCurrentWindow: return reinterpret_cast<intptr_t>(currentWnd);
    }
    return NoResult();
}

}  // namespace Tabs

namespace {

struct EntryCall {
    HostMessage* message;
    bool finished;
    Tabs::GuardPlace place;
};

intptr_t GuardedDispatch(void* argument) {
    auto* call = static_cast<EntryCall*>(argument);
    Tabs::GuardPlace::Running running;
    intptr_t answer = 0;
    try {
        answer = Tabs::Dispatch(*call->message);
    } catch (...) {
        Tabs::Log(Tabs::kError, "IMessageProc - wyjątek przy kodzie %d", call->message->code);
    }
    call->finished = true;
    return answer;
}

}  // namespace

// The one hard boundary with the host: nothing thrown or faulted inside the
// plug-in gets out of here.
extern "C" intptr_t __stdcall IMessageProc(HostMessage* message) {
    if (!message) return 0;
    EntryCall call{message, false, {}};
    auto abandoned = [](void* argument) noexcept { static_cast<EntryCall*>(argument)->place.Abandoned(); };
    intptr_t answer = Tabs::RunFaultGuarded(GuardedDispatch, &call, 0, abandoned);
    if (!call.finished) Tabs::LogFault("IMessageProc");
    return answer;
}

// FreeLibrary (no reserved pointer) gives back what the plug-in borrowed; at
// the process's exit (reserved set) other threads are gone mid-way and
// nothing may be touched.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved)
        Tabs::RunFaultGuarded(
            [](void*) -> intptr_t {
                return Tabs::Guard(
                    "DllMain", [] { Tabs::ReleaseAtUnload(); return 0; }, [] { return 0; });
            },
            nullptr, 0);
    return TRUE;
}

namespace Corvina {

void LibInstance::Release(void* block) { std::free(block); }

LibInstance& LibInstance::get() {
    static LibInstance instance;
    return instance;
}

}  // namespace Corvina
