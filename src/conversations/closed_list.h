// The recently closed list and its stored form.
#pragma once

#include <string>

#include "conversations/registry.h"

namespace Tabs {

// The list, in memory and so in its stored text, keeps at most this many
// entries, the newest.
constexpr size_t kClosedListLimit = 100;

extern ContactList closedList;

// Each id in signed decimal followed by the byte 0x01.
std::string ListToString(const ContactList& list);
// Appends every id of a stored text; a piece that is not a 32-bit number
// loads as 0, and text after the last 0x01 is ignored.
void StringToList(const char* text, ContactList& list);

// Each of these changes closedList and then runs UpdateClosedMenu.
// RecordClosed puts the contact at the front, once.
void RecordClosed(int32_t contact);
void ForgetClosed(int32_t contact);
void ClearClosed();
// Appends the ids of a stored text at the back, keeping the newest entries.
void LoadClosed(const char* text);

// Opens again the newest contact of the list that the host still knows;
// nothing when there is none.
void ReopenNewestClosed();

// Drops the oldest entries beyond kClosedListLimit.
void TrimClosed();
// Hides the main-menu entry "Zamknięte rozmowy" unless it is wanted and the
// list holds something.
void UpdateClosedMenu();

}  // namespace Tabs
