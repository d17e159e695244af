// The tab bar on a real toolbar control: buttons, images, contact icons, the
// hit test and the tooltip texts.
#include <algorithm>
#include <vector>

#include "container_fixture.h"

using namespace DevHostLib;

class TabBarTest : public InProcessTest {
protected:
    void SetUp() override {
        InProcessTest::SetUp();
        host.state.config.SetInt("Tabs/TabsCloseButton", 1);
        MakeContainer();
    }

    NMTTDISPINFOA TooltipAt(int x, int y) {
        RECT bar{};
        GetWindowRect(Tabs::tabBar.Window(), &bar);
        SetCursorPos(bar.left + x, bar.top + y);
        NMTTDISPINFOA info{};
        info.hdr.code = TTN_GETDISPINFOA;
        info.lpszText = const_cast<char*>("poprzedni");
        EXPECT_EQ(ContainerObject().Bar().TooltipText(info), 0);
        return info;
    }
};

TEST_F(TabBarTest, FixedButtonsComeFirstAndTabsCarryButtonIdShortenedNameAndStatusImage) {
    host.state.config.SetInt("Tabs/ShortenDesc ", 20);
    int ola = host.state.contacts.Add("ola@velmora", "Aleksandra Wiśniewska-Kowal", 2, 3);
    AddTab(ola);

    ASSERT_EQ(Tabs::tabBar.Count(), 3);
    EXPECT_EQ(ButtonAt(0).idCommand, 0xFFFF);
    EXPECT_EQ(Tabs::tabBar.Image(0xFFFF), host.state.icons.Index(Tabs::Icon::CloseIcon));
    EXPECT_EQ(ButtonAt(1).idCommand, 0xFFFE);
    EXPECT_EQ(Tabs::tabBar.Image(0xFFFE), host.state.icons.Index(Tabs::Icon::TabsIcon));
    TBBUTTON tab = ButtonAt(2);
    EXPECT_EQ(tab.idCommand, ola & 0xBFFFFFFF);
    EXPECT_EQ(tab.dwData, static_cast<DWORD_PTR>(ola & 0xBFFFFFFF));
    EXPECT_EQ(tab.fsStyle, 0x50);
    EXPECT_EQ(Tabs::tabBar.Image(tab.idCommand), host.state.icons.Index(StatusIconId(2, 3)));
    EXPECT_EQ(ButtonText(tab.idCommand), std::string("Aleksandra Wiśniewsk") + "\x85");
}

TEST_F(TabBarTest, UnknownIconsFallBackAndIconZeroShowsNoImage) {
    int ala = AddContact("Ala");
    AddTab(ala);
    Tabs::tabBar.SetImage(Tabs::ButtonOf(ala), 999999);
    EXPECT_EQ(Tabs::tabBar.Image(ButtonAt(2).idCommand), host.state.icons.Index(Host::kIconUnknown));
    Tabs::tabBar.SetImage(Tabs::ButtonOf(ala), 0);
    EXPECT_EQ(Tabs::tabBar.Image(ButtonAt(2).idCommand), I_IMAGENONE) << "the whole -2, not its low word";
}

TEST_F(TabBarTest, ButtonIdsThatACommandCannotCarryOrThatRepeatAreRefused) {
    EXPECT_FALSE(Tabs::tabBar.AddButton(Tabs::ButtonOf(0x40000000 | 70000), "za duży", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(Tabs::ButtonOf(0x4000FFFE), "jak odepnij", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(0, "zero", 0, Tabs::kTabStyle));
    EXPECT_TRUE(Tabs::tabBar.AddButton(65533, "ostatni", 0, Tabs::kTabStyle));
    EXPECT_FALSE(Tabs::tabBar.AddButton(65533, "drugi raz", 0, Tabs::kTabStyle));
    EXPECT_EQ(Tabs::tabBar.Count(), 3);
    EXPECT_TRUE(host.recorded.Logged("TabBar::AddButton - id poza zakresem: 70000"));
}

TEST_F(TabBarTest, StatusIconComesFromTheIconPluginThenTheContactThenTheNetwork) {
    int ala = AddContact("Ala", 3, 2);
    EXPECT_EQ(Tabs::StatusIcon(ala, -1), 0x40000000 + 3 * 0x100000 + 2 * 0x10);
    EXPECT_EQ(Tabs::MessageIcon(ala), 66);
    host.state.contacts.Find(ala)->icon = 4242;
    EXPECT_EQ(Tabs::StatusIcon(ala, 0), 4242) << "the chosen icon whatever the status";

    host.controls.pluginsPresent.insert("Merulka");
    host.controls.pluginAnswers[306101] = [&](int p1, int p2) { return p1 == ala && p2 == 2 ? 0 : 1; };
    host.controls.pluginAnswers[306102] = [&](int p1, int p2) { return p1 == ala && p2 == 0 ? 777 : 0; };
    host.recorded.ClearSent();
    EXPECT_EQ(Tabs::StatusIcon(ala, -1), 0) << "the plug-in's answer, 0 included";
    EXPECT_EQ(Tabs::MessageIcon(ala), 777);
    const Sent question = host.recorded.SentWithCode(306101).at(0);
    const auto* m = reinterpret_cast<const HostMessage*>(question.message.data());
    EXPECT_EQ(m->targetNumber, 306);
    EXPECT_EQ(m->targetKind, -1);
}

TEST_F(TabBarTest, HitTestCountsEdgesAndGivesSharedEdgesToTheLowerIndex) {
    AddTab(AddContact("Ala"));
    RECT close = ItemRect(0), detach = ItemRect(1), tab = ItemRect(2);
    ASSERT_EQ(close.right, detach.left);
    EXPECT_EQ(Tabs::tabBar.HitTest(close.right, close.top), 0xFFFF);
    EXPECT_EQ(Tabs::tabBar.HitTest(tab.right, tab.bottom), Tabs::tabBar.CommandAt(2));
    EXPECT_EQ(Tabs::tabBar.HitTest(tab.right + 1, tab.top), -1);

    host.state.config.SetInt("Tabs/TabsCloseButton", 0);
    Tabs::ShowFixedButtons();
    EXPECT_EQ(Tabs::tabBar.HitTest(close.left + 1, close.top + 1), 0xFFFE) << "the hidden button's place";
}

TEST_F(TabBarTest, TooltipsNameTheFixedButtonsAndShowTheContactsInformation) {
    int ala = AddContact("Ala");
    host.state.contacts.Find(ala)->info = "tel. 123\r\nul. Długa 5\nWarszawa";
    AddTab(ala);
    RECT close = ItemRect(0), detach = ItemRect(1), tab = ItemRect(2);

    EXPECT_STREQ(TooltipAt(close.left + 2, close.top + 2).lpszText, "Zamknij");
    EXPECT_STREQ(TooltipAt(detach.left + 2, detach.top + 2).lpszText, "Odepnij");
    EXPECT_STREQ(TooltipAt(tab.right, tab.bottom).lpszText, "tel. 123//ul. Długa 5/Warszawa");
    EXPECT_STREQ(TooltipAt(tab.right + 10, tab.top).lpszText, "") << "no contact belongs there";
    RECT bar{};
    GetWindowRect(Tabs::tabBar.Window(), &bar);
    EXPECT_STREQ(TooltipAt(0, bar.bottom - bar.top + 5).lpszText, "poprzedni") << "off the bar: untouched";
}

// The bar's client area as the toolbar paints it, on a background of one
// colour that no button paints.
static std::vector<DWORD> Picture(HWND bar) {
    RECT r{};
    GetClientRect(bar, &r);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH background = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(memory, &r, background);
    SendMessageA(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + r.right * r.bottom);
    DeleteObject(background);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// The plug-in draws the bar's images from the icons it takes out of the
// host's list; the toolbar, given the same images and left to draw them from
// the list, must paint the very same pixels: the fixed buttons, a tab as it
// is, the shown (checked) tab, a waiting (pressed) tab with the message
// icon, the tab under the mouse and a tab without an image.
TEST_F(TabBarTest, ImagesDrawnByThePluginLookAsTheToolbarDrawsThemFromTheHostsList) {
    std::vector<int> tabs;
    for (const char* name : {"Ala", "Ola", "Jan", "Ewa", "Iza"}) {
        tabs.push_back(AddContact(name, 1, static_cast<int>(tabs.size()) % 4));
        AddTab(tabs.back());
    }
    int ala = Tabs::ButtonOf(tabs[0]), ola = Tabs::ButtonOf(tabs[1]), jan = Tabs::ButtonOf(tabs[2]);
    int ewa = Tabs::ButtonOf(tabs[3]), iza = Tabs::ButtonOf(tabs[4]);
    Tabs::tabBar.Check(ola, true);
    Tabs::tabBar.Press(jan, true);
    Tabs::tabBar.SetImage(jan, Host::kIconMessage);
    Tabs::tabBar.SetImage(iza, 0);
    Tabs::Reposition(-1, -1);
    std::vector<int> ids = {0xFFFF, 0xFFFE, ala, ola, jan, ewa, iza};
    std::vector<int> images;
    for (int id : ids) images.push_back(Tabs::tabBar.Image(id));
    EXPECT_EQ(images[4], host.state.icons.Index(Host::kIconMessage));
    EXPECT_EQ(images[6], I_IMAGENONE);
    std::vector<RECT> places;
    for (int i = 0; i < static_cast<int>(ids.size()); ++i) places.push_back(ItemRect(i));

    Bar(TB_SETHOTITEM, 5);
    std::vector<DWORD> drawn = Picture(Tabs::tabBar.Window());

    // The toolbar on its own: the images in its buttons, no one to ask.
    HWND nobody = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    Tabs::tabBar.SetNotifyWindow(nobody);
    for (size_t i = 0; i < ids.size(); ++i) {
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_IMAGE;
        info.iImage = images[i];
        Bar(TB_SETBUTTONINFOA, ids[i], reinterpret_cast<LPARAM>(&info));
    }
    Bar(TB_SETHOTITEM, 5);
    std::vector<RECT> after;
    for (int i = 0; i < static_cast<int>(ids.size()); ++i) after.push_back(ItemRect(i));
    std::vector<DWORD> reference = Picture(Tabs::tabBar.Window());
    Tabs::tabBar.SetNotifyWindow(Tabs::containerWnd);
    DestroyWindow(nobody);

    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_TRUE(EqualRect(&places[i], &after[i])) << "button " << i << " laid out alike";
    ASSERT_EQ(drawn.size(), reference.size());
    RECT client{};
    GetClientRect(Tabs::tabBar.Window(), &client);
    int differ = 0;
    POINT first{-1, -1};
    for (size_t p = 0; p < drawn.size(); ++p)
        if (drawn[p] != reference[p] && differ++ == 0)
            first = {static_cast<LONG>(p % static_cast<size_t>(client.right)),
                     static_cast<LONG>(p / static_cast<size_t>(client.right))};
    EXPECT_EQ(differ, 0) << "first at " << first.x << "," << first.y;
    EXPECT_NE(std::count(drawn.begin(), drawn.end(), drawn[0]), static_cast<long>(drawn.size())) << "something drawn";
}
