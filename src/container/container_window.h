// The container window's own object: made when the window is, kept in the
// window's GWLP_USERDATA (the window is ours), and deleted with it. It holds
// what the container keeps beyond the variables every part shares by name,
// each part in an object of its own, and answers the window's messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <unordered_set>

#include "container/bar_view.h"
#include "container/shown_order.h"
#include "container/tab_images.h"
#include "container/tab_drag.h"
#include "container/window_drop.h"

namespace Tabs {

class Container {
public:
    explicit Container(HWND window) : window(window), drag(window, bar), drop(window, bar) {}
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    // The object of a container window; null for none.
    static Container* Of(HWND window);
    // The window's messages from its creation to its WM_DESTROY.
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_GETMINMAXINFO, which comes before the object is made.
    static LRESULT OnGetMinMaxInfo(LPARAM lParam);

    BarView& Bar() { return bar; }
    TabDrag& Drag() { return drag; }
    WindowDrop& Drop() { return drop; }
    ShownOrder& Shown() { return shown; }
    TabImages& Images() { return images; }
    // The restored tabs whose conversations are opened only when first shown.
    std::unordered_set<int32_t>& Unopened() { return unopened; }

private:
    // container.cpp: the window's life and layout.
    LRESULT OnCreate();
    LRESULT OnSize(LPARAM lParam);
    LRESULT OnDestroy();
    // container_events.cpp: the user's gestures, the close request, timers.
    LRESULT OnActivate(WPARAM wParam);
    LRESULT OnClose();
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(LPARAM lParam);
    LRESULT OnTimer(WPARAM timer);
    LRESULT OnWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnMiddleClick();
    LRESULT OnRightDoubleClick();
    LRESULT OnRightClick(const NMMOUSE& info);

    HWND window;
    BarView bar;
    TabDrag drag;
    ShownOrder shown;
    TabImages images;
    std::unordered_set<int32_t> unopened;
    WindowDrop drop;
};

}  // namespace Tabs
