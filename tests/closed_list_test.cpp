// The recently closed list: its stored form, its order and bound, and the
// main-menu entry that follows it.
#include "container_fixture.h"

using namespace DevHostLib;
using Tabs::ContactList;

namespace {

ContactList Parse(const std::string& text) {
    ContactList list;
    Tabs::StringToList(text.c_str(), list);
    return list;
}

}  // namespace

TEST(StoredContactLists, RoundTripKeepsIdsAndOrder) {
    EXPECT_EQ(Tabs::ListToString({1073741829, 1073741826}), "1073741829\x01" "1073741826\x01");
    EXPECT_EQ(Tabs::ListToString({}), "");
    ContactList list{1073741829, -7, 0, INT32_MIN, INT32_MAX};
    EXPECT_EQ(Parse(Tabs::ListToString(list)), list);
}

TEST(StoredContactLists, OnlyPiecesEndedByByteOneAreReadAndOversizedNumbersReadAsZero) {
    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse("1073741829").empty());
    EXPECT_EQ(Parse("5\x01\x01" "6\x01" "7"), (ContactList{5, 0, 6}));
    EXPECT_EQ(Parse("  -12\x01+4x\x01" "abc\x01"), (ContactList{-12, 4, 0}));
    EXPECT_EQ(Parse("2147483648\x01" "-2147483649\x01" "1073741829\x01"), (ContactList{0, 0, 1073741829}));
    EXPECT_EQ(Parse(std::string(5000, '9') + "\x01" "7\x01"), (ContactList{0, 7}));
}

class ClosedListTest : public InProcessTest {
protected:
    void SetUp() override {
        InProcessTest::SetUp();
        Element entry;  // as registration leaves it
        entry.id = Tabs::Element::ClosedMainMenu;
        entry.parent = kMainMenuGroup;
        entry.owner = kPluginNumber;
        host.state.elements.Insert(entry, -1);
    }

    bool MenuHidden() { return host.state.elements.Find(Tabs::Element::ClosedMainMenu, kMainMenuGroup)->HiddenFor(-2); }
};

TEST_F(ClosedListTest, RecordingPutsTheContactAtTheFrontOnceAndKeepsTheNewestHundred) {
    Tabs::LoadClosed("1073741826\x01" "1073741825\x01" "1073741826\x01");
    Tabs::RecordClosed(0x40000002);
    EXPECT_EQ(Tabs::closedList, (ContactList{0x40000002, 0x40000001, 0x40000002})) << "a loaded repeat stays";

    for (int i = 1; i <= 130; ++i) Tabs::RecordClosed(0x40000100 + i);
    ASSERT_EQ(Tabs::closedList.size(), Tabs::kClosedListLimit);
    EXPECT_EQ(Tabs::closedList.back(), 0x40000100 + 31);

    ContactList many(150, 7);
    Tabs::ClearClosed();
    Tabs::RecordClosed(-5);
    Tabs::LoadClosed(Tabs::ListToString(many).c_str());
    EXPECT_EQ(Tabs::closedList.size(), Tabs::kClosedListLimit);
    EXPECT_EQ(Tabs::closedList.front(), -5);
}

TEST_F(ClosedListTest, TheMainMenuEntryIsShownOnlyWhileWantedAndNotEmpty) {
    Tabs::UpdateClosedMenu();
    EXPECT_TRUE(MenuHidden());
    Tabs::RecordClosed(0x40000003);
    EXPECT_FALSE(MenuHidden());
    Tabs::ForgetClosed(0x40000003);
    EXPECT_TRUE(MenuHidden());

    host.state.config.SetInt("Tabs/ClosedRecentlyMain", 0);
    Tabs::RecordClosed(0x40000004);
    EXPECT_TRUE(MenuHidden()) << "switched off, whatever the list holds";
    const Sent change = host.recorded.SentWithCode(Host::kElementChange).back();
    const auto* info = reinterpret_cast<const ActionInfo*>(change.record.data());
    EXPECT_EQ(info->ref.contact, -2);
    EXPECT_EQ(info->statusMask, 1u);
}
