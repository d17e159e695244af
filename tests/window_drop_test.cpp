// A detached conversation window carried by its caption back onto the tab
// bar, through the system's own move loop driven by real input: the bar's
// mark shows where it would land, and letting it go there makes it a tab
// at that place again.
#include "container/container.h"
#include "conversation_fixture.h"
#include "host/columns.h"
#include "ui/elements.h"

using namespace DevHostLib;

class WindowDrop : public ConversationTest {
protected:
    void Detach(int contact) {
        host->Notify({Tabs::Element::AttachDetach, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
        DevHost::Pump();
    }
    // A bar button on the screen; the first or second half of it.
    RECT ButtonRect(int index) {
        RECT r{};
        SendMessageA(Bar(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(Bar(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    POINT FirstHalf(int index) {
        RECT r = ButtonRect(index);
        return {r.left + (r.right - r.left) / 4, (r.top + r.bottom) / 2};
    }
    POINT SecondHalf(int index) {
        RECT r = ButtonRect(index);
        return {r.right - (r.right - r.left) / 4, (r.top + r.bottom) / 2};
    }
    // On the bar beside the last button.
    POINT PastTheLast() {
        RECT last = ButtonRect(static_cast<int>(SendMessageA(Bar(), TB_BUTTONCOUNT, 0, 0)) - 1), bar{};
        GetWindowRect(Bar(), &bar);
        EXPECT_LT(last.right + 10, bar.right) << "the bar has room past its buttons";
        return {last.right + 10, (last.top + last.bottom) / 2};
    }
    // In the container, above the bar.
    POINT OffTheBar() {
        RECT content{};
        GetWindowRect(Content(), &content);
        return {(content.left + content.right) / 2, (content.top + content.bottom) / 2};
    }
    TBINSERTMARK Mark() {
        TBINSERTMARK mark{};
        SendMessageA(Bar(), TB_GETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
        return mark;
    }
    // The marks seen at each point of a carry, as {button, after}.
    std::vector<std::pair<int, bool>> marks;
    std::function<void(size_t)> RecordMarks() {
        marks.clear();
        return [this](size_t) { marks.push_back({Mark().iButton, (Mark().dwFlags & TBIMHT_AFTER) != 0}); };
    }
    static RECT WindowRect(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }

    // A dropped window is a tab as "Przypnij" makes one, shown in front.
    void ExpectTabbedAndShown(int contact) {
        HWND window = WindowOf(contact);
        EXPECT_EQ(ParentOf(window), Content());
        EXPECT_TRUE(Tabbed(window));
        EXPECT_FALSE(HasOwnProcedure(window)) << "hooked as attaching hooks it";
        EXPECT_NE(Proc(host->state.conversations.MessageView(contact)), Conversations::ViewClassProc());
        EXPECT_EQ(Style(window) & (WS_CHILD | WS_CAPTION), static_cast<DWORD>(WS_CHILD));
        EXPECT_EQ(CurrentContact(), contact);
        EXPECT_EQ(ShownTabWindows(), std::vector<HWND>{window});
        EXPECT_EQ(GetForegroundWindow(), Container()) << "the container comes forward";
        EXPECT_EQ(Mark().iButton, -1) << "the mark goes";
    }
};

TEST_F(WindowDrop, AWindowLetGoOnTheBarGoesInWhereTheMarkShowedBetweenTabsFirstOrLast) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola", "Ewa"});
    Detach(c[1]);
    ASSERT_EQ(Tabs(), (std::vector<int>{c[0], c[2], c[3]}));
    // Bar: 0 close (hidden), 1 detach, 2 Ala, 3 Ola, 4 Ewa.
    Carry(WindowOf(c[1]), {OffTheBar(), FirstHalf(3), SecondHalf(3), FirstHalf(4), PastTheLast(), SecondHalf(3)},
          LetGo::Button, RecordMarks());
    EXPECT_EQ(marks, (std::vector<std::pair<int, bool>>{{-1, false}, {3, false}, {4, false}, {4, false}, {4, true},
                                                         {4, false}}));
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2], c[1], c[3]})) << "between Ola and Ewa";
    ExpectTabbedAndShown(c[1]);

    Detach(c[3]);
    Carry(WindowOf(c[3]), {FirstHalf(2)});
    EXPECT_EQ(Tabs(), (std::vector<int>{c[3], c[0], c[2], c[1]})) << "before the first tab";
    ExpectTabbedAndShown(c[3]);

    Detach(c[0]);
    Carry(WindowOf(c[0]), {PastTheLast()});
    EXPECT_EQ(Tabs(), (std::vector<int>{c[3], c[2], c[1], c[0]})) << "past the last";
    ExpectTabbedAndShown(c[0]);
}

TEST_F(WindowDrop, OnAFixedButtonOffTheBarOrWithEscNothingHappensAndTheMarkGoes) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    Detach(c[2]);
    HWND ola = WindowOf(c[2]);
    POINT onDetachButton = FirstHalf(1);
    RECT before = WindowRect(ola);
    Carry(ola, {SecondHalf(2), onDetachButton}, LetGo::Button, RecordMarks());
    EXPECT_EQ(marks, (std::vector<std::pair<int, bool>>{{3, false}, {-1, false}}));
    RECT after = WindowRect(ola);
    EXPECT_FALSE(EqualRect(&before, &after)) << "moved where it was let go";

    Carry(ola, {SecondHalf(2), OffTheBar()}, LetGo::Button, RecordMarks());
    EXPECT_EQ(marks, (std::vector<std::pair<int, bool>>{{3, false}, {-1, false}}));

    before = WindowRect(ola);
    Carry(ola, {OffTheBar(), FirstHalf(2)}, LetGo::Esc, RecordMarks());
    EXPECT_EQ(marks.back(), (std::pair<int, bool>{2, false}));
    after = WindowRect(ola);
    EXPECT_TRUE(EqualRect(&before, &after)) << "Esc: back where it was";
    EXPECT_EQ(Mark().iButton, -1);

    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1]}));
    EXPECT_EQ(ParentOf(ola), GetDesktopWindow());
    EXPECT_FALSE(Tabbed(ola));
    EXPECT_TRUE(HasOwnProcedure(ola));
    EXPECT_EQ(CurrentContact(), c[1]);
}

namespace {

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST_F(WindowDrop, KeptOutContactsALockThatSaysNoOtherWindowsAndNoOpenTabTakeNothing) {
    host->controls.pluginsPresent.insert("ZORPA");
    int unlocked = 1;
    host->controls.pluginAnswers[Host::kLockUnlocked] = [&](int, int) { return unlocked; };
    auto c = BootWithTabs({"Ala", "Jan"});
    int bartek = AddContact("Bartek");
    host->state.config.SetInt(1, bartek, Tabs::Column::DontTab, 1);
    Open(bartek);
    Detach(c[1]);
    WNDCLASSA plainClass{};
    plainClass.lpfnWndProc = PlainWindowProc;
    plainClass.hInstance = GetModuleHandleA(nullptr);
    plainClass.lpszClassName = "PlainFloating";
    RegisterClassA(&plainClass);
    HWND plain = CreateWindowExA(0, "PlainFloating", "Notatki", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 120, 300, 200,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);

    auto carriedOnto = [&](HWND window) {
        Carry(window, {SecondHalf(2)}, LetGo::Button, RecordMarks());
        return marks;
    };
    std::vector<std::pair<int, bool>> noMark{{-1, false}};
    EXPECT_EQ(carriedOnto(WindowOf(bartek)), noMark) << "kept out of the tabs";
    EXPECT_EQ(carriedOnto(plain), noMark) << "not a conversation";
    unlocked = 0;
    EXPECT_EQ(carriedOnto(WindowOf(c[1])), noMark) << "the lock says no";
    EXPECT_EQ(Tabs(), std::vector<int>{c[0]});
    for (HWND window : {WindowOf(bartek), plain, WindowOf(c[1])}) EXPECT_EQ(ParentOf(window), GetDesktopWindow());

    unlocked = 1;
    host->Notify({Tabs::Element::Close, Host::kGroupContactMenu, c[0]}, Host::kNoticeAction);
    ASSERT_FALSE(IsWindowVisible(Container()));
    RECT bar = ButtonRect(1);
    Carry(WindowOf(c[1]), {{bar.left + 2, bar.top + 2}, {bar.left + 40, bar.top + 2}});
    EXPECT_TRUE(Tabs().empty()) << "no tab open: no bar to drop onto";
    EXPECT_EQ(ParentOf(WindowOf(c[1])), GetDesktopWindow());
    DestroyWindow(plain);
    UnregisterClassA("PlainFloating", GetModuleHandleA(nullptr));
}

// The tear-off needs a press that lasted: the linked code, whose press time
// the test moves back.
class WindowRoundTrip : public WindowDrop {
protected:
    WindowRoundTrip() { inProcess = true; }
};

TEST_F(WindowRoundTrip, ATornOffTabCarriedBackComesInWhereItIsLetGoWithItsClientAreaRight) {
    auto c = BootWithTabs({"Ala", "Jan", "Ola"});
    RECT jan = ButtonRect(3);
    POINT from{(jan.left + jan.right) / 2, (jan.top + jan.bottom) / 2}, out{800, 600};
    SetCursorPos(from.x, from.y);
    ScreenToClient(Bar(), &from);
    SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    Tabs::dragStart -= 250;
    SetCursorPos(out.x, out.y);
    ScreenToClient(Bar(), &out);
    SendMessageA(Bar(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(out.x, out.y));
    SendMessageA(Bar(), WM_LBUTTONUP, 0, MAKELPARAM(out.x, out.y));
    HWND window = WindowOf(c[1]);
    ASSERT_EQ(ParentOf(window), GetDesktopWindow()) << "torn off";
    ASSERT_EQ(Tabs(), (std::vector<int>{c[0], c[2]}));

    Carry(window, {FirstHalf(3), SecondHalf(3)});
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[2], c[1]}));
    ExpectTabbedAndShown(c[1]);
    RECT content{}, placed = InParent(window), client{};
    GetClientRect(Content(), &content);
    GetClientRect(window, &client);
    EXPECT_TRUE(EqualRect(&placed, &content)) << "the content area, whole";
    EXPECT_TRUE(EqualRect(&client, &content)) << "no frame left around a smaller client area";
}
