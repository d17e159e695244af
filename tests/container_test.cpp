// The container window: where it appears, its children, its layout for the
// bar at the top and at the bottom, transparency and the stored position.
#include "container_fixture.h"

using namespace DevHostLib;

class ContainerTest : public InProcessTest {
protected:
    void SavePosition(int x, int y, int w, int h) {
        host.config.SetInt("Tabs/Pos/X", x);
        host.config.SetInt("Tabs/Pos/Y", y);
        host.config.SetInt("Tabs/Pos/W", w);
        host.config.SetInt("Tabs/Pos/H", h);
    }

    // Resizes the container as the user would; the system sends WM_SIZE.
    void Resize(int w, int h) {
        SetWindowPos(Tabs::containerWnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    static RECT Client() {
        RECT r{};
        GetClientRect(Tabs::containerWnd, &r);
        return r;
    }

    static int Height(const RECT& r) { return r.bottom - r.top; }

    // Whether the window has a timer with this id (killing it tells).
    static bool HasTimer(UINT id) { return KillTimer(Tabs::containerWnd, id) != 0; }
};

TEST_F(ContainerTest, AppearsHiddenAtTheSavedPositionWithItsTitleAndFrame) {
    SavePosition(150, 120, 520, 410);
    MakeContainer();

    RECT r{};
    GetWindowRect(Tabs::containerWnd, &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 120);
    EXPECT_EQ(r.right - r.left, 520);
    EXPECT_EQ(r.bottom - r.top, 410);
    EXPECT_FALSE(IsWindowVisible(Tabs::containerWnd));
    EXPECT_EQ(Text(Tabs::containerWnd), "Velmora - rozmowy");
    EXPECT_EQ(GetWindowLongA(Tabs::containerWnd, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    char cls[32] = {};
    GetClassNameA(Tabs::containerWnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "Tabs");
}

TEST_F(ContainerTest, ASavedPositionOffTheVirtualScreenIsReplacedAndStored) {
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    SavePosition(left - 50, top + height + 1, -1, height + 1);
    MakeContainer();

    EXPECT_EQ(host.config.Int("Tabs/Pos/X"), 100);
    EXPECT_EQ(host.config.Int("Tabs/Pos/Y"), 100);
    EXPECT_EQ(host.config.Int("Tabs/Pos/W"), width);
    EXPECT_EQ(host.config.Int("Tabs/Pos/H"), height);
    RECT r{};
    GetWindowRect(Tabs::containerWnd, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
}

TEST_F(ContainerTest, APositionOnTheVirtualScreensRightAndBottomEdgesIsKept) {
    int right = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int bottom = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    SavePosition(right, bottom, 0, 0);
    MakeContainer();

    EXPECT_EQ(host.config.Int("Tabs/Pos/X"), right);
    EXPECT_EQ(host.config.Int("Tabs/Pos/Y"), bottom);
    EXPECT_EQ(host.config.Int("Tabs/Pos/W"), 0) << "a width of 0 is accepted";
    EXPECT_EQ(host.config.Int("Tabs/Pos/H"), 0);
}

TEST_F(ContainerTest, CreationBuildsTheTooltipTheContentChildAndTheBar) {
    MakeContainer();
    char cls[64] = {};

    ASSERT_NE(Tabs::tooltipWnd, nullptr);
    GetClassNameA(Tabs::tooltipWnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "tooltips_class32");
    EXPECT_EQ(GetWindow(Tabs::tooltipWnd, GW_OWNER), Tabs::containerWnd);
    EXPECT_EQ(Bar(TB_GETTOOLTIPS), reinterpret_cast<LRESULT>(Tabs::tooltipWnd));

    ASSERT_NE(Tabs::contWnd, nullptr);
    EXPECT_EQ(GetParent(Tabs::contWnd), Tabs::containerWnd);
    EXPECT_EQ(GetDlgCtrlID(Tabs::contWnd), 1);
    GetClassNameA(Tabs::contWnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "TabsCont");
    EXPECT_TRUE(GetWindowLongA(Tabs::contWnd, GWL_STYLE) & WS_VISIBLE);

    HWND bar = Tabs::tabBar.Window();
    EXPECT_EQ(GetParent(bar), Tabs::containerWnd);
    EXPECT_EQ(GetDlgCtrlID(bar), 10);
    GetClassNameA(bar, cls, sizeof cls);
    EXPECT_STREQ(cls, "ToolbarWindow32");
    DWORD style = static_cast<DWORD>(GetWindowLongA(bar, GWL_STYLE));
    EXPECT_EQ(style & 0x56009A48u, 0x56009A48u);
    EXPECT_EQ(Bar(TB_GETEXTENDEDSTYLE), 9);
    EXPECT_TRUE(host.Logged("Tabs::WndProc - WM_CREATE"));
}

TEST_F(ContainerTest, FixedButtonsFollowTheirSettings) {
    MakeContainer();
    EXPECT_TRUE(Bar(TB_GETSTATE, 0xFFFF) & TBSTATE_HIDDEN) << "the close button is off by default";
    EXPECT_FALSE(Bar(TB_GETSTATE, 0xFFFE) & TBSTATE_HIDDEN);

    host.config.SetInt("Tabs/TabsCloseButton", 2);
    host.config.SetInt("Tabs/TabsDetachButton", 0);
    Tabs::ShowFixedButtons();
    EXPECT_FALSE(Bar(TB_GETSTATE, 0xFFFF) & TBSTATE_HIDDEN);
    EXPECT_TRUE(Bar(TB_GETSTATE, 0xFFFE) & TBSTATE_HIDDEN);
    EXPECT_EQ(Tabs::tabBar.CommandAt(1), 0xFFFE);
}

TEST_F(ContainerTest, TheReadTimerAlwaysRunsAndTheFlashTimerOnlyWithAPeriod) {
    MakeContainer();
    EXPECT_TRUE(HasTimer(Tabs::kReadTimer));
    EXPECT_TRUE(HasTimer(Tabs::kFlashTimer));
    DestroyWindow(Tabs::containerWnd);

    host.config.SetInt("Tabs/MsgIconFlash", 0);
    Tabs::CreateContainer();
    EXPECT_TRUE(HasTimer(Tabs::kReadTimer));
    EXPECT_FALSE(HasTimer(Tabs::kFlashTimer));
    host.config.SetInt("Tabs/MsgIconFlash", 300);
    Tabs::StartFlashTimer();
    EXPECT_TRUE(HasTimer(Tabs::kFlashTimer));
}

TEST_F(ContainerTest, TheFirstLayoutFitsTheClientAreaBeforeAnySizing) {
    MakeContainer();
    RECT client = Client(), content = InClient(Tabs::contWnd), bar = InClient(Tabs::tabBar.Window());
    EXPECT_EQ(Tabs::contentCx, client.right);
    EXPECT_EQ(content.right, client.right);
    EXPECT_EQ(bar.top, content.bottom);
    EXPECT_LT(bar.top, client.bottom);
}

TEST_F(ContainerTest, WithTheBarAtTheBottomTheContentStartsAtTheTop) {
    MakeContainer();
    HWND conversation = MakeCurrentWindow("Ala");
    Resize(640, 420);

    RECT client = Client(), content = InClient(Tabs::contWnd), bar = InClient(Tabs::tabBar.Window());
    int barH = client.bottom - Height(content);
    EXPECT_GT(barH, 0);
    EXPECT_EQ(content.top, 0);
    EXPECT_EQ(content.right, client.right);
    EXPECT_EQ(bar.top, content.bottom);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(Tabs::contentCx, client.right);
    EXPECT_EQ(Tabs::contentCy, Height(content));

    RECT shown{};
    GetClientRect(conversation, &shown);
    EXPECT_EQ(shown.right, Tabs::contentCx);
    EXPECT_EQ(shown.bottom, Tabs::contentCy);
}

TEST_F(ContainerTest, WithTheBarOnTopTheContentStartsBelowIt) {
    host.config.SetInt("Tabs/Align", 3);
    MakeContainer();
    Resize(640, 420);

    RECT client = Client(), content = InClient(Tabs::contWnd), bar = InClient(Tabs::tabBar.Window());
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_GT(content.top, 0);
    EXPECT_EQ(content.bottom, client.bottom);
    EXPECT_EQ(Tabs::contentCy, client.bottom - content.top);
}

TEST_F(ContainerTest, TheBarHidesForOneTabOnlyWhenTheSettingIsOne) {
    for (int align : {0, 1}) {
        SCOPED_TRACE(align);
        host.config.SetInt("Tabs/Align", align);
        host.config.SetInt("Tabs/HideTabbarWhenOne", 1);
        MakeContainer();
        AddTab(AddContact("Ala"));
        Tabs::Reposition(-1, -1);
        HWND bar = Tabs::tabBar.Window();
        RECT client = Client();
        EXPECT_EQ(InClient(Tabs::contWnd).top, 0);
        EXPECT_EQ(Height(InClient(Tabs::contWnd)), client.bottom) << "the conversation fills the client area";
        EXPECT_FALSE(GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE);

        AddTab(AddContact("Ola"));
        Tabs::Reposition(-1, -1);
        EXPECT_LT(Height(InClient(Tabs::contWnd)), client.bottom) << "two tabs bring the bar back";
        EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE);
        EXPECT_GT(Height(InClient(bar)), 0);

        Tabs::tabBar.Delete(Tabs::tabBar.CommandAt(3));
        host.config.SetInt("Tabs/HideTabbarWhenOne", 2);
        Tabs::Reposition(-1, -1);
        EXPECT_LT(Height(InClient(Tabs::contWnd)), client.bottom) << "only the value 1 hides the bar";
        EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE);
        DestroyWindow(Tabs::containerWnd);
        UnregisterClassA("Tabs", GetModuleHandleA(nullptr));
        UnregisterClassA("TabsCont", GetModuleHandleA(nullptr));
    }
}

TEST_F(ContainerTest, ZeroSizeChangesNothingAndMinusOneRepeatsTheLastLayout) {
    MakeContainer();
    Resize(600, 400);
    RECT content = InClient(Tabs::contWnd);
    int cx = Tabs::lastCx, cy = Tabs::lastCy;

    EXPECT_EQ(Tabs::Reposition(0, 0), 0);
    EXPECT_EQ(Tabs::lastCx, cx);
    EXPECT_EQ(Tabs::lastCy, cy);

    MoveWindow(Tabs::contWnd, 5, 5, 50, 50, FALSE);
    Tabs::Reposition(-1, -1);
    RECT again = InClient(Tabs::contWnd);
    EXPECT_TRUE(EqualRect(&again, &content));
}

TEST_F(ContainerTest, MinimisingKeepsTheLayout) {
    MakeContainer();
    Resize(600, 400);
    int cx = Tabs::contentCx, cy = Tabs::contentCy;
    ShowWindow(Tabs::containerWnd, SW_MINIMIZE);
    EXPECT_EQ(Tabs::contentCx, cx);
    EXPECT_EQ(Tabs::contentCy, cy);
}

TEST_F(ContainerTest, TheContainerCannotBeMadeSmallerThan300By200) {
    MakeContainer();
    Resize(120, 80);
    RECT r{};
    GetWindowRect(Tabs::containerWnd, &r);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
}

TEST_F(ContainerTest, TransparencyFollowsAlphaAndItsSwitch) {
    Tabs::setLayeredWindowAttributes = SetLayeredWindowAttributes;
    host.config.SetInt("Tabs/Pos/AlphaDisable", 1);
    MakeContainer();
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetWindowLongA(Tabs::containerWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_TRUE(GetLayeredWindowAttributes(Tabs::containerWnd, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 178);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

    for (auto [percent, expected] : {std::pair{50, 127}, {10, 25}, {0, 0}, {250, 255}, {-40, 0}}) {
        host.config.SetInt("Tabs/Pos/Alpha", percent);
        Tabs::SetAlpha();
        GetLayeredWindowAttributes(Tabs::containerWnd, nullptr, &alpha, &flags);
        EXPECT_EQ(alpha, expected) << percent;
    }

    host.config.SetInt("Tabs/Pos/Alpha", 100);
    Tabs::SetAlpha();
    EXPECT_FALSE(GetWindowLongA(Tabs::containerWnd, GWL_EXSTYLE) & WS_EX_LAYERED) << "100 is always opaque";
    host.config.SetInt("Tabs/Pos/Alpha", 70);
    Tabs::SetAlpha();
    EXPECT_TRUE(GetWindowLongA(Tabs::containerWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    host.config.SetInt("Tabs/Pos/AlphaDisable", 0);
    Tabs::SetAlpha();
    EXPECT_FALSE(GetWindowLongA(Tabs::containerWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(ContainerTest, WithoutLayeredWindowsTransparencyIsLeftAlone) {
    host.config.SetInt("Tabs/Pos/AlphaDisable", 1);
    MakeContainer();
    EXPECT_FALSE(GetWindowLongA(Tabs::containerWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(host.Logged("Tabs::SetAlpha()"));
}

TEST_F(ContainerTest, DestructionStoresThePositionAndAsksTheHostToSave) {
    MakeContainer();
    MoveWindow(Tabs::containerWnd, 130, 140, 560, 420, FALSE);
    DestroyWindow(Tabs::containerWnd);

    EXPECT_EQ(host.config.Int("Tabs/Pos/X"), 130);
    EXPECT_EQ(host.config.Int("Tabs/Pos/Y"), 140);
    EXPECT_EQ(host.config.Int("Tabs/Pos/W"), 560);
    EXPECT_EQ(host.config.Int("Tabs/Pos/H"), 420);
    EXPECT_EQ(host.saveSettingsCalls, 1);
    EXPECT_EQ(Tabs::containerWnd, nullptr);
    EXPECT_EQ(Tabs::tabBar.Window(), nullptr) << "no handle outlives the container";
    EXPECT_EQ(Tabs::tabBar.Count(), 0);
}

TEST_F(ContainerTest, AMaximisedContainerStoresItsRestoredRectangle) {
    SavePosition(110, 90, 480, 360);
    MakeContainer();
    ShowWindow(Tabs::containerWnd, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(IsZoomed(Tabs::containerWnd));
    RECT maximised{};
    GetWindowRect(Tabs::containerWnd, &maximised);
    ASSERT_NE(maximised.right - maximised.left, 480);

    DestroyWindow(Tabs::containerWnd);
    EXPECT_EQ(host.config.Int("Tabs/Pos/X"), 110);
    EXPECT_EQ(host.config.Int("Tabs/Pos/Y"), 90);
    EXPECT_EQ(host.config.Int("Tabs/Pos/W"), 480);
    EXPECT_EQ(host.config.Int("Tabs/Pos/H"), 360);
}

TEST_F(ContainerTest, AFailedClassRegistrationIsLoggedAndCreationReportsFailure) {
    WNDCLASSEXA taken{};
    taken.cbSize = sizeof taken;
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = "TabsCont";
    ASSERT_TRUE(RegisterClassExA(&taken));

    EXPECT_EQ(Tabs::RegisterClasses(), 0);
    EXPECT_TRUE(host.Logged("Błąd rejestrowania klasy okna2"));
    UnregisterClassA("Tabs", GetModuleHandleA(nullptr));
    EXPECT_EQ(Tabs::CreateContainer(), 0);
    EXPECT_EQ(Tabs::containerWnd, nullptr);
    EXPECT_TRUE(host.Logged("Okno nie utworzone :>"));
}
