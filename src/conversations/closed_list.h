// The recently closed list and its stored form.
#pragma once

#include <string>

#include "conversations/registry.h"

namespace Tabs {

// The stored text keeps at most this many entries, the newest.
constexpr size_t kClosedListLimit = 100;

extern ContactList closedList;

std::string ListToString(const ContactList& list);
void StringToList(const char* text, ContactList& list);
void RecordClosed(int32_t contact);
void ForgetClosed(int32_t contact);
void ClearClosed();
void UpdateClosedMenu();

}  // namespace Tabs
