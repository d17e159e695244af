// A detached conversation window carried by its caption over the tab bar:
// the bar marks where it would go back in as a tab, and letting it go there
// attaches it at that place. The window keeps the host's own procedure: the
// system reports the start and the end of every move or size loop of the
// host's thread, and while a window is carried the cursor is followed from
// the container's timers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/unique_handle.h"

namespace Tabs {

class BarView;

class WindowDrop {
public:
    WindowDrop(HWND container, BarView& view) : container(container), view(view) {}
    WindowDrop(const WindowDrop&) = delete;
    WindowDrop& operator=(const WindowDrop&) = delete;

    // From now until the object goes, the system tells it of the moves.
    void Watch();

    void OnMoveStart(HWND window);
    void OnMoveEnd(HWND window);
    void OnFollowTimer();
    void OnScrollTimer();

    // No window is carried any longer: the timers stop and the mark goes.
    void ComeToRest();

private:
    bool OffTheBar() const;
    int PositionAt(POINT cursor) const;
    void ShowMark(int position);

    HWND container;
    BarView& view;
    UniqueWinEventHook hook;
    // The window carried (null for none), its contact, where the window
    // and the cursor were when the move began, whether the cursor has left
    // that place yet, and where it was last seen.
    HWND carried = nullptr;
    int32_t contact = 0;
    RECT startRect{};
    POINT pressedAt{};
    bool moved = false;
    POINT lastSeen{};
    int marked = -1;  // the position the bar's mark shows; -1 for none
};

}  // namespace Tabs
