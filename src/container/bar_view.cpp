#include "container/bar_view.h"

#include <algorithm>
#include <string>

#include "container/container.h"
#include "conversations/attach.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "host/unique_handle.h"
#include "ui/switcher.h"

namespace Tabs {

namespace {

constexpr int kBarPadding = 4;  // the layout gives the bar four pixels less than its client height
constexpr char kAllTabsText[] = "»";
constexpr char kAllTabsTip[] = "Wszystkie rozmowy";
constexpr char kWaitingMark[] = "\tnowa wiadomość";
constexpr char kSearchText[] = "Szukaj… (Ctrl+K)";
// The fixed buttons never stand in the menu: the close button's id is free
// for the entry that opens the quick switcher.
constexpr int kSearchEntry = kCloseButtonId;

int StripWidth() { return 2 * GetSystemMetrics(SM_CXVSCROLL); }

void Show(HWND window, bool shown) {
    bool visible = window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (window && visible != shown) ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
}

// The toolbar gives itself its own height whenever it is sized, so a bar of
// height 0 would still cover the conversation: it is hidden instead.
void ShowBar(bool shown) { Show(tabBar.Window(), shown); }

// Menu texts: "&" would underline the next letter, a tab would split the item.
std::string MenuText(std::string text) {
    std::string shown;
    for (char ch : text) {
        if (ch == '&') shown += '&';
        shown += ch == '\t' || ch == '\r' || ch == '\n' ? ' ' : ch;
    }
    return shown;
}

UniqueMenu AllTabsMenu() {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    AppendMenuA(menu.Get(), MF_STRING, kSearchEntry, kSearchText);
    AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
    int count = tabBar.Count();
    for (int index = kFirstTabIndex; index < count; ++index) {
        ButtonId id{tabBar.CommandAt(index)};
        if (!IsTabButtonId(id)) continue;
        int32_t contact = ContactOf(id);
        std::string text = MenuText(GetTabName(contact, false));
        if (ListContains(waitingList, contact)) text += kWaitingMark;
        UINT flags = MF_STRING | (contact == currentCnt ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(menu.Get(), flags, static_cast<UINT_PTR>(id), text.c_str());
    }
    return menu;
}

void CopyToOwnText(NMTTDISPINFOA& info, const char* text) {
    lstrcpynA(info.szText, text, sizeof info.szText);
    info.lpszText = info.szText;
}

// The contact's information text in a buffer the host owns, line breaks as "/".
char* ContactTooltip(int contact) {
    std::string text = GetContactString(contact, Host::kContactInfo);
    char* buffer = hostControl ? hostControl->tempBuffer(static_cast<int>(text.size()) + 1) : nullptr;
    if (!buffer) return nullptr;
    for (char& ch : text)
        if (ch == '\n' || ch == '\r') ch = '/';
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    return buffer;
}

}  // namespace

BarView::Shape BarView::CurrentShape(int width) {
    return {tabBar.Window(), tabBar.Rows(), tabBar.ButtonHeight(), width};
}

// The toolbar takes the width of the window it lies in whenever it is sized.
void BarView::SetViewWidth(int width) const {
    RECT r{};
    if (!GetWindowRect(view, &r) || r.right - r.left == width) return;
    SetWindowPos(view, nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The bar's height with all its rows, wrapped in `width`; `sized` is its
// shape afterwards.
int BarView::FullHeight(int width) {
    SetViewWidth(width);
    if (!(CurrentShape(width) == sized)) {
        int rows = tabBar.Rows();
        tabBar.AutoSize();
        // The toolbar takes its height from the rows it had before it laid
        // its buttons out in the new width: once more gives the new rows'.
        if (tabBar.Rows() != rows) tabBar.AutoSize();
        sized = CurrentShape(width);
    }
    RECT client{};
    int height = GetClientRect(tabBar.Window(), &client) ? client.bottom - kBarPadding : 0;
    return height < 0 ? 0 : height;
}

// Rows that fit under the limit, never fewer than one; of the shape last
// sized, which every layout sizes first.
int BarView::RowsAllowed(int height, int limit) const {
    int rows = sized.rows;
    if (rowHeight <= 0) return rows;
    int frame = height - rows * rowHeight;
    return std::max(1, (limit - frame) / rowHeight);
}

bool BarView::Overflows(int height, int limit) {
    rowHeight = sized.buttonHeight;
    return sized.rows > RowsAllowed(height, limit);
}

// Whether the bar scrolls at this size, and its height with all its rows in
// the width it then has. The arrows and the menu take room beside the rows,
// so a scrolling bar wraps its buttons in a narrower width.
int BarView::DecideScrolling(int width, int limit) {
    int narrow = std::max(width - StripWidth(), 0);
    if (scrolling) {
        int height = FullHeight(narrow);
        Decision now{sized, limit, tabBar.Count()};
        // Far above the limit the whole width cannot hold the rows either:
        // it is tried only near the limit, and only after a change.
        if (now == decided || (Overflows(height, limit) && sized.rows > 2 * RowsAllowed(height, limit))) {
            decided = now;
            return height;
        }
    }
    int height = FullHeight(width);
    scrolling = Overflows(height, limit);
    if (!scrolling) return height;
    height = FullHeight(narrow);
    rowHeight = sized.buttonHeight;
    decided = {sized, limit, tabBar.Count()};
    return height;
}

int BarView::MaxFirstRow() const { return std::max(sized.rows - rowsShown, 0); }

// The shown tab's row comes into view with the least movement; a tab the
// user scrolled to stays where it is while the shown tab is in view.
void BarView::RevealShownTab() {
    int index = currentCnt ? tabBar.IndexOf(ButtonOf(currentCnt)) : -1;
    RECT r{};
    if (index >= kFirstTabIndex && rowHeight > 0 && tabBar.ItemRect(index, r)) {
        int row = r.top / rowHeight;
        if (row < firstRow)
            firstRow = row;
        else if (row >= firstRow + rowsShown)
            firstRow = row - rowsShown + 1;
    }
    firstRow = std::clamp(firstRow, 0, MaxFirstRow());
}

// The toolbar hangs in the view by whole rows.
void BarView::PlaceToolbar() const {
    HWND bar = tabBar.Window();
    int y = scrolling ? -firstRow * rowHeight : 0;
    RECT r{};
    if (!bar || !GetWindowRect(bar, &r)) return;
    MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&r), 2);
    if (r.left == 0 && r.top == y) return;
    SetWindowPos(bar, nullptr, 0, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The upper arrow counts up: at the first row the arrows stand at their top.
void BarView::SyncArrows() {
    int top = MaxFirstRow();
    int pos = top - firstRow;
    if (!arrows || (top == arrowsMax && pos == arrowsPos)) return;
    SendMessageA(arrows, UDM_SETRANGE32, 0, top);
    SendMessageA(arrows, UDM_SETPOS32, 0, pos);
    arrowsMax = top;
    arrowsPos = pos;
}

void BarView::AddTip(HWND control, const char* text) const {
    if (!controlTip || !control) return;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // the size every version of the control takes
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(controlTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void BarView::Create(HWND container) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(container, GWLP_HINSTANCE));
    view = CreateWindowExA(0, kContentClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0,
                           0, container, reinterpret_cast<HMENU>(kBarViewId), instance, nullptr);
    arrows = CreateWindowExA(0, UPDOWN_CLASSA, nullptr, WS_CHILD, 0, 0, 0, 0, container,
                             reinterpret_cast<HMENU>(kBarArrowsId), instance, nullptr);
    allTabs = CreateWindowExA(0, "STATIC", kAllTabsText, WS_CHILD | SS_NOTIFY | SS_CENTER | SS_CENTERIMAGE, 0, 0, 0,
                              0, container, reinterpret_cast<HMENU>(kAllTabsId), instance, nullptr);
    SendMessageA(allTabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    controlTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, container, nullptr, instance, nullptr);
    AddTip(allTabs, kAllTabsTip);
}

void BarView::Adopt() {
    HWND bar = tabBar.Window();
    if (!bar || !view) return;
    tabBar.SetNotifyWindow(GetParent(view));
    SetParent(bar, view);
}

int BarView::LayOut(int cx, int cy) {
    if (!tabBar.Window() || !view) return barHeight = 0;
    int width = std::max(cx, 0);
    int height = DecideScrolling(width, std::max(cy, 0) / 3);
    if (GetInt(Column::HideTabbarWhenOne) == 1 && tabBar.Count() == kFirstTabIndex + 1) {
        scrolling = false;
        height = 0;
    }
    if (!scrolling) {
        firstRow = 0;
        return barHeight = height;
    }
    int rows = sized.rows;
    rowsShown = RowsAllowed(height, std::max(cy, 0) / 3);
    RevealShownTab();
    return barHeight = height - (rows - rowsShown) * rowHeight;
}

BOOL BarView::PlaceAt(int top, int cx) {
    HWND bar = tabBar.Window();
    if (!bar || !view) return 0;
    ShowBar(barHeight != 0);
    Show(arrows, scrolling && barHeight != 0);
    Show(allTabs, scrolling && barHeight != 0);
    int width = scrolling ? std::max(cx - StripWidth(), 0) : cx;
    RECT r{};
    GetWindowRect(bar, &r);
    int viewHeight = barHeight == 0 ? 0 : scrolling ? barHeight : r.bottom - r.top;
    BOOL moved = Place(view, 0, top, width, viewHeight);
    PlaceToolbar();
    if (scrolling) {
        // The arrows stand beside the first two rows shown, the menu's
        // control beside the first.
        int arrowsWidth = StripWidth() / 2;
        Place(arrows, width, top, arrowsWidth, std::min(2 * rowHeight, barHeight));
        Place(allTabs, width + arrowsWidth, top, StripWidth() - arrowsWidth, std::min(rowHeight, barHeight));
        SyncArrows();
    }
    return moved;
}

void BarView::Scroll(int rows) {
    if (!scrolling || rows == 0) return;
    int first = std::clamp(firstRow + rows, 0, MaxFirstRow());
    if (first == firstRow) return;
    firstRow = first;
    PlaceToolbar();
    SyncArrows();
}

// The band of the bar: its view, and beside it the controls and the
// container's own background around them.
bool BarView::OnShownBar(POINT point) const {
    HWND under = WindowFromPoint(point);
    HWND container = GetParent(view);
    if (!under || !view) return false;
    if (under == view || IsChild(view, under) || under == arrows || under == allTabs) return true;
    RECT band{}, client{};
    if (under != container || !GetWindowRect(view, &band) || !GetClientRect(container, &client)) return false;
    MapWindowPoints(container, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return point.y >= band.top && point.y < band.bottom && point.x >= band.right && point.x < client.right;
}

bool BarView::Wheel(WPARAM wParam, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!scrolling || !OnShownBar(point)) return false;
    wheelRest += GET_WHEEL_DELTA_WPARAM(wParam);
    int notches = wheelRest / WHEEL_DELTA;
    wheelRest -= notches * WHEEL_DELTA;
    Scroll(-notches);
    return true;
}

// The dragged tab itself under the cursor means the user has not moved it yet.
void BarView::ScrollTowardCursor(ButtonId dragged) {
    POINT cursor{};
    RECT shown{};
    int command = -1;
    if (!GetCursorPos(&cursor) || !GetWindowRect(view, &shown) || rowHeight <= 0) return;
    if (!ButtonUnderCursor(command) || command == dragged || cursor.x < shown.left || cursor.x >= shown.right) return;
    int y = cursor.y - shown.top;
    if (y < 0 || y >= rowsShown * rowHeight) return;
    int row = y / rowHeight;
    if (rowsShown == 1)
        Scroll(y < rowHeight / 2 ? -1 : 1);
    else if (row == 0)
        Scroll(-1);
    else if (row == rowsShown - 1)
        Scroll(1);
}

bool BarView::OnShownRows(POINT screen, POINT& inBar) const {
    HWND bar = tabBar.Window();
    RECT r{}, shownPart{}, seen{};
    if (!bar || !GetWindowRect(bar, &r)) return false;
    // Rows scrolled out of the view lie under the conversation or outside the
    // container: a point there is not on the bar.
    if (!GetWindowRect(GetParent(bar), &seen) || !IntersectRect(&shownPart, &r, &seen)) return false;
    if (screen.x < shownPart.left || screen.x > shownPart.right || screen.y < shownPart.top ||
        screen.y > shownPart.bottom)
        return false;
    inBar = {screen.x - r.left, screen.y - r.top};
    return true;
}

bool BarView::ButtonUnderCursor(int& command) const {
    POINT cursor{}, inBar{};
    if (!GetCursorPos(&cursor) || !OnShownRows(cursor, inBar)) return false;
    command = tabBar.HitTest(inBar.x, inBar.y);
    return true;
}

LRESULT BarView::TooltipText(NMTTDISPINFOA& info) const {
    Log(kTrace, "Tabs::WndProc - TTN_GETDISPINFO");
    int command = -1;
    if (!ButtonUnderCursor(command)) return 0;
    switch (command) {
        case kCloseButtonId: CopyToOwnText(info, "Zamknij"); break;
        case kDetachButtonId: CopyToOwnText(info, "Odepnij"); break;
        case -1: CopyToOwnText(info, ""); break;  // between buttons: no contact's text
        default:
            if (char* text = ContactTooltip(ContactOf(ButtonId{command})))
                info.lpszText = text;
            else
                CopyToOwnText(info, "");
    }
    return 0;
}

LRESULT BarView::OnHotItemChange() const {
    if (tooltipWnd) SendMessageA(tooltipWnd, TTM_POP, 0, 0);
    return 0;
}

// The arrows keep the position the bar gives them: the change they propose
// only says which arrow was pressed.
LRESULT BarView::OnArrows(const NMUPDOWN& info) {
    if (!arrows || info.hdr.hwndFrom != arrows) return 0;
    if (info.iDelta != 0) Scroll(info.iDelta > 0 ? -1 : 1);
    return 1;
}

bool BarView::IsAllTabsControl(LPARAM control) const { return allTabs && reinterpret_cast<HWND>(control) == allTabs; }

// Every tab in bar order; choosing one is a click on its tab. The menu opens
// on the press and stands beside the control, never under the cursor, so
// that the release does not choose an item by itself.
void BarView::ShowAllTabsMenu() const {
    Log(kTrace, "Tabs::ShowAllTabsMenu - count: %d", tabBar.Count());
    HWND container = GetParent(view);
    TPMPARAMS beside{};
    beside.cbSize = sizeof beside;
    if (!container || !GetWindowRect(allTabs, &beside.rcExclude)) return;
    UniqueMenu menu = AllTabsMenu();
    if (!menu) return;
    const RECT& at = beside.rcExclude;
    UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTALIGN | (tabsAlign != 0 ? TPM_TOPALIGN : TPM_BOTTOMALIGN);
    int chosen = TrackPopupMenuEx(menu.Get(), flags, at.left, tabsAlign != 0 ? at.top : at.bottom, container, &beside);
    menu.Reset();
    if (chosen == kSearchEntry) {
        HWND focus = GetFocus();
        ToggleSwitcher(focus && GetAncestor(focus, GA_ROOT) == container ? focus : container);
    } else if (chosen > 0 && tabBar.Exists(chosen)) {
        MoveToWnd(ContactOf(ButtonId{chosen}));
    }
}

}  // namespace Tabs
