// Handlers of the host messages that act on the tabs themselves.
#pragma once

#include "host/records.h"

namespace Tabs {

// 20100: a chat message arrived.
void OnIncomingMessage(const IncomingMessage& message);
// 21020: the host applied settings. Returns false on the early exit (the
// settings page has no window), when the entry point skips noResult.
bool ApplySettings();
// 24011: a contact's status changed (the record is already copied and checked).
void StatusChange(const StatusChangeMessage& record);
// 40004: the state of a contact's conversation window for another plug-in.
intptr_t WindowState(int contact);

}  // namespace Tabs
