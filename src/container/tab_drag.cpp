#include "container/tab_drag.h"

#include <windowsx.h>

#include <ctime>

#include "container/bar_view.h"
#include "container/container.h"
#include "container/container_window.h"
#include "conversations/attach.h"
#include "ui/elements.h"

namespace Tabs {

namespace {

constexpr clock_t kDragThreshold = 200;  // ms; a shorter press is a click

POINT CursorPos() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor;
}

bool OutsideContainer(POINT at) {
    RECT r{};
    return containerWnd && GetWindowRect(containerWnd, &r) && !PtInRect(&r, at);
}

// A tab dropped on another tab takes its place: it goes in before a tab it
// came from behind, after one it came from before. Dropped where no button
// lies, it goes to the end of the bar. The fixed buttons take no tab.
void MoveDropped(int item, int target) {
    if (IsFixedButton(item) || IsFixedButton(target)) return;
    int at = target == -1 ? tabBar.Count() : tabBar.IndexOf(target);
    PlaceTab(ButtonId{item}, target != -1 && at > tabBar.IndexOf(item) ? at + 1 : at);
}

}  // namespace

void TabDrag::Watch(HWND bar) {
    if (!bar) return;
    auto own =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DragWatchProc)));
    if (own) barProc = own;
}

void TabDrag::StartScroll() {
    if (!view.Scrolls()) return;
    SetTimer(container, kDragScrollTimer, kDragScrollPeriod, nullptr);
}

void TabDrag::StopScroll() { KillTimer(container, kDragScrollTimer); }

// The toolbar holds the mouse from the press on a button to its release.
void TabDrag::OnScrollTimer() {
    if (!view.Scrolls() || !tabBar.Window() || GetCapture() != tabBar.Window()) return StopScroll();
    view.ScrollTowardCursor(dragged);
}

// The cursor is the module's own and shared: it is not destroyed, but one
// still shown gives way to the arrow.
TabDrag::~TabDrag() {
    if (tearOffCursor && GetCursor() == tearOffCursor) SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

// Letting go here makes a window of the tab.
HCURSOR TabDrag::TearOffCursor() {
    if (!tearOffCursor) tearOffCursor = LoadCursorA(OwnModule(), MAKEINTRESOURCEA(Cursor::TearOffResource));
    return tearOffCursor;
}

// Inside the container the dragged tab is moved on the bar (the hand);
// outside, the cursor shows whether letting go tears it off.
void TabDrag::ShowCursor() {
    HCURSOR out = outside && tearable ? TearOffCursor() : nullptr;
    SetCursor(out ? out : LoadCursor(nullptr, IDC_HAND));
}

void TabDrag::Follow(HWND bar, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(bar, &at);
    bool out = OutsideContainer(at);
    if (out && !outside) tearable = CanTearOff(ContactOf(dragged));
    outside = out;
    ShowCursor();
}

Answer TabDrag::BarMessage(HWND bar, UINT message, LPARAM lParam) {
    bool dragging = dragged != 0 && GetCapture() == bar;
    switch (message) {
        case WM_MOUSEMOVE:
            if (dragging) Follow(bar, lParam);
            break;
        case WM_SETCURSOR:
            if (dragging) {
                ShowCursor();
                return TRUE;
            }
            break;
        case WM_NCDESTROY: SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(barProc)); break;
    }
    return {};
}

LRESULT TabDrag::OnBegin(const NMTOOLBARA& info) {
    bool tab = info.iItem != 0 && !IsFixedButton(info.iItem);
    if (tab) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        StartScroll();
    }
    dragged = ButtonId{tab ? info.iItem : 0};
    outside = false;
    tearable = false;
    dragStart = clock();
    Log(kTrace, "Tabs::WM_NOTIFY(TBN_BEGINDRAG) - cnt: %d", info.iItem);
    return 0;
}

// Let go off the bar: a tab dragged out of the container and let go there
// tears off; anywhere else nothing happens. The press's start time stays
// until the next press.
LRESULT TabDrag::DroppedOffBar(int item) {
    POINT at = CursorPos();
    if (item == dragged && outside && OutsideContainer(at)) TearOff(ContactOf(dragged), at);
    dragged = ButtonId{0};
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return 0;
}

LRESULT TabDrag::OnEnd(const NMTOOLBARA& info) {
    StopScroll();
    if (info.iItem != 0 && clock() - dragStart > kDragThreshold) {
        Log(kTrace, "Tabs::WM_NOTIFY(TBN_ENDDRAG) - cnt: %d", info.iItem);
        int target = -1;
        if (!view.ButtonUnderCursor(target)) return DroppedOffBar(info.iItem);
        MoveDropped(info.iItem, target);
        dragStart = 0;
    }
    dragged = ButtonId{0};
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return 0;
}

// The bar is told to let go of the mouse, which ends its own drag without a
// notice.
void TabDrag::ComeToRest() {
    StopScroll();
    HWND bar = tabBar.Window();
    bool held = bar && GetCapture() == bar;
    if (held) SendMessageA(bar, WM_CANCELMODE, 0, 0);
    if (held || dragged != 0) SetCursor(LoadCursor(nullptr, IDC_ARROW));
    dragged = ButtonId{0};
    outside = false;
    tearable = false;
}

// Every message the tab bar is sent passes here: the others go straight on.
LRESULT CALLBACK DragWatchProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Container* owner = Container::Of(containerWnd);
    TabDrag* drag = owner ? &owner->Drag() : nullptr;
    if (drag && (message == WM_MOUSEMOVE || message == WM_SETCURSOR || message == WM_NCDESTROY)) {
        Answer answer = Answered("Tabs::DragWatchProc", [&] { return drag->BarMessage(bar, message, lParam); });
        if (answer) return *answer;
    }
    WNDPROC own = drag ? drag->BarProc() : nullptr;
    return own ? CallWindowProcW(own, bar, message, wParam, lParam) : DefWindowProcW(bar, message, wParam, lParam);
}

}  // namespace Tabs
