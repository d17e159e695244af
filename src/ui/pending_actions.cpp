// Placeholder until action handling is built.
#include "ui/actions.h"

namespace Tabs {
int ActionProc(const ActionNotice*) { return 0; }
}  // namespace Tabs
