// Placeholders until the container's events are built.
#include "container/container.h"

namespace Tabs {
clock_t dragStart = 0;
bool flashPhase = true;
}  // namespace Tabs
