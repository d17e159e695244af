// Placeholder until registration is built.
#include "ui/registration.h"

namespace Tabs {
int IPrepare() { return 1; }
}  // namespace Tabs
