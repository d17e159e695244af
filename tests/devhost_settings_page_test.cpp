// The stand-in host's settings page: the plug-in's element records rendered
// as real controls bound to configuration columns, their windows answered
// to request 10107, status changes applied live, and applying that writes
// the store and sends 21020 only while the page is open.
#include <algorithm>

#include "fixture.h"

using namespace DevHostLib;

namespace {

constexpr int kCheck = 999101;
constexpr int kRadio = 999102;
constexpr int kOrder = 999103;
constexpr int kSlider = 999104;
constexpr int kList = 999105;
constexpr int kDependent = 999106;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

LRESULT Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0); }

// The first rendered control of a kind.
HWND FirstOfKind(const SettingsPage& page, uint32_t kind) {
    for (const RenderedControl& c : page.Controls())
        if (c.kind == kind) return c.window;
    return nullptr;
}

}  // namespace

class HostSettingsPage : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        for (int column : {kCheck, kRadio, kOrder, kSlider, kDependent}) Declare(column, 0);
        Declare(kList, 1);
        Add(Host::kGroupSettings, kSettingsPage, 0x10, "Zakładki");
    }
    void Declare(int column, int type) {
        ColumnInfo c;
        c.column = column;
        c.type = type;
        c.key = "Test/" + std::to_string(column);
        host->state.config.Declare(c);
    }
    // An element added the way the plug-in adds it (request 10101).
    void Add(int parent, int id, uint32_t status, const std::string& text, int param = 0, uint16_t x = 0) {
        ActionInfo a;
        BuildActionInfoExtended(a, parent, id, -1, status, text.c_str(), param, x, 0);
        Request(Host::kElementInsert, &a);
    }
    void AddControl(int id, uint32_t status, const std::string& text, int param = 0) {
        Add(kSettingsPage, id, status, text, param);
    }
    int Request(int code, void* p1) {
        HostMessage m;
        BuildHostMessage(m, code, reinterpret_cast<intptr_t>(p1));
        return host->send(&m);
    }
    HWND WindowOfElement(int id, int parent) {
        ActionInfo a{};
        a.size = kActionInfoSize;
        a.ref = {id, parent, Host::kNoContact};
        a.mask = Host::kMaskHandle;
        Request(Host::kElementRead, &a);
        return static_cast<HWND>(a.handle);
    }
    void SetStatus(int id, uint32_t status, uint32_t mask) {
        ActionInfo a{};
        a.size = kActionInfoSize;
        a.ref = {id, kSettingsPage, Host::kNoContact};
        a.mask = Host::kMaskStatus;
        a.status = status;
        a.statusMask = mask;
        Request(Host::kElementChange, &a);
    }
    // The n-th rendered control of a kind, unnamed ones included.
    HWND Nth(uint32_t kind, size_t n) {
        for (const RenderedControl& c : host->state.settingsPage.Controls())
            if (c.kind == kind && n-- == 0) return c.window;
        return nullptr;
    }
    int Notices(int id, int notice) {
        return static_cast<int>(
            std::count_if(host->recorded.notices.begin(), host->recorded.notices.end(), [&](const DeliveredNotice& n) {
                return n.ref.id == id && n.ref.parent == kSettingsPage && n.notice == notice;
            }));
    }
};

TEST_F(HostSettingsPage, CheckBoxShowsItsColumnAndItsWindowIsAnsweredWhileThePageIsOpen) {
    host->state.config.SetInt(0, 0, kCheck, 1);
    AddControl(kCheck, 0x00060000, "Zamknij rozmowę", kCheck);

    HWND page = host->OpenSettingsPage();
    ASSERT_NE(page, nullptr);
    HWND box = host->state.settingsPage.ControlOf(kCheck);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ClassOf(box), "Button");
    EXPECT_EQ(TextOf(box), "Zamknij rozmowę");
    EXPECT_EQ(Checked(box), BST_CHECKED);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetAncestor(box, GA_ROOT), host->state.settingsPage.Dialog());
    EXPECT_EQ(WindowOfElement(kCheck, kSettingsPage), box);
    EXPECT_EQ(WindowOfElement(kSettingsPage, Host::kGroupSettings), page);

    host->CloseSettingsPage();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(WindowOfElement(kCheck, kSettingsPage), nullptr);
    EXPECT_EQ(WindowOfElement(kSettingsPage, Host::kGroupSettings), nullptr);
}

TEST_F(HostSettingsPage, UnnamedElementsEachGetTheirOwnControlAndLeaveTheHostsElementsAlone) {
    AddControl(0, 0x000F0000, "Ustawienia");
    AddControl(0, 0x00090040, "Pozycja: ");
    AddControl(0, 0x00180000, "Pierwsza <b>linia</b><br/>druga &amp; ostatnia");
    AddControl(0, 0x00010000, "Pasek zakładek");
    AddControl(0, 0x00100000, "");
    EXPECT_NE(host->state.elements.Find(Host::kActionOpenConversation, Host::kGroupContactMenu), nullptr);
    EXPECT_NE(host->state.elements.Find(kSettingsPage, Host::kGroupSettings), nullptr);

    host->OpenSettingsPage();
    std::vector<RenderedControl> controls = host->state.settingsPage.Controls();
    ASSERT_EQ(controls.size(), 4u) << "the group end closes the box and has no control of its own";
    EXPECT_EQ(ClassOf(controls[0].window), "Button");
    EXPECT_EQ(GetWindowLongA(controls[0].window, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(TextOf(controls[1].window), "Pozycja: ");
    EXPECT_EQ(TextOf(controls[2].window), "Pierwsza linia\r\ndruga & ostatnia");
    EXPECT_EQ(TextOf(controls[3].window), "Pasek zakładek");

    RECT box, label;
    GetWindowRect(controls[0].window, &box);
    GetWindowRect(controls[2].window, &label);
    EXPECT_TRUE(box.top < label.top && label.bottom <= box.bottom) << "the group box encloses its contents";
    EXPECT_EQ(Notices(0, Host::kNoticeCreate), 5) << "every unnamed element hears of its creation";
}

TEST_F(HostSettingsPage, ApplyingWritesEveryKindOfControlAndSends21020OnlyWhileThePageIsOpen) {
    host->state.config.SetInt(0, 0, kSlider, 70);
    host->state.config.SetText(0, 0, kList, "30:138");
    AddControl(kCheck, 0x00060000, "Pole", kCheck);
    AddControl(0, 0x00190040, "Dół\x02-1", kRadio);
    AddControl(0, 0x00192000, "Góra\x02" "0", kRadio);
    AddControl(0, 0x00191040, "Nigdy", kOrder);
    AddControl(0, 0x00191040, "Zawsze", kOrder);
    AddControl(0, 0x00193000, "Pytaj", kOrder);
    AddControl(0, 0x001B0000, "10%\nWidoczne w 100%\x1Amin=10\x1Amax=100\x1Astep=10", kSlider);
    AddControl(0, 0x00161000, "--Brak skrótu--\x02" "0:0\nRozmowa\x03" "5\x02" "30:138\n", kList);
    host->OpenSettingsPage();

    HWND box = host->state.settingsPage.ControlOf(kCheck);
    HWND down = Nth(0x00190000, 0), up = Nth(0x00190000, 1), ask = Nth(0x00190000, 4);
    HWND slider = Nth(0x001B0000, 0), list = Nth(0x00160000, 0);
    EXPECT_EQ(TextOf(down), "Dół");
    EXPECT_EQ(Checked(up), BST_CHECKED) << "the stored 0 is the value after byte 0x02";
    EXPECT_EQ(Checked(Nth(0x00190000, 2)), BST_CHECKED) << "without a value, the position in the group";
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), 10);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 70);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);
    char item[64] = {};
    SendMessageA(list, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "Rozmowa");

    SendMessageA(box, BM_CLICK, 0, 0);
    SendMessageA(down, BM_CLICK, 0, 0);
    SendMessageA(ask, BM_CLICK, 0, 0);
    EXPECT_EQ(Checked(up), BST_UNCHECKED) << "radio buttons of a group exclude each other";
    SendMessageA(slider, TBM_SETPOS, TRUE, 40);
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(host->state.config.Int(0, 0, kCheck), 0) << "nothing is stored before applying";

    EXPECT_TRUE(host->ApplySettings());
    EXPECT_EQ(host->state.config.Int(0, 0, kCheck), 1);
    EXPECT_EQ(host->state.config.Int(0, 0, kRadio), -1);
    EXPECT_EQ(host->state.config.Int(0, 0, kOrder), 2);
    EXPECT_EQ(host->state.config.Int(0, 0, kSlider), 40);
    EXPECT_EQ(host->state.config.Text(0, 0, kList), "0:0");
    EXPECT_EQ(host->recorded.CallsWithCode(Host::kMsgSettingsApplied).size(), 1u);

    host->CloseSettingsPage();
    EXPECT_FALSE(host->ApplySettings());
    EXPECT_EQ(host->recorded.CallsWithCode(Host::kMsgSettingsApplied).size(), 1u);
    host->SendSettingsApplied();
    EXPECT_EQ(host->recorded.CallsWithCode(Host::kMsgSettingsApplied).size(), 2u);
}

TEST_F(HostSettingsPage, StatusChangesHideAndGreyRenderedControlsLive) {
    AddControl(kCheck, 0x00060000, "Odepnij rozmowę", kCheck);
    Add(kSettingsPage, kDependent, 0x00060000, "Tylko gdy odpięta", kDependent, 30);
    // As the plug-in does on the page's creation: grey the dependent box.
    host->state.elements.Find(kDependent, kSettingsPage)->owner = 999;
    host->controls.elementOwners[999] = [this](const ActionNotice& n) {
        if (n.notice == Host::kNoticeCreate) SetStatus(n.ref.id, 2, 2);
        return 0;
    };
    host->OpenSettingsPage();
    HWND box = host->state.settingsPage.ControlOf(kCheck);
    HWND dependent = host->state.settingsPage.ControlOf(kDependent);
    EXPECT_FALSE(IsWindowEnabled(dependent));
    RECT a, b;
    GetWindowRect(box, &a);
    GetWindowRect(dependent, &b);
    EXPECT_EQ(b.left - a.left, 30) << "x indents the control";

    SetStatus(kDependent, 0, 2);
    EXPECT_TRUE(IsWindowEnabled(dependent));
    SetStatus(kCheck, 1, 1);
    EXPECT_FALSE(IsWindowVisible(box));
    SetStatus(kCheck, 0, 1);
    EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(HostSettingsPage, OwnersHearOfCreationClicksAndDestruction) {
    AddControl(kCheck, 0x00060000, "Pole", kCheck);
    AddControl(0, 0x00090000, "Etykieta");
    host->OpenSettingsPage();
    EXPECT_EQ(Notices(kCheck, Host::kNoticeCreate), 1);
    EXPECT_EQ(Notices(0, Host::kNoticeCreate), 1);

    SendMessageA(host->state.settingsPage.ControlOf(kCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(Notices(kCheck, Host::kNoticeAction), 1);
    std::vector<Sent> toPlugin = host->recorded.CallsWithCode(Host::kMsgAction);
    ASSERT_FALSE(toPlugin.empty());
    const auto* last = reinterpret_cast<const ActionNotice*>(toPlugin.back().record.data());
    EXPECT_EQ(last->ref.id, kCheck) << "the plug-in owns the element and receives the notice";
    EXPECT_EQ(last->notice, Host::kNoticeAction);

    host->CloseSettingsPage();
    EXPECT_EQ(Notices(kCheck, Host::kNoticeDestroy), 1);
    EXPECT_EQ(Notices(0, Host::kNoticeDestroy), 1);
    EXPECT_FALSE(host->state.settingsPage.IsOpen());
}

using PluginSettingsPage = PluginTest;

TEST_F(PluginSettingsPage, ThePluginsOwnPageRendersItsNamedCheckBoxesBoundToTheirSettings) {
    Boot();
    host->state.config.SetInt("Tabs/CloseAllTabs", 1);
    HWND page = host->OpenSettingsPage();
    ASSERT_NE(page, nullptr);
    for (int id : {306106, 306110, 306138, 306139}) {
        HWND box = host->state.settingsPage.ControlOf(id);
        ASSERT_NE(box, nullptr) << id;
        EXPECT_EQ(ClassOf(box), "Button") << id;
    }
    EXPECT_EQ(Checked(host->state.settingsPage.ControlOf(306106)), BST_CHECKED);
    EXPECT_EQ(Checked(host->state.settingsPage.ControlOf(306138)), BST_UNCHECKED);
}

TEST_F(PluginSettingsPage, AContactsPageIsBoundToThatContactAndStaysClosedWhenThePluginHidesIt) {
    int ala = AddContact("Ala");
    int jan = AddContact("Jan");
    Boot();
    host->state.config.SetInt(1, jan, 306202, 1);
    ASSERT_NE(host->OpenContactPage(jan), nullptr);
    HWND box = FirstOfKind(host->state.settingsPage, kKindCheckBox);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Domyślnie odpinaj okno tego kontaktu");
    EXPECT_EQ(Checked(box), BST_CHECKED) << "Jan's own setting";
    host->CloseSettingsPage();

    ASSERT_NE(host->OpenContactPage(ala), nullptr);
    box = FirstOfKind(host->state.settingsPage, kKindCheckBox);
    EXPECT_EQ(Checked(box), BST_UNCHECKED);
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(host->ApplySettings());
    host->CloseSettingsPage();
    EXPECT_EQ(host->state.config.Int(1, ala, 306202), 1);
    EXPECT_FALSE(host->state.config.HasValue(0, 0, 306202)) << "nothing goes to the configuration table";

    host->state.config.SetInt("Tabs/LockState", 1);
    EXPECT_EQ(host->OpenContactPage(ala), nullptr) << "the plug-in hides its page while locked";
    EXPECT_FALSE(host->state.settingsPage.IsOpen());
}
