// Attaching, switching and detaching conversation windows, on the stand-in
// host's real windows.
#include "conversation_fixture.h"

using Attach = ConversationTest;

TEST_F(Attach, ConversationsOpenedByTheHostBecomeTabsInOpeningOrder) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    EXPECT_EQ(Tabs(), c);
    EXPECT_EQ(CheckedTabs(), std::vector<int>{c[2]});
    EXPECT_EQ(CurrentContact(), c[2]);
    EXPECT_EQ(CurrentWindow(), WindowOf(c[2]));
    EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{WindowOf(c[2])});
    EXPECT_TRUE(IsWindowVisible(Container()));
    EXPECT_EQ(Text(Container()), "Ola");
    for (int contact : c) {
        HWND window = WindowOf(contact);
        EXPECT_EQ(ParentOf(window), Content());
        EXPECT_TRUE(Tabbed(window));
        EXPECT_FALSE(HasOwnProcedure(window));
        EXPECT_EQ(Style(window) & (WS_POPUP | WS_CHILD | WS_CAPTION | WS_THICKFRAME), static_cast<DWORD>(WS_CHILD));
    }
}
