// A hard boundary against hardware faults: a bad pointer handed in by the host
// (or any other fault inside the plug-in) ends the call with a fallback
// answer instead of bringing the host down.
#pragma once

#include <cstdint>

namespace Tabs {

using GuardedCall = intptr_t (*)(void* argument);
// Told, with the same argument, that the frames above the guard were
// abandoned without their clean-ups.
using AbandonedCall = void (*)(void* argument) noexcept;

// Runs call(argument); a fault inside it unwinds back here, `abandoned` is
// called and `fallback` is answered. Objects alive in the abandoned frames
// are not destroyed.
intptr_t RunFaultGuarded(GuardedCall call, void* argument, intptr_t fallback,
                         AbandonedCall abandoned = nullptr) noexcept;

}  // namespace Tabs
