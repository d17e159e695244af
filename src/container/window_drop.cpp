#include "container/window_drop.h"

#include <climits>

#include "container/bar_view.h"
#include "container/container.h"
#include "container/container_window.h"
#include "conversations/attach.h"
#include "host/host.h"

namespace Tabs {

namespace {

constexpr UINT kFollowPeriod = 30;  // ms between two looks at the cursor while a window is carried

POINT CursorPos() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor;
}

bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// The system's move loop holds the mouse: these events are all the plug-in
// hears of it. They come through the thread's message retrieval, so the end
// arrives once the loop has put the window where it stays.
void CALLBACK MoveSizeEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                            DWORD) noexcept {
    if (!window || object != OBJID_WINDOW || child != CHILDID_SELF) return;
    Answered("Tabs::MoveSizeEvent", [&] {
        Log(kTrace, "Tabs::MoveSizeEvent - %s", event == EVENT_SYSTEM_MOVESIZESTART ? "start" : "end");
        if (Container* owner = Container::Of(containerWnd)) {
            if (event == EVENT_SYSTEM_MOVESIZESTART)
                owner->Drop().OnMoveStart(window);
            else
                owner->Drop().OnMoveEnd(window);
        }
        return Answer(0);
    });
}

}  // namespace

// Out of context, for the host's thread only: the plug-in's code is called
// from the thread's own message retrieval, never from another process.
void WindowDrop::Watch() {
    hook = UniqueWinEventHook(SetWinEventHook(EVENT_SYSTEM_MOVESIZESTART, EVENT_SYSTEM_MOVESIZEEND, nullptr,
                                              MoveSizeEvent, GetCurrentProcessId(), GetCurrentThreadId(),
                                              WINEVENT_OUTOFCONTEXT));
    if (!hook) Log(kError, "Tabs::WindowDrop - brak zdarzeń przesuwania okien");
}

// Only a window moved by its caption is carried: a size loop, or a move
// while no tab is open (the container hidden, no bar to drop onto), is not.
void WindowDrop::OnMoveStart(HWND window) {
    if (carried || !IsWindowVisible(container) || IsIconic(container)) return;
    POINT cursor = CursorPos();
    if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) != HTCAPTION) return;
    int32_t cnt = DetachedConversation(window);
    if (!cnt || !LockAllows()) return;
    Log(kTrace, "Tabs::WindowDrop - carried, cnt=%d", cnt);
    carried = window;
    contact = cnt;
    GetWindowRect(window, &startRect);
    pressedAt = lastSeen = cursor;
    moved = false;
    SetTimer(container, kDropFollowTimer, kFollowPeriod, nullptr);
    SetTimer(container, kDropScrollTimer, kDragScrollPeriod, nullptr);
}

// Esc puts the window back where it was: a window that has not moved was
// not let go anywhere.
void WindowDrop::OnMoveEnd(HWND window) {
    if (!carried || window != carried) return;
    RECT now{};
    bool letGo = moved && GetWindowRect(window, &now) && !EqualRect(&now, &startRect);
    int position = letGo ? PositionAt(CursorPos()) : -1;
    int32_t cnt = contact;
    ComeToRest();
    if (position >= 0) DropIn(cnt, window, position);
}

// A look costs the same whatever the number of tabs: the cursor, then, when
// it has moved, one hit test and at most one change of the mark.
void WindowDrop::OnFollowTimer() {
    if (!carried || !IsWindow(carried)) return ComeToRest();
    POINT cursor = CursorPos();
    if (cursor == lastSeen) return;
    lastSeen = cursor;
    if (!moved) {
        int dx = GetSystemMetrics(SM_CXDRAG), dy = GetSystemMetrics(SM_CYDRAG);
        if (cursor.x - pressedAt.x <= dx && pressedAt.x - cursor.x <= dx && cursor.y - pressedAt.y <= dy &&
            pressedAt.y - cursor.y <= dy)
            return;
        moved = true;
    }
    ShowMark(PositionAt(cursor));
}

// Held over the first or the last row shown, the bar scrolls as it does for
// a dragged tab; the mark is looked for again at the next look.
void WindowDrop::OnScrollTimer() {
    if (!carried) return ComeToRest();
    if (!moved || !view.Scrolls()) return;
    view.ScrollTowardCursor(ButtonId{0});
    lastSeen = {LONG_MIN, LONG_MIN};
}

void WindowDrop::ComeToRest() {
    KillTimer(container, kDropFollowTimer);
    KillTimer(container, kDropScrollTimer);
    ShowMark(-1);
    carried = nullptr;
    contact = 0;
    moved = false;
}

bool WindowDrop::OffTheBar() const { return !tabBar.Window() || !IsWindowVisible(tabBar.Window()); }

// Where on the bar a point would put the tab: before a tab when it lies on
// its first half, after it on its second, past the last button where no
// button lies; -1 off the rows shown and on the fixed buttons.
int WindowDrop::PositionAt(POINT cursor) const {
    POINT inBar{};
    if (OffTheBar() || !view.OnShownRows(cursor, inBar)) return -1;
    int index = tabBar.IndexAt(inBar);
    if (index < 0) return tabBar.Count();
    if (index < kFirstTabIndex) return -1;
    RECT r{};
    return tabBar.ItemRect(index, r) && inBar.x > (r.left + r.right) / 2 ? index + 1 : index;
}

// The mark stands before the button at the position, or after the last one.
void WindowDrop::ShowMark(int position) {
    if (position == marked) return;
    marked = position;
    int count = tabBar.Count();
    if (position < 0)
        tabBar.SetInsertMark(-1, false);
    else if (position < count)
        tabBar.SetInsertMark(position, false);
    else
        tabBar.SetInsertMark(count - 1, true);
}

}  // namespace Tabs
