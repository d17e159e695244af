// Three identities travel as 32-bit integers. A contact id is what the host
// hands out, with bit 30 set; every list, variable and stored text holds it
// so, as a plain int32_t. A tab's button id is the contact id without bit 30,
// the command id of its button. A contact reference is what an ActionRef
// carries: an id, or a row of the contact table, which the host's rowId
// turns into an id. The last two have types of their own, made from a
// contact id only explicitly; a button id is a command id as it is.
#pragma once

#include <cstdint>

#include "host/requests.h"

namespace Tabs {

struct ButtonId {
    int value;
    constexpr operator int() const { return value; }
};

struct ContactRef {
    int32_t value;
};

constexpr ButtonId ButtonOf(int32_t contact) { return {contact & ~Host::kContactBit}; }
ButtonId ButtonOf(ButtonId) = delete;
constexpr int32_t ContactOf(ButtonId button) { return button.value | Host::kContactBit; }
// A contact id refers to its contact as it is.
constexpr ContactRef RefTo(int32_t contact) { return {contact}; }

}  // namespace Tabs
