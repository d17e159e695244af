// The tab bar: a thin class over the toolbar control, one operation per
// toolbar message. The rest of the plug-in never sends toolbar messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "host/ids.h"

namespace Tabs {

class TabImages;

constexpr int kCloseButtonId = 0xFFFF;
constexpr int kDetachButtonId = 0xFFFE;
constexpr int kFirstTabIndex = 2;
constexpr int kTabStyle = BTNS_SHOWTEXT | BTNS_AUTOSIZE;
static_assert(kTabStyle == 0x50);

inline bool IsFixedButton(int id) { return id == kCloseButtonId || id == kDetachButtonId; }
// A click reports only the low 16 bits of a command id, and the two highest
// belong to the fixed buttons: a tab works only with a button id in 1..65533.
inline bool IsTabButtonId(int id) { return id >= 1 && id < kDetachButtonId; }

// The control lays every button out again, measuring every text, whenever a
// button is added, deleted, hidden or given a new text or image through its
// button information, and on every TB_AUTOSIZE and resize: with hundreds of
// tabs that is milliseconds each time. So an unchanged text or image is not
// sent again, and an image that replaces another is not sent at all: the
// container draws the bar's images (TabImages) and repaints only the image.
struct ButtonImage {
    int id;
    int iconId;
};

// A button to append, with the text it shows.
struct NewButton {
    int id;
    std::string text;
    int iconId;
};

class TabBar {
public:
    void Create(HWND parent, DWORD style, DWORD exStyle);
    // Appends a button; refuses (and logs) an id that is already on the bar
    // or that is neither a fixed button's nor a usable tab's.
    bool AddButton(int id, const char* text, int iconId, int style);
    // Appends many tabs' buttons in one message, so that the control lays
    // its buttons out once for all of them; an id that is not a usable
    // tab's, or is on the bar already, or repeats one before it, is left
    // out.
    void AddButtons(const std::vector<NewButton>& buttons, int style);
    LRESULT SetImage(int id, int iconId);
    LRESULT SetImageIndex(int id, int image);
    // SetImage for many buttons at once, repainting only what changed.
    void SetImages(const std::vector<ButtonImage>& images);
    int Image(int id);
    int State(int id);
    LRESULT SetState(int id, int state);
    std::string Text(int id);
    LRESULT Check(int id, bool on);
    LRESULT Press(int id, bool on);
    LRESULT Hide(int id, bool hide);
    LRESULT SetText(int id, const char* text);
    LRESULT AutoSize();
    int Rows();
    int ButtonHeight();
    int Count();
    int IndexOf(int id);
    int CommandAt(int index);
    int HitTest(int x, int y);
    // The control's own hit test (TB_HITTEST), one message whatever the
    // number of buttons: the index of the shown button under a point of the
    // bar, or -1.
    int IndexAt(POINT point);
    bool ItemRect(int index, RECT& rect);
    // The bar's insertion mark before the button at an index, or after it;
    // index -1 takes the mark away.
    LRESULT SetInsertMark(int index, bool after);
    LRESULT Move(int fromIndex, int toIndex);
    bool Exists(int key, bool byIndex = false);
    // Where commands and notices go, whichever window the bar lies in.
    void SetNotifyWindow(HWND window);
    LRESULT Delete(int key, bool byIndex = false);

    HWND Window() const { return window; }
    HWND Parent() const { return parent; }

private:
    int ImageIndex(int iconId);
    void RepaintAppended(HRGN pending);
    TabImages* Drawn();
    int Kept(int id, int image);
    LRESULT ReplaceImage(int id, int old, int image);
    void RepaintImage(int id);
    LRESULT Message(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    HWND window = nullptr;
    HWND parent = nullptr;
};

extern TabBar tabBar;

// Whether the contact has a tab: a contact whose button id belongs to a
// fixed button never has one.
bool HasTab(int contact);

// Host icon id showing a contact's status; status -1 reads it from the contact.
int StatusIcon(int contact, int status);
// The same, told whether the "Merulka" plug-in is loaded: whoever reads many
// contacts' icons at once asks the host that only once.
int StatusIcon(int contact, int status, bool iconPluginLoaded);
// Index of a host icon in the host's image list; an icon the host does not
// know shows as its icon 13.
int ImageIndexOf(int iconId);
// Host icon id showing an unread message.
int MessageIcon(int contact);

}  // namespace Tabs
