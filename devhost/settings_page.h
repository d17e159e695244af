// A plug-in's page of the host's settings dialog (or of a contact's
// properties, bound to that contact's row of the contact table), rendered
// the way the host renders element records: each element of the page becomes a real control
// in a vertical flow (an element whose status has 0x40 keeps the next one
// on its line), bound to the configuration column in its `param`. The
// control's window is the element's `window` (request 10107, mask 0x400);
// the page element's own window is the page while it is open. Elements
// registered with id 0 are many on a page; each has its own control.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "elements.h"
#include "host/requests.h"

namespace DevHostLib {

constexpr uint32_t kKindLabel = 0x00090000;
constexpr uint32_t kKindCheckBox = 0x00060000;
constexpr uint32_t kKindGroupStart = 0x000F0000;
constexpr uint32_t kKindGroupEnd = 0x00100000;
constexpr uint32_t kKindImage = 0x00110000;
constexpr uint32_t kKindDropDown = 0x00160000;
constexpr uint32_t kKindRichText = 0x00180000;
constexpr uint32_t kKindRadio = 0x00190000;
constexpr uint32_t kKindSlider = 0x001B0000;
constexpr uint32_t kKindInfoImage = 0x001C0000;
constexpr uint32_t kStatusSameLine = 0x40;
constexpr uint32_t kStatusLastRadio = 0x2000;

class DevHost;

struct RenderedControl {
    int id = 0;  // 0 for an unnamed element
    uint32_t kind = 0;
    HWND window = nullptr;
};

class SettingsPage {
public:
    explicit SettingsPage(DevHost& host) : host(host) {}
    ~SettingsPage();
    SettingsPage(const SettingsPage&) = delete;
    SettingsPage& operator=(const SettingsPage&) = delete;

    // Renders the page element {page, group} into a top-level dialog, then
    // sends the create notice to every element of the page. A contact's page
    // first asks its owner (create notice) and stays closed when the owner
    // hides it for the contact.
    HWND Open(int page, int group, int contact = Host::kNoContact);
    // Destroys the dialog; its elements get their destroy notices first.
    void Close();
    bool IsOpen() const { return dialog != nullptr; }
    HWND Dialog() const { return dialog; }
    HWND PageWindow() const { return panel; }

    // The rendered controls in page order, unnamed ones included.
    std::vector<RenderedControl> Controls() const;
    // The control of the element with this nonzero id, or null.
    HWND ControlOf(int id) const;

    // Writes the bound controls' values into the configuration store.
    void Apply();
    // A status change of an element: bit 0 hides its control, bit 1 greys it.
    void StatusChanged(const Element& element);

private:
    struct Row {
        Element* element = nullptr;
        int id = 0;
        HWND control = nullptr;
        std::vector<HWND> companions;     // captions and end labels, shown and greyed with it
        std::vector<std::string> values;  // a drop-down list's item values; a radio button's value
        int radioGroup = -1;
    };
    struct Flow;

    // The row's element while the registry still holds it.
    const Element* ElementOf(const Row& row) const;
    // Where the page's settings live: the configuration table, or the
    // contact's row of the contact table.
    int StoreTable() const { return contact == Host::kNoContact ? 0 : 1; }
    int StoreRow() const { return contact == Host::kNoContact ? 0 : contact; }
    bool TextColumn(int column) const;
    // Whether the column holds this value (a text, or an integer in decimal).
    bool Holds(int column, const std::string& value) const;
    void Write(int column, const std::string& value);
    void Render(Flow& flow, size_t index);
    void RenderRadio(Flow& flow, Row& row, const Element& e, int position);
    void RenderSlider(Flow& flow, Row& row, const Element& e);
    void RenderDropDown(Flow& flow, Row& row, const Element& e);
    void RenderSeparator(Flow& flow, Row& row, const Element& e);
    void RenderImage(Flow& flow, Row& row, const Element& e, bool infoBox);
    HWND Make(const char* cls, const std::string& text, DWORD style, const RECT& r, int index);
    void AddTooltip(HWND control, const std::string& richText, int width);
    HICON LoadAddressedIcon(const std::string& address, int size);
    void ApplyStatus(const Row& row);
    void SetWindows(HWND pageWindow);
    void SendNotices(int notice);
    void ApplyRow(const Row& row);
    void OnControl(int index, int code);
    void OnSlider(HWND control, int code);
    void OnButton(int id);
    void Scroll(int to);
    void OnVScroll(int code);
    void OnDestroy();
    void Forget();

    static LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    DevHost& host;
    int page = 0;
    int group = 0;
    int contact = Host::kNoContact;
    HWND dialog = nullptr;
    HWND panel = nullptr;
    HWND tooltip = nullptr;
    HFONT font = nullptr;
    HFONT boldFont = nullptr;
    std::vector<Row> rows;
    std::vector<HICON> ownIcons;
    int contentHeight = 0;
    int scrollPos = 0;
};

}  // namespace DevHostLib
