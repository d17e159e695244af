// The tab bar at any number of tabs: it takes at most a third of the
// container, its rows scroll, the shown tab is always in view, and a menu
// beside the rows lists every tab while not all of them fit.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "container_fixture.h"
#include "conversation_fixture.h"
#include "menus.h"

using namespace DevHostLib;

namespace {

bool Shown(HWND window) { return window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE); }
int Height(const RECT& r) { return r.bottom - r.top; }
POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

// The layout alone, with buttons as attaching makes them: many tabs are quick.
class BarLayout : public InProcessTest {
protected:
    static void Resize(int w, int h) {
        SetWindowPos(Tabs::containerWnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    int RowHeight() { return HIWORD(Bar(TB_GETBUTTONSIZE)); }
    int Rows() { return static_cast<int>(Bar(TB_GETROWS)); }
};

TEST_F(BarLayout, TheBarTakesAtMostAThirdAndTheConversationTheRestAtEverySizeAndCount) {
    int contacts = 0;
    for (auto [w, h] : {std::pair{300, 200}, {500, 400}, {900, 700}})
        for (int align : {0, 1}) {
            host.state.config.SetInt("Tabs/Pos/W", w);
            host.state.config.SetInt("Tabs/Pos/H", h);
            host.state.config.SetInt("Tabs/Align", align);
            MakeContainer();
            HWND conversation = MakeCurrentWindow("Ala");
            HWND arrows = GetDlgItem(Tabs::containerWnd, Tabs::kBarArrowsId);
            HWND allTabs = GetDlgItem(Tabs::containerWnd, Tabs::kAllTabsId);
            int tabs = 0;
            for (int count : {1, 12, 40, 150}) {
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + ", align " + std::to_string(align) + ", " +
                             std::to_string(count) + " tabs");
                for (; tabs < count; ++tabs) AddTab(AddContact("Kontakt " + std::to_string(++contacts)));
                Tabs::Reposition(-1, -1);
                RECT client{}, shown{};
                GetClientRect(Tabs::containerWnd, &client);
                GetClientRect(conversation, &shown);
                RECT content = InClient(Tabs::contWnd), view = InClient(ContainerObject().Bar().Window());
                int bar = static_cast<int>(client.bottom) - Height(content);
                int third = static_cast<int>(client.bottom) / 3;
                EXPECT_EQ(Height(content), Tabs::contentCy);
                EXPECT_EQ(shown.bottom, Tabs::contentCy) << "the conversation gets what the layout gives it";
                EXPECT_LE(bar, std::max(third, RowHeight()));
                EXPECT_EQ(align == 0 ? content.top : view.top, 0);
                EXPECT_EQ(align == 0 ? view.top : content.top, align == 0 ? content.bottom : bar);
                bool scrolls = Shown(arrows);
                EXPECT_EQ(Shown(allTabs), scrolls) << "the menu only while not every tab fits";
                if (scrolls) {
                    EXPECT_GE(Tabs::contentCy, client.bottom - third);
                    EXPECT_EQ(bar % RowHeight(), 0) << "whole rows";
                    EXPECT_EQ(Height(view), bar) << "no row shows over the conversation";
                    EXPECT_LE(InClient(arrows).right, client.right);
                } else {
                    EXPECT_EQ(bar, Rows() * RowHeight()) << "every row, as the bar always was";
                    EXPECT_EQ(view.right, client.right);
                }
                EXPECT_TRUE(count == 1 ? !scrolls : count == 150 ? scrolls : true);
            }
            DestroyWindow(Tabs::containerWnd);
            Tabs::currentWnd = nullptr;
        }
}

// Scrolling is decided by the tabs there are, not by the way the bar got
// there: a tab closed can let every row fit in the whole width while the
// narrower rows of a scrolling bar stay as they were.
TEST_F(BarLayout, AfterATabGoesTheBarScrollsExactlyWhenItDidAtThatCountOnTheWayUp) {
    int contacts = 0;
    for (auto [w, h] : {std::pair{300, 200}, {420, 260}, {500, 400}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        host.state.config.SetInt("Tabs/Pos/W", w);
        host.state.config.SetInt("Tabs/Pos/H", h);
        MakeContainer();
        MakeCurrentWindow("Ala");
        HWND arrows = GetDlgItem(Tabs::containerWnd, Tabs::kBarArrowsId);
        std::vector<int> ids;
        std::vector<bool> scrolledAt{false};
        for (int past = 0; past < 6;) {
            // Names of one width: the toolbar keeps the widest button's
            // size after that button goes.
            char name[32];
            std::snprintf(name, sizeof name, "Kontakt %02d", ++contacts % 100);
            int contact = AddContact(name);
            AddTab(contact);
            ids.push_back(Tabs::ButtonOf(contact));
            Tabs::Reposition(-1, -1);
            scrolledAt.push_back(Shown(arrows));
            if (scrolledAt.back()) ++past;
            ASSERT_LT(ids.size(), 200u);
        }
        while (!ids.empty()) {
            Tabs::tabBar.Delete(ids.back());
            ids.pop_back();
            Tabs::Reposition(-1, -1);
            EXPECT_EQ(Shown(arrows), scrolledAt[ids.size()]) << ids.size() << " tabs";
        }
        DestroyWindow(Tabs::containerWnd);
        Tabs::currentWnd = nullptr;
    }
}

// The toolbar sizes itself from the rows it had before it laid its buttons
// out in a new width: the content once kept the old rows' height.
TEST_F(BarLayout, AResizeThatRewrapsTheBarGivesTheContentTheNewRowsAtOnce) {
    host.state.config.SetInt("Tabs/Pos/W", 900);
    host.state.config.SetInt("Tabs/Pos/H", 700);
    MakeContainer();
    MakeCurrentWindow("Ala");
    for (int i = 0; i < 20; ++i) AddTab(AddContact("Kontakt " + std::to_string(i)));
    Tabs::Reposition(-1, -1);
    int rows = Rows();

    Resize(420, 700);
    ASSERT_GT(Rows(), rows);
    RECT client{};
    GetClientRect(Tabs::containerWnd, &client);
    EXPECT_EQ(client.bottom - Tabs::contentCy, Rows() * RowHeight());
    EXPECT_EQ(Height(InClient(ContainerObject().Bar().Window())), Rows() * RowHeight() + 4) << "the whole toolbar shows";
}

// Conversations through the real DLL in a container small enough that a few
// dozen tabs do not fit: three rows show.
class BarScroll : public ConversationTest {
protected:
    std::vector<int> BootSmall(int tabs) {
        host->state.config.SetInt(0, 0, Tabs::Column::PosW, 360);
        host->state.config.SetInt(0, 0, Tabs::Column::PosH, 240);
        Boot();
        std::vector<int> contacts = OpenMore(tabs);
        // The wheel finds the bar by what lies under the cursor.
        SetForegroundWindow(Container());
        return contacts;
    }
    std::vector<int> OpenMore(int tabs) {
        std::vector<int> contacts;
        for (int i = 0; i < tabs; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Kontakt %02d", next++);
            contacts.push_back(AddContact(name));
            Open(contacts.back());
        }
        return contacts;
    }

    HWND Arrows() { return GetDlgItem(Container(), 12); }
    HWND AllTabs() { return GetDlgItem(Container(), 13); }
    int RowHeight() { return HIWORD(SendMessageA(Bar(), TB_GETBUTTONSIZE, 0, 0)); }
    int FirstRow() { return -InParent(Bar()).top / RowHeight(); }
    RECT ViewRect() {
        RECT r{};
        GetWindowRect(BarView(), &r);
        return r;
    }
    // A tab's button on the screen.
    RECT TabRect(int contact) {
        RECT r{};
        LRESULT index = SendMessageA(Bar(), TB_COMMANDTOINDEX, contact & 0xBFFFFFFF, 0);
        SendMessageA(Bar(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(Bar(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    bool InView(int contact) {
        RECT tab = TabRect(contact), view = ViewRect();
        return tab.top >= view.top && tab.bottom <= view.bottom && tab.right <= view.right;
    }
    // The shown tab is the checked one, and the user sees it.
    void ExpectShownInView(int contact) {
        EXPECT_EQ(CurrentContact(), contact);
        EXPECT_EQ(CheckedTabs(), std::vector<int>{contact});
        EXPECT_TRUE(InView(contact)) << "the shown tab is scrolled out of the bar";
    }
    void Wheel(HWND to, POINT at, int notches) {
        SendMessageA(to, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), MAKELPARAM(at.x, at.y));
    }
    void ClickArrow(bool up) {
        RECT r{};
        GetClientRect(Arrows(), &r);
        LPARAM at = MAKELPARAM(r.right / 2, up ? 2 : r.bottom - 3);
        SendMessageA(Arrows(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(Arrows(), WM_LBUTTONUP, 0, at);
    }

    // The user in front of the menu of all conversations: what it lists and
    // checks, and the item chosen with the keyboard (-1: Esc).
    struct MenuSeen {
        std::vector<std::string> items;
        std::vector<int> checked;
    };
    static MenuSeen& Seen() {
        static MenuSeen seen;
        return seen;
    }
    static int& Choice() {
        static int choice;
        return choice;
    }
    // The menu's own loop serves the timer while it waits for the user.
    static void CALLBACK ReadAndChoose(HWND, UINT, UINT_PTR id, DWORD) {
        std::vector<HWND> menus = OpenMenus();
        if (menus.empty()) return;
        KillTimer(nullptr, id);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menus.back(), MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[256] = {};
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            Seen().items.push_back(text);
            if (GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) Seen().checked.push_back(i);
        }
        if (Choice() < 0) {
            PostMessageA(menus.back(), WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
        for (int i = 0; i <= Choice(); ++i) PostMessageA(menus.back(), WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menus.back(), WM_KEYDOWN, VK_RETURN, 0);
    }
    MenuSeen UseAllTabsMenu(int choice) {
        Seen() = {};
        Choice() = choice;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadAndChoose);
        RECT r{};
        GetWindowRect(AllTabs(), &r);
        SetCursorPos(r.left + 2, r.top + 2);
        SendMessageA(AllTabs(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(AllTabs(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        KillTimer(nullptr, timer);
        return Seen();
    }

    int next = 1;
};

TEST_F(BarScroll, EveryWayOfSwitchingBringsTheShownTabIntoView) {
    host->state.config.SetInt(0, 0, Tabs::Column::AutoCreateButton, 1);
    auto c = BootSmall(30);
    ASSERT_TRUE(Shown(Arrows())) << "thirty tabs do not fit";
    ExpectShownInView(c[29]);
    EXPECT_FALSE(InView(c[0]));

    Press(Edit(c[29]), VK_TAB, {VK_CONTROL});
    ExpectShownInView(c[0]);
    Press(Edit(c[0]), VK_TAB, {VK_CONTROL, VK_SHIFT});
    ExpectShownInView(c[29]);
    Press(Edit(c[29]), '3', {VK_CONTROL});
    ExpectShownInView(c[2]);
    Press(Edit(c[2]), VK_TAB, {VK_CONTROL, VK_SHIFT});
    Press(Edit(c[1]), VK_TAB, {VK_CONTROL, VK_SHIFT});
    Press(Edit(c[0]), VK_TAB, {VK_CONTROL, VK_SHIFT});
    ExpectShownInView(c[29]);

    // A click on a tab in view, then a tab made for a message at the end: the
    // shown one stays in view.
    Wheel(Container(), Middle(ViewRect()), 10);
    RECT tab = TabRect(c[1]);
    ASSERT_TRUE(InView(c[1]));
    POINT at = Middle(tab);
    ScreenToClient(Bar(), &at);
    SetCursorPos(Middle(tab).x, Middle(tab).y);
    SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(Bar(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    ExpectShownInView(c[1]);
    int jan = AddContact("Jan");
    for (int i = 0; i < 8; ++i) host->DeliverMessage(AddContact("Nowy " + std::to_string(i)), "hej");
    host->DeliverMessage(jan, "cześć");
    ExpectShownInView(c[1]);

    // Closing the shown tab, and reopening it from the contact menu: it comes
    // back at the end, in view.
    Press(Edit(c[1]), VK_F4, {VK_CONTROL});
    host->controls.chooseMenu = ChooseInOrder({Tabs::Element::ClosedContactMenu, c[1]});
    host->ShowContactMenu(CurrentContact());
    EXPECT_EQ(Tabs().back(), c[1]);
    ExpectShownInView(c[1]);
    host->controls.chooseMenu = nullptr;

}

TEST_F(BarScroll, ARestoredSessionShowsItsLastTabInView) {
    auto c = BootSmall(30);
    Press(Edit(c[29]), VK_TAB, {VK_CONTROL});
    ASSERT_FALSE(InView(c[29]));
    RestartHost(1);
    EXPECT_EQ(Tabs(), c);
    ExpectShownInView(c[29]);
}

TEST_F(BarScroll, FunctionKeysReachTabsOnEveryRow) {
    host->state.config.SetInt(0, 0, Tabs::Column::ChangeKey, 1);
    auto c = BootSmall(24);
    Press(Edit(c[23]), VK_F2);
    ExpectShownInView(c[1]);
    Press(Edit(c[1]), VK_F12);
    ExpectShownInView(c[11]);
}

TEST_F(BarScroll, TheWheelAndTheArrowsScrollOneRowAtATime) {
    auto few = BootSmall(3);
    POINT overBar = Middle(ViewRect());
    Wheel(Edit(few[2]), overBar, 1);
    EXPECT_FALSE(Shown(Arrows())) << "all the tabs fit";
    EXPECT_EQ(InputSeen(few[2]).back().first, static_cast<UINT>(WM_MOUSEWHEEL)) << "the edit takes it, as always";

    auto c = OpenMore(30);
    int last = FirstRow();
    ASSERT_GT(last, 0);
    overBar = Middle(ViewRect());
    Wheel(Container(), overBar, 1);
    EXPECT_EQ(FirstRow(), last - 1) << "a notch up, a row up";
    size_t seenByEdit = InputSeen(c[29]).size();
    Wheel(Edit(c[29]), overBar, 1);
    EXPECT_EQ(FirstRow(), last - 2) << "the wheel reaches the focus, here the conversation's edit";
    EXPECT_EQ(InputSeen(c[29]).size(), seenByEdit) << "and the edit does not scroll as well";
    RECT content{};
    GetWindowRect(Content(), &content);
    Wheel(Edit(c[29]), Middle(content), 1);
    EXPECT_EQ(FirstRow(), last - 2) << "over the conversation the bar stays";
    Wheel(Container(), overBar, -1);
    EXPECT_EQ(FirstRow(), last - 1);
    Wheel(Container(), overBar, 100);
    EXPECT_EQ(FirstRow(), 0);

    ClickArrow(false);
    EXPECT_EQ(FirstRow(), 1);
    ClickArrow(false);
    EXPECT_EQ(FirstRow(), 2);
    ClickArrow(true);
    EXPECT_EQ(FirstRow(), 1);
    for (int i = 0; i < 40; ++i) ClickArrow(false);
    EXPECT_EQ(FirstRow(), last) << "the last row is the last one shown";
    EXPECT_TRUE(InView(c[29]));
    EXPECT_EQ(CurrentContact(), c[29]) << "scrolling switches nothing";
}

TEST_F(BarScroll, TheMenuListsEveryTabMarksTheShownAndTheWaitingAndShowsTheChosen) {
    auto c = BootSmall(3);
    EXPECT_FALSE(Shown(AllTabs())) << "every tab fits";
    c.push_back(AddContact("Ala & Ola"));
    Open(c.back());
    for (int contact : OpenMore(20)) c.push_back(contact);
    ASSERT_TRUE(Shown(AllTabs()));
    SetForegroundWindow(host->state.mainWindow);
    host->DeliverMessage(c[1], "hej");
    std::vector<std::string> expected{"Szukaj… (Ctrl+K)", ""};
    for (int contact : c) expected.push_back(host->state.contacts.Find(contact)->display);
    expected[3] += "\tnowa wiadomość";
    expected[5] = "Ala && Ola";

    MenuSeen seen = UseAllTabsMenu(-1);
    EXPECT_EQ(seen.items, expected);
    EXPECT_EQ(seen.checked, std::vector<int>{25});
    EXPECT_EQ(CurrentContact(), c[23]) << "Esc chooses nothing";

    seen = UseAllTabsMenu(2);
    EXPECT_EQ(seen.checked, std::vector<int>{25});
    ExpectShownInView(c[1]);
    EXPECT_EQ(Text(Container()), Text(WindowOf(c[1]))) << "no longer waiting";
    EXPECT_EQ(UseAllTabsMenu(-1).items[3], host->state.contacts.Find(c[1])->display);

    UseAllTabsMenu(0);
    HWND switcher = FindWindowA("TabsSwitcher", nullptr);
    EXPECT_TRUE(switcher && GetWindow(switcher, GW_OWNER) == Container()) << "the first entry opens the switcher";
}

TEST_F(BarScroll, TooltipsHitTestsAndTheBarsOwnButtonsWorkOnScrolledRows) {
    host->state.config.SetInt(0, 0, Tabs::Column::TabsCloseButton, 1);
    auto c = BootSmall(30);
    host->state.contacts.Find(c[28])->info = "tel. 555";
    ASSERT_FALSE(InView(c[0]));

    // On a scrolled row the cursor finds its tab, and a middle click there
    // closes it (the default); under the conversation, where a row lies
    // out of view, nothing happens.
    RECT tab = TabRect(c[28]);
    SetCursorPos(Middle(tab).x, Middle(tab).y);
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(Bar(), TB_GETTOOLTIPS, 0, 0));
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(Container(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, "tel. 555");

    RECT view = ViewRect(), content{};
    GetWindowRect(Content(), &content);
    POINT hidden = Middle(TabRect(c[0]));
    ASSERT_TRUE(hidden.y < view.top && hidden.y > content.top) << "the first row lies under the conversation";
    SetCursorPos(hidden.x, hidden.y);
    SendMessageA(Container(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Content()), MAKELPARAM(HTCLIENT, WM_MBUTTONUP));
    EXPECT_EQ(Tabs().size(), 30u) << "a middle click on the conversation closes no hidden tab";
    info.lpszText = nullptr;
    SendMessageA(Container(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.lpszText, nullptr) << "no tooltip for a hidden tab";

    SetCursorPos(Middle(tab).x, Middle(tab).y);
    SendMessageA(Container(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Bar()), MAKELPARAM(HTCLIENT, WM_MBUTTONUP));
    std::vector<int> left = Tabs();
    EXPECT_EQ(left.size(), 29u);
    EXPECT_EQ(std::count(left.begin(), left.end(), c[28]), 0);

    // The bar's own close button scrolls with the first row and still closes
    // the shown tab.
    Wheel(Container(), Middle(ViewRect()), 100);
    RECT close{};
    SendMessageA(Bar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&close));
    POINT at = Middle(close), onScreen = at;
    ClientToScreen(Bar(), &onScreen);
    RECT shownPart = ViewRect();
    ASSERT_TRUE(PtInRect(&shownPart, onScreen)) << "the first row is back in view";
    SetCursorPos(onScreen.x, onScreen.y);
    SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(Bar(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    left = Tabs();
    EXPECT_EQ(left.size(), 28u);
    EXPECT_EQ(std::count(left.begin(), left.end(), c[29]), 0);
    ExpectShownInView(c[27]);
}

// Dragging needs a press that lasted: the press's start time lives in the
// plug-in, so these run the linked code and move that time back.
class BarDrag : public BarScroll {
protected:
    BarDrag() { inProcess = true; }

    POINT InBar(const RECT& onScreen) {
        POINT p = Middle(onScreen);
        SetCursorPos(p.x, p.y);
        ScreenToClient(Bar(), &p);
        return p;
    }
    void Tick() { SendMessageA(Container(), WM_TIMER, Tabs::kDragScrollTimer, 0); }
};

TEST_F(BarDrag, ATabDraggedOntoTheLastRowShownScrollsTheBarSoItCanGoAnywhere) {
    auto c = BootSmall(30);
    Press(Edit(c[29]), VK_TAB, {VK_CONTROL});
    ASSERT_EQ(FirstRow(), 0);
    int last = -InParent(Bar()).top;
    SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, [&] {
        POINT p = InBar(TabRect(c[0]));
        return MAKELPARAM(p.x, p.y);
    }());
    Tick();
    EXPECT_EQ(FirstRow(), 0) << "held still on the dragged tab: nothing scrolls";

    RECT view = ViewRect();
    RECT onLastRow{view.left + 5, view.bottom - RowHeight() + 5, view.left + 6, view.bottom - 5};
    InBar(onLastRow);
    for (int i = 1; i <= 3; ++i) {
        Tick();
        EXPECT_EQ(FirstRow(), i) << "a row at each tick";
    }
    for (int i = 0; i < 30; ++i) Tick();
    EXPECT_GT(-InParent(Bar()).top, last);
    EXPECT_TRUE(InView(c[29]));
    Tabs::dragStart -= 500;
    POINT drop = InBar(TabRect(c[29]));
    SendMessageA(Bar(), WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
    EXPECT_EQ(Tabs().back(), c[0]) << "the first tab went to the end";
    EXPECT_EQ(Tabs()[28], c[29]);
    int scrolled = FirstRow();
    Tick();
    EXPECT_EQ(FirstRow(), scrolled) << "the drag is over";

    // And back to the front over the first row shown.
    SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, [&] {
        POINT p = InBar(TabRect(c[0]));
        return MAKELPARAM(p.x, p.y);
    }());
    view = ViewRect();
    InBar({view.left + 5, view.top + 5, view.left + 6, view.top + 6});
    for (int i = 0; i < 40; ++i) Tick();
    EXPECT_EQ(FirstRow(), 0);
    Tabs::dragStart -= 500;
    POINT first = InBar(TabRect(c[1]));
    SendMessageA(Bar(), WM_LBUTTONUP, 0, MAKELPARAM(first.x, first.y));
    EXPECT_EQ(Tabs().front(), c[0]);
}

TEST_F(BarScroll, AWindowCarriedOntoTheLastRowShownScrollsTheBarAndGoesInWhereItIsLetGo) {
    auto c = BootSmall(30);
    Press(Edit(c[29]), VK_TAB, {VK_CONTROL});
    host->Notify({Tabs::Element::AttachDetach, Host::kGroupContactMenu, c[0]}, Host::kNoticeAction);
    ASSERT_EQ(FirstRow(), 0);
    RECT view = ViewRect();
    POINT onLastRow{view.left + 5, view.bottom - RowHeight() / 2};
    int scrolledTo = 0, letGoBefore = 0;
    Carry(WindowOf(c[0]), std::vector<POINT>(24, onLastRow), LetGo::Button, [&](size_t) {
        scrolledTo = FirstRow();
        POINT inBar = onLastRow;
        ScreenToClient(Bar(), &inBar);
        LRESULT index = SendMessageA(Bar(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&inBar));
        letGoBefore = Tabs()[index - 2];
    });
    EXPECT_GE(scrolledTo, 3) << "a row at a time while held there";
    std::vector<int> tabs = Tabs();
    auto dropped = std::find(tabs.begin(), tabs.end(), c[0]);
    ASSERT_NE(dropped, tabs.end());
    ASSERT_NE(dropped + 1, tabs.end());
    EXPECT_EQ(dropped[1], letGoBefore) << "in before the tab it was let go on the first half of";
    EXPECT_GE(dropped - tabs.begin(), 12) << "on a row that did not show when the carry began";
    EXPECT_EQ(CurrentContact(), c[0]);
}
