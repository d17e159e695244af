// Placeholders until registration, actions and the session are built.
#include "ui/actions.h"
#include "ui/registration.h"
#include "ui/session.h"

namespace Tabs {
int IPrepare() { return 1; }
int IStart() { return 1; }
int IEnd() { return 1; }
int ActionProc(const ActionNotice*) { return 0; }
}  // namespace Tabs
