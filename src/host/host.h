// The plug-in's side of the host link: the control pointer, the log, and the
// few helpers through which every request is built.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "host/fault_guard.h"
#include "host/host_control.h"
#include "host/ids.h"
#include "host/records.h"
#include "host/requests.h"
#include "host/scoped.h"

namespace Tabs {

constexpr int kPluginNumber = 306;

extern HostControl* hostControl;
extern bool lockPresent;

// One printf-style line to the host, cut to 254 characters. Trace lines go
// whenever the host control is set, error lines only when the host logs them.
void Log(int level, const char* format, ...);
inline constexpr int kTrace = Host::kLogTrace;
inline constexpr int kError = Host::kLogError;

// Request to the host itself; 0 while there is no host control.
intptr_t Send(int code, intptr_t p1 = 0, intptr_t p2 = 0);
inline intptr_t Send(int code, const void* p1, intptr_t p2 = 0) { return Send(code, reinterpret_cast<intptr_t>(p1), p2); }
// Message to another plug-in by number (targetKind -1), through send.
intptr_t SendToPlugin(int number, int code, intptr_t p1 = 0, intptr_t p2 = 0);

// Runs a host element for a contact: request 10103 with a 30-byte notice.
intptr_t CallAction(const ActionRef& ref, int notice);

// The window of a host element (request 10117); the conversation window of a
// contact is element {3, 0, contact}.
HWND ElementWindow(const ActionRef& ref);
HWND ConversationWindow(int contact);

// The contact id a reference names (the host's rowId on the contact table);
// 0 while there is no host control.
int32_t ContactOfRef(ContactRef ref);

// Status change of an element (request 10108, mask 1).
void SetElementStatus(const ActionRef& ref, uint32_t status, uint32_t statusMask);
inline void SetElementHidden(const ActionRef& ref, bool hidden) { SetElementStatus(ref, hidden ? 1 : 0, 1); }
// Text change of an element (request 10108, mask 0x40).
void SetElementText(const ActionRef& ref, const char* text);

// Whether a plug-in with this signature is loaded (request 248).
bool PluginLoaded(const char* signature);

// The lock plug-in's consent: true at once when it is absent.
bool LockAllows();

// Text of a window, whole, whatever its length.
std::string WindowText(HWND window);

// Whether the key was down when the message being handled was sent: the high
// bit of its state.
bool KeyDown(int key);
// Whether a virtual key is the one that types a letter on this keyboard.
bool IsKeyOf(WPARAM key, char letter);

// The host's instance, which the plug-in's windows and classes belong to;
// null while there is no host control.
HINSTANCE AppInstance();
// The module the plug-in's code lies in, which holds its resources.
HINSTANCE OwnModule();

// Runs the body of a window procedure or handler so that nothing thrown in it
// reaches the system or the host: a throw is logged and answered by the
// fallback (typically passing the message on unchanged).
template <typename Body, typename Fallback>
auto Guard(const char* where, Body&& body, Fallback&& fallback) noexcept -> decltype(fallback()) {
    try {
        return body();
    } catch (...) {
        try {
            Log(kError, "%s - wyjątek", where);
            return fallback();
        } catch (...) {
            return decltype(fallback())();
        }
    }
}

// The plug-in's answer to a window message; none passes the message on to
// the procedure the plug-in replaced (or to the default one).
using Answer = std::optional<LRESULT>;

// Logs a fault that a guard caught; the log itself runs guarded, since the
// fault may have come from the host's control object.
void LogFault(const char* where) noexcept;

// A fault guard's place: how many scoped changes were in force when it
// started, and whether another guard runs outside it.
class GuardPlace {
public:
    GuardPlace() noexcept;
    // The frames above the guard were abandoned without their clean-ups:
    // every change they made is undone, and when no guard runs outside this
    // one, a tab being dragged is let go. Everything is then back at rest.
    void Abandoned() const noexcept;

    // Counts a guarded call among those running, from inside the guard: an
    // unwind that leaves the guard as well undoes it with the rest.
    class Running {
    public:
        Running() noexcept;

    private:
        Scoped<int> counted;
    };

private:
    size_t inForce;
    bool outermost;
};

// Runs the plug-in's part of a window message so that neither a throw nor a
// fault of the plug-in's own in it reaches the system: either leaves the
// message unanswered. Objects alive in the frames a fault abandons are not
// destroyed, but what they had changed is put back.
template <typename Handler>
Answer Answered(const char* where, Handler&& handler) noexcept {
    struct Call {
        Handler* handler;
        const char* where;
        Answer answer;
        GuardPlace place;
    } call{&handler, where, std::nullopt, {}};
    auto run = [](void* argument) -> intptr_t {
        auto* c = static_cast<Call*>(argument);
        GuardPlace::Running running;
        c->answer = Guard(c->where, [c] { return Answer((*c->handler)()); }, [] { return Answer(); });
        return 0;
    };
    auto abandoned = [](void* argument) noexcept { static_cast<Call*>(argument)->place.Abandoned(); };
    if (RunFaultGuarded(run, &call, 1, abandoned) == 0) return call.answer;
    LogFault(where);
    return std::nullopt;
}

}  // namespace Tabs
