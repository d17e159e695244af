// A hard boundary against hardware faults: a bad pointer handed in by the host
// (or any other fault inside the plug-in) ends the call with a fallback
// answer instead of bringing the host down.
#pragma once

#include <cstdint>

namespace Tabs {

using GuardedCall = intptr_t (*)(void* argument);

// Runs call(argument); a fault inside it unwinds back here and `fallback` is
// answered. Objects alive in the abandoned frames are not destroyed.
intptr_t RunFaultGuarded(GuardedCall call, void* argument, intptr_t fallback) noexcept;

}  // namespace Tabs
