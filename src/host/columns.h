// The plug-in's configuration columns and the helpers through which every
// setting is read and written.
#pragma once

#include <cstdint>

namespace Tabs {

namespace Column {
constexpr int Align = 306101;
constexpr int HideTabbarWhenOne = 306102;
constexpr int AutoCreateButton = 306103;
constexpr int ShortenDesc = 306104;
constexpr int MenuAlign = 306105;
constexpr int CloseAllTabs = 306106;
constexpr int CloseTabWhenOne = 306138;
constexpr int TabsCloseButton = 306107;
constexpr int TabsDetachButton = 306108;
constexpr int ToolbarCloseButton = 306109;
constexpr int ToolbarDetachButton = 306110;
constexpr int ToolbarDetachButtonWhenDetached = 306139;
constexpr int ToolbarButtonsOnMain = 306149;
constexpr int ChangeKey = 306137;
constexpr int LockState = 306141;
constexpr int LockPassword = 306142;
constexpr int ClosedRecentlyCnt = 306143;
constexpr int ClosedRecentlyMain = 306144;
constexpr int LastSession = 306145;
constexpr int AutoRevertSession = 306146;
constexpr int ClosedRecentlyBuffer = 306147;
constexpr int AutoLoadChat = 306148;
constexpr int EscAction = 306150;
constexpr int ShiftClick = 306131;
constexpr int ControlClick = 306132;
constexpr int AltClick = 306133;
constexpr int MClick = 306134;
constexpr int RDblClick = 306135;
constexpr int MsgIconFlash = 306136;
constexpr int PosX = 306111;
constexpr int PosY = 306112;
constexpr int PosW = 306113;
constexpr int PosH = 306114;
constexpr int PosAlpha = 306115;
constexpr int PosAlphaDisable = 306116;
constexpr int LazyRevertSession = 306117;
constexpr int DontTab = 306202;  // contact table
}  // namespace Column

struct ColumnDefinition {
    uint8_t table;
    int32_t column;
    int32_t type;
    int32_t defaultValue;  // integer default, or index into the default texts
    const char* key;
    const char* defaultText;  // string columns only
};

// Every column in declaration order.
extern const ColumnDefinition kColumns[];
extern const int kColumnCount;

// Answer to message 21001: sends the declarations, returns 1.
int DeclareColumns();

int GetInt(int column);
// The host's own copy of the text; "" when the host answers null.
const char* GetString(int column);
void SetInt(int column, int value, int mask = -1);
void SetString(int column, const char* text);
int GetContactInt(int contact, int column);
// Reads a text column of a contact into the buffer, or with buffer null and
// size -1 returns the host's copy; never null.
const char* GetContactString(int row, int column, char* buffer = nullptr, int size = -1);

// Reads one of the host's own integer columns of the configuration table.
inline int GetHostInt(int column) { return GetInt(column); }

// A number in a stored text, read as the C library reads decimal text
// (blanks, a sign, then digits up to the first other byte; nothing gives 0).
// A number beyond 32 bits gives its nearest end and inRange false: the
// click settings take that end, as the system's atoi does; the stored
// contact lists take 0, so that such a piece names no contact.
struct Decimal {
    int32_t value;
    bool inRange;
};
Decimal ReadDecimal(const char* begin, const char* end);

}  // namespace Tabs
