#include "host/columns.h"

#include <cctype>

#include "host/host.h"

namespace Tabs {

namespace {
constexpr int32_t kInt = 0;
constexpr int32_t kText = 1;
constexpr int32_t kLockBit = 0x400;
}  // namespace

const ColumnDefinition kColumns[] = {
    {0, Column::Align, kInt, 0, "Tabs/Align", nullptr},
    {0, Column::HideTabbarWhenOne, kInt, 0, "Tabs/HideTabbarWhenOne", nullptr},
    {0, Column::AutoCreateButton, kInt, 1, "Tabs/AutoCreateButton", nullptr},
    {0, Column::ShortenDesc, kInt, 20, "Tabs/ShortenDesc ", nullptr},
    {0, Column::MenuAlign, kInt, 0, "Tabs/MenuAlign", nullptr},
    {0, Column::CloseAllTabs, kInt, 0, "Tabs/CloseAllTabs", nullptr},
    {0, Column::CloseTabWhenOne, kInt, 0, "Tabs/CloseTabWhenOne", nullptr},
    {0, Column::TabsCloseButton, kInt, 0, "Tabs/TabsCloseButton", nullptr},
    {0, Column::TabsDetachButton, kInt, 1, "Tabs/TabsDetachButton", nullptr},
    {0, Column::ToolbarCloseButton, kInt, 0, "Tabs/ToolbarCloseButton", nullptr},
    {0, Column::ToolbarDetachButton, kInt, 1, "Tabs/ToolbarDetachButton", nullptr},
    {0, Column::ToolbarDetachButtonWhenDetached, kInt, 0, "Tabs/ToolbarDetachButtonWhenDetached", nullptr},
    {0, Column::ToolbarButtonsOnMain, kInt, 0, "Tabs/ToolbarButtonsOnMain", nullptr},
    {0, Column::ChangeKey, kInt, 0, "Tabs/ChangeKey", nullptr},
    {0, Column::LockState, kInt | kLockBit, 0, "Tabs/LockState", nullptr},
    {0, Column::LockPassword, kText | kLockBit, 0, "Tabs/LockPassword", ""},
    {0, Column::ClosedRecentlyCnt, kInt, 1, "Tabs/ClosedRecentlyCnt", nullptr},
    {0, Column::ClosedRecentlyMain, kInt, 1, "Tabs/ClosedRecentlyMain", nullptr},
    {0, Column::LastSession, kText, 0, "Tabs/LastSession", ""},
    {0, Column::AutoRevertSession, kInt, 0, "Tabs/AutoRevertSession", nullptr},
    {0, Column::ClosedRecentlyBuffer, kText, 0, "Tabs/ClosedRecentlyBuffer", ""},
    {0, Column::AutoLoadChat, kInt, 0, "Tabs/AutoLoadChat", nullptr},
    {0, Column::EscAction, kInt, 0, "Tabs/EscAction", nullptr},
    {0, Column::ShiftClick, kText, 0, "Tabs/Clicks/ShiftClick", "30:306003"},
    {0, Column::ControlClick, kText, 0, "Tabs/Clicks/ControlClick", "30:306002"},
    {0, Column::AltClick, kText, 0, "Tabs/Clicks/AltClick", "30:132"},
    {0, Column::MClick, kText, 0, "Tabs/Clicks/MClick", "30:306003"},
    {0, Column::RDblClick, kText, 0, "Tabs/Clicks/RDblClick", "30:306003"},
    {0, Column::MsgIconFlash, kInt, 500, "Tabs/MsgIconFlash", nullptr},
    {0, Column::PosX, kInt, 100, "Tabs/Pos/X", nullptr},
    {0, Column::PosY, kInt, 100, "Tabs/Pos/Y", nullptr},
    {0, Column::PosW, kInt, 500, "Tabs/Pos/W", nullptr},
    {0, Column::PosH, kInt, 400, "Tabs/Pos/H", nullptr},
    {0, Column::PosAlpha, kInt, 70, "Tabs/Pos/Alpha", nullptr},
    {0, Column::PosAlphaDisable, kInt, 0, "Tabs/Pos/AlphaDisable", nullptr},
    {0, Column::LazyRevertSession, kInt, 0, "Tabs/LazyRevertSession", nullptr},
    {1, Column::DontTab, kInt, 0, "Tabs/DontTab", nullptr},
};
const int kColumnCount = sizeof kColumns / sizeof kColumns[0];
static_assert(sizeof kColumns / sizeof kColumns[0] == 37);

namespace {

void Declare(const ColumnDefinition& c) {
    ColumnDeclaration d{};
    d.size = sizeof d;
    d.code = Host::kDeclareColumn;
    d.table = c.table;
    d.column = c.column;
    d.type = c.type;
    d.defaultValue = c.defaultText ? reinterpret_cast<intptr_t>(c.defaultText) : c.defaultValue;
    d.name = c.key;
    hostControl->send(reinterpret_cast<HostMessage*>(&d));
}

int ReadInt(int table, int row, int column) {
    if (!hostControl) return 0;
    ColumnValue v;
    BuildIntValue(v);
    return hostControl->getColumn(table, row, column, &v);
}

const char* ReadText(int table, int row, int column, char* buffer, int size) {
    if (!hostControl) return "";
    ColumnValue v;
    BuildStringValue(v, buffer, size);
    const char* text = reinterpret_cast<const char*>(hostControl->getColumn(table, row, column, &v));
    return text ? text : "";
}

}  // namespace

int DeclareColumns() {
    if (!hostControl) return 1;
    for (const ColumnDefinition& c : kColumns) Declare(c);
    return 1;
}

int GetInt(int column) { return ReadInt(0, 0, column); }

const char* GetString(int column) { return ReadText(0, 0, column, nullptr, -1); }

void SetInt(int column, int value, int mask) {
    if (!hostControl) return;
    if (mask != -1) value = (GetInt(column) & ~mask) | value;
    ColumnValue v;
    BuildIntValue(v, value);
    hostControl->setColumn(0, 0, column, &v);
}

void SetString(int column, const char* text) {
    if (!hostControl) return;
    ColumnValue v;
    BuildStringValue(v, text ? text : "", 0);
    hostControl->setColumn(0, 0, column, &v);
}

int GetContactInt(int contact, int column) { return ReadInt(1, contact, column); }

const char* GetContactString(int row, int column, char* buffer, int size) {
    return ReadText(1, row | Host::kContactBit, column, buffer, size);
}

Decimal ReadDecimal(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) return {negative ? INT32_MIN : INT32_MAX, false};
    }
    return {static_cast<int32_t>(negative ? -value : value), true};
}

}  // namespace Tabs
