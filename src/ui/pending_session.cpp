// Placeholder until the session is built.
#include "ui/session.h"

namespace Tabs {
int IStart() { return 1; }
int IEnd() { return 1; }
}  // namespace Tabs
