#include "dev_host.h"

#include <algorithm>
#include <cstring>

#include "host/requests.h"
#include "record_bytes.h"
#include "window_class.h"

namespace DevHostLib {

namespace {

std::string TextAt(intptr_t pointer) {
    const char* text = reinterpret_cast<const char*>(pointer);
    return text ? std::string(text) : std::string();
}

const ActionRef& RefAt(intptr_t pointer) { return *reinterpret_cast<const ActionRef*>(pointer); }

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<DevHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host && host->controls.mainWindowProc) return host->controls.mainWindowProc(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

DevHost::DevHost() {
    auto open = [this](const ActionRef& ref, int notice) {
        if (notice == Host::kNoticeAction) state.conversations.Open(state.contacts.RowId(ref.contact));
    };
    state.hostActions[{Host::kGroupContactMenu, Host::kActionOpenConversation}] = open;
    CreateMainWindow();
    RegisterHostElements();
}

DevHost::~DevHost() {
    // The page's destroy notices need the whole host.
    CloseSettingsPage();
    Unload();
    state.conversations.DestroyAll();
    if (state.mainWindow) DestroyWindow(state.mainWindow);
}

void DevHost::CreateMainWindow() {
    RegisterHostClass("VelmoraMain", MainWindowProc);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    state.mainWindow = CreateWindowExA(0, "VelmoraMain", "Velmora", WS_OVERLAPPEDWINDOW, 20, 20, 240, 420, nullptr,
                                       nullptr, instance, this);
    CreateWindowExA(0, "BUTTON", "Zablokuj", WS_CHILD | WS_VISIBLE, 10, 10, 100, 24, state.mainWindow,
                    reinterpret_cast<HMENU>(Host::kLockDialogItem), instance, nullptr);
}

void DevHost::RegisterHostElements() {
    auto add = [this](int parent, int id, const char* text, int icon, bool group, int owner = 0) {
        Element e;
        e.id = id;
        e.parent = parent;
        e.text = text;
        e.param = icon;
        e.owner = owner;
        e.status = group ? 0x10 : 0;
        e.elementType = group ? kHoldsOthers : 0;
        state.elements.Insert(e, -1);
    };
    add(0, 1, "Velmora", 0, true);
    add(1, Host::kGroupContactMenu, "Kontakt", 0, true);
    add(Host::kGroupContactMenu, Host::kActionOpenConversation, "Rozmowa", 5, false);
    add(Host::kGroupContactMenu, 132, "Informacje", 7, false);
    add(Host::kGroupContactMenu, 135, "", 0, false);  // a separator: no text
    add(Host::kGroupContactMenu, 400, "Wyślij", 0, true);
    add(400, 401, "Plik", 8, false);
    add(0, Host::kGroupConversation, "Okno rozmowy", 0, true);
    add(Host::kGroupConversation, Host::kActionMessageView, "Podgląd", 0, false, kHostUiPlugin);
    add(Host::kGroupConversation, Host::kActionMessageEdit, "Edycja", 0, false, kHostUiPlugin);
    add(0, Host::kGroupToolbars, "Paski", 0, true);
    add(Host::kGroupToolbars, Host::kGroupMainToolbar, "Pasek główny", 0, true);
    add(0, Host::kGroupSettings, "Wtyczki", 0, true);
    add(0, Host::kGroupContactPages, "Właściwości kontaktu", 0, true);
    add(0, kMainMenuGroup, "Menu główne", 0, true);
    add(kMainMenuGroup, 501, "Ustawienia", 0, false);
}

bool DevHost::Load(const char* path) {
    module = LoadLibraryA(path);
    if (!module) return false;
    entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module, kEntryExport)));
    if (!entry) {
        FreeLibrary(module);
        module = nullptr;
    }
    return entry != nullptr;
}

void DevHost::Unload() {
    if (!entry) return;
    CloseSettingsPage();
    if (started) Stop();
    if (module) FreeLibrary(module);
    module = nullptr;
    entry = nullptr;
}

void DevHost::FreeWithoutEnd() {
    if (module) FreeLibrary(module);
    module = nullptr;
    entry = nullptr;
    started = false;
}

intptr_t DevHost::Call(int code, intptr_t p1, intptr_t p2) {
    HostMessage m{};
    m.size = sizeof m;
    m.code = code;
    m.p1 = p1;
    m.p2 = p2;
    return CallRecord(&m);
}

intptr_t DevHost::CallRecord(void* record) {
    auto* message = static_cast<HostMessage*>(record);
    if (message) recorded.calls.push_back(RecordCall(message));
    return entry ? entry(message) : 0;
}

void DevHost::Start() {
    Call(Host::kMsgSetControl, static_cast<HostControl*>(this));
    Call(Host::kMsgDeclareColumns);
    Call(Host::kMsgPluginsLoaded);
    Call(Host::kMsgPrepare);
    Call(Host::kMsgStart);
    started = true;
}

void DevHost::Stop() {
    // The settings dialog goes before the plug-ins end.
    CloseSettingsPage();
    started = false;
    Call(Host::kMsgEnd);
    Call(Host::kMsgReleaseControl);
}

intptr_t DevHost::Notify(const ActionRef& ref, int notice) {
    ActionNotice n{};
    n.size = sizeof n;
    n.ref = ref;
    n.notice = notice;
    return DeliverNotice(n, &n, sizeof n);
}

intptr_t DevHost::NotifyWindow(const ActionRef& ref, int notice, HWND window, HWND parentWindow) {
    ActionNoticeWindow n{};
    n.size = sizeof n;
    n.ref = ref;
    n.notice = notice;
    n.window = window;
    n.parentWindow = parentWindow;
    ActionNotice head{};
    std::memcpy(&head, &n, sizeof head);
    return DeliverNotice(head, &n, sizeof n);
}

intptr_t DevHost::DeliverNotice(const ActionNotice& n, const void* record, size_t size) {
    const Element* e = state.elements.Find(n.ref.id, n.ref.parent);
    int owner = e ? e->owner : 0;
    recorded.notices.push_back({n.ref, n.notice, owner});
    if (owner == kPluginNumber) return CallWithRecord(Host::kMsgAction, record, size);
    auto standIn = controls.elementOwners.find(owner);
    if (e && standIn != controls.elementOwners.end()) return standIn->second(n);
    if (owner != 0) return 0;
    auto action = state.hostActions.find({n.ref.parent, n.ref.id});
    if (action != state.hostActions.end()) action->second(n.ref, n.notice);
    return 0;
}

void DevHost::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int DevHost::PluginVersion(int pluginId) const {
    if (pluginId != kPluginNumber || !module) return 0;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path) return 0;
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &unused);
    if (size == 0) return 0;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path, 0, size, data.data())) return 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) || !info ||
        infoSize < sizeof *info)
        return 0;
    auto part = [](DWORD value) { return std::min<DWORD>(value, 0xFF); };
    DWORD version = part(HIWORD(info->dwFileVersionMS)) << 24 | part(LOWORD(info->dwFileVersionMS)) << 16 |
                    part(HIWORD(info->dwFileVersionLS)) << 8 | part(LOWORD(info->dwFileVersionLS));
    return static_cast<int>(version);
}

std::string DevHost::VersionText(int version) {
    auto v = static_cast<uint32_t>(version);
    std::string text = std::to_string(v >> 24) + "." + std::to_string(v >> 16 & 0xFF) + "." +
                       std::to_string(v >> 8 & 0xFF);
    if (v & 0xFF) text += "." + std::to_string(v & 0xFF);
    return text;
}

int DevHost::noResult(int) {
    ++recorded.noResultCalls;
    return 1;
}

Sent DevHost::Record(HostMessage* m) {
    Sent s;
    s.code = m->code;
    s.target = m->targetNumber;
    size_t size = m->size < sizeof(HostMessage) ? sizeof(HostMessage) : m->size;
    s.message = Bytes(m, size > kMaxRecord ? kMaxRecord : size);
    if (m->size < sizeof(HostMessage)) return s;
    s.p1 = m->p1;
    s.p2 = m->p2;
    switch (m->code) {
        case Host::kLog:
        case Host::kPluginLoaded:
        case Host::kAskUser:
            s.text = TextAt(m->p1);
            break;
        case Host::kContactByUser:
            s.text = TextAt(m->p2);
            break;
        case Host::kDeclareColumn:
            s.text = reinterpret_cast<ColumnDeclaration*>(m)->name;
            break;
        case Host::kElementInsert:
        case Host::kElementRead:
        case Host::kElementChange: {
            auto* a = reinterpret_cast<ActionInfo*>(m->p1);
            if (!a) break;
            size_t n = a->size >= kActionInfoExtendedSize ? kActionInfoExtendedSize : kActionInfoSize;
            s.record = Bytes(a, n);
            if (a->text && m->code != Host::kElementRead) s.text = a->text;
            break;
        }
        case Host::kElementNotify:
            if (m->p1) s.record = Bytes(reinterpret_cast<void*>(m->p1), sizeof(ActionNotice));
            break;
        case Host::kElementChildCount:
        case Host::kElementRemove:
        case Host::kElementWindow:
        case Host::kElementParent:
        case Host::kElementOwner:
            if (m->p1) s.record = Bytes(reinterpret_cast<void*>(m->p1), sizeof(ActionRef));
            break;
        case Host::kIconRegister:
            if (m->p1) s.record = Bytes(reinterpret_cast<void*>(m->p1), sizeof(IconRegistration));
            break;
        case Host::kMarkRead:
            if (m->p1) {
                s.record = Bytes(reinterpret_cast<void*>(m->p1), sizeof(MessageSelector));
                s.text = TextAt(reinterpret_cast<intptr_t>(reinterpret_cast<MessageSelector*>(m->p1)->userId));
            }
            break;
    }
    return s;
}

intptr_t DevHost::send(HostMessage* message) {
    if (!message) return 0;
    size_t index = recorded.sent.size();
    recorded.sent.push_back(Record(message));
    if (message->code == Host::kLog) recorded.log.push_back({static_cast<int>(message->p2), recorded.sent[index].text});
    intptr_t answer = Request(message);
    SpendReadCopy();
    return answer;
}

intptr_t DevHost::Request(HostMessage* m) {
    if (m->targetKind == -1) return ToPlugin(m);
    if (m->code == Host::kDeclareColumn) {
        const auto* d = reinterpret_cast<const ColumnDeclaration*>(m);
        ColumnInfo c;
        c.table = d->table;
        c.column = d->column;
        c.type = d->type;
        c.key = d->name ? d->name : "";
        if (c.IsText())
            c.textDefault = TextAt(d->defaultValue);
        else
            c.intDefault = d->defaultValue;
        state.config.Declare(c);
        return 1;
    }
    if (m->code == Host::kElementCall) {
        ElementCall(m);
        return 0;
    }
    if (m->size < sizeof(HostMessage)) return 0;
    switch (m->code) {
        case Host::kLog: return 1;
        case Host::kVersionText: {
            char* buffer = reinterpret_cast<char*>(m->p2);
            if (buffer) std::strcpy(buffer, VersionText(static_cast<int>(m->p1)).c_str());
            return 1;
        }
        case Host::kMarkRead: return MarkRead(m) ? 1 : 0;
        case Host::kContactByUser: {
            Contact* c = state.contacts.FindUser(m->p1, TextAt(m->p2));
            return c ? c->id : 0;
        }
        case Host::kContactCount: return state.contacts.Count();
        case Host::kContactExists: return state.contacts.Find(m->p1) ? 1 : 0;
        case Host::kFallbackOwner: return controls.fallbackOwner;
        case Host::kPluginVersion: return PluginVersion(static_cast<int>(m->p1));
        case Host::kPluginLoaded: return controls.pluginsPresent.count(TextAt(m->p1)) ? 1 : 0;
        case Host::kSaveSettings:
            ++recorded.saveSettingsCalls;
            if (controls.onSaveSettings) controls.onSaveSettings();
            return 1;
        case Host::kIconRegister: {
            const auto* r = reinterpret_cast<const IconRegistration*>(m->p1);
            if (!r || r->size < sizeof(IconRegistration)) return 0;
            HICON icon = nullptr;
            if (r->image)
                icon = CopyIcon(static_cast<HICON>(r->image));
            else if (r->module)
                icon = static_cast<HICON>(LoadImageA(static_cast<HMODULE>(r->module), MAKEINTRESOURCEA(r->resourceId),
                                                     IMAGE_ICON, 16, 16, 0));
            state.icons.Register(r->iconId, r->kind, icon);
            return icon ? 1 : 0;
        }
        case Host::kIconKnown: return state.icons.Known(m->p1) ? 1 : 0;
        case Host::kIconIndex: return state.icons.Index(m->p1);
        case Host::kImageList: return reinterpret_cast<intptr_t>(state.icons.ImageList());
        case Host::kIconHandle: return reinterpret_cast<intptr_t>(state.icons.Handle(m->p1));
        case Host::kAskUser: {
            recorded.questions.push_back(TextAt(m->p1));
            return controls.askUser(recorded.questions.back());
        }
        case Host::kWindowState: return controls.windowState(m->p1);
        case Host::kMainMenuGroup: return kMainMenuGroup;
        case Host::kElementChildId: {
            std::vector<int> children = state.elements.Children(m->p1);
            return m->p2 >= 0 && m->p2 < static_cast<int>(children.size()) ? children[m->p2] : 0;
        }
    }
    return ElementRequest(m->code, m);
}

// The host finds the conversation by network and user id and reads the
// selector's other fields as the kind of marking asked for: a selector it
// does not know marks nothing.
bool DevHost::MarkRead(const HostMessage* m) {
    const void* p1 = reinterpret_cast<const void*>(m->p1);
    if (!p1 || m->p2 != Host::kMarkReadP2) return false;
    MessageSelector s;
    std::memcpy(&s.size, p1, sizeof s.size);
    if (s.size != sizeof s) return false;
    std::memcpy(&s, p1, sizeof s);
    if (s.field10 != Host::kSelectorField10 || s.field14 != Host::kSelectorField14 ||
        s.field18 != Host::kSelectorField18 || s.field22 != Host::kSelectorField22 ||
        s.field26 != Host::kSelectorField26 || !s.userId)
        return false;
    const Contact* c = state.contacts.FindUser(s.network, s.userId);
    if (!c) return false;
    state.conversations.MarkRead(c->id);
    return true;
}

intptr_t DevHost::ElementRequest(int code, HostMessage* m) {
    if (!m->p1) return 0;
    bool describedElement = code == Host::kElementInsert || code == Host::kElementRead || code == Host::kElementChange;
    if (describedElement && reinterpret_cast<const ActionInfo*>(m->p1)->size < kActionInfoSize) return 0;
    switch (code) {
        case Host::kElementInsert: return InsertElement(reinterpret_cast<const ActionInfo*>(m->p1));
        case Host::kElementRead: return ReadElement(reinterpret_cast<ActionInfo*>(m->p1));
        case Host::kElementChange: return ChangeElement(reinterpret_cast<const ActionInfo*>(m->p1));
        case Host::kElementNotify: {
            ActionNotice n;
            std::memcpy(&n, reinterpret_cast<void*>(m->p1), sizeof n);
            n.size = sizeof n;
            return DeliverNotice(n, &n, sizeof n);
        }
        case Host::kElementChildCount: return state.elements.ChildCount(RefAt(m->p1).id);
        case Host::kElementRemove: {
            const ActionRef& r = RefAt(m->p1);
            bool removed = state.elements.Remove(r.id, r.parent);
            state.conversations.RefreshToolbars();
            return removed ? 1 : 0;
        }
        case Host::kElementWindow: return reinterpret_cast<intptr_t>(ElementWindow(RefAt(m->p1)));
        case Host::kElementParent: {
            Element* e = state.elements.FindAnyParent(RefAt(m->p1).id);
            return e ? e->parent : 0;
        }
        case Host::kElementOwner: {
            const ActionRef& r = RefAt(m->p1);
            const Element* e = state.elements.Find(r.id, r.parent);
            return e ? e->owner : 0;
        }
    }
    return 0;
}

int DevHost::InsertElement(const ActionInfo* a) {
    Element e;
    e.id = a->ref.id;
    e.parent = a->ref.parent;
    e.owner = kPluginNumber;
    e.status = a->status;
    e.elementType = (a->status & 0x10) ? kHoldsOthers : 0;
    e.text = a->text ? a->text : "";
    e.param = a->param;
    e.extra1 = a->extra1;
    e.extra2 = a->extra2;
    e.position = a->position;
    e.width = a->width;
    e.height = a->height;
    e.extended = a->size >= kActionInfoExtendedSize;
    if (e.extended) {
        e.x = a->x;
        e.y = a->y;
    }
    state.elements.Insert(e, a->position);
    state.conversations.RefreshToolbars();
    return 1;
}

int DevHost::ReadElement(ActionInfo* a) {
    const Element* e = state.elements.Find(a->ref.id, a->ref.parent);
    if (!e) return 0;
    int contact = a->ref.contact;
    if (a->mask & Host::kMaskHandle) a->handle = ElementWindow(a->ref);
    if ((a->mask & Host::kMaskText) && a->text && a->textSize > 0) {
        // textSize is the size of the buffer: a text that fills it is not
        // terminated.
        const std::string& text = e->TextFor(contact);
        size_t n = text.size() + 1 < static_cast<size_t>(a->textSize) ? text.size() + 1 : a->textSize;
        std::memcpy(const_cast<char*>(a->text), text.c_str(), n);
    }
    if (a->mask & 0x800) a->elementType = e->elementType;
    if (a->mask & 0x4) a->param = e->param;
    if (a->mask & Host::kMaskStatus) a->status = e->StatusFor(contact);
    if ((a->mask & Host::kMaskComplete) == Host::kMaskComplete) {
        a->extra1 = e->extra1;
        a->extra2 = e->extra2;
        a->width = e->width;
        a->height = e->height;
    }
    return 1;
}

int DevHost::ChangeElement(const ActionInfo* a) {
    Element* e = state.elements.Find(a->ref.id, a->ref.parent);
    if (!e) return 0;
    int contact = a->ref.contact;
    if (a->mask & Host::kMaskStatus) {
        uint32_t current = e->StatusFor(contact);
        uint32_t next = (current & ~a->statusMask) | (a->status & a->statusMask);
        if (contact == Host::kNoContact)
            e->status = next;
        else
            e->contactStatus[contact] = next;
        state.settingsPage.StatusChanged(*e);
    }
    if (a->mask & Host::kMaskText) {
        std::string text = a->text ? a->text : "";
        if (contact == Host::kNoContact)
            e->text = text;
        else
            e->contactText[contact] = text;
    }
    // Only the toolbars show what changed on a toolbar or its buttons, and
    // only the contact's own toolbar a change made for one contact.
    const Element* group = state.elements.FindAnyParent(e->parent);
    if (e->parent == Host::kGroupToolbars || (group && group->parent == Host::kGroupToolbars))
        state.conversations.RefreshToolbars(contact);
    return 1;
}

HWND DevHost::ElementWindow(const ActionRef& ref) {
    if (ref.parent == 0 && ref.id == Host::kGroupConversation) return state.conversations.WindowOf(ref.contact);
    if (ref.parent == Host::kGroupConversation && ref.id == Host::kActionMessageView)
        return state.conversations.ViewControl(ref.contact);
    if (ref.parent == Host::kGroupConversation && ref.id == Host::kActionMessageEdit)
        return state.conversations.EditControl(ref.contact);
    if (ref.parent == 0 && ref.id == 1) return state.mainWindow;
    const Element* e = state.elements.Find(ref.id, ref.parent);
    return e ? e->window : nullptr;
}

intptr_t DevHost::ToPlugin(HostMessage* m) {
    PluginQuestion question{m->targetNumber, m->code, m->p1, m->p2, 0};
    auto it = controls.pluginAnswers.find(m->code);
    if (it != controls.pluginAnswers.end() && m->code / 1000 == m->targetNumber)
        question.answer = it->second(m->p1, m->p2);
    recorded.pluginQuestions.push_back(question);
    return question.answer;
}

intptr_t DevHost::sendTo(int pluginId, HostMessage* message) {
    if (!message) return 0;
    intptr_t answer = kPluginCallAnswer;
    if (pluginId == 0 || pluginId == kPluginNumber) {
        answer = CallRecord(message);
    } else {
        Sent s = Record(message);
        s.target = pluginId;
        recorded.sentTo.push_back(s);
        auto it = controls.sendToAnswers.find(pluginId);
        if (it != controls.sendToAnswers.end()) answer = it->second(*message);
    }
    SpendReadCopy();
    return answer;
}

int DevHost::rowTest(int table, int row) {
    if (controls.rowTestAnswer) return controls.rowTestAnswer(table, row);
    return table == 1 && state.contacts.Find(row) ? 1 : 0;
}

int DevHost::rowId(int table, int row) { return table == 1 ? state.contacts.RowId(row) : row; }

char* DevHost::tempBuffer(int bytes) {
    if (bytes <= 0) bytes = 1;
    tempBuffers.emplace_back(static_cast<size_t>(bytes), '\0');
    while (tempBuffers.size() > 16) tempBuffers.pop_front();
    return &tempBuffers.back()[0];
}

void DevHost::SpendReadCopy() {
    if (!liveCopy) return;
    std::string& spent = readCopies.back();
    std::fill(spent.begin(), spent.end(), '#');
    liveCopy = false;
}

intptr_t DevHost::getColumn(int table, int row, int column, ColumnValue* v) {
    SpendReadCopy();
    if (!v) return 0;
    std::string text;
    int number = 0;
    bool contactColumn = table == 1 && (v->type == 1 ? state.contacts.ReadText(row, column, text)
                                                     : state.contacts.ReadInt(row, column, number));
    int storeRow = table == 1 ? state.contacts.RowId(row) : row;
    if (v->type != 1) {
        if (!contactColumn) number = state.config.Int(table, storeRow, column);
        v->value = number;
        return number;
    }
    if (!contactColumn) text = state.config.Text(table, storeRow, column);
    if (v->value == 0 && v->bufferSize == -1) {
        readCopies.push_back(text);
        while (readCopies.size() > 32) readCopies.pop_front();
        liveCopy = true;
        v->value = reinterpret_cast<intptr_t>(readCopies.back().c_str());
        return v->value;
    }
    char* buffer = reinterpret_cast<char*>(v->value);
    if (!buffer || v->bufferSize <= 0) return 0;
    size_t n = text.size() < static_cast<size_t>(v->bufferSize - 1) ? text.size() : v->bufferSize - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return v->value;
}

int DevHost::setColumn(int table, int row, int column, ColumnValue* v) {
    if (!v) return 0;
    int storeRow = table == 1 ? state.contacts.RowId(row) : row;
    if (v->type == 1)
        state.config.SetText(table, storeRow, column, TextAt(v->value));
    else
        state.config.SetInt(table, storeRow, column, v->value);
    SpendReadCopy();
    return 1;
}

std::vector<Sent> DevHost::Recorded::SentWithCode(int code) const {
    std::vector<Sent> out;
    for (const Sent& s : sent)
        if (s.code == code) out.push_back(s);
    return out;
}

int DevHost::Recorded::CountSent(int code) const {
    int n = 0;
    for (const Sent& s : sent)
        if (s.code == code) ++n;
    return n;
}

bool DevHost::Recorded::Logged(const std::string& text) const {
    for (const LogLine& l : log)
        if (l.text.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace DevHostLib
