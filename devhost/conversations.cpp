#include "conversations.h"

#include "dev_host.h"
#include "host/requests.h"

namespace DevHostLib {

namespace {

constexpr char kWindowClass[] = "VelmoraConversation";
constexpr char kPanelClass[] = "VelmoraPanel";
constexpr char kOwnerProp[] = "VelmoraConversations";

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses(WNDPROC windowProc) {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = PanelProc;
    wc.lpszClassName = kPanelClass;
    RegisterClassExA(&wc);
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

HWND FirstChild(HWND window) { return window ? GetWindow(window, GW_CHILD) : nullptr; }

}  // namespace

Conversations::~Conversations() { DestroyAll(); }

HWND Conversations::Open(int contact) {
    if (!host.contacts.Find(contact)) return nullptr;
    HWND window = WindowOf(contact);
    if (!window) return Create(contact);
    if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOW);
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    return window;
}

HWND Conversations::Create(int contact) {
    RegisterClasses(WindowProc);
    const Contact* c = host.contacts.Find(contact);
    std::string title = c->display.empty() ? c->userId : c->display;
    HWND window = CreateWindowExA(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 200, 150,
                                  420, 320, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return nullptr;
    auto* record = new ConversationRecord{c->network, 0, contact, 0};
    records[window] = record;
    windows[contact] = window;
    SetPropA(window, "CNT", record);
    SetPropA(window, kOwnerProp, this);

    HWND viewItem = Child(window, kPanelClass, "", WS_CLIPCHILDREN, kViewItem, 0, 0, 400, 180);
    HWND inner = Child(viewItem, kPanelClass, "", WS_CLIPCHILDREN, 1, 0, 0, 400, 180);
    HWND frame = Child(inner, kPanelClass, "", WS_CLIPCHILDREN, 1, 0, 0, 400, 180);
    Child(frame, "EDIT", "", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 1, 0, 0, 400, 180);
    Child(window, "EDIT", "", ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER, kEditItem, 0, 190, 300, 60);
    Child(window, "BUTTON", "Wyślij", BS_PUSHBUTTON, kFocusItem, 310, 190, 80, 28);

    // The host reports the controls' creation before it shows the window.
    host.NotifyWindow({Host::kActionMessageView, Host::kGroupConversation, contact}, Host::kNoticeCreateWindow,
                      viewItem, window);
    host.NotifyWindow({Host::kActionMessageEdit, Host::kGroupConversation, contact}, Host::kNoticeCreateWindow,
                      GetDlgItem(window, kEditItem), window);
    if (IsWindow(window)) ShowWindow(window, SW_SHOW);
    return IsWindow(window) ? window : nullptr;
}

HWND Conversations::WindowOf(int contact) const {
    auto it = windows.find(contact);
    return it == windows.end() ? nullptr : it->second;
}

HWND Conversations::ViewControl(int contact) const {
    HWND window = WindowOf(contact);
    return window ? GetDlgItem(window, kViewItem) : nullptr;
}

HWND Conversations::MessageView(int contact) const { return FirstChild(FirstChild(FirstChild(ViewControl(contact)))); }

HWND Conversations::EditControl(int contact) const {
    HWND window = WindowOf(contact);
    return window ? GetDlgItem(window, kEditItem) : nullptr;
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
    auto record = records.find(window);
    if (record != records.end()) {
        delete record->second;
        records.erase(record);
    }
}

LRESULT CALLBACK Conversations::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Conversations*>(GetPropA(window, kOwnerProp));
    switch (message) {
        case WM_CLOSE:
            // The host closes a conversation its own way: a window whose
            // contents are to be kept is only hidden.
            if (self && self->host.config.Int(0, 0, 148) != 0)
                ShowWindow(window, SW_HIDE);
            else
                DestroyWindow(window);
            return 0;
        case WM_NCDESTROY:
            RemovePropA(window, "CNT");
            RemovePropA(window, kOwnerProp);
            if (self) self->Forget(window);
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace DevHostLib
