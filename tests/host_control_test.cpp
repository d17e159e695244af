// The host's control object is called through its table of virtual
// operations: each operation must sit at the position the host gives it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "host/host_control.h"

namespace {

// Position of a virtual operation in the table. A pointer to a virtual member
// holds 1 + the byte offset of its slot with this compiler.
template <typename Member>
int Slot(Member member) {
    struct {
        uintptr_t pointer;
        ptrdiff_t adjust;
    } raw;
    static_assert(sizeof raw == sizeof member);
    std::memcpy(&raw, &member, sizeof raw);
    return static_cast<int>((raw.pointer - 1) / sizeof(void*));
}

}  // namespace

TEST(HostControlTable, OperationsSitAtTheHostsPositions) {
    EXPECT_EQ(Slot(&HostControl::ownId), 1);
    EXPECT_EQ(Slot(&HostControl::appInstance), 2);
    EXPECT_EQ(Slot(&HostControl::moduleInstance), 3);
    EXPECT_EQ(Slot(&HostControl::infoFlag), 4);
    EXPECT_EQ(Slot(&HostControl::noResult), 5);
    EXPECT_EQ(Slot(&HostControl::send), 7);
    EXPECT_EQ(Slot(&HostControl::sendTo), 8);
    EXPECT_EQ(Slot(&HostControl::rowTest), 9);
    EXPECT_EQ(Slot(&HostControl::rowId), 10);
    EXPECT_EQ(Slot(&HostControl::tempBuffer), 20);
    EXPECT_EQ(Slot(&HostControl::getColumn), 21);
    EXPECT_EQ(Slot(&HostControl::setColumn), 22);
    EXPECT_EQ(Slot(&HostControl::logEnabled), 30);
}
