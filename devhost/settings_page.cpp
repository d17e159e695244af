#include "settings_page.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "dev_host.h"
#include "host/requests.h"
#include "window_class.h"

namespace DevHostLib {

namespace {

constexpr char kDialogClass[] = "VelmoraSettings";
constexpr char kPanelClass[] = "VelmoraSettingsPage";
constexpr int kFirstControl = 1000;
constexpr int kApplyButton = 3;
constexpr int kClientWidth = 520;
constexpr int kClientHeight = 580;
constexpr int kButtonBar = 44;
constexpr int kMargin = 12;
constexpr int kGroupInset = 12;
constexpr int kGroupCaption = 20;
constexpr int kLineGap = 6;
constexpr int kSpacing = 8;
constexpr int kLineHeight = 18;
constexpr int kCheckWidth = 22;
constexpr int kSliderWidth = 180;
constexpr int kSliderHeight = 26;
constexpr int kDropDownWidth = 200;
constexpr int kDropDownHeight = 22;
constexpr int kDropDownList = 220;
constexpr int kWheelStep = 40;
constexpr char kOptionStart = '\x1A';
constexpr char kValueStart = '\x02';
constexpr char kIconStart = '\x03';
constexpr char kItemEnd = '\x0A';

// The text an element shows: everything before its options.
std::string VisibleText(const std::string& text) { return text.substr(0, text.find(kOptionStart)); }

// An option's value: after byte 0x1A, the name and "=", up to the next byte
// below 0x08 or 0x1A.
std::string OptionValue(const std::string& text, const std::string& name) {
    std::string key = std::string(1, kOptionStart) + name + "=";
    size_t p = text.find(key);
    if (p == std::string::npos) return "";
    p += key.size();
    size_t q = p;
    while (q < text.size() && static_cast<unsigned char>(text[q]) >= 0x08 && text[q] != kOptionStart) ++q;
    return text.substr(p, q - p);
}

int OptionInt(const std::string& text, const std::string& name, int fallback) {
    std::string value = OptionValue(text, name);
    return value.empty() ? fallback : std::atoi(value.c_str());
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string Before(const std::string& text, char separator) { return text.substr(0, text.find(separator)); }

std::string After(const std::string& text, char separator) {
    size_t p = text.find(separator);
    return p == std::string::npos ? std::string() : text.substr(p + 1);
}

bool IsLineBreak(const std::string& tag) {
    std::string name;
    for (char c : tag) {
        if (c == ' ' || c == '/') break;
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name == "br";
}

// Rich text as plain text: tags go, "<br/>" breaks the line, the common
// entities become their characters.
std::string PlainText(const std::string& rich) {
    static const std::pair<const char*, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}};
    std::string out;
    size_t i = 0;
    while (i < rich.size()) {
        if (rich[i] == '<') {
            size_t end = rich.find('>', i);
            if (end == std::string::npos) break;
            if (IsLineBreak(rich.substr(i + 1, end - i - 1))) out += "\r\n";
            i = end + 1;
            continue;
        }
        bool decoded = false;
        for (const auto& [name, c] : entities) {
            if (rich.compare(i, std::strlen(name), name) == 0) {
                out += c;
                i += std::strlen(name);
                decoded = true;
                break;
            }
        }
        if (!decoded) out += rich[i++];
    }
    return out;
}

// A negative height (0x8000 and up) is the host's business; it means no
// fixed height here.
int FixedHeight(uint16_t height) { return height < 0x8000 ? height : 0; }

void RegisterClasses(WNDPROC dialogProc, WNDPROC panelProc) {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterHostClass(kDialogClass, dialogProc);
    RegisterHostClass(kPanelClass, panelProc);
}

}  // namespace

// Where the next control goes: a line at a time, inside the open group boxes.
struct SettingsPage::Flow {
    HDC dc = nullptr;
    int left = kMargin;
    int right = 0;
    int x = kMargin;
    int y = kMargin;
    int lineBottom = kMargin;
    bool lineUsed = false;
    bool sameLine = false;
    struct Box {
        HWND window;
        int top;
    };
    std::vector<Box> boxes;
    bool inRadioGroup = false;
    int radioColumn = 0;
    int radioPosition = 0;
    int radioGroups = 0;

    void NewLine() {
        if (lineUsed) y = lineBottom + kLineGap;
        lineUsed = false;
        sameLine = false;
        x = left;
    }
    int Available(int indent) const { return right - (sameLine ? x : left + indent); }
    int LineWidth(int indent) const { return right - left - indent; }
    // A control that does not fit the rest of the line starts the next one.
    RECT Place(int width, int height, int indent = 0) {
        if (sameLine && width > right - x) sameLine = false;
        if (!sameLine) {
            NewLine();
            x += indent;
        }
        width = std::max(16, std::min(width, right - x));
        RECT r{x, y, x + width, y + height};
        x += width + kSpacing;
        lineBottom = lineUsed ? std::max(lineBottom, y + height) : y + height;
        lineUsed = true;
        sameLine = true;
        return r;
    }
    // The size of a text wrapped at most at maxWidth.
    SIZE Measure(const std::string& text, int maxWidth) const {
        RECT r{0, 0, std::max(maxWidth, 16), 0};
        DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return {r.right, std::max<LONG>(r.bottom, 16)};
    }
};

SettingsPage::~SettingsPage() {
    if (dialog) DestroyWindow(dialog);
    if (font) DeleteObject(font);
    if (boldFont) DeleteObject(boldFont);
}

const Element* SettingsPage::ElementOf(const Row& row) const {
    for (const Element* e : std::as_const(host.state.elements).ChildElements(page))
        if (e == row.element) return e;
    return nullptr;
}

HWND SettingsPage::Open(int pageId, int groupId, int contactId) {
    if (dialog) {
        SetForegroundWindow(dialog);
        return panel;
    }
    const Element* pageElement = host.state.elements.Find(pageId, groupId);
    if (!pageElement) return nullptr;
    if (contactId != Host::kNoContact) {
        host.Notify({pageId, groupId, contactId}, Host::kNoticeCreate);
        pageElement = host.state.elements.Find(pageId, groupId);
        if (!pageElement || pageElement->HiddenFor(contactId)) return nullptr;
    }
    page = pageId;
    group = groupId;
    contact = contactId;
    RegisterClasses(DialogProc, PanelProc);
    if (!font) {
        font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, EASTEUROPE_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, "Tahoma");
        boldFont = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, EASTEUROPE_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, "Tahoma");
    }
    RECT frame{0, 0, kClientWidth, kClientHeight};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    AdjustWindowRect(&frame, style, FALSE);
    std::string title = "Ustawienia - " + pageElement->TextFor(contact);
    if (const Contact* c = host.state.contacts.Find(contact)) title = "Właściwości - " + c->display;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    dialog = CreateWindowExA(WS_EX_CONTROLPARENT, kDialogClass, title.c_str(), style, 120, 60,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!dialog) return nullptr;
    panel = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0,
                            kClientWidth, kClientHeight - kButtonBar, dialog, nullptr, instance, this);
    const char* captions[] = {"OK", "Anuluj", "Zastosuj"};
    const int ids[] = {IDOK, IDCANCEL, kApplyButton};
    for (int i = 0; i < 3; ++i) {
        HWND button = CreateWindowExA(0, "BUTTON", captions[i], WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                      kClientWidth - (3 - i) * 92, kClientHeight - kButtonBar + 10, 84, 24, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids[i])), instance, nullptr);
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    for (Element* e : host.state.elements.ChildElements(page)) {
        Row row;
        row.element = e;
        row.id = e->id;
        rows.push_back(row);
    }
    Flow flow;
    flow.right = kClientWidth - GetSystemMetrics(SM_CXVSCROLL) - kMargin;
    flow.dc = GetDC(panel);
    HGDIOBJ old = SelectObject(flow.dc, font);
    for (size_t i = 0; i < rows.size(); ++i) Render(flow, i);
    flow.NewLine();
    SelectObject(flow.dc, old);
    ReleaseDC(panel, flow.dc);
    contentHeight = flow.y + kMargin;

    RECT client;
    GetClientRect(panel, &client);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, contentHeight - 1,
                  static_cast<UINT>(client.bottom), 0, 0};
    SetScrollInfo(panel, SB_VERT, &si, TRUE);
    SetWindows(panel);
    ShowWindow(dialog, SW_SHOW);
    SendNotices(Host::kNoticeCreate);
    return panel;
}

void SettingsPage::Close() {
    if (dialog) DestroyWindow(dialog);
}

HWND SettingsPage::Make(const char* cls, const std::string& text, DWORD style, const RECT& r, int index) {
    HWND window = CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top - scrollPos,
                                  r.right - r.left, r.bottom - r.top, panel,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControl + index)),
                                  GetModuleHandleA(nullptr), nullptr);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
}

void SettingsPage::Render(Flow& flow, size_t index) {
    Row& row = rows[index];
    const Element* found = ElementOf(row);
    if (!found) return;
    const Element& e = *found;
    const uint32_t kind = e.status & kKindMask;
    const std::string text = VisibleText(e.text);
    const int indent = e.extended ? e.x : 0;
    const int i = static_cast<int>(index);
    if (kind != kKindRadio) flow.inRadioGroup = false;

    switch (kind) {
        case kKindGroupStart: {
            flow.NewLine();
            RECT r{flow.left, flow.y, flow.right, flow.y + kGroupCaption};
            row.control = Make("BUTTON", text, BS_GROUPBOX | WS_GROUP, r, i);
            flow.boxes.push_back({row.control, flow.y});
            flow.y += kGroupCaption;
            flow.lineBottom = flow.y;
            flow.left += kGroupInset;
            flow.right -= kGroupInset;
            flow.x = flow.left;
            break;
        }
        case kKindGroupEnd: {
            flow.NewLine();
            if (flow.boxes.empty()) break;
            Flow::Box box = flow.boxes.back();
            flow.boxes.pop_back();
            flow.left -= kGroupInset;
            flow.right += kGroupInset;
            int bottom = flow.y + kGroupInset / 2;
            SetWindowPos(box.window, nullptr, 0, 0, flow.right - flow.left, bottom - box.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            flow.y = bottom + kLineGap;
            flow.lineBottom = flow.y;
            flow.x = flow.left;
            break;
        }
        case kKindLabel: {
            int width = e.width ? e.width : flow.LineWidth(indent);
            SIZE size = flow.Measure(text, width);
            RECT r = flow.Place(e.width ? e.width : size.cx + 2, size.cy, indent);
            row.control = Make("STATIC", text, SS_LEFT | SS_NOPREFIX | WS_GROUP, r, i);
            break;
        }
        case kKindCheckBox: {
            int width = e.width ? e.width : flow.LineWidth(indent);
            SIZE size = flow.Measure(text, width - kCheckWidth);
            RECT r = flow.Place(e.width ? e.width : size.cx + kCheckWidth, std::max<int>(size.cy, kLineHeight), indent);
            DWORD multiline = size.cy > kLineHeight ? BS_MULTILINE : 0;
            row.control = Make("BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP | multiline, r, i);
            bool checked = e.param && host.state.config.Int(StoreTable(), StoreRow(), e.param) != 0;
            SendMessageA(row.control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        }
        case kKindRadio: {
            bool newGroup = !flow.inRadioGroup || flow.radioColumn != e.param;
            if (newGroup) {
                flow.inRadioGroup = true;
                flow.radioColumn = e.param;
                flow.radioPosition = 0;
                ++flow.radioGroups;
            }
            row.radioGroup = flow.radioGroups;
            RenderRadio(flow, row, e, flow.radioPosition++);
            if (newGroup) SetWindowLongA(row.control, GWL_STYLE, GetWindowLongA(row.control, GWL_STYLE) | WS_GROUP);
            if (e.status & kStatusLastRadio) flow.inRadioGroup = false;
            break;
        }
        case kKindSlider: RenderSlider(flow, row, e); break;
        case kKindDropDown: RenderDropDown(flow, row, e); break;
        case kKindSeparator: RenderSeparator(flow, row, e); break;
        case kKindRichText: {
            std::string plain = PlainText(text);
            int width = e.width ? e.width : flow.Available(indent);
            SIZE size = flow.Measure(plain, width);
            RECT r = flow.Place(width, std::max<int>(size.cy, FixedHeight(e.height)), indent);
            row.control = Make("STATIC", plain, SS_LEFT | SS_NOPREFIX | WS_GROUP, r, i);
            break;
        }
        case kKindImage: RenderImage(flow, row, e, false); break;
        case kKindInfoImage: RenderImage(flow, row, e, true); break;
        default: return;
    }
    if (kind == kKindGroupStart || kind == kKindGroupEnd || kind == kKindSeparator)
        flow.sameLine = false;
    else
        flow.sameLine = (e.status & kStatusSameLine) != 0;
    std::string tip = OptionValue(e.text, "tipRich");
    if (kind != kKindInfoImage && !tip.empty() && row.control) AddTooltip(row.control, tip, 300);
    ApplyStatus(row);
}

bool SettingsPage::TextColumn(int column) const {
    const ColumnInfo* c = host.state.config.Find(StoreTable(), column);
    return c && c->IsText();
}

bool SettingsPage::Holds(int column, const std::string& value) const {
    if (TextColumn(column)) return host.state.config.Text(StoreTable(), StoreRow(), column) == value;
    return host.state.config.Int(StoreTable(), StoreRow(), column) == std::atoi(value.c_str());
}

void SettingsPage::Write(int column, const std::string& value) {
    if (TextColumn(column))
        host.state.config.SetText(StoreTable(), StoreRow(), column, value);
    else
        host.state.config.SetInt(StoreTable(), StoreRow(), column, std::atoi(value.c_str()));
}

void SettingsPage::RenderRadio(Flow& flow, Row& row, const Element& e, int position) {
    std::string text = VisibleText(e.text);
    std::string label = Before(text, kValueStart);
    bool explicitValue = text.find(kValueStart) != std::string::npos;
    row.values = {explicitValue ? After(text, kValueStart) : std::to_string(position)};
    int indent = e.extended ? e.x : 0;
    int width = e.width ? e.width : flow.LineWidth(indent);
    SIZE size = flow.Measure(label, width - kCheckWidth);
    RECT r = flow.Place(e.width ? e.width : size.cx + kCheckWidth, std::max<int>(size.cy, kLineHeight), indent);
    row.control = Make("BUTTON", label, BS_RADIOBUTTON | WS_TABSTOP, r, static_cast<int>(&row - rows.data()));
    bool checked = e.param && Holds(e.param, row.values[0]);
    SendMessageA(row.control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SettingsPage::RenderSlider(Flow& flow, Row& row, const Element& e) {
    std::vector<std::string> ends = Split(VisibleText(e.text), kItemEnd);
    std::string leftLabel = ends[0];
    std::string rightLabel = ends.size() > 1 ? ends[1] : "";
    int min = OptionInt(e.text, "min", 0);
    int max = OptionInt(e.text, "max", 100);
    int step = std::max(1, OptionInt(e.text, "step", 1));
    int index = static_cast<int>(&row - rows.data());
    int indent = e.extended ? e.x : 0;
    int labelTop = (kSliderHeight - kLineHeight) / 2;

    RECT r = flow.Place(flow.Measure(leftLabel, 200).cx + 2, kSliderHeight, indent);
    r.top += labelTop;
    row.companions.push_back(Make("STATIC", leftLabel, SS_RIGHT | SS_NOPREFIX, r, index));
    r = flow.Place(e.width ? e.width : kSliderWidth, kSliderHeight);
    row.control = Make(TRACKBAR_CLASSA, "", TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP | WS_GROUP, r, index);
    r = flow.Place(flow.Measure(rightLabel, 200).cx + 2, kSliderHeight);
    r.top += labelTop;
    row.companions.push_back(Make("STATIC", rightLabel, SS_LEFT | SS_NOPREFIX, r, index));

    SendMessageA(row.control, TBM_SETRANGEMIN, FALSE, min);
    SendMessageA(row.control, TBM_SETRANGEMAX, TRUE, max);
    SendMessageA(row.control, TBM_SETTICFREQ, step, 0);
    SendMessageA(row.control, TBM_SETLINESIZE, 0, step);
    SendMessageA(row.control, TBM_SETPAGESIZE, 0, step);
    SendMessageA(row.control, TBM_SETPOS, TRUE,
                 e.param ? host.state.config.Int(StoreTable(), StoreRow(), e.param) : min);
}

void SettingsPage::RenderDropDown(Flow& flow, Row& row, const Element& e) {
    int indent = e.extended ? e.x : 0;
    RECT r = flow.Place(e.width ? e.width : kDropDownWidth, kDropDownHeight, indent);
    r.bottom = r.top + kDropDownList;
    row.control = Make("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, r,
                       static_cast<int>(&row - rows.data()));
    int selected = -1;
    for (const std::string& item : Split(VisibleText(e.text), kItemEnd)) {
        if (item.empty()) continue;
        std::string label = Before(Before(item, kIconStart), kValueStart);
        row.values.push_back(After(item, kValueStart));
        SendMessageA(row.control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
        if (selected < 0 && e.param && Holds(e.param, row.values.back()))
            selected = static_cast<int>(row.values.size()) - 1;
    }
    SendMessageA(row.control, CB_SETCURSEL, selected, 0);
}

void SettingsPage::RenderSeparator(Flow& flow, Row& row, const Element& e) {
    std::string caption = VisibleText(e.text);
    int index = static_cast<int>(&row - rows.data());
    flow.NewLine();
    if (!caption.empty()) {
        HGDIOBJ normal = SelectObject(flow.dc, boldFont);
        SIZE size = flow.Measure(caption, flow.Available(0));
        SelectObject(flow.dc, normal);
        RECT r = flow.Place(size.cx + 4, size.cy);
        row.control = Make("STATIC", caption, SS_LEFT | SS_NOPREFIX, r, index);
        SendMessageA(row.control, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont), FALSE);
    }
    RECT line = flow.Place(flow.Available(0), kLineHeight);
    line.top += kLineHeight / 2;
    line.bottom = line.top + 2;
    HWND rule = Make("STATIC", "", SS_ETCHEDHORZ, line, index);
    if (row.control)
        row.companions.push_back(rule);
    else
        row.control = rule;
}

void SettingsPage::RenderImage(Flow& flow, Row& row, const Element& e, bool infoBox) {
    int size = infoBox ? OptionInt(e.text, "iconsize", 32) : 16;
    std::string address = infoBox ? OptionValue(e.text, "imgurl") : VisibleText(e.text);
    int width = std::max<int>(size, e.width);
    int height = std::max(size, FixedHeight(e.height));
    RECT r = flow.Place(width, height, e.extended ? e.x : 0);
    row.control = Make("STATIC", "", SS_ICON | SS_CENTERIMAGE | SS_NOTIFY, r, static_cast<int>(&row - rows.data()));
    SetWindowPos(row.control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(row.control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(LoadAddressedIcon(address, size)));
    if (infoBox) {
        std::string tip = OptionValue(e.text, "tipRich");
        if (!tip.empty()) AddTooltip(row.control, tip, OptionInt(e.text, "tipWidth", 300));
    }
}

// "reg://IML16/11.ico" names a host icon by id, "res://dll/101.ico" an icon
// resource of the plug-in's module; anything else shows the information icon.
HICON SettingsPage::LoadAddressedIcon(const std::string& address, int size) {
    size_t slash = address.rfind('/');
    int id = slash == std::string::npos ? 0 : std::atoi(address.c_str() + slash + 1);
    HICON icon = nullptr;
    if (address.rfind("reg://", 0) == 0) {
        icon = host.state.icons.Handle(id);
        if (icon) return icon;
    } else if (address.rfind("res://dll/", 0) == 0 && host.Module()) {
        icon = static_cast<HICON>(LoadImageA(host.Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
    }
    if (!icon) icon = static_cast<HICON>(LoadImageA(nullptr, IDI_INFORMATION, IMAGE_ICON, size, size, 0));
    if (icon) ownIcons.push_back(icon);
    return icon;
}

void SettingsPage::AddTooltip(HWND control, const std::string& richText, int width) {
    if (!tooltip) {
        tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        if (!tooltip) return;
    }
    SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, width);
    std::string text = PlainText(richText);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = panel;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = &text[0];
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void SettingsPage::ApplyStatus(const Row& row) {
    const Element* e = ElementOf(row);
    if (!e || !row.control) return;
    uint32_t status = e->StatusFor(contact);
    int show = (status & kStatusHidden) ? SW_HIDE : SW_SHOWNA;
    BOOL enable = (status & kStatusDisabled) ? FALSE : TRUE;
    ShowWindow(row.control, show);
    EnableWindow(row.control, enable);
    for (HWND companion : row.companions) {
        ShowWindow(companion, show);
        EnableWindow(companion, enable);
    }
}

void SettingsPage::StatusChanged(const Element& element) {
    if (!panel || element.parent != page) return;
    for (const Row& row : rows)
        if (row.element == &element) ApplyStatus(row);
}

void SettingsPage::SetWindows(HWND pageWindow) {
    if (Element* e = host.state.elements.Find(page, group)) e->window = pageWindow;
    for (Row& row : rows)
        if (ElementOf(row)) row.element->window = pageWindow ? row.control : nullptr;
}

void SettingsPage::SendNotices(int notice) {
    for (size_t i = 0; i < rows.size(); ++i) host.Notify({rows[i].id, page, contact}, notice);
}

std::vector<RenderedControl> SettingsPage::Controls() const {
    std::vector<RenderedControl> out;
    for (const Row& row : rows) {
        const Element* e = ElementOf(row);
        if (row.control && e) out.push_back({row.id, e->status & kKindMask, row.control});
    }
    return out;
}

HWND SettingsPage::ControlOf(int id) const {
    for (const Row& row : rows)
        if (id != 0 && row.id == id) return row.control;
    return nullptr;
}

void SettingsPage::Apply() {
    for (const Row& row : rows) ApplyRow(row);
}

void SettingsPage::ApplyRow(const Row& row) {
    const Element* e = ElementOf(row);
    if (!e || !row.control || e->param == 0) return;
    const int column = e->param;
    switch (e->status & kKindMask) {
        case kKindCheckBox:
            Write(column, SendMessageA(row.control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
            break;
        case kKindRadio:
            if (SendMessageA(row.control, BM_GETCHECK, 0, 0) == BST_CHECKED) Write(column, row.values[0]);
            break;
        case kKindSlider:
            Write(column, std::to_string(SendMessageA(row.control, TBM_GETPOS, 0, 0)));
            break;
        case kKindDropDown: {
            LRESULT selected = SendMessageA(row.control, CB_GETCURSEL, 0, 0);
            if (selected >= 0 && static_cast<size_t>(selected) < row.values.size()) Write(column, row.values[selected]);
            break;
        }
    }
}

// The user changed a control: radio buttons of one group exclude each other,
// and the element's owner hears of the change (notice 1).
void SettingsPage::OnControl(int index, int code) {
    if (index < 0 || static_cast<size_t>(index) >= rows.size()) return;
    const Row& row = rows[index];
    const Element* e = ElementOf(row);
    if (!e) return;
    const uint32_t kind = e->status & kKindMask;
    bool changed = (kind == kKindCheckBox && code == BN_CLICKED) || (kind == kKindRadio && code == BN_CLICKED) ||
                   (kind == kKindDropDown && code == CBN_SELCHANGE);
    if (!changed) return;
    if (kind == kKindRadio) {
        for (const Row& other : rows)
            if (other.radioGroup == row.radioGroup && other.control)
                SendMessageA(other.control, BM_SETCHECK, &other == &row ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    host.Notify({row.id, page, contact}, Host::kNoticeAction);
}

// A slider stops only on its steps; the owner hears when the user lets go.
void SettingsPage::OnSlider(HWND control, int code) {
    for (const Row& row : rows) {
        if (row.control != control) continue;
        const Element* e = ElementOf(row);
        if (!e) return;
        int min = OptionInt(e->text, "min", 0);
        int step = std::max(1, OptionInt(e->text, "step", 1));
        int pos = static_cast<int>(SendMessageA(control, TBM_GETPOS, 0, 0));
        int snapped = min + (pos - min + step / 2) / step * step;
        if (snapped != pos) SendMessageA(control, TBM_SETPOS, TRUE, snapped);
        if (code == TB_ENDTRACK) host.Notify({row.id, page, contact}, Host::kNoticeAction);
        return;
    }
}

void SettingsPage::Scroll(int to) {
    RECT client;
    GetClientRect(panel, &client);
    to = std::max(0, std::min(to, contentHeight - static_cast<int>(client.bottom)));
    if (to == scrollPos) return;
    ScrollWindowEx(panel, 0, scrollPos - to, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    scrollPos = to;
    SetScrollPos(panel, SB_VERT, to, TRUE);
}

void SettingsPage::OnVScroll(int code) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(panel, SB_VERT, &si);
    switch (code) {
        case SB_LINEUP: Scroll(scrollPos - kLineHeight); break;
        case SB_LINEDOWN: Scroll(scrollPos + kLineHeight); break;
        case SB_PAGEUP: Scroll(scrollPos - static_cast<int>(si.nPage)); break;
        case SB_PAGEDOWN: Scroll(scrollPos + static_cast<int>(si.nPage)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: Scroll(si.nTrackPos); break;
        case SB_TOP: Scroll(0); break;
        case SB_BOTTOM: Scroll(contentHeight); break;
    }
}

void SettingsPage::OnButton(int id) {
    switch (id) {
        case IDOK:
            host.ApplySettings();
            host.CloseSettingsPage();
            break;
        case IDCANCEL: host.CloseSettingsPage(); break;
        case kApplyButton: host.ApplySettings(); break;
    }
}

// The dialog is going: its controls still exist while the elements hear of
// their destruction; then no element keeps a window.
void SettingsPage::OnDestroy() {
    SendNotices(Host::kNoticeDestroy);
    SetWindows(nullptr);
}

void SettingsPage::Forget() {
    dialog = nullptr;
    panel = nullptr;
    tooltip = nullptr;
    rows.clear();
    for (HICON icon : ownIcons) DestroyIcon(icon);
    ownIcons.clear();
    scrollPos = 0;
    contentHeight = 0;
    contact = Host::kNoContact;
}

LRESULT CALLBACK SettingsPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SettingsPage*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_COMMAND: self->OnButton(LOWORD(wParam)); return 0;
        case WM_CLOSE: self->host.CloseSettingsPage(); return 0;
        case WM_DESTROY: self->OnDestroy(); return 0;
        case WM_NCDESTROY: self->Forget(); break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK SettingsPage::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SettingsPage*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || !self->panel) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_COMMAND:
            if (lParam) self->OnControl(LOWORD(wParam) - kFirstControl, HIWORD(wParam));
            return 0;
        case WM_HSCROLL:
            if (lParam) self->OnSlider(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
            return 0;
        case WM_VSCROLL: self->OnVScroll(LOWORD(wParam)); return 0;
        case WM_MOUSEWHEEL:
            self->Scroll(self->scrollPos - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * kWheelStep);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace DevHostLib

namespace DevHostLib {

HWND DevHost::OpenSettingsPage() { return state.settingsPage.Open(kSettingsPage, Host::kGroupSettings); }

HWND DevHost::OpenContactPage(int contact) {
    return state.settingsPage.Open(kContactPage, Host::kGroupContactPages, state.contacts.RowId(contact));
}

void DevHost::CloseSettingsPage() { state.settingsPage.Close(); }

bool DevHost::ApplySettings() {
    if (!state.settingsPage.IsOpen()) return false;
    state.settingsPage.Apply();
    Call(Host::kMsgSettingsApplied);
    // The host keeps what the user applied.
    if (controls.onSaveSettings) controls.onSaveSettings();
    return true;
}

int DevHost::SendSettingsApplied() { return Call(Host::kMsgSettingsApplied); }

}  // namespace DevHostLib
