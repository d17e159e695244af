// The host's contact table: contacts with ids that have bit 30 set, text
// columns 0 (user id), 8 (display name) and 18 (information), integer columns
// 1 (network), 2 (status) and 30 (an icon chosen for the contact).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace DevHostLib {

constexpr int kContactBit = 0x40000000;

struct Contact {
    int id = 0;           // with bit 30 set
    std::string userId;   // column 0
    std::string display;  // column 8
    std::string info;     // column 18
    int network = 0;      // column 1
    int status = 0;       // column 2
    int icon = 0;         // column 30
};

class ContactTable {
public:
    // Adds a contact and returns its id (bit 30 set).
    int Add(const std::string& userId, const std::string& display, int network = 1, int status = 1);
    void Remove(int id);
    Contact* Find(int id);
    const Contact* Find(int id) const;
    Contact* FindUser(int network, const std::string& userId);
    int Count() const { return static_cast<int>(contacts.size()); }
    // A position (0 to count - 1) or a contact id -> the contact id, 0 when none.
    int RowId(int row) const;
    const std::vector<Contact>& All() const { return contacts; }

    // Column reads as the host answers them; false when the column is not one
    // of the contact's own.
    bool ReadText(int row, int column, std::string& out) const;
    bool ReadInt(int row, int column, int& out) const;

private:
    // Where the contact with this id stands, or -1.
    int PositionOf(int id) const;

    std::vector<Contact> contacts;
    // Where each id stands in `contacts`: a host finds a contact by its id
    // at once, also in a table of thousands. An id changed in place is
    // looked for through the table, and found there from then on.
    mutable std::unordered_map<int, size_t> positions;
    int nextNumber = 1;
};

// The host's status icon id of a network and status.
int StatusIconId(int network, int status);

}  // namespace DevHostLib
