// Byte layouts of the records that cross to the host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fixture.h"
#include "host/records.h"

namespace {

std::string Raw(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

}  // namespace

TEST(Records, ContactCountRequestIsThirtyBytesWithOnlySizeAndCode) {
    HostMessage m;
    std::memset(&m, 0xCC, sizeof m);
    BuildHostMessage(m, 201);
    std::string expected("\x1E\x00\xC9\x00\x00\x00", 6);
    expected += std::string(24, '\0');
    EXPECT_EQ(Raw(&m, sizeof m), expected);
}

TEST(Records, MessageToAnotherPluginCarriesTargetAndKindMinusOne) {
    HostMessage m;
    BuildPluginMessage(m, 307, 307001, 5, 6);
    EXPECT_EQ(m.targetNumber, 307);
    EXPECT_EQ(m.targetKind, -1);
    EXPECT_EQ(m.p1, 5);
    EXPECT_EQ(m.p2, 6);
    EXPECT_EQ(m.size, 30);
}

TEST(Records, ExtendedElementHasSize78AndTheSameBytesAsTheBaseForm) {
    ActionInfo base, extended;
    std::memset(&base, 0xAA, sizeof base);
    std::memset(&extended, 0x55, sizeof extended);
    const char* text = "Zakładki";
    BuildActionInfo(base, 306100, 7, -1, 0x00060000, text, 306116, 200, 0xFFFE, 3, 4);
    BuildActionInfoExtended(extended, 306100, 7, -1, 0x00060000, text, 306116, 30, 0, 200, 0xFFFE, 3, 4);
    EXPECT_EQ(base.size, 74);
    EXPECT_EQ(extended.size, 78);
    EXPECT_EQ(Raw(reinterpret_cast<char*>(&base) + 2, 72), Raw(reinterpret_cast<char*>(&extended) + 2, 72));
    EXPECT_EQ(extended.x, 30);
    EXPECT_EQ(extended.y, 0);
    EXPECT_EQ(base.ref.contact, -2);
    EXPECT_EQ(base.mask, 0x35Fu);
    EXPECT_EQ(base.statusMask, 0xFFFFFFFFu);
    EXPECT_EQ(base.extra2, 3);
    EXPECT_EQ(base.extra1, 4);
    EXPECT_EQ(base.reserved4, 0);
}

TEST(Records, ActionRefLiesWithIdFirst) {
    ActionRef ref{306008, 306006, -2};
    EXPECT_EQ(Raw(&ref, sizeof ref), std::string("\x58\xAB\x04\x00\x56\xAB\x04\x00\xFE\xFF\xFF\xFF", 12));
}

TEST(Records, NoticeAndCallBuildersZeroEverythingElse) {
    ActionNotice n;
    std::memset(&n, 0x77, sizeof n);
    BuildActionNotice(n, {138, 30, 0x40000005}, 1);
    EXPECT_EQ(Raw(&n, sizeof n), std::string("\x1E\x00\x8A\x00\x00\x00\x1E\x00\x00\x00\x05\x00\x00\x40\x01\x00\x00\x00", 18) +
                                     std::string(12, '\0'));

    ActionCall c;
    std::memset(&c, 0x77, sizeof c);
    BuildActionCall(c, {306007, 50, -2}, 266, 10, 20, 0, reinterpret_cast<void*>(0x1234), 0, 0);
    EXPECT_EQ(c.size, 62);
    EXPECT_EQ(c.code, 10150);
    EXPECT_EQ(c.reserved1 | c.targetNumber | c.targetKind | c.reserved2, 0);
    EXPECT_EQ(c.pointX, 10);
    EXPECT_EQ(c.pointY, 20);
    EXPECT_EQ(c.window, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(c.spare1 | c.spare2 | c.spare3, 0);
}

TEST(Records, MessageSelectorStartsWithMinusOnesAtTwoTenAndTwentyTwo) {
    MessageSelector s;
    std::memset(&s, 0x77, sizeof s);
    BuildMessageSelector(s);
    std::string expected("\x1E\x00\xFF\xFF\xFF\xFF\x00\x00\x00\x00\xFF\xFF\xFF\xFF", 14);
    expected += std::string(8, '\0') + std::string("\xFF\xFF\xFF\xFF", 4) + std::string(4, '\0');
    EXPECT_EQ(Raw(&s, sizeof s), expected);
}

using ColumnDeclarations = PluginTest;

TEST_F(ColumnDeclarations, AlignIsDeclaredInThirtyNineGoldenBytes) {
    host->Call(Host::kMsgSetControl, static_cast<HostControl*>(host.get()));
    host->Call(Host::kMsgDeclareColumns);
    auto declarations = host->SentWithCode(Host::kDeclareColumn);
    ASSERT_FALSE(declarations.empty());
    const std::vector<uint8_t>& bytes = declarations[0].message;
    ASSERT_EQ(bytes.size(), 39u);
    std::string head("\x27\x00\x4E\x04\x00\x00", 6);
    head += std::string(16, '\0');
    head += std::string("\x00\xB5\xAB\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00", 13);
    EXPECT_EQ(Bytes(bytes).substr(0, 35), head);
    const char* key = *reinterpret_cast<const char* const*>(bytes.data() + 35);
    EXPECT_STREQ(key, "Tabs/Align");
}
