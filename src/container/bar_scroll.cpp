#include "container/bar_scroll.h"

#include <algorithm>
#include <string>

#include "container/container.h"
#include "container/tab_bar.h"
#include "conversations/attach.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "ui/switcher.h"

namespace Tabs {

HWND barViewWnd = nullptr;

namespace {

constexpr int kBarPadding = 4;  // the layout gives the bar four pixels less than its client height
constexpr UINT kDragScrollPeriod = 300;  // ms per row while a dragged tab waits on the first or last row
constexpr char kAllTabsText[] = "»";
constexpr char kAllTabsTip[] = "Wszystkie rozmowy";
constexpr char kWaitingMark[] = "\tnowa wiadomość";
constexpr char kSearchText[] = "Szukaj… (Ctrl+K)";
// The fixed buttons never stand in the menu: the close button's id is free
// for the entry that opens the quick switcher.
constexpr int kSearchEntry = kCloseButtonId;

HWND arrowsWnd = nullptr;  // the two small arrows beside the rows
HWND allTabsWnd = nullptr;  // the control that opens the menu of every tab
// The controls' own tooltips: the bar's tooltip control holds one tool per
// button and goes with the bar when it is built anew.
HWND controlTipWnd = nullptr;

// What the toolbar's own size follows: its rows, its button height and the
// width it wraps in. TB_AUTOSIZE lays every button out again, so the bar is
// sized only when one of those has changed.
struct BarShape {
    HWND bar;
    int rows;
    int buttonHeight;
    int width;
    bool operator==(const BarShape& o) const {
        return bar == o.bar && rows == o.rows && buttonHeight == o.buttonHeight && width == o.width;
    }
};
BarShape sizedShape{};

// The narrow shape, the height limit and the number of buttons for which the
// bar was last found to need scrolling; the same bar under that limit still
// does. A button fewer can leave the narrow rows as they were and still let
// every row fit in the whole width.
struct ScrollDecision {
    BarShape shape;
    int limit;
    int buttons;
    bool operator==(const ScrollDecision& o) const {
        return shape == o.shape && limit == o.limit && buttons == o.buttons;
    }
};
ScrollDecision decided{};

bool scrolling = false;  // not every row fits
int firstRow = 0;        // the first row shown while scrolling
int rowsShown = 0;       // how many rows the view shows while scrolling
int rowHeight = 0;
int barHeight = 0;       // the height the content gives up
int wheelRest = 0;       // wheel movement short of a whole notch
int dragItem = 0;        // the tab being dragged, while the drag scrolls
int arrowsMax = -1, arrowsPos = -1;  // what the arrows were last told

BarShape CurrentShape(int width) { return {tabBar.Window(), tabBar.Rows(), tabBar.ButtonHeight(), width}; }

int StripWidth() { return 2 * GetSystemMetrics(SM_CXVSCROLL); }

// The toolbar takes the width of the window it lies in whenever it is sized.
void SetViewWidth(int width) {
    RECT r{};
    if (!GetWindowRect(barViewWnd, &r) || r.right - r.left == width) return;
    SetWindowPos(barViewWnd, nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The bar's height with all its rows, wrapped in `width`.
int FullHeight(int width) {
    SetViewWidth(width);
    if (!(CurrentShape(width) == sizedShape)) {
        int rows = tabBar.Rows();
        tabBar.AutoSize();
        // The toolbar takes its height from the rows it had before it laid
        // its buttons out in the new width: once more gives the new rows'.
        if (tabBar.Rows() != rows) tabBar.AutoSize();
        sizedShape = CurrentShape(width);
    }
    RECT client{};
    int height = GetClientRect(tabBar.Window(), &client) ? client.bottom - kBarPadding : 0;
    return height < 0 ? 0 : height;
}

// Rows that fit under the limit, never fewer than one.
int RowsAllowed(int height, int limit) {
    int rows = tabBar.Rows();
    if (rowHeight <= 0) return rows;
    int frame = height - rows * rowHeight;
    return std::max(1, (limit - frame) / rowHeight);
}

bool Overflows(int height, int limit) {
    rowHeight = tabBar.ButtonHeight();
    return tabBar.Rows() > RowsAllowed(height, limit);
}

// Whether the bar scrolls at this size, and its height with all its rows in
// the width it then has. The arrows and the menu take room beside the rows,
// so a scrolling bar wraps its buttons in a narrower width.
int DecideScrolling(int width, int limit) {
    int narrow = std::max(width - StripWidth(), 0);
    if (scrolling) {
        int height = FullHeight(narrow);
        ScrollDecision now{CurrentShape(narrow), limit, tabBar.Count()};
        // Far above the limit the whole width cannot hold the rows either:
        // it is tried only near the limit, and only after a change.
        if (now == decided || (Overflows(height, limit) && tabBar.Rows() > 2 * RowsAllowed(height, limit))) {
            decided = now;
            return height;
        }
    }
    int height = FullHeight(width);
    scrolling = Overflows(height, limit);
    if (!scrolling) return height;
    height = FullHeight(narrow);
    rowHeight = tabBar.ButtonHeight();
    decided = {CurrentShape(narrow), limit, tabBar.Count()};
    return height;
}

int MaxFirstRow() { return std::max(tabBar.Rows() - rowsShown, 0); }

// The shown tab's row comes into view with the least movement; a tab the
// user scrolled to stays where it is while the shown tab is in view.
void RevealShownTab() {
    int index = currentCnt ? tabBar.IndexOf(ButtonId(currentCnt)) : -1;
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
void PlaceToolbar() {
    HWND bar = tabBar.Window();
    int y = scrolling ? -firstRow * rowHeight : 0;
    RECT r{};
    if (!bar || !GetWindowRect(bar, &r)) return;
    MapWindowPoints(nullptr, barViewWnd, reinterpret_cast<POINT*>(&r), 2);
    if (r.left == 0 && r.top == y) return;
    SetWindowPos(bar, nullptr, 0, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The upper arrow counts up: at the first row the arrows stand at their top.
void SyncArrows() {
    int top = MaxFirstRow();
    int pos = top - firstRow;
    if (!arrowsWnd || (top == arrowsMax && pos == arrowsPos)) return;
    SendMessageA(arrowsWnd, UDM_SETRANGE32, 0, top);
    SendMessageA(arrowsWnd, UDM_SETPOS32, 0, pos);
    arrowsMax = top;
    arrowsPos = pos;
}

void Show(HWND window, bool shown) {
    bool visible = window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (window && visible != shown) ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
}

// The toolbar gives itself its own height whenever it is sized, so a bar of
// height 0 would still cover the conversation: it is hidden instead.
void ShowBar(bool shown) { Show(tabBar.Window(), shown); }

void AddTip(HWND control, const char* text) {
    if (!controlTipWnd || !control) return;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // the size every version of the control takes
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(controlTipWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// Menu texts: "&" would underline the next letter, a tab would split the item.
std::string MenuText(std::string text) {
    std::string shown;
    for (char ch : text) {
        if (ch == '&') shown += '&';
        shown += ch == '\t' || ch == '\r' || ch == '\n' ? ' ' : ch;
    }
    return shown;
}

HMENU AllTabsMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AppendMenuA(menu, MF_STRING, kSearchEntry, kSearchText);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    int count = tabBar.Count();
    for (int index = kFirstTabIndex; index < count; ++index) {
        int id = tabBar.CommandAt(index);
        if (!IsTabButtonId(id)) continue;
        int32_t contact = ContactOf(id);
        std::string text = MenuText(GetTabName(contact, false));
        if (ListContains(waitingList, contact)) text += kWaitingMark;
        UINT flags = MF_STRING | (contact == currentCnt ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(menu, flags, static_cast<UINT_PTR>(id), text.c_str());
    }
    return menu;
}

}  // namespace

void CreateBarView(HWND container) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(container, GWLP_HINSTANCE));
    barViewWnd = CreateWindowExA(0, kContentClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                                 0, 0, 0, container, reinterpret_cast<HMENU>(kBarViewId), instance, nullptr);
    arrowsWnd = CreateWindowExA(0, UPDOWN_CLASSA, nullptr, WS_CHILD, 0, 0, 0, 0, container,
                                reinterpret_cast<HMENU>(kBarArrowsId), instance, nullptr);
    allTabsWnd = CreateWindowExA(0, "STATIC", kAllTabsText, WS_CHILD | SS_NOTIFY | SS_CENTER | SS_CENTERIMAGE, 0, 0,
                                 0, 0, container, reinterpret_cast<HMENU>(kAllTabsId), instance, nullptr);
    SendMessageA(allTabsWnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    controlTipWnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, container, nullptr, instance, nullptr);
    AddTip(allTabsWnd, kAllTabsTip);
    sizedShape = {};
    decided = {};
    scrolling = false;
    firstRow = rowsShown = rowHeight = barHeight = wheelRest = dragItem = 0;
    arrowsMax = arrowsPos = -1;
}

void AdoptBar() {
    HWND bar = tabBar.Window();
    if (!bar || !barViewWnd) return;
    tabBar.SetNotifyWindow(GetParent(barViewWnd));
    SetParent(bar, barViewWnd);
}

void ForgetBarView() {
    barViewWnd = arrowsWnd = allTabsWnd = controlTipWnd = nullptr;
    scrolling = false;
}

int LayOutBar(int cx, int cy) {
    if (!tabBar.Window() || !barViewWnd) return barHeight = 0;
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
    int rows = tabBar.Rows();
    rowsShown = RowsAllowed(height, std::max(cy, 0) / 3);
    RevealShownTab();
    return barHeight = height - (rows - rowsShown) * rowHeight;
}

BOOL PlaceBar(int top, int cx) {
    HWND bar = tabBar.Window();
    if (!bar || !barViewWnd) return 0;
    ShowBar(barHeight != 0);
    Show(arrowsWnd, scrolling && barHeight != 0);
    Show(allTabsWnd, scrolling && barHeight != 0);
    int width = scrolling ? std::max(cx - StripWidth(), 0) : cx;
    RECT r{};
    GetWindowRect(bar, &r);
    int viewHeight = barHeight == 0 ? 0 : scrolling ? barHeight : r.bottom - r.top;
    BOOL moved = Place(barViewWnd, 0, top, width, viewHeight);
    PlaceToolbar();
    if (scrolling) {
        // The arrows stand beside the first two rows shown, the menu's
        // control beside the first.
        int arrowsWidth = StripWidth() / 2;
        Place(arrowsWnd, width, top, arrowsWidth, std::min(2 * rowHeight, barHeight));
        Place(allTabsWnd, width + arrowsWidth, top, StripWidth() - arrowsWidth, std::min(rowHeight, barHeight));
        SyncArrows();
    }
    return moved;
}

void ScrollBar(int rows) {
    if (!scrolling || rows == 0) return;
    int first = std::clamp(firstRow + rows, 0, MaxFirstRow());
    if (first == firstRow) return;
    firstRow = first;
    PlaceToolbar();
    SyncArrows();
}

bool BarScrolls() { return scrolling; }

// The band of the bar: its view, and beside it the controls and the
// container's own background around them.
bool OnShownBar(POINT point) {
    HWND under = WindowFromPoint(point);
    if (!under || !barViewWnd) return false;
    if (under == barViewWnd || IsChild(barViewWnd, under) || under == arrowsWnd || under == allTabsWnd) return true;
    RECT band{}, client{};
    if (under != containerWnd || !GetWindowRect(barViewWnd, &band) || !GetClientRect(containerWnd, &client)) return false;
    MapWindowPoints(containerWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return point.y >= band.top && point.y < band.bottom && point.x >= band.right && point.x < client.right;
}

bool WheelOverBar(WPARAM wParam, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!scrolling || !OnShownBar(point)) return false;
    wheelRest += GET_WHEEL_DELTA_WPARAM(wParam);
    int notches = wheelRest / WHEEL_DELTA;
    wheelRest -= notches * WHEEL_DELTA;
    ScrollBar(-notches);
    return true;
}

// The arrows keep the position the bar gives them: the change they propose
// only says which arrow was pressed.
LRESULT OnBarArrows(const NMUPDOWN& info) {
    if (!arrowsWnd || info.hdr.hwndFrom != arrowsWnd) return 0;
    if (info.iDelta != 0) ScrollBar(info.iDelta > 0 ? -1 : 1);
    return 1;
}

bool IsAllTabsControl(LPARAM control) { return allTabsWnd && reinterpret_cast<HWND>(control) == allTabsWnd; }

// Every tab in bar order; choosing one is a click on its tab. The menu opens
// on the press and stands beside the control, never under the cursor, so
// that the release does not choose an item by itself.
void ShowAllTabsMenu() {
    Log(kTrace, "Tabs::ShowAllTabsMenu - count: %d", tabBar.Count());
    TPMPARAMS beside{};
    beside.cbSize = sizeof beside;
    if (!containerWnd || !GetWindowRect(allTabsWnd, &beside.rcExclude)) return;
    HMENU menu = AllTabsMenu();
    if (!menu) return;
    const RECT& at = beside.rcExclude;
    UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTALIGN | (tabsAlign != 0 ? TPM_TOPALIGN : TPM_BOTTOMALIGN);
    int chosen = TrackPopupMenuEx(menu, flags, at.left, tabsAlign != 0 ? at.top : at.bottom, containerWnd, &beside);
    DestroyMenu(menu);
    if (chosen == kSearchEntry) {
        HWND focus = GetFocus();
        ToggleSwitcher(focus && GetAncestor(focus, GA_ROOT) == containerWnd ? focus : containerWnd);
    } else if (chosen > 0 && tabBar.Exists(chosen)) {
        MoveToWnd(ContactOf(chosen));
    }
}

void StartDragScroll(int item) {
    if (!scrolling || !containerWnd) return;
    dragItem = item;
    SetTimer(containerWnd, kDragScrollTimer, kDragScrollPeriod, nullptr);
}

void StopDragScroll() {
    dragItem = 0;
    if (containerWnd) KillTimer(containerWnd, kDragScrollTimer);
}

// The toolbar holds the mouse from the press on a button to its release. The
// dragged tab itself under the cursor means the user has not moved it yet.
void OnDragScrollTimer() {
    if (!scrolling || !tabBar.Window() || GetCapture() != tabBar.Window()) return StopDragScroll();
    POINT cursor{};
    RECT view{};
    int command = -1;
    if (!GetCursorPos(&cursor) || !GetWindowRect(barViewWnd, &view) || rowHeight <= 0) return;
    if (!ButtonUnderCursor(command) || command == dragItem || cursor.x < view.left || cursor.x >= view.right) return;
    int y = cursor.y - view.top;
    if (y < 0 || y >= rowsShown * rowHeight) return;
    int row = y / rowHeight;
    if (rowsShown == 1)
        ScrollBar(y < rowHeight / 2 ? -1 : 1);
    else if (row == 0)
        ScrollBar(-1);
    else if (row == rowsShown - 1)
        ScrollBar(1);
}

}  // namespace Tabs
