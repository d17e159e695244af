#include "container/tab_bar.h"

#include <cstring>
#include <string>
#include <unordered_set>

#include "container/container_window.h"
#include "host/columns.h"
#include "host/host.h"
#include "host/unique_handle.h"

namespace Tabs {

TabBar tabBar;

namespace {

constexpr int kBarId = 10;
constexpr DWORD kBarBaseStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_TRANSPARENT;
static_assert(kBarBaseStyle == 0x56008000);
constexpr int kAppendIndex = 0x3FFF;
constexpr int kNoImage = I_IMAGENONE;
static_assert(kNoImage == -2);
constexpr size_t kTextCompared = 256;  // a longer text is sent without comparing
constexpr int kInsertMarkReach = 4;    // the mark is drawn within this many pixels of a button's edge

bool IsImage(int index) { return index >= 0 && index <= 0xFFFF; }

}  // namespace

LRESULT TabBar::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    return window ? SendMessageA(window, message, wParam, lParam) : 0;
}

void TabBar::Create(HWND parentWindow, DWORD style, DWORD exStyle) {
    parent = parentWindow;
    window = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style | kBarBaseStyle, 0, 0, 500, 20, parentWindow,
                             reinterpret_cast<HMENU>(kBarId), AppInstance(), nullptr);
    if (!window) return;
    Message(TB_SETEXTENDEDSTYLE, 0, exStyle);
    Message(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    Message(TB_SETIMAGELIST, 0, Send(Host::kImageList, 1));
}

int TabBar::ImageIndex(int iconId) { return ImageIndexOf(iconId); }

bool TabBar::AddButton(int id, const char* text, int iconId, int style) {
    if (!IsFixedButton(id) && !IsTabButtonId(id)) {
        Log(kError, "TabBar::AddButton - id poza zakresem: %d", id);
        return false;
    }
    if (Exists(id)) {
        Log(kError, "TabBar::AddButton - id już istnieje: %d", id);
        return false;
    }
    TBBUTTON button{};
    button.iBitmap = Kept(id, iconId ? ImageIndex(iconId) : kNoImage);
    button.idCommand = id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = static_cast<BYTE>(style ? style : BTNS_AUTOSIZE);
    button.dwData = static_cast<DWORD_PTR>(id);
    button.iString = reinterpret_cast<INT_PTR>(text ? text : "");
    int rows = Rows();
    int height = ButtonHeight();
    UniqueRegion pending(CreateRectRgn(0, 0, 0, 0));
    bool pendingKnown = pending && window && GetUpdateRgn(window, pending.Get(), FALSE) != ERROR;
    bool added = Message(TB_INSERTBUTTONA, kAppendIndex, reinterpret_cast<LPARAM>(&button)) != 0;
    if (!added) Kept(id, kNoImage);
    if (added && pendingKnown && rows == Rows() && height == ButtonHeight()) RepaintAppended(pending.Get());
    return added;
}

void TabBar::AddButtons(const std::vector<NewButton>& buttons, int style) {
    std::vector<TBBUTTON> added;
    std::unordered_set<int> ids;
    for (const NewButton& b : buttons) {
        if (!IsTabButtonId(b.id) || Exists(b.id) || !ids.insert(b.id).second) continue;
        TBBUTTON button{};
        button.iBitmap = Kept(b.id, b.iconId ? ImageIndex(b.iconId) : kNoImage);
        button.idCommand = b.id;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = static_cast<BYTE>(style);
        button.dwData = static_cast<DWORD_PTR>(b.id);
        button.iString = reinterpret_cast<INT_PTR>(b.text.c_str());
        added.push_back(button);
    }
    if (added.empty() || Message(TB_ADDBUTTONSA, added.size(), reinterpret_cast<LPARAM>(added.data()))) return;
    for (const TBBUTTON& button : added) Kept(button.idCommand, kNoImage);
}

// A button appended in the rows the bar already had moves none of the
// others, yet the control repaints them all: only what was to be repainted
// before, and the new button, are.
void TabBar::RepaintAppended(HRGN pending) {
    RECT added{};
    if (!Message(TB_GETITEMRECT, Count() - 1, reinterpret_cast<LPARAM>(&added))) return;
    ValidateRect(window, nullptr);
    InvalidateRgn(window, pending, TRUE);
    InvalidateRect(window, &added, TRUE);
}

TabImages* TabBar::Drawn() {
    Container* container = Container::Of(parent);
    return container && container->Images().Drawing() ? &container->Images() : nullptr;
}

// What the toolbar is given for a button's image: a button whose image the
// container draws carries I_IMAGECALLBACK, and its image is kept there.
int TabBar::Kept(int id, int image) {
    TabImages* drawn = Drawn();
    if (!drawn) return image;
    if (!IsImage(image)) {
        drawn->Forget(id);
        return image;
    }
    drawn->SetImage(id, image);
    return I_IMAGECALLBACK;
}

LRESULT TabBar::SetImage(int id, int iconId) { return SetImageIndex(id, iconId ? ImageIndex(iconId) : kNoImage); }

// An image that replaces another on a button whose image the container
// draws costs the toolbar nothing: only the image's part is repainted.
LRESULT TabBar::SetImageIndex(int id, int image) {
    TabImages* drawn = Drawn();
    int old = drawn ? drawn->Image(id) : kNoImage;
    if (IsImage(old) && IsImage(image)) {
        if (old != image) {
            drawn->SetImage(id, image);
            RepaintImage(id);
        }
        return 1;
    }
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    if (Message(TB_GETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info)) == -1) return 0;
    return ReplaceImage(id, info.iImage == I_IMAGECALLBACK ? old : info.iImage, image);
}

// TB_CHANGEBITMAP keeps only the low word of the index, which turns "no
// image" (-2) into image 65534, and lays nothing out again although a button
// with an image is wider than one without: it serves only when both the old
// and the new image are images. The button information carries any index.
LRESULT TabBar::ReplaceImage(int id, int old, int image) {
    if (old == image) return 1;
    if (IsImage(old) && IsImage(image)) return Message(TB_CHANGEBITMAP, id, MAKELPARAM(image, 0));
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    info.iImage = Kept(id, image);
    return Message(TB_SETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info));
}

void TabBar::SetImages(const std::vector<ButtonImage>& images) {
    for (const ButtonImage& button : images) SetImage(button.id, button.iconId);
}

// Only the part of the button its image takes, and only where the bar's view
// shows it.
void TabBar::RepaintImage(int id) {
    TabImages* drawn = Drawn();
    RECT button{}, seen{}, shown{};
    HWND view = GetParent(window);
    if (!drawn || !Message(TB_GETRECT, id, reinterpret_cast<LPARAM>(&button)) || !GetClientRect(view, &seen)) return;
    MapWindowPoints(view, window, reinterpret_cast<POINT*>(&seen), 2);
    RECT part = drawn->ImagePart(button);
    if (IntersectRect(&shown, &part, &seen)) InvalidateRect(window, &shown, TRUE);
}

int TabBar::Image(int id) {
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    if (Message(TB_GETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info)) == -1) return kNoImage;
    TabImages* drawn = Drawn();
    return info.iImage == I_IMAGECALLBACK && drawn ? drawn->Image(id) : info.iImage;
}

int TabBar::State(int id) { return window ? static_cast<int>(Message(TB_GETSTATE, id)) : -1; }

LRESULT TabBar::SetState(int id, int state) { return Message(TB_SETSTATE, id, MAKELPARAM(state, 0)); }

std::string TabBar::Text(int id) {
    int length = static_cast<int>(Message(TB_GETBUTTONTEXTA, id));
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    Message(TB_GETBUTTONTEXTA, id, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

LRESULT TabBar::Check(int id, bool on) { return Message(TB_CHECKBUTTON, id, on); }

LRESULT TabBar::Press(int id, bool on) { return Message(TB_PRESSBUTTON, id, on); }

LRESULT TabBar::Hide(int id, bool hide) { return Message(TB_HIDEBUTTON, id, hide); }

LRESULT TabBar::SetText(int id, const char* text) {
    if (!text) text = "";
    char shown[kTextCompared] = {};
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = shown;
    info.cchText = sizeof shown;
    if (Message(TB_GETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info)) == -1) return 0;
    if (std::strlen(text) < sizeof shown - 1 && std::strcmp(shown, text) == 0) return 1;
    info.pszText = const_cast<char*>(text);
    return Message(TB_SETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info));
}

LRESULT TabBar::AutoSize() { return Message(TB_AUTOSIZE); }

int TabBar::Rows() { return static_cast<int>(Message(TB_GETROWS)); }

int TabBar::ButtonHeight() { return HIWORD(Message(TB_GETBUTTONSIZE)); }

int TabBar::Count() { return static_cast<int>(Message(TB_BUTTONCOUNT)); }

int TabBar::IndexOf(int id) { return window ? static_cast<int>(Message(TB_COMMANDTOINDEX, id)) : -1; }

int TabBar::CommandAt(int index) {
    TBBUTTON button{};
    if (!Message(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return -1;
    return button.idCommand;
}

int TabBar::HitTest(int x, int y) {
    int count = Count();
    for (int index = 0; index < count; ++index) {
        RECT r{};
        if (!ItemRect(index, r)) continue;
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom) return CommandAt(index);
    }
    return -1;
}

// A point beside the buttons gives a negative number, which names the
// nearest button on Windows and is -1 under Wine.
int TabBar::IndexAt(POINT point) {
    auto index = static_cast<int>(Message(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    return window && index >= 0 ? index : -1;
}

bool TabBar::ItemRect(int index, RECT& rect) { return Message(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != 0; }

// The control repaints the whole bar for a new mark, every button of every
// row: only what was to be repainted before, and the strips of the old and
// the new mark, are.
LRESULT TabBar::SetInsertMark(int index, bool after) {
    TBINSERTMARK mark{index, static_cast<DWORD>(after ? TBIMHT_AFTER : 0)}, old{-1, 0};
    Message(TB_GETINSERTMARK, 0, reinterpret_cast<LPARAM>(&old));
    UniqueRegion pending(CreateRectRgn(0, 0, 0, 0));
    bool pendingKnown = pending && window && GetUpdateRgn(window, pending.Get(), FALSE) != ERROR;
    LRESULT result = Message(TB_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    if (!pendingKnown) return result;
    ValidateRect(window, nullptr);
    InvalidateRgn(window, pending.Get(), TRUE);
    for (const TBINSERTMARK& strip : {old, mark}) {
        RECT r{};
        if (strip.iButton < 0 || !ItemRect(strip.iButton, r)) continue;
        int x = strip.dwFlags & TBIMHT_AFTER ? r.right : r.left;
        r.left = x - kInsertMarkReach;
        r.right = x + kInsertMarkReach;
        InvalidateRect(window, &r, TRUE);
    }
    return result;
}

LRESULT TabBar::Move(int fromIndex, int toIndex) { return Message(TB_MOVEBUTTON, fromIndex, toIndex); }

bool TabBar::Exists(int key, bool byIndex) {
    if (byIndex) {
        TBBUTTON button{};
        return Message(TB_GETBUTTON, key, reinterpret_cast<LPARAM>(&button)) != 0;
    }
    return IndexOf(key) != -1;
}

void TabBar::SetNotifyWindow(HWND window) { Message(TB_SETPARENT, reinterpret_cast<WPARAM>(window)); }

LRESULT TabBar::Delete(int key, bool byIndex) {
    if (TabImages* drawn = Drawn()) drawn->Forget(byIndex ? CommandAt(key) : key);
    return Message(TB_DELETEBUTTON, byIndex ? key : IndexOf(key));
}

bool HasTab(int contact) { return IsTabButtonId(ButtonOf(contact)) && tabBar.Exists(ButtonOf(contact)); }

int ImageIndexOf(int iconId) {
    if (Send(Host::kIconKnown, iconId, 1)) return Send(Host::kIconIndex, iconId, 1);
    return Send(Host::kIconIndex, Host::kIconUnknown, 1);
}

// The status is read before the host is asked about the icon plug-in.
int StatusIcon(int contact, int status) {
    if (status == -1) status = GetContactInt(contact, Host::kContactStatus) & 0xFF;
    return StatusIcon(contact, status, PluginLoaded(Host::kIconPluginSignature));
}

int StatusIcon(int contact, int status, bool iconPluginLoaded) {
    if (status == -1) status = GetContactInt(contact, Host::kContactStatus) & 0xFF;
    if (iconPluginLoaded)
        return SendToPlugin(Host::kIconPlugin, Host::kIconPluginStatus, contact, status);
    if (int chosen = GetContactInt(contact, Host::kContactIcon)) return chosen;
    unsigned network = static_cast<unsigned>(GetContactInt(contact, Host::kContactNetwork)) & 0xFF;
    unsigned bits = ((network | Host::kStatusIconNetworkBit) << 16 | (static_cast<unsigned>(status) & 0xFF)) << 4;
    return static_cast<int>(bits);
}

int MessageIcon(int contact) {
    if (PluginLoaded(Host::kIconPluginSignature)) {
        if (int icon = SendToPlugin(Host::kIconPlugin, Host::kIconPluginMessage, contact, 0)) return icon;
    }
    return Host::kIconMessage;
}

}  // namespace Tabs
