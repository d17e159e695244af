#pragma once

#include "host/records.h"

namespace Tabs {

// Handler of message 22200.
intptr_t ActionProc(const ActionNotice* notice);

}  // namespace Tabs
