#include "conversations/closed_list.h"

#include <cstdint>
#include <cstring>
#include <sstream>

#include "host/columns.h"
#include "host/host.h"
#include "ui/elements.h"

namespace Tabs {

ContactList closedList;

namespace {

constexpr char kSeparator = '\x01';

// A piece beyond 32 bits names no contact: it loads as 0.
int32_t PieceValue(const char* begin, const char* end) {
    Decimal piece = ReadDecimal(begin, end);
    return piece.inRange ? piece.value : 0;
}

// The newest contact of the list that the host still knows.
int32_t NewestClosedContact() {
    for (int32_t contact : closedList)
        if (contact != 0 && Send(Host::kContactExists, contact) != 0) return contact;
    return 0;
}

}  // namespace

std::string ListToString(const ContactList& list) {
    std::ostringstream stream;
    for (int32_t id : list) stream << id << kSeparator;
    return stream.str();
}

void StringToList(const char* text, ContactList& list) {
    if (!text) return;
    const char* end = text + std::strlen(text);
    const char* start = text;
    while (start < end) {
        const char* separator = static_cast<const char*>(std::memchr(start, kSeparator, end - start));
        if (!separator) return;
        list.push_back(PieceValue(start, separator));
        start = separator + 1;
    }
}

void TrimClosed() {
    if (closedList.size() > kClosedListLimit) closedList.resize(kClosedListLimit);
}

void RecordClosed(int32_t contact) {
    ListRemove(closedList, contact);
    closedList.push_front(contact);
    TrimClosed();
    UpdateClosedMenu();
}

void ForgetClosed(int32_t contact) {
    ListRemove(closedList, contact);
    UpdateClosedMenu();
}

void ClearClosed() {
    closedList.clear();
    UpdateClosedMenu();
}

void LoadClosed(const char* text) {
    StringToList(text, closedList);
    TrimClosed();
    UpdateClosedMenu();
}

void ReopenNewestClosed() {
    if (int32_t contact = NewestClosedContact())
        CallAction({Host::kActionOpenConversation, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
}

void UpdateClosedMenu() {
    int group = Send(Host::kMainMenuGroup);
    bool wanted = GetInt(Column::ClosedRecentlyMain) != 0 && !closedList.empty();
    SetElementHidden({Element::ClosedMainMenu, group, Host::kNoContact}, !wanted);
}

}  // namespace Tabs
