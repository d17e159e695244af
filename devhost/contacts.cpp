#include "contacts.h"

#include <algorithm>

namespace DevHostLib {

int ContactTable::Add(const std::string& userId, const std::string& display, int network, int status) {
    Contact c;
    c.id = kContactBit | nextNumber++;
    c.userId = userId;
    c.display = display;
    c.network = network;
    c.status = status;
    positions[c.id] = contacts.size();
    contacts.push_back(c);
    return c.id;
}

void ContactTable::Remove(int id) {
    contacts.erase(std::remove_if(contacts.begin(), contacts.end(), [id](const Contact& c) { return c.id == id; }),
                   contacts.end());
    positions.clear();
}

Contact* ContactTable::Find(int id) {
    int position = PositionOf(RowId(id));
    return position >= 0 ? &contacts[static_cast<size_t>(position)] : nullptr;
}

int ContactTable::PositionOf(int id) const {
    auto known = positions.find(id);
    if (known != positions.end() && known->second < contacts.size() && contacts[known->second].id == id)
        return static_cast<int>(known->second);
    for (size_t i = 0; i < contacts.size(); ++i) {
        if (contacts[i].id != id) continue;
        positions[id] = i;
        return static_cast<int>(i);
    }
    return -1;
}

const Contact* ContactTable::Find(int id) const { return const_cast<ContactTable*>(this)->Find(id); }

Contact* ContactTable::FindUser(int network, const std::string& userId) {
    for (Contact& c : contacts)
        if (c.network == network && c.userId == userId) return &c;
    return nullptr;
}

int ContactTable::RowId(int row) const {
    if (row & kContactBit) return PositionOf(row) >= 0 ? row : 0;
    if (row >= 0 && row < Count()) return contacts[row].id;
    return 0;
}

bool ContactTable::ReadText(int row, int column, std::string& out) const {
    const Contact* c = Find(row);
    if (!c) return false;
    switch (column) {
        case 0: out = c->userId; return true;
        case 8: out = c->display; return true;
        case 18: out = c->info; return true;
    }
    return false;
}

bool ContactTable::ReadInt(int row, int column, int& out) const {
    const Contact* c = Find(row);
    if (!c) return false;
    switch (column) {
        case 1: out = c->network; return true;
        case 2: out = c->status; return true;
        case 30: out = c->icon; return true;
    }
    return false;
}

int StatusIconId(int network, int status) {
    return static_cast<int>(((((static_cast<unsigned>(network) & 0xFF) | 0x400u) << 16) | (status & 0xFF)) << 4);
}

}  // namespace DevHostLib
