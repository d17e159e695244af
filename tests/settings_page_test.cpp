// The plug-in's own settings page and a contact's page "Zakładki", rendered
// by the host from the plug-in's elements and bound to its settings.
#include "fixture.h"

using namespace DevHostLib;

namespace {

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

TEST_F(PluginSettingsPage, TheSessionGroupsCheckBoxForOpeningRestoredTabsWhenShownStoresItsColumn) {
    Boot();
    host->OpenSettingsPage();
    HWND box = nullptr;
    for (const RenderedControl& c : host->state.settingsPage.Controls())
        if (c.kind == kKindCheckBox && TextOf(c.window) == "Otwieraj przywrócone rozmowy dopiero po wybraniu zakładki")
            box = c.window;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Checked(box), BST_UNCHECKED) << "off by default";
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(host->ApplySettings());
    EXPECT_EQ(host->state.config.Int("Tabs/LazyRevertSession"), 1);
    EXPECT_EQ(host->state.config.Int(0, 0, 306117), 1);
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
