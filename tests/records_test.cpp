// Byte layouts of the records that cross to the host: the 32-bit messenger's,
// and on x64 the twin's, where every pointer-sized field is 8 bytes.
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
    std::string expected(X86OrX64("\x1E\x00\xC9\x00\x00\x00", "\x26\x00\xC9\x00\x00\x00"), 6);
    expected += std::string(X86OrX64(24, 32), '\0');
    EXPECT_EQ(Raw(&m, sizeof m), expected);
}

TEST(Records, MessageToAnotherPluginCarriesTargetAndKindMinusOne) {
    HostMessage m;
    BuildPluginMessage(m, 307, 307001, 5, 6);
    EXPECT_EQ(m.targetNumber, 307);
    EXPECT_EQ(m.targetKind, -1);
    EXPECT_EQ(m.p1, 5);
    EXPECT_EQ(m.p2, 6);
    EXPECT_EQ(m.size, X86OrX64(30, 38));
}

TEST(Records, ExtendedElementHasSize78AndTheSameBytesAsTheBaseForm) {
    ActionInfo base, extended;
    std::memset(&base, 0xAA, sizeof base);
    std::memset(&extended, 0x55, sizeof extended);
    const char* text = "Zakładki";
    BuildActionInfo(base, 306100, 7, -1, 0x00060000, text, 306116, 200, 0xFFFE, 3, 4);
    BuildActionInfoExtended(extended, 306100, 7, -1, 0x00060000, text, 306116, 30, 0, 200, 0xFFFE, 3, 4);
    EXPECT_EQ(base.size, X86OrX64(74, 82));
    EXPECT_EQ(extended.size, X86OrX64(78, 86));
    EXPECT_EQ(Raw(reinterpret_cast<char*>(&base) + 2, base.size - 2u),
              Raw(reinterpret_cast<char*>(&extended) + 2, base.size - 2u));
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
    EXPECT_EQ(c.size, X86OrX64(62, 66));
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
    // The user id's pointer is 4 bytes at offset 6 on x86, 8 on x64.
    std::string expected(X86OrX64("\x1E\x00", "\x22\x00"), 2);
    expected += std::string("\xFF\xFF\xFF\xFF", 4) + std::string(X86OrX64(4, 8), '\0');
    expected += std::string("\xFF\xFF\xFF\xFF", 4) + std::string(8, '\0');
    expected += std::string("\xFF\xFF\xFF\xFF", 4) + std::string(4, '\0');
    EXPECT_EQ(Raw(&s, sizeof s), expected);
}

using ColumnDeclarations = PluginTest;

TEST_F(ColumnDeclarations, AlignIsDeclaredInThirtyNineGoldenBytes) {
    host->Call(Host::kMsgSetControl, static_cast<HostControl*>(host.get()));
    host->Call(Host::kMsgDeclareColumns);
    auto declarations = host->recorded.SentWithCode(Host::kDeclareColumn);
    ASSERT_FALSE(declarations.empty());
    const std::vector<uint8_t>& bytes = declarations[0].message;
    ASSERT_EQ(bytes.size(), X86OrX64(39u, 47u));
    std::string head(X86OrX64("\x27\x00\x4E\x04\x00\x00", "\x2F\x00\x4E\x04\x00\x00"), 6);
    head += std::string(16, '\0');
    head += std::string("\x00\xB5\xAB\x04\x00\x00\x00\x00\x00", 9);
    head += std::string(X86OrX64(4, 8), '\0');  // the default, pointer-sized
    const size_t keyAt = X86OrX64(35, 39);
    EXPECT_EQ(Bytes(bytes).substr(0, keyAt), head);
    const char* key = *reinterpret_cast<const char* const*>(bytes.data() + keyAt);
    EXPECT_STREQ(key, "Tabs/Align");
}
