#include "conversations.h"

#include <commctrl.h>

#include <utility>

#include "dev_host.h"
#include "host/requests.h"
#include "window_class.h"

namespace DevHostLib {

namespace {

constexpr char kWindowClass[] = "VelmoraConversation";
constexpr char kPanelClass[] = "VelmoraPanel";
constexpr char kEditClass[] = "VelmoraEdit";
constexpr char kViewClass[] = "VelmoraView";
constexpr char kOwnerProp[] = "VelmoraConversations";
constexpr char kRecordProp[] = "CNT";
constexpr char kWaitingProp[] = "MsgWaiting";
constexpr int kButtonWidth = 80;
constexpr int kEditHeight = 60;
constexpr int kGap = 6;

WNDPROC systemEditProc = nullptr;

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterEditClass(const char* name, WNDPROC proc) {
    WNDCLASSEXA edit{};
    edit.cbSize = sizeof edit;
    GetClassInfoExA(nullptr, "EDIT", &edit);
    systemEditProc = edit.lpfnWndProc;
    edit.lpfnWndProc = proc;
    edit.hInstance = GetModuleHandleA(nullptr);
    edit.lpszClassName = name;
    RegisterClassExA(&edit);
}

void RegisterClasses(WNDPROC windowProc, WNDPROC editProc, WNDPROC viewProc) {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterHostClass(kWindowClass, windowProc);
    RegisterHostClass(kPanelClass, PanelProc);

    RegisterEditClass(kEditClass, editProc);
    RegisterEditClass(kViewClass, viewProc);
}

// Names only: atoms are the system's. Wine keeps its own "__wine..." ones.
BOOL CALLBACK CollectProperty(HWND, LPSTR name, HANDLE, ULONG_PTR list) {
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name))) reinterpret_cast<std::vector<std::string>*>(list)->push_back(name);
    return TRUE;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
    HWND child = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

HWND FirstChild(HWND window) { return window ? GetWindow(window, GW_CHILD) : nullptr; }

HWND ViewInside(HWND viewItem) { return FirstChild(FirstChild(FirstChild(viewItem))); }

void Fill(HWND window, int width, int height) { MoveWindow(window, 0, 0, width, height, TRUE); }

// A toolbar without buttons takes no room.
int ToolbarHeight(HWND bar) {
    if (!bar || SendMessageA(bar, TB_BUTTONCOUNT, 0, 0) == 0) return 0;
    return HIWORD(SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0)) + 2;
}

void Append(HWND edit, const std::string& text) {
    int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, end, end);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

Conversations::~Conversations() { DestroyAll(); }

WNDPROC Conversations::WindowClassProc() { return WindowProc; }
WNDPROC Conversations::EditClassProc() { return EditProc; }
WNDPROC Conversations::ViewClassProc() { return ViewProc; }

HWND Conversations::Open(int contact) {
    if (!host.state.contacts.Find(contact)) return nullptr;
    HWND window = WindowOf(contact);
    if (!window) return Create(contact);
    if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOW);
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    return window;
}

HWND Conversations::Create(int contact) {
    RegisterClasses(WindowProc, EditProc, ViewProc);
    const Contact* c = host.state.contacts.Find(contact);
    contact = c->id;
    std::string title = c->display.empty() ? c->userId : c->display;
    HWND window = CreateWindowExA(0, kWindowClass, title.c_str(), windowStyle & ~WS_VISIBLE, 200, 150, 420, 320,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return nullptr;
    auto* record = new ConversationRecord{c->network, 0, contact, 0};
    records[window] = record;
    windows[contact] = window;
    SetPropA(window, kRecordProp, record);
    SetPropA(window, kOwnerProp, this);
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(host.state.icons.Handle(Host::kIconNormal)));

    CreateToolbar(window, contact);
    HWND viewItem = Child(window, kPanelClass, "", WS_CLIPCHILDREN, kViewItem, 0, 0, 400, 180);
    HWND inner = Child(viewItem, kPanelClass, "", WS_CLIPCHILDREN, 1, 0, 0, 400, 180);
    HWND frame = Child(inner, kPanelClass, "", WS_CLIPCHILDREN, 1, 0, 0, 400, 180);
    Child(frame, kViewClass, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 1, 0, 0, 400, 180);
    Child(window, kEditClass, "", ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER | WS_TABSTOP, kEditItem, 0, 190, 300, 60);
    Child(window, "BUTTON", "Wyślij", BS_PUSHBUTTON | WS_TABSTOP, kFocusItem, 310, 190, 80, 28);
    LayOut(window);
    auto waiting = unshown.find(contact);
    if (waiting != unshown.end()) {
        Append(MessageView(contact), waiting->second);
        unshown.erase(waiting);
    }

    // The host reports the controls' creation before it shows the window.
    host.NotifyWindow({Host::kActionMessageView, Host::kGroupConversation, contact}, Host::kNoticeCreateWindow,
                      viewItem, window);
    host.NotifyWindow({Host::kActionMessageEdit, Host::kGroupConversation, contact}, Host::kNoticeCreateWindow,
                      GetDlgItem(window, kEditItem), window);
    if (!IsWindow(window)) return nullptr;
    ShowWindow(window, SW_SHOW);
    return window;
}

HWND Conversations::WindowOf(int contact) const {
    auto it = windows.find(contact);
    return it == windows.end() ? nullptr : it->second;
}

HWND Conversations::Toolbar(int contact) const {
    HWND window = WindowOf(contact);
    return window ? GetDlgItem(window, kToolbarItem) : nullptr;
}

// The host tells the buttons' owners that it builds them for the contact,
// as it does for a menu.
void Conversations::CreateToolbar(HWND window, int contact) {
    DWORD style = TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;
    HWND bar = Child(window, TOOLBARCLASSNAMEA, "", style, kToolbarItem, 0, 0, 400, 24);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(host.state.icons.ImageList()));
    for (int group : host.state.elements.Children(Host::kGroupToolbars)) {
        host.Notify({group, Host::kGroupToolbars, contact}, Host::kNoticeCreate);
        for (int button : host.state.elements.Children(group))
            host.Notify({button, group, contact}, Host::kNoticeCreate);
    }
    FillToolbar(window, contact);
}

void Conversations::FillToolbar(HWND window, int contact) {
    HWND bar = GetDlgItem(window, kToolbarItem);
    while (SendMessageA(bar, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageA(bar, TB_DELETEBUTTON, 0, 0);
    std::vector<ActionRef>& buttons = toolbarButtons[window];
    buttons.clear();
    for (const Element* group : std::as_const(host.state.elements).ChildElements(Host::kGroupToolbars)) {
        if (group->HiddenFor(contact)) continue;
        for (const Element* e : std::as_const(host.state.elements).ChildElements(group->id)) {
            if (e->HiddenFor(contact)) continue;
            TBBUTTON b{};
            b.iBitmap = e->param ? host.state.icons.Index(e->param) : I_IMAGENONE;
            b.idCommand = static_cast<int>(buttons.size());
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
            b.iString = reinterpret_cast<INT_PTR>(e->TextFor(contact).c_str());
            SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
            buttons.push_back({e->id, e->parent, contact});
        }
    }
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    LayOut(window);
}

void Conversations::RefreshToolbars(int contact) {
    if (contact != kEveryContact) {
        if (HWND window = WindowOf(contact)) FillToolbar(window, contact);
        return;
    }
    for (const auto& [each, window] : windows) FillToolbar(window, each);
}

void Conversations::OnToolbar(HWND window, UINT command) {
    auto it = toolbarButtons.find(window);
    if (it == toolbarButtons.end() || command >= it->second.size()) return;
    ActionRef ref = it->second[command];
    host.Notify(ref, Host::kNoticeAction);
}

HWND Conversations::ViewControl(int contact) const {
    HWND window = WindowOf(contact);
    return window ? GetDlgItem(window, kViewItem) : nullptr;
}

HWND Conversations::MessageView(int contact) const { return ViewInside(ViewControl(contact)); }

HWND Conversations::EditControl(int contact) const {
    HWND window = WindowOf(contact);
    return window ? GetDlgItem(window, kEditItem) : nullptr;
}

std::string Conversations::ViewText(int contact) const {
    HWND view = MessageView(contact);
    if (!view) return std::string();
    std::string text(static_cast<size_t>(GetWindowTextLengthA(view)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(view, &text[0], static_cast<int>(text.size()))));
    return text;
}

void Conversations::AddLine(int contact, const std::string& line) {
    if (HWND view = MessageView(contact))
        Append(view, line);
    else
        unshown[contact] += line;
}

void Conversations::MarkUnread(int contact) {
    HWND window = WindowOf(contact);
    if (!window) return;
    SetPropA(window, kWaitingProp, reinterpret_cast<HANDLE>(1));
    ++records.at(window)->waiting;
}

void Conversations::MarkRead(int contact) {
    if (HWND window = WindowOf(contact)) records.at(window)->waiting = 0;
}

void Conversations::Retitle(int contact, const std::string& title) {
    if (HWND window = WindowOf(contact)) SetWindowTextA(window, title.c_str());
}

void Conversations::Activate(int contact) {
    HWND window = WindowOf(contact);
    if (!window) return;
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    SetFocus(GetDlgItem(window, kEditItem));
}

void Conversations::Move(int contact, int x, int y, int width, int height) {
    if (HWND window = WindowOf(contact)) MoveWindow(window, x, y, width, height, TRUE);
}

void Conversations::Close(int contact) {
    if (HWND window = WindowOf(contact)) SendMessageA(window, WM_CLOSE, 0, 0);
}

void Conversations::DestroyConversation(int contact) {
    if (HWND window = WindowOf(contact)) DestroyWindow(window);
}

void Conversations::DestroyAll() {
    while (!windows.empty()) {
        HWND window = windows.begin()->second;
        if (IsWindow(window))
            DestroyWindow(window);
        else
            Forget(window);
    }
}

void Conversations::Forget(HWND window) {
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        if (it->second == window) {
            windows.erase(it);
            break;
        }
    }
    toolbarButtons.erase(window);
    auto record = records.find(window);
    if (record != records.end()) {
        delete record->second;
        records.erase(record);
    }
}

// The typed text goes into the view, as a sent message would.
void Conversations::SendTyped(HWND window) {
    HWND edit = GetDlgItem(window, kEditItem);
    HWND view = ViewInside(GetDlgItem(window, kViewItem));
    int length = GetWindowTextLengthA(edit);
    if (!view || length <= 0) return;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], length + 1)));
    Append(view, text + "\r\n");
    SetWindowTextA(edit, "");
}

// The view takes the top, the edit and the send button share the bottom.
void Conversations::LayOut(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    int width = client.right, height = client.bottom;
    int barHeight = ToolbarHeight(GetDlgItem(window, kToolbarItem));
    MoveWindow(GetDlgItem(window, kToolbarItem), 0, 0, width, barHeight, TRUE);
    int editTop = height - kEditHeight - kGap;
    int viewHeight = editTop > kGap + barHeight ? editTop - kGap - barHeight : 0;
    HWND viewItem = GetDlgItem(window, kViewItem);
    MoveWindow(viewItem, 0, barHeight, width, viewHeight, TRUE);
    Fill(FirstChild(viewItem), width, viewHeight);
    Fill(FirstChild(FirstChild(viewItem)), width, viewHeight);
    Fill(ViewInside(viewItem), width, viewHeight);
    int editWidth = width - kButtonWidth - 2 * kGap;
    MoveWindow(GetDlgItem(window, kEditItem), 0, editTop, editWidth > 0 ? editWidth : 0, kEditHeight, TRUE);
    MoveWindow(GetDlgItem(window, kFocusItem), width - kButtonWidth - kGap, editTop, kButtonWidth, 28, TRUE);
}

LRESULT CALLBACK Conversations::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Conversations*>(GetPropA(window, kOwnerProp));
    switch (message) {
        case WM_CLOSE:
            // The host closes a conversation its own way: a window whose
            // contents are to be kept is only hidden.
            if (self && self->host.state.config.Int(0, 0, kKeepWindowColumn) != 0)
                ShowWindow(window, SW_HIDE);
            else
                DestroyWindow(window);
            return 0;
        case WM_SIZE:
            LayOut(window);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kFocusItem && HIWORD(wParam) == BN_CLICKED) SendTyped(window);
            if (self && lParam && reinterpret_cast<HWND>(lParam) == GetDlgItem(window, kToolbarItem))
                self->OnToolbar(window, LOWORD(wParam));
            return 0;
        case WM_NCDESTROY:
            RemovePropA(window, kRecordProp);
            RemovePropA(window, kWaitingProp);
            RemovePropA(window, kOwnerProp);
            if (self) {
                self->CheckLeftovers(window, "window", WindowProc);
                self->Forget(window);
            }
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

Conversations* Conversations::OwnerAbove(HWND control, int& contact) {
    for (HWND window = GetParent(control); window; window = GetParent(window)) {
        if (auto* self = static_cast<Conversations*>(GetPropA(window, kOwnerProp))) {
            const auto* record = static_cast<const ConversationRecord*>(GetPropA(window, kRecordProp));
            contact = record ? record->contact : 0;
            return self;
        }
    }
    return nullptr;
}

void Conversations::RecordInput(HWND control, Control which, UINT message, WPARAM wParam) {
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_MOUSEWHEEL) return;
    int contact = 0;
    if (Conversations* self = OwnerAbove(control, contact)) self->input.push_back({contact, which, message, wParam});
}

void Conversations::CheckLeftovers(HWND window, const char* role, WNDPROC own) {
    ++destroyedWindows;
    std::vector<std::string> names;
    EnumPropsExA(window, CollectProperty, reinterpret_cast<LPARAM>(&names));
    for (const std::string& name : names)
        if (name.rfind("__wine", 0) != 0) leftovers.push_back(std::string(role) + " property " + name);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) != own)
        leftovers.push_back(std::string(role) + " procedure");
}

// Enter sends; Shift+Enter starts a new line; Esc is the window's close
// request.
LRESULT CALLBACK Conversations::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordInput(window, Control::Edit, message, wParam);
    bool plainEnter = wParam == VK_RETURN && (GetKeyState(VK_SHIFT) & 0x8000) == 0;
    if (message == WM_KEYDOWN && plainEnter) {
        SendTyped(GetParent(window));
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        SendMessageA(GetParent(window), WM_CLOSE, 0, 0);
        return 0;
    }
    bool swallowed = (wParam == '\r' && plainEnter) || wParam == 0x1B;
    if (message == WM_CHAR && swallowed) return 0;
    if (message == WM_NCDESTROY) {
        int contact = 0;
        if (Conversations* self = OwnerAbove(window, contact)) self->CheckLeftovers(window, "edit", EditProc);
    }
    return CallWindowProcA(systemEditProc, window, message, wParam, lParam);
}

LRESULT CALLBACK Conversations::ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordInput(window, Control::View, message, wParam);
    if (message == WM_NCDESTROY) {
        int contact = 0;
        if (Conversations* self = OwnerAbove(window, contact)) self->CheckLeftovers(window, "view", ViewProc);
    }
    return CallWindowProcA(systemEditProc, window, message, wParam, lParam);
}

}  // namespace DevHostLib
