// Placeholders until the handlers are built.
#include "host/handlers.h"

namespace Tabs {
void OnIncomingMessage(const IncomingMessage&) {}
bool ApplySettings() { return true; }
void StatusChange(const StatusChangeMessage&) {}
int WindowState(int) { return 0; }
}  // namespace Tabs
