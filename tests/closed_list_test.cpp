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

TEST(StoredContactLists, EachIdIsWrittenInDecimalAndFollowedByByteOne) {
    EXPECT_EQ(Tabs::ListToString({}), "");
    EXPECT_EQ(Tabs::ListToString({1073741829, 1073741826}), "1073741829\x01" "1073741826\x01");
    EXPECT_EQ(Tabs::ListToString({-2, 0}), "-2\x01" "0\x01");
}

TEST(StoredContactLists, ReadingBackGivesTheSameIdsInTheSameOrder) {
    ContactList list{1073741829, 5, -7, 0, 1073741826, INT32_MIN, INT32_MAX};
    EXPECT_EQ(Parse(Tabs::ListToString(list)), list);
}

TEST(StoredContactLists, OnlyPiecesEndedByByteOneAreRead) {
    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse("1073741829").empty());
    EXPECT_EQ(Parse("5\x01\x01" "6\x01"), (ContactList{5, 0, 6})) << "an empty piece is a 0";
    EXPECT_EQ(Parse("5\x01" "6"), ContactList{5}) << "text after the last 0x01 is ignored";
    EXPECT_EQ(Parse("  -12\x01+4x\x01" "abc\x01"), (ContactList{-12, 4, 0}));
    ContactList list{9};
    Tabs::StringToList(nullptr, list);
    Tabs::StringToList("3\x01", list);
    EXPECT_EQ(list, (ContactList{9, 3})) << "reading appends";
}

TEST(StoredContactLists, NumbersBeyondThirtyTwoBitsReadAsZeroAndTheRestIsKept) {
    std::string huge(5000, '9');
    EXPECT_EQ(Parse("2147483648\x01" "1073741829\x01"), (ContactList{0, 1073741829}));
    EXPECT_EQ(Parse("-2147483649\x01" "-2147483648\x01"), (ContactList{0, INT32_MIN}));
    EXPECT_EQ(Parse(huge + "\x01" "7\x01"), (ContactList{0, 7}));
    EXPECT_EQ(Parse("0000000000000000000000012\x01"), ContactList{12}) << "leading zeros are no overflow";
}

class ClosedListTest : public InProcessTest {
protected:
    void SetUp() override {
        InProcessTest::SetUp();
        // The main-menu entry, as registration leaves it.
        Element entry;
        entry.id = Tabs::Element::ClosedMainMenu;
        entry.parent = kMainMenuGroup;
        entry.owner = kPluginNumber;
        entry.status = 0x10;
        host.elements.Insert(entry, -1);
    }

    bool MenuHidden() { return host.elements.Find(Tabs::Element::ClosedMainMenu, kMainMenuGroup)->HiddenFor(-2); }
};

TEST_F(ClosedListTest, RecordingPutsTheContactAtTheFrontOnce) {
    int a = 0x40000001, b = 0x40000002;
    Tabs::RecordClosed(a);
    Tabs::RecordClosed(b);
    Tabs::RecordClosed(a);
    EXPECT_EQ(Tabs::closedList, (ContactList{a, b}));
    Tabs::ForgetClosed(b);
    Tabs::ForgetClosed(0x40000009);
    EXPECT_EQ(Tabs::closedList, ContactList{a});
    Tabs::ClearClosed();
    EXPECT_TRUE(Tabs::closedList.empty());
}

TEST_F(ClosedListTest, OnlyTheNewestHundredAreKeptAfterRecordingAndLoading) {
    for (int i = 1; i <= 130; ++i) Tabs::RecordClosed(0x40000000 + i);
    ASSERT_EQ(Tabs::closedList.size(), Tabs::kClosedListLimit);
    EXPECT_EQ(Tabs::closedList.front(), 0x40000000 + 130);
    EXPECT_EQ(Tabs::closedList.back(), 0x40000000 + 31);

    ContactList many;
    for (int i = 1; i <= 150; ++i) many.push_back(i);
    Tabs::ClearClosed();
    Tabs::RecordClosed(-5);
    Tabs::LoadClosed(Tabs::ListToString(many).c_str());
    ASSERT_EQ(Tabs::closedList.size(), Tabs::kClosedListLimit);
    EXPECT_EQ(Tabs::closedList.front(), -5);
    EXPECT_EQ(Tabs::closedList.back(), 99);
    EXPECT_EQ(Parse(Tabs::ListToString(Tabs::closedList)).size(), Tabs::kClosedListLimit);
}

TEST_F(ClosedListTest, TheMainMenuEntryIsShownOnlyWhileWantedAndNotEmpty) {
    Tabs::UpdateClosedMenu();
    EXPECT_TRUE(MenuHidden());
    Tabs::RecordClosed(0x40000003);
    EXPECT_FALSE(MenuHidden());
    Tabs::ForgetClosed(0x40000003);
    EXPECT_TRUE(MenuHidden());
    Tabs::LoadClosed("1073741829\x01");
    EXPECT_FALSE(MenuHidden());

    host.config.SetInt("Tabs/ClosedRecentlyMain", 0);
    Tabs::RecordClosed(0x40000004);
    EXPECT_TRUE(MenuHidden()) << "switched off, whatever the list holds";
    host.config.SetInt("Tabs/ClosedRecentlyMain", 1);
    Tabs::ClearClosed();
    EXPECT_TRUE(MenuHidden());

    auto change = host.SentWithCode(Host::kElementChange).back();
    const auto* info = reinterpret_cast<const ActionInfo*>(change.record.data());
    EXPECT_EQ(info->ref.id, Tabs::Element::ClosedMainMenu);
    EXPECT_EQ(info->ref.parent, kMainMenuGroup);
    EXPECT_EQ(info->ref.contact, -2);
    EXPECT_EQ(info->statusMask, 1u);
    EXPECT_EQ(info->status, 1u);
}
