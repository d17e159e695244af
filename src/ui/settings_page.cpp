// The controls of the plug-in's page in the host's settings dialog.
#include "host/columns.h"
#include "host/host.h"
#include "ui/elements.h"
#include "ui/registration.h"

namespace Tabs {

namespace {

enum class Only { Always, WithTransparency, WithViewer };

struct SettingRow {
    uint32_t status;
    const char* text;  // drop-down lists get the action list instead
    int setting = 0;
    int id = 0;
    uint16_t width = 0;
    int16_t height = 0;
    uint16_t x = 0;
    Only only = Only::Always;
};

constexpr SettingRow Transparency(SettingRow row) {
    row.only = Only::WithTransparency;
    return row;
}

constexpr SettingRow Viewer(SettingRow row) {
    row.only = Only::WithViewer;
    return row;
}

constexpr uint32_t kKindMask = 0x00FF0000;
constexpr uint32_t kDropDown = 0x00160000;

constexpr char kHintImage[] = "reg://IML16/11.ico";

// Texts of controls in the host's encoding: a radio's explicit value after
// byte 0x02, a slider's two end labels split by byte 0x0A, options after
// byte 0x1A.
constexpr SettingRow kSettingRows[] = {
    {0x000F0000, "Ustawienia"},
    {0x00090040, "Pozycja w menu kontaktu: "},
    {0x00190040, "Dół\x02" "-1", Column::MenuAlign},
    {0x00192000, "Góra\x02" "0", Column::MenuAlign},
    Transparency({0x00060000, "Przezroczystość okna rozmowy", Column::PosAlphaDisable}),
    Transparency({0x00110040, kHintImage}),
    Transparency({0x00180000,
                  "Kliknięcie <b>środkowym klawiszem</b> myszki na przycisk zamykania/odpinania zakładki lub puste "
                  "pole na pasku zakładek szybko <b>przełącza</b> tą opcję",
                  0, 0, 0, -2}),
    Transparency({0x001B0000, "10%\x0A" "Widoczne w 100%\x1A" "min=10\x1A" "max=100\x1A" "step=10", Column::PosAlpha}),
    {0x00100000, nullptr},

    {0x000F0000, "Przyciski"},
    {0x00010000, "Pasek zakładek"},
    {0x00060000, "Zamknij rozmowę", Column::TabsCloseButton},
    {0x00060000, "Odepnij rozmowę", Column::TabsDetachButton},
    {0x00010000, "Okno rozmowy"},
    {0x00060200, "Na głównym pasku", Column::ToolbarButtonsOnMain},
    {0x00060000, "Zamknij rozmowę", Column::ToolbarCloseButton},
    {0x00060000, "Odepnij rozmowę", Column::ToolbarDetachButton, Column::ToolbarDetachButton},
    {0x00060000, "Tylko gdy odpięta", Column::ToolbarDetachButtonWhenDetached,
     Column::ToolbarDetachButtonWhenDetached, 0, 0, 30},
    {0x00110040, kHintImage},
    {0x00180000, "Wyłączenie powyższych dwóch opcji <b>uniemożliwia</b> ponowne <b>przypięcie</b> okna!"},
    {0x00010000, "Menu ostatnio zamkniętych"},
    {0x00110040, kHintImage},
    {0x00090000, "Menu dostępne jest cały czas poprzez prawy klik na pustym polu na pasku zakładek."},
    {0x00060000, "W menu kontekstowym kontaktu", Column::ClosedRecentlyCnt},
    {0x00060000, "W oknie głównym", Column::ClosedRecentlyMain},
    {0x00100000, nullptr},

    {0x000F0000, "Zakładki"},
    {0x00090040, "Pozycja zakładek: "},
    {0x00191040, "Dół", Column::Align},
    {0x00193000, "Góra", Column::Align},
    {0x01060000,
     "Zamykaj wszystkie zakładki przy zamykaniu okna zbiorczego\x1A"
     "tipRich=<b>Shift</b> chwilowo odwraca działanie tej opcji",
     Column::CloseAllTabs, Column::CloseAllTabs},
    {0x01060000, "+ tylko gdy jedna otwarta", Column::CloseTabWhenOne, Column::CloseTabWhenOne, 0, 0, 30},
    {0x00110040, kHintImage},
    {0x00180000, "<b>Shift</b> chwilowo odwraca działanie tej opcji"},
    {0x00060000, "Ukrywaj pasek zakładek kiedy tylko jedna jest otwarta", Column::HideTabbarWhenOne},
    {0x00060000, "Automatycznie twórz zakładki po nadejściu wiadomości", Column::AutoCreateButton},
    {0x00090000, "Skracaj nazwę kontaktu (0 wyłącza skracanie):"},
    {0x001B0000, "0\x0A" "100 znaków\x1A" "min=0\x1A" "max=50\x1A" "step=10", Column::ShortenDesc},
    {0x00090000, "Miganie zakładki (0 wyłącza miganie):"},
    {0x001B0000, "Szybko\x0A" "Wolno\x1A" "min=0\x1A" "max=1000\x1A" "step=100", Column::MsgIconFlash},
    {0x00090040, "Automatycznie przywracaj sesję: ", 0, 0, 180},
    {0x00191040, "Nigdy", Column::AutoRevertSession},
    {0x00191040, "Zawsze", Column::AutoRevertSession},
    {0x00193000, "Pytaj", Column::AutoRevertSession},
    {0x00060000, "Otwieraj przywrócone rozmowy dopiero po wybraniu zakładki", Column::LazyRevertSession},
    Viewer({0x00060000, "Automatycznie ładuj poprzednią rozmowę", Column::AutoLoadChat}),
    {0x00100000, nullptr},

    {0x000F0000, "Skróty klawiszowe"},
    {0x00090040, "Następna (poprzednia) zakładka:", 0, 0, 180},
    {0x00090100, "Ctrl+(Shift)+Tab"},
    {0x00090040, "Zamknij bieżącą zakładkę:", 0, 0, 180},
    {0x00090100, "Ctrl+F4"},
    {0x00090040, "Zmiana na [n] zakładkę:", 0, 0, 180},
    {0x00191040, "Ctrl+[n]", Column::ChangeKey},
    {0x00193000, "F[n]", Column::ChangeKey},
    {0x00090040, "Zachowanie klawisza Esc: ", 0, 0, 180},
    {0x00191040, "Zamknij okno zbiorcze", Column::EscAction},
    {0x00191040, "Zamknij rozmowę", Column::EscAction},
    {0x00193000, "Nic nie rób", Column::EscAction},
    {0x00110040, kHintImage},
    {0x00180000, "Inne skróty klawiszowe możesz przypisać przy użyciu wtyczki <b>Skrotnik</b>"},
    {0x00090140, "Shift+Klik", 0, 0, 180},
    {0x00180000,
     "podczas zamykania pojedynczej zakładki odwróci działanie funkcji zapamiętywania zawartości okna "
     "rozmowy<br/>podczas zamykania okna zbiorczego odwróci działanie funkcji zamykania wszystikch zakładek",
     0, 0, 0, -4},
    {0x00100000, nullptr},

    {0x000F0000, "Kliknięcie na zakładce"},
    {0x00090040, "Shift+Click: ", 0, 0, 90},
    {0x00161000, nullptr, Column::ShiftClick, 0, 200},
    {0x00090040, "Ctrl+Click: ", 0, 0, 90},
    {0x00161000, nullptr, Column::ControlClick, 0, 200},
    {0x00090040, "Alt+Click: ", 0, 0, 90},
    {0x00161000, nullptr, Column::AltClick, 0, 200},
    {0x00090040, "Prawy DblClick: ", 0, 0, 90},
    {0x00161000, nullptr, Column::RDblClick, 0, 200},
    {0x00090040, "Middle Click: ", 0, 0, 90},
    {0x00161000, nullptr, Column::MClick, 0, 200},
    {0x00100000, nullptr},
};
static_assert(sizeof kSettingRows / sizeof kSettingRows[0] == 76);

bool Wanted(const SettingRow& row, bool withTransparency) {
    switch (row.only) {
        case Only::WithTransparency: return withTransparency;
        case Only::WithViewer: return PluginLoaded(Host::kViewerSignature);
        case Only::Always: break;
    }
    return true;
}

void AddSettingRow(const SettingRow& row, const std::string& actions) {
    const char* text = (row.status & kKindMask) == kDropDown ? actions.c_str() : row.text;
    ActionInfo a;
    BuildActionInfoExtended(a, Element::SettingsPage, row.id, -1, row.status, text, row.setting, row.x, 0,
                            row.width, static_cast<uint16_t>(row.height));
    Send(Host::kElementInsert, &a);
}

}  // namespace

std::string ActionList() {
    std::ostringstream stream;
    stream << "--Brak skrótu--" << '\x02' << "0:0" << '\x0A';
    ListActions(stream, {Host::kGroupContactMenu, Host::kGroupContactMenuParent, Host::kNoContact}, 0);
    return stream.str();
}

void RegisterSettingsControls(bool withTransparency) {
    std::string actions = ActionList();
    for (const SettingRow& row : kSettingRows)
        if (Wanted(row, withTransparency)) AddSettingRow(row, actions);
}

}  // namespace Tabs
