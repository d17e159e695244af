// The container window: where it appears, what it holds, its layout for the
// bar at the top and at the bottom, transparency and the stored position.
#include "container_fixture.h"

using namespace DevHostLib;

class ContainerTest : public InProcessTest {
protected:
    void SavePosition(int x, int y, int w, int h) {
        host.state.config.SetInt("Tabs/Pos/X", x);
        host.state.config.SetInt("Tabs/Pos/Y", y);
        host.state.config.SetInt("Tabs/Pos/W", w);
        host.state.config.SetInt("Tabs/Pos/H", h);
    }

    // Sizes the container as the user would; the system sends WM_SIZE.
    static void Resize(int w, int h) {
        SetWindowPos(Tabs::containerWnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    static RECT Rect(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }

    static int Height(const RECT& r) { return r.bottom - r.top; }
    static bool Layered() { return GetWindowLongA(Tabs::containerWnd, GWL_EXSTYLE) & WS_EX_LAYERED; }
};

TEST_F(ContainerTest, AppearsHiddenAtTheSavedPositionWithItsChildrenButtonsAndTimers) {
    SavePosition(150, 120, 520, 410);
    MakeContainer();

    RECT r = Rect(Tabs::containerWnd);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 120);
    EXPECT_EQ(r.right - r.left, 520);
    EXPECT_EQ(r.bottom - r.top, 410);
    EXPECT_FALSE(IsWindowVisible(Tabs::containerWnd));
    EXPECT_EQ(Text(Tabs::containerWnd), "Velmora - rozmowy");
    EXPECT_EQ(GetWindow(Tabs::tooltipWnd, GW_OWNER), Tabs::containerWnd);
    EXPECT_EQ(Bar(TB_GETTOOLTIPS), 0) << "the bar's one tool is the container's, not a tool per button";
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    ASSERT_TRUE(SendMessageA(Tabs::tooltipWnd, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(SendMessageA(Tabs::tooltipWnd, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(Tabs::tabBar.Window()));
    EXPECT_EQ(tool.hwnd, Tabs::containerWnd);
    EXPECT_EQ(GetDlgItem(Tabs::containerWnd, 1), Tabs::contWnd);
    EXPECT_EQ(GetDlgItem(Tabs::containerWnd, 11), ContainerObject().Bar().Window());
    EXPECT_EQ(GetDlgItem(ContainerObject().Bar().Window(), 10), Tabs::tabBar.Window()) << "the bar lies in its view";
    EXPECT_EQ(GetWindowLongA(Tabs::tabBar.Window(), GWL_STYLE) & 0x1A48, 0x1A48);
    EXPECT_EQ(Bar(TB_GETEXTENDEDSTYLE), 9);
    RECT client{};
    GetClientRect(Tabs::containerWnd, &client);
    EXPECT_EQ(Tabs::contentCx, client.right) << "the first layout is for the real client area";
    EXPECT_EQ(InClient(Tabs::tabBar.Window()).top, Tabs::contentCy);

    EXPECT_TRUE(Bar(TB_GETSTATE, 0xFFFF) & TBSTATE_HIDDEN) << "the close button is off by default";
    EXPECT_FALSE(Bar(TB_GETSTATE, 0xFFFE) & TBSTATE_HIDDEN);
    EXPECT_TRUE(KillTimer(Tabs::containerWnd, Tabs::kReadTimer));
    EXPECT_TRUE(KillTimer(Tabs::containerWnd, Tabs::kFlashTimer));
}

TEST_F(ContainerTest, ASavedPositionOffTheVirtualScreenIsReplacedAndStored) {
    int right = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int bottom = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    SavePosition(GetSystemMetrics(SM_XVIRTUALSCREEN) - 50, bottom + 1, -1, 0);
    MakeContainer();
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/X"), 100);
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/Y"), 100);
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/W"), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/H"), 0) << "a size of 0 is accepted";
    EXPECT_EQ(Rect(Tabs::containerWnd).left, 100);
    DestroyWindow(Tabs::containerWnd);

    SavePosition(right, bottom, 400, 300);
    Tabs::CreateContainer();
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/X"), right) << "the right edge is on the screen";
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/Y"), bottom);
}

TEST_F(ContainerTest, TheBarLiesBelowOrAboveTheContentAsAlignSays) {
    for (int align : {0, 3}) {
        SCOPED_TRACE(align);
        host.state.config.SetInt("Tabs/Align", align);
        SavePosition(100, 100, 500, 400);
        MakeContainer();
        HWND conversation = MakeCurrentWindow("Ala");
        Resize(640, 420);

        RECT client{};
        GetClientRect(Tabs::containerWnd, &client);
        RECT content = InClient(Tabs::contWnd), bar = InClient(Tabs::tabBar.Window());
        EXPECT_EQ(content.right, client.right);
        EXPECT_EQ(bar.right, client.right);
        if (align == 0) {
            EXPECT_EQ(content.top, 0);
            EXPECT_EQ(bar.top, content.bottom);
        } else {
            EXPECT_EQ(bar.top, 0);
            EXPECT_EQ(content.bottom, client.bottom);
        }
        EXPECT_GT(content.top + client.bottom - content.bottom, 0) << "the bar takes its height";
        RECT shown{};
        GetClientRect(conversation, &shown);
        EXPECT_EQ(shown.right, client.right);
        EXPECT_EQ(shown.bottom, Height(content)) << "the conversation fills the content";

        if (align == 0) {
            ShowWindow(Tabs::containerWnd, SW_MINIMIZE);
            EXPECT_EQ(Tabs::contentCy, Height(content)) << "a minimised container keeps its layout";
        }
        DestroyWindow(Tabs::containerWnd);
        Tabs::currentWnd = nullptr;
    }
}

TEST_F(ContainerTest, TheBarHidesForOneTabOnlyWhenTheSettingIsOne) {
    for (int align : {0, 1}) {
        SCOPED_TRACE(align);
        host.state.config.SetInt("Tabs/Align", align);
        host.state.config.SetInt("Tabs/HideTabbarWhenOne", 1);
        MakeContainer();
        HWND bar = Tabs::tabBar.Window();
        RECT client{};
        GetClientRect(Tabs::containerWnd, &client);
        AddTab(AddContact("Ala"));
        Tabs::Reposition(-1, -1);
        EXPECT_EQ(InClient(Tabs::contWnd).top, 0);
        EXPECT_EQ(Height(InClient(Tabs::contWnd)), client.bottom);
        EXPECT_FALSE(GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE);

        AddTab(AddContact("Ola"));
        Tabs::Reposition(-1, -1);
        EXPECT_LT(Height(InClient(Tabs::contWnd)), client.bottom) << "two tabs bring the bar back";
        EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE);

        Tabs::tabBar.Delete(Tabs::tabBar.CommandAt(3));
        host.state.config.SetInt("Tabs/HideTabbarWhenOne", 2);
        Tabs::Reposition(-1, -1);
        EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE) << "only the value 1 hides the bar";
        DestroyWindow(Tabs::containerWnd);
    }
}

TEST_F(ContainerTest, TheContainerCannotBeMadeSmallerThan300By200) {
    MakeContainer();
    Resize(120, 80);
    RECT r = Rect(Tabs::containerWnd);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
}

TEST_F(ContainerTest, TransparencyIsAppliedWhenSwitchedOnAndBelowOneHundred) {
    host.state.config.SetInt("Tabs/Pos/AlphaDisable", 1);
    MakeContainer();
    EXPECT_FALSE(Layered()) << "without layered windows nothing happens";

    Tabs::setLayeredWindowAttributes = SetLayeredWindowAttributes;
    for (auto [percent, expected] : {std::pair{70, 178}, {10, 25}, {0, 0}, {250, 255}, {-40, 0}}) {
        host.state.config.SetInt("Tabs/Pos/Alpha", percent);
        Tabs::SetAlpha();
        BYTE alpha = 1;
        DWORD flags = 0;
        ASSERT_TRUE(Layered());
        GetLayeredWindowAttributes(Tabs::containerWnd, nullptr, &alpha, &flags);
        EXPECT_EQ(alpha, expected) << percent;
        EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    }
    host.state.config.SetInt("Tabs/Pos/Alpha", 100);
    Tabs::SetAlpha();
    EXPECT_FALSE(Layered()) << "100 is always opaque";
    host.state.config.SetInt("Tabs/Pos/Alpha", 70);
    host.state.config.SetInt("Tabs/Pos/AlphaDisable", 0);
    Tabs::SetAlpha();
    EXPECT_FALSE(Layered());
}

TEST_F(ContainerTest, DestructionStoresTheRestoredRectangleAndAsksTheHostToSave) {
    MakeContainer();
    MoveWindow(Tabs::containerWnd, 130, 140, 560, 420, FALSE);
    ShowWindow(Tabs::containerWnd, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(IsZoomed(Tabs::containerWnd));
    ASSERT_NE(Rect(Tabs::containerWnd).left, 130);

    DestroyWindow(Tabs::containerWnd);
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/X"), 130);
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/Y"), 140);
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/W"), 560);
    EXPECT_EQ(host.state.config.Int("Tabs/Pos/H"), 420);
    EXPECT_EQ(host.recorded.saveSettingsCalls, 1);
    EXPECT_EQ(Tabs::tabBar.Window(), nullptr) << "no handle outlives the container";
}
