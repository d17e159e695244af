// A hard boundary against hardware faults: a bad pointer handed in by the host
// (or any other fault of the plug-in's own) ends the call with a fallback
// answer instead of bringing the host down. A fault that is not the
// plug-in's passes on to the host's own handling untouched.
#pragma once

#include <cstdint>

namespace Tabs {

using GuardedCall = intptr_t (*)(void* argument);
using AbandonedCall = void (*)(void* argument) noexcept;

// Runs call(argument); a fault of the plug-in's own inside it unwinds back
// here and `fallback` is answered. Objects alive in the frames left that way
// are not destroyed, so `abandoned` (when given) is called with the same
// argument whenever they were: after such a fault, and when a handler further
// out (the host's) unwinds through this call.
intptr_t RunFaultGuarded(GuardedCall call, void* argument, intptr_t fallback,
                         AbandonedCall abandoned = nullptr) noexcept;

}  // namespace Tabs
