#include "host/host.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "container/container.h"
#include "host/plugin_state.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace Tabs {

HostControl* hostControl = nullptr;
bool lockPresent = false;
PluginState plugin;

void Log(int level, const char* format, ...) {
    if (!hostControl) return;
    if (level != kTrace && !hostControl->logEnabled(level)) return;
    char line[255];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    Send(Host::kLog, line, level);
}

intptr_t Send(int code, intptr_t p1, intptr_t p2) {
    if (!hostControl) return 0;
    HostMessage m;
    BuildHostMessage(m, code, p1, p2);
    return hostControl->send(&m);
}

intptr_t SendToPlugin(int number, int code, intptr_t p1, intptr_t p2) {
    if (!hostControl) return 0;
    HostMessage m;
    BuildPluginMessage(m, number, code, p1, p2);
    return hostControl->send(&m);
}

intptr_t CallAction(const ActionRef& ref, int notice) {
    ActionNotice n;
    BuildActionNotice(n, ref, notice);
    return Send(Host::kElementNotify, &n, 0);
}

HWND ElementWindow(const ActionRef& ref) {
    ActionRef copy = ref;
    return reinterpret_cast<HWND>(Send(Host::kElementWindow, &copy, 0));
}

HWND ConversationWindow(int contact) { return ElementWindow({Host::kGroupConversation, 0, contact}); }

int32_t ContactOfRef(ContactRef ref) { return hostControl ? hostControl->rowId(1, ref.value) : 0; }

namespace {

// A change of the fields that `mask` names; the others are left as they are.
ActionInfo ElementChange(const ActionRef& ref, uint32_t mask) {
    ActionInfo a{};
    a.size = kActionInfoSize;
    a.ref = ref;
    a.mask = mask;
    return a;
}

}  // namespace

void SetElementStatus(const ActionRef& ref, uint32_t status, uint32_t statusMask) {
    ActionInfo a = ElementChange(ref, Host::kMaskStatus);
    a.status = status;
    a.statusMask = statusMask;
    Send(Host::kElementChange, &a, 0);
}

void SetElementText(const ActionRef& ref, const char* text) {
    ActionInfo a = ElementChange(ref, Host::kMaskText);
    a.text = text;
    Send(Host::kElementChange, &a, 0);
}

bool PluginLoaded(const char* signature) { return Send(Host::kPluginLoaded, signature, 0) != 0; }

bool LockAllows() { return !lockPresent || SendToPlugin(Host::kLockPlugin, Host::kLockUnlocked, 0, 0) != 0; }

std::string WindowText(HWND window) {
    int length = window ? GetWindowTextLengthA(window) : 0;
    if (length <= 0) return std::string();
    std::vector<char> buffer(length + 1);
    int got = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), got > 0 ? got : 0);
}

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

bool IsKeyOf(WPARAM key, char letter) { return key == static_cast<WORD>(VkKeyScanA(letter)); }

HINSTANCE AppInstance() { return hostControl ? hostControl->appInstance() : nullptr; }

HINSTANCE OwnModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

GuardPlace::GuardPlace() noexcept : inForce(ChangesInForce()), outermost(plugin.guards == 0) {}

GuardPlace::Running::Running() noexcept : counted(plugin.guards, plugin.guards + 1) {}

void GuardPlace::Abandoned() const noexcept {
    UndoChangesAfter(inForce);
    if (!outermost) return;
    RunFaultGuarded(
        [](void*) -> intptr_t {
            EndDragAfterFault();
            return 0;
        },
        nullptr, 0);
}

void LogFault(const char* where) noexcept {
    RunFaultGuarded(
        [](void* place) -> intptr_t {
            return Guard(
                "Tabs::LogFault",
                [place] {
                    Log(kError, "%s - błąd ochrony pamięci", static_cast<const char*>(place));
                    return 0;
                },
                [] { return 0; });
        },
        const_cast<char*>(where), 0);
}

}  // namespace Tabs
