// The tab bar's place in the container. The toolbar sits in a window of its
// own (the bar's view) that shows at most a third of the container's client
// height of its rows; the rows that do not fit scroll, one row at a time,
// with the wheel, with the arrows beside the rows, and while a tab is dragged
// onto the first or last row shown. Beside the arrows, a menu lists every
// tab while not all of them fit, under an entry that opens the quick
// switcher.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "host/ids.h"

namespace Tabs {

constexpr int kBarViewId = 11;
constexpr int kBarArrowsId = 12;
constexpr int kAllTabsId = 13;

class BarView {
public:
    // The view, the arrows and the menu control, as children of the
    // container; the toolbar comes in with Adopt.
    void Create(HWND container);
    // Puts a newly made toolbar into the view; its commands and notices still
    // go to the container.
    void Adopt();
    HWND Window() const { return view; }

    // Lays the bar out for a client area of cx by cy: its height, its rows
    // shown and the shown tab among them. Returns the height the content
    // gives up, 0 when the bar is hidden.
    int LayOut(int cx, int cy);
    // Puts the view and the controls beside it in their place with the bar's
    // top edge at `top`; returns nonzero when the view had to move.
    BOOL PlaceAt(int top, int cx);

    // Scrolls by whole rows (negative: towards the first row).
    void Scroll(int rows);
    // Whether not every row fits, so that the bar scrolls.
    bool Scrolls() const { return scrolling; }
    // Takes a wheel message whose point lies over the bar while it scrolls;
    // false leaves it to whoever would take it otherwise.
    bool Wheel(WPARAM wParam, LPARAM lParam);
    // A tab dragged onto the first or last row shown (and off the tab itself)
    // scrolls the bar a row that way.
    void ScrollTowardCursor(ButtonId dragged);

    // Whether a point of the screen lies on the part of the bar's window
    // rectangle that the view shows (edges inclusive); `inBar` is then the
    // point in the bar's own coordinates.
    bool OnShownRows(POINT screen, POINT& inBar) const;
    // Button under the cursor: false when the cursor lies off the rows shown;
    // otherwise `command` is the hit test's answer.
    bool ButtonUnderCursor(int& command) const;
    // The answer to TTN_GETDISPINFOA: the fixed buttons' names or the
    // contact's information text (line breaks as "/"); nothing off the
    // buttons.
    LRESULT TooltipText(NMTTDISPINFOA& info) const;
    // The bar's one tooltip tool covers every button: when the cursor passes
    // to another button the tip goes, and the next one asks its text anew.
    LRESULT OnHotItemChange() const;

    // The container's answers to the controls beside the rows.
    LRESULT OnArrows(const NMUPDOWN& info);
    bool IsAllTabsControl(LPARAM control) const;
    void ShowAllTabsMenu() const;

private:
    // What the toolbar's own size follows: its rows, its button height and
    // the width it wraps in. TB_AUTOSIZE lays every button out again, so the
    // bar is sized only when one of those has changed.
    struct Shape {
        HWND bar;
        int rows;
        int buttonHeight;
        int width;
        bool operator==(const Shape& o) const {
            return bar == o.bar && rows == o.rows && buttonHeight == o.buttonHeight && width == o.width;
        }
    };
    // The narrow shape, the height limit and the number of buttons for which
    // the bar was last found to need scrolling; the same bar under that limit
    // still does. A button fewer can leave the narrow rows as they were and
    // still let every row fit in the whole width.
    struct Decision {
        Shape shape;
        int limit;
        int buttons;
        bool operator==(const Decision& o) const {
            return shape == o.shape && limit == o.limit && buttons == o.buttons;
        }
    };

    static Shape CurrentShape(int width);
    void SetViewWidth(int width) const;
    int FullHeight(int width);
    int RowsAllowed(int height, int limit) const;
    bool Overflows(int height, int limit);
    int DecideScrolling(int width, int limit);
    int MaxFirstRow() const;
    void RevealShownTab();
    void PlaceToolbar() const;
    void SyncArrows();
    void AddTip(HWND control, const char* text) const;
    bool OnShownBar(POINT point) const;

    HWND view = nullptr;
    HWND arrows = nullptr;   // the two small arrows beside the rows
    HWND allTabs = nullptr;  // the control that opens the menu of every tab
    // The controls' own tooltips, apart from the bar's.
    HWND controlTip = nullptr;

    Shape sized{};
    Decision decided{};
    bool scrolling = false;  // not every row fits
    int firstRow = 0;        // the first row shown while scrolling
    int rowsShown = 0;       // how many rows the view shows while scrolling
    int rowHeight = 0;
    int barHeight = 0;       // the height the content gives up
    int wheelRest = 0;       // wheel movement short of a whole notch
    int arrowsMax = -1, arrowsPos = -1;  // what the arrows were last told
};

}  // namespace Tabs
