// The module's exports: the entry point the host calls with every message and
// the accessor of the object through which the host frees what the module
// allocated.
#pragma once

#include "host/records.h"

extern "C" intptr_t __stdcall IMessageProc(HostMessage* message);

namespace Corvina {

class LibInstance {
public:
    // Frees a block that the module's own allocator gave out.
    virtual void Release(void* block);
    static LibInstance& get();
};

}  // namespace Corvina

namespace Tabs {

// The whole dispatch; the entry point wraps it so that nothing escapes.
intptr_t Dispatch(const HostMessage& message);

inline constexpr char kSignature[] = "ZAVERNOK";
inline constexpr char kName[] = "Zavernok";

}  // namespace Tabs
