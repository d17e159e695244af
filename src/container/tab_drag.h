// A tab dragged on the bar: moved to another place on it, scrolling the bar
// while it waits on the first or last row shown, or torn off the container.
// The press's start time is the shared Tabs::dragStart (container.h).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "host/host.h"

namespace Tabs {

class BarView;

class TabDrag {
public:
    TabDrag(HWND container, BarView& view) : container(container), view(view) {}
    ~TabDrag();
    TabDrag(const TabDrag&) = delete;
    TabDrag& operator=(const TabDrag&) = delete;

    // The toolbar keeps the mouse while one of its buttons is dragged, so only
    // the bar's own messages tell where a dragged tab is: each new bar is
    // watched for them.
    void Watch(HWND bar);
    // The watched bar's messages: the plug-in's answer, or none to pass the
    // message on to the bar's own procedure.
    Answer BarMessage(HWND bar, UINT message, LPARAM lParam);
    WNDPROC BarProc() const { return barProc; }

    LRESULT OnBegin(const NMTOOLBARA& info);
    LRESULT OnEnd(const NMTOOLBARA& info);
    void OnScrollTimer();

    // The drag's handling was abandoned half-way by a fault: the drag ends as
    // if the button had been let go where nothing happens.
    void ComeToRest();

private:
    void StartScroll();
    void StopScroll();
    HCURSOR TearOffCursor();
    void ShowCursor();
    void Follow(HWND bar, LPARAM lParam);
    LRESULT DroppedOffBar(int item);

    HWND container;
    BarView& view;
    // The tab being dragged (0 for none), whether the drag was last seen
    // outside the container, and whether its tab can leave the container.
    ButtonId dragged{0};
    bool outside = false;
    bool tearable = false;
    WNDPROC barProc = nullptr;  // the toolbar's own procedure, the same for every bar
    HCURSOR tearOffCursor = nullptr;  // the module's own, shared

};

// The tab bar's window procedure while it is watched.
LRESULT CALLBACK DragWatchProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace Tabs
