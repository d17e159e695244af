#include "ui/switcher.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "container/container.h"
#include "container/tab_bar.h"
#include "conversations/attach.h"
#include "conversations/registry.h"
#include "host/host.h"
#include "host/unique_handle.h"
#include "ui/switcher_filter.h"

namespace Tabs {

namespace {

constexpr int kEditId = 1;
constexpr int kListId = 2;
constexpr int kEmptyId = 3;
constexpr UINT kFollow = WM_APP + 1;       // make the list again
constexpr UINT kDeactivated = WM_APP + 2;  // another window was activated
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
// Flat borders: Wine takes several milliseconds more to show the controls
// with sunken edges.
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
// The rows are drawn from the switcher's own list of them: the list box
// holds no data, only their number.
constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kEmptyStyle = WS_CHILD | WS_BORDER | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX;
constexpr int kRowsShown = 12;
constexpr int kWidth = 400;
constexpr int kMargin = 6;
constexpr int kGap = 6;      // around the icon and before the waiting mark
constexpr int kIconSize = 16;  // when the host gives no image list
// More contacts than any contact list holds: a count beyond it is garbage.
constexpr int kMostContacts = 100000;
// Characters the keys typed with Ctrl make, which a plain edit control
// would insert or beep at.
constexpr WPARAM kCtrlA = 0x01, kCtrlK = 0x0B, kCtrlEnter = '\n', kCtrlBackspace = 0x7F, kEscape = 0x1B;

constexpr char kCue[] = "Wpisz nazwę kontaktu";
constexpr char kNothingMatches[] = "Brak pasujących rozmów";
constexpr char kWaitingMark[] = "nowa wiadomość";

bool CtrlAlone() { return KeyDown(VK_CONTROL) && !KeyDown(VK_MENU); }

struct Row {
    int32_t contact;
    std::string name;    // as the host gives it
    std::string folded;  // what typing is compared with
    int image;           // in the host's image list; -1 for none
    bool waiting;
};

// The host's icons of the rows, each looked up once per opening.
class RowReader {
public:
    RowReader() : iconPlugin(PluginLoaded(Host::kIconPluginSignature)) {}

    Row Read(int32_t contact, bool waiting, bool tab) {
        Row row{contact, GetTabName(contact, false), {}, ImageOf(StatusIcon(contact, -1, iconPlugin)), waiting};
        // A tab of a contact the host no longer names keeps its tab's text.
        if (row.name.empty() && tab) row.name = tabBar.Text(ButtonOf(contact));
        row.folded = Fold(row.name);
        return row;
    }

private:
    int ImageOf(int icon) {
        auto known = indexes.find(icon);
        if (known == indexes.end()) known = indexes.emplace(icon, icon ? ImageIndexOf(icon) : -1).first;
        return known->second;
    }

    bool iconPlugin;
    std::unordered_map<int, int> indexes;  // image index by host icon id
};

std::vector<int32_t> TabContacts() {
    std::vector<int32_t> tabs;
    int count = tabBar.Count();
    for (int index = kFirstTabIndex; index < count; ++index) {
        ButtonId id{tabBar.CommandAt(index)};
        if (IsTabButtonId(id)) tabs.push_back(ContactOf(id));
    }
    return tabs;
}

std::vector<int32_t> TableContacts() {
    std::vector<int32_t> table;
    int count = std::clamp(static_cast<int>(Send(Host::kContactCount)), 0, kMostContacts);
    for (int position = 0; position < count; ++position)
        if (int32_t contact = ContactOfRef({position})) table.push_back(contact);
    return table;
}

// A tab is shown as a click on it shows it; any other contact's
// conversation is opened by the host, and arrives as a tab the usual way.
void GoTo(int32_t contact) {
    Log(kTrace, "Tabs::Switcher - wybrano: %d", contact);
    if (HasTab(contact))
        MoveToWnd(contact);
    else
        CallAction({Host::kActionOpenConversation, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
}

class Switcher {
public:
    Switcher(HWND window, HWND focusBefore) : window(window), focusBefore(focusBefore) {}

    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_CREATE: return OnCreate();
            case WM_ACTIVATE: return OnActivate(wParam);
            case WM_CLOSE: return Close(true);
            case WM_COMMAND: return OnCommand(wParam);
            case WM_MEASUREITEM: return lParam ? OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)) : FALSE;
            case WM_DRAWITEM: return lParam ? OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) : FALSE;
            case WM_CTLCOLORSTATIC: return OnEmptyColours(reinterpret_cast<HDC>(wParam));
            case WM_MOUSEWHEEL: return SendMessageA(list, message, wParam, lParam);
            case WM_DESTROY: return OnDestroy();
            case kFollow: return OnFollow();
            case kDeactivated: return OnDeactivated();
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    Answer EditMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_KEYDOWN: return OnEditKey(wParam, lParam);
            case WM_CHAR: return OnEditChar(wParam);
            case WM_MOUSEWHEEL: return SendMessageA(list, message, wParam, lParam);
            case WM_PAINT: return OnEditPaint(wParam, lParam);
        }
        return {};
    }

    Answer ListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_LBUTTONDOWN: return OnClick(lParam, false);
            case WM_LBUTTONDBLCLK: return OnClick(lParam, true);
            case LB_GETITEMDATA: return OnItemData(wParam);
            case LB_GETTEXTLEN: return OnTextLength(wParam);
            case LB_GETTEXT: return OnText(wParam, reinterpret_cast<char*>(lParam));
        }
        return {};
    }

    // Opens the list as the window shows: the rows read from the host once.
    void Show() {
        MakeList();
        Filter(0);
        ShowWindow(window, SW_SHOW);
        SetFocus(edit);
    }

    void Follow() {
        if (followPending) return;
        followPending = PostMessageA(window, kFollow, 0, 0) != 0;
    }

    // Destroys the window, and with it this object: nothing may touch it
    // afterwards.
    LRESULT Close(bool giveFocusBack) {
        closing = true;
        HWND self = window;
        if (giveFocusBack && IsWindow(focusBefore) && IsWindowVisible(focusBefore)) SetFocus(focusBefore);
        DestroyWindow(self);
        return 0;
    }

private:
    // --- making the window ------------------------------------------------

    HWND Child(const char* cls, const char* text, DWORD style, int id) {
        auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
        HWND child = CreateWindowExA(0, cls, text, style, 0, 0, 0, 0, window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return child;
    }

    int TextHeight() {
        TEXTMETRICA metrics{};
        HDC dc = GetDC(window);
        if (!dc) return kIconSize;
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
        return metrics.tmHeight;
    }

    LRESULT OnCreate() {
        images = reinterpret_cast<HIMAGELIST>(Send(Host::kImageList, 1));
        if (!images || !ImageList_GetIconSize(images, &iconCx, &iconCy)) iconCx = iconCy = kIconSize;
        int textHeight = TextHeight();
        rowHeight = std::max(iconCy, textHeight) + 4;
        edit = Child("EDIT", "", kEditStyle, kEditId);
        list = Child("LISTBOX", nullptr, kListStyle, kListId);
        empty = Child("STATIC", kNothingMatches, kEmptyStyle, kEmptyId);
        if (!edit || !list || !empty) return -1;
        editProc = Replace(edit, EditProc);
        listProc = Replace(list, ListProc);
        LayOut(textHeight + 2 * GetSystemMetrics(SM_CYBORDER) + 6);
        return 0;
    }

    // Over the owner's top centre, wholly on its screen.
    void LayOut(int editHeight) {
        int listHeight = kRowsShown * rowHeight + 2 * GetSystemMetrics(SM_CYBORDER);
        int width = kWidth;
        int height = 3 * kMargin + editHeight + listHeight + 2 * GetSystemMetrics(SM_CYBORDER);
        MoveWindow(edit, kMargin, kMargin, width - 2 * kMargin - 2, editHeight, FALSE);
        int listTop = 2 * kMargin + editHeight;
        MoveWindow(list, kMargin, listTop, width - 2 * kMargin - 2, listHeight, FALSE);
        MoveWindow(empty, kMargin, listTop, width - 2 * kMargin - 2, listHeight, FALSE);
        HWND owner = GetWindow(window, GW_OWNER);
        RECT frame{};
        POINT client{};
        GetWindowRect(owner, &frame);
        ClientToScreen(owner, &client);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        int x = std::max(work.left, std::min((frame.left + frame.right - width) / 2, work.right - width));
        int y = std::max(work.top, std::min(client.y + kMargin, work.bottom - height));
        SetWindowPos(window, HWND_TOP, x, y, width, height, SWP_NOACTIVATE);
    }

    LRESULT OnDestroy() {
        Restore(edit, editProc);
        Restore(list, listProc);
        return 0;
    }

    // --- the rows -----------------------------------------------------------

    void MakeList() {
        SwitcherSources sources;
        sources.waiting = waitingList;
        sources.tabs = TabContacts();
        sources.shown = ShownTabs(sources.tabs);
        sources.current = currentCnt;
        sources.table = TableContacts();
        const std::unordered_set<int32_t> waiting(waitingList.begin(), waitingList.end());
        const std::unordered_set<int32_t> tabs(sources.tabs.begin(), sources.tabs.end());
        RowReader reader;
        rows.clear();
        for (int32_t contact : SwitcherOrder(sources))
            rows.push_back(reader.Read(contact, waiting.count(contact) != 0, tabs.count(contact) != 0));
        Log(kTrace, "Tabs::Switcher - wierszy: %d", static_cast<int>(rows.size()));
    }

    // The rows that hold what was typed, in their order; the row of `kept`
    // stays chosen where it is still there, else the first.
    void Filter(int32_t kept) {
        SwitcherQuery query = ParseQuery(WindowText(edit));
        shown.clear();
        for (size_t i = 0; i < rows.size(); ++i)
            if (NameMatches(rows[i].folded, query)) shown.push_back(i);
        int chosen = 0;
        for (size_t i = 0; kept && i < shown.size(); ++i)
            if (rows[shown[i]].contact == kept) chosen = static_cast<int>(i);
        SendMessageA(list, LB_SETCOUNT, shown.size(), 0);
        SendMessageA(list, LB_SETCURSEL, shown.empty() ? -1 : chosen, 0);
        ShowWindow(list, shown.empty() ? SW_HIDE : SW_SHOW);
        ShowWindow(empty, shown.empty() ? SW_SHOW : SW_HIDE);
    }

    const Row* RowAt(WPARAM index) const { return index < shown.size() ? &rows[shown[index]] : nullptr; }

    const Row* Chosen() const { return RowAt(static_cast<WPARAM>(SendMessageA(list, LB_GETCURSEL, 0, 0))); }

    LRESULT OnFollow() {
        followPending = false;
        const Row* chosen = Chosen();
        int32_t kept = chosen ? chosen->contact : 0;
        MakeList();
        Filter(kept);
        return 0;
    }

    // A contact the host has forgotten since the list was made is not
    // opened: the list is made again without it.
    LRESULT Choose() {
        const Row* row = Chosen();
        if (!row) return 0;
        int32_t contact = row->contact;
        if (!HasTab(contact) && Send(Host::kContactExists, contact) == 0) return OnFollow();
        Close(true);
        GoTo(contact);
        return 0;
    }

    // --- the window's own messages --------------------------------------------

    LRESULT OnActivate(WPARAM wParam) {
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(edit);
        else if (!closing)
            PostMessageA(window, kDeactivated, 0, 0);
        return 0;
    }

    // The focus goes back only into the window that is active now: another
    // window the user went to keeps it.
    LRESULT OnDeactivated() {
        HWND root = IsWindow(focusBefore) ? GetAncestor(focusBefore, GA_ROOT) : nullptr;
        return Close(root && GetActiveWindow() == root);
    }

    LRESULT OnCommand(WPARAM wParam) {
        if (LOWORD(wParam) != kEditId || HIWORD(wParam) != EN_CHANGE) return 0;
        // The cue text goes and comes back with the first character.
        if (GetWindowTextLengthA(edit) <= 1) InvalidateRect(edit, nullptr, TRUE);
        Filter(0);
        return 0;
    }

    LRESULT OnMeasureItem(MEASUREITEMSTRUCT& item) {
        item.itemHeight = static_cast<UINT>(rowHeight);
        return TRUE;
    }

    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) {
        const Row* row = RowAt(item.itemID);
        if (item.CtlID != kListId || !row) return TRUE;
        HDC dc = item.hDC;
        RECT r = item.rcItem;
        bool selected = (item.itemState & ODS_SELECTED) != 0;
        FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        if (HICON icon = IconOf(row->image))
            DrawIconEx(dc, r.left + kGap, r.top + (r.bottom - r.top - iconCy) / 2, icon, iconCx, iconCy, 0, nullptr,
                       DI_NORMAL);
        RECT text{r.left + 2 * kGap + iconCx, r.top, r.right - kGap, r.bottom};
        constexpr UINT kLine = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (row->waiting) {
            RECT mark = text;
            DrawTextA(dc, kWaitingMark, -1, &mark, kLine | DT_CALCRECT);
            int markWidth = mark.right - mark.left;
            mark = text;
            DrawTextA(dc, kWaitingMark, -1, &mark, kLine | DT_RIGHT);
            text.right -= markWidth + kGap;
        }
        DrawTextA(dc, row->name.c_str(), static_cast<int>(row->name.size()), &text, kLine | DT_END_ELLIPSIS);
        return TRUE;
    }

    // Drawn from the image list, an image takes the system ten times as
    // long as its icon drawn on its own: each image is taken out once.
    HICON IconOf(int image) {
        if (!images || image < 0) return nullptr;
        auto taken = icons.find(image);
        if (taken == icons.end())
            taken = icons.emplace(image, UniqueIcon(ImageList_GetIcon(images, image, ILD_NORMAL))).first;
        return taken->second.Get();
    }

    LRESULT OnEmptyColours(HDC dc) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }

    // --- the edit field -------------------------------------------------------

    // The list's own keys move its selection.
    LRESULT ToList(WPARAM key) {
        SendMessageA(list, WM_KEYDOWN, key, 0);
        return 0;
    }

    // A plain edit control has no Ctrl+Backspace: the word before the caret
    // goes, or the selection when there is one.
    LRESULT DeleteWordBack() {
        DWORD from = 0, to = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        if (from == to) from = static_cast<DWORD>(WordStartBefore(WindowText(edit), from));
        SendMessageA(edit, EM_SETSEL, from, to);
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
        return 0;
    }

    Answer OnEditKey(WPARAM key, LPARAM lParam) {
        switch (key) {
            case VK_UP:
            case VK_DOWN:
            case VK_PRIOR:
            case VK_NEXT: return ToList(key);
            case VK_HOME:
            case VK_END:
                if (CtrlAlone()) return ToList(key);
                break;
            case VK_RETURN: return Choose();
            case VK_ESCAPE: return Close(true);
            case VK_BACK:
                if (CtrlAlone()) return DeleteWordBack();
                break;
        }
        if (IsSwitcherKey(key)) return IsRepeat(lParam) ? 0 : Close(true);
        if (CtrlAlone() && IsKeyOf(key, 'a')) {
            SendMessageA(edit, EM_SETSEL, 0, -1);
            return 0;
        }
        return {};
    }

    Answer OnEditChar(WPARAM character) {
        switch (character) {
            case kCtrlA:
            case kCtrlK:
            case kCtrlEnter:
            case '\r':
            case kCtrlBackspace:
            case kEscape: return 0;
        }
        return {};
    }

    // An empty field shows what to type, greyed, where the text would stand.
    Answer OnEditPaint(WPARAM wParam, LPARAM lParam) {
        LRESULT painted = CallWindowProcA(editProc, edit, WM_PAINT, wParam, lParam);
        if (GetWindowTextLengthA(edit) != 0) return painted;
        RECT r{};
        SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
        HDC dc = GetDC(edit);
        if (!dc) return painted;
        HideCaret(edit);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)));
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, kCue, -1, &r, DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(edit, dc);
        ShowCaret(edit);
        return painted;
    }

    // --- the list -------------------------------------------------------------

    // A click chooses a row without taking the focus from the edit field,
    // so that typing goes on; a double click also takes the row.
    LRESULT OnClick(LPARAM point, bool twice) {
        LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, point);
        if (HIWORD(hit) != 0 || !RowAt(LOWORD(hit))) return 0;
        SendMessageA(list, LB_SETCURSEL, LOWORD(hit), 0);
        return twice ? Choose() : 0;
    }

    // The list keeps no rows of its own: it answers for them from the
    // switcher's, as a list of strings would, for whoever reads it.
    LRESULT OnItemData(WPARAM index) {
        const Row* row = RowAt(index);
        return row ? row->contact : LB_ERR;
    }

    LRESULT OnTextLength(WPARAM index) {
        const Row* row = RowAt(index);
        return row ? static_cast<LRESULT>(row->name.size()) : LB_ERR;
    }

    LRESULT OnText(WPARAM index, char* buffer) {
        const Row* row = RowAt(index);
        if (!row || !buffer) return LB_ERR;
        row->name.copy(buffer, row->name.size());
        buffer[row->name.size()] = '\0';
        return static_cast<LRESULT>(row->name.size());
    }

    // The field and the list are the switcher's own children: their
    // procedures are replaced by the switcher's and put back before they go.
    // (Not through the common controls' subclass calls, which older systems
    // export by number only.)
    static WNDPROC Replace(HWND child, WNDPROC proc) {
        return reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    }

    static void Restore(HWND child, WNDPROC proc) {
        if (child && proc) SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    }

    static Switcher* OfChild(HWND child);

    static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        Switcher* self = OfChild(edit);
        if (!self) return DefWindowProcA(edit, message, wParam, lParam);
        Answer answer = Answered("Tabs::Switcher (edit)", [&] { return self->EditMessage(message, wParam, lParam); });
        return answer ? *answer : CallWindowProcA(self->editProc, edit, message, wParam, lParam);
    }

    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        Switcher* self = OfChild(list);
        if (!self) return DefWindowProcA(list, message, wParam, lParam);
        Answer answer = Answered("Tabs::Switcher (list)", [&] { return self->ListMessage(message, wParam, lParam); });
        return answer ? *answer : CallWindowProcA(self->listProc, list, message, wParam, lParam);
    }

    HWND window;
    HWND focusBefore;  // where the focus goes back to
    HWND edit = nullptr;
    HWND list = nullptr;
    HWND empty = nullptr;  // "Brak pasujących rozmów" in the list's place
    WNDPROC editProc = nullptr;  // the field's and the list's own procedures
    WNDPROC listProc = nullptr;
    HIMAGELIST images = nullptr;  // the host's
    std::unordered_map<int, UniqueIcon> icons;  // by image index, as drawn
    int iconCx = kIconSize, iconCy = kIconSize;
    int rowHeight = kIconSize;
    std::vector<Row> rows;     // every row, in their order
    std::vector<size_t> shown;  // the rows that hold what was typed
    bool followPending = false;
    bool closing = false;
};

Switcher* SwitcherOf(HWND window) { return reinterpret_cast<Switcher*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

Switcher* Switcher::OfChild(HWND child) { return SwitcherOf(GetParent(child)); }

// The window owns its object from its first message on to its last.
LRESULT SwitcherMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* switcher = new (std::nothrow) Switcher(window, static_cast<HWND>(create->lpCreateParams));
        if (!switcher) return FALSE;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(switcher));
    }
    Switcher* switcher = SwitcherOf(window);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete switcher;
        switcher = nullptr;
    }
    return switcher ? switcher->Message(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

HWND FindSwitcher() {
    for (HWND window = FindWindowExA(nullptr, nullptr, kSwitcherClass, nullptr); window;
         window = FindWindowExA(nullptr, window, kSwitcherClass, nullptr)) {
        bool ours = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
                    GetClassLongPtrA(window, GCLP_WNDPROC) == reinterpret_cast<ULONG_PTR>(SwitcherProc);
        if (ours && SwitcherOf(window)) return window;
    }
    return nullptr;
}

void OpenSwitcher(HWND from) {
    HWND owner = from ? GetAncestor(from, GA_ROOT) : nullptr;
    if (!owner) owner = containerWnd;
    HINSTANCE instance = AppInstance();
    if (!owner || !instance) return;
    Log(kTrace, "Tabs::OpenSwitcher");
    HWND window = CreateWindowExA(kExStyle, kSwitcherClass, "", kStyle, 0, 0, 0, 0, owner, nullptr, instance, from);
    if (!window) {
        Log(kError, "Tabs::OpenSwitcher - okno nie utworzone");
        return;
    }
    SwitcherOf(window)->Show();
}

}  // namespace

LRESULT CALLBACK SwitcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Answer answer = Answered("Tabs::SwitcherProc", [&] { return SwitcherMessage(window, message, wParam, lParam); });
    return answer ? *answer : DefWindowProcA(window, message, wParam, lParam);
}

bool IsSwitcherKey(WPARAM key) { return CtrlAlone() && IsKeyOf(key, 'k'); }

bool IsRepeat(LPARAM keyData) { return (HIWORD(keyData) & KF_REPEAT) != 0; }

void ToggleSwitcher(HWND from) {
    if (HWND open = FindSwitcher())
        SwitcherOf(open)->Close(true);
    else
        OpenSwitcher(from);
}

void CloseSwitcher() {
    if (HWND open = FindSwitcher()) SwitcherOf(open)->Close(false);
}

void SwitcherFollow() {
    if (HWND open = FindSwitcher()) SwitcherOf(open)->Follow();
}

}  // namespace Tabs
