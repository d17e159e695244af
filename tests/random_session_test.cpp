// A long session of the user's and the host's actions chosen at random,
// seeded and reproducible, with the tabs checked against the windows after
// every step. The plug-in's code runs linked in, so that a drag can be held
// long enough without sleeping; the host still talks to it only through its
// entry point.
//
// ZAVERNOK_SEED=<number> runs that session (ZAVERNOK_SEED=random a new one,
// whose number is printed); ZAVERNOK_STEPS=<number> changes its length.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "container/bar_view.h"
#include "container/container.h"
#include "conversation_fixture.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "ui/elements.h"

using namespace DevHostLib;

namespace {

constexpr int kDefaultSteps = 3000;
constexpr int kCloseButton = 0xFFFF;
constexpr int kDetachButton = 0xFFFE;

unsigned EnvNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// The same session on every run unless asked otherwise, so that the suite
// gives the same verdict each time; ZAVERNOK_SEED=random explores a new one.
constexpr unsigned kDefaultSeed = 20261208;

unsigned SessionSeed() {
    const char* text = std::getenv("ZAVERNOK_SEED");
    if (text && std::strcmp(text, "random") == 0) return std::random_device{}();
    return EnvNumber("ZAVERNOK_SEED", kDefaultSeed);
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? separator : "") + parts[i];
    return out;
}

}  // namespace

class RandomSession : public ConversationTest {
protected:
    RandomSession() { inProcess = true; }

    std::mt19937 random;
    std::vector<int> contacts;

    int Pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }
    int AnyContact() { return contacts[static_cast<size_t>(Pick(static_cast<int>(contacts.size())))]; }
    int AnyTab() {
        std::vector<int> tabs = Tabs();
        return tabs.empty() ? 0 : tabs[static_cast<size_t>(Pick(static_cast<int>(tabs.size())))];
    }

    // --- the mouse on the bar -------------------------------------------------

    POINT Centre(int index) {
        RECT r{};
        SendMessageA(Bar(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A point on the bar where no button lies, or past the bar.
    POINT Nowhere() {
        RECT bar{};
        GetClientRect(Bar(), &bar);
        return {bar.right - 2, bar.bottom - 1};
    }
    POINT AnyPoint() {
        int count = static_cast<int>(SendMessageA(Bar(), TB_BUTTONCOUNT, 0, 0));
        int index = Pick(count + 1);
        return index == count ? Nowhere() : Centre(index);
    }
    void PutCursor(POINT inBar) {
        ClientToScreen(Bar(), &inBar);
        SetCursorPos(inBar.x, inBar.y);
    }
    static void Hold(std::vector<int> keys) {
        BYTE state[256] = {};
        for (int k : keys) state[k] = 0x80;
        SetKeyboardState(state);
    }
    static LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

    std::string Click(std::vector<int> held) {
        POINT p = AnyPoint();
        PutCursor(p);
        Hold(held);
        SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, At(p));
        SendMessageA(Bar(), WM_LBUTTONUP, 0, At(p));
        ReleaseKeys();
        return "click with " + std::to_string(held.size()) + " keys held";
    }
    std::string MiddleClick() {
        PutCursor(AnyPoint());
        SendMessageA(Bar(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Bar()), MAKELPARAM(HTCLIENT, WM_MBUTTONUP));
        return "middle click";
    }
    std::string RightDoubleClick() {
        POINT p = AnyPoint();
        PutCursor(p);
        SendMessageA(Bar(), WM_RBUTTONDBLCLK, MK_RBUTTON, At(p));
        SendMessageA(Bar(), WM_RBUTTONUP, 0, At(p));
        return "right double click";
    }
    // The drag may wait on a row and scroll the bar before the release.
    std::string Drag() {
        int count = static_cast<int>(SendMessageA(Bar(), TB_BUTTONCOUNT, 0, 0));
        POINT from = Centre(Pick(count)), to = AnyPoint();
        PutCursor(from);
        SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, At(from));
        Tabs::dragStart -= Chance(70) ? 250 : kShortPress;
        PutCursor(to);
        for (int ticks = Pick(3); ticks > 0; --ticks) SendMessageA(Container(), WM_TIMER, Tabs::kDragScrollTimer, 0);
        SendMessageA(Bar(), WM_LBUTTONUP, 0, At(to));
        return "drag";
    }
    // The wheel over the bar, reaching the container or the conversation's edit.
    std::string Wheel() {
        RECT view{};
        GetWindowRect(BarView(), &view);
        POINT at{(view.left + view.right) / 2, (view.top + view.bottom) / 2};
        HWND edit = CurrentContact() ? Edit(CurrentContact()) : nullptr;
        HWND to = Chance(50) && edit ? edit : Container();
        SendMessageA(to, WM_MOUSEWHEEL, MAKEWPARAM(0, (Pick(7) - 3) * WHEEL_DELTA), MAKELPARAM(at.x, at.y));
        return "wheel over the bar";
    }
    std::string Arrow() {
        HWND arrows = GetDlgItem(Container(), Tabs::kBarArrowsId);
        RECT r{};
        GetClientRect(arrows, &r);
        LPARAM at = MAKELPARAM(r.right / 2, Chance(50) ? 1 : r.bottom - 2);
        SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(arrows, WM_LBUTTONUP, 0, at);
        return "an arrow beside the rows";
    }
    // Dragged out of the container and let go there: the tab tears off.
    std::string DragOut() {
        int count = static_cast<int>(SendMessageA(Bar(), TB_BUTTONCOUNT, 0, 0));
        POINT from = Centre(Pick(count));
        RECT container{};
        GetWindowRect(Container(), &container);
        POINT out{container.right + 10 + Pick(300), container.top + Pick(400)};
        PutCursor(from);
        SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, At(from));
        Tabs::dragStart -= 250;
        SetCursorPos(out.x, out.y);
        ScreenToClient(Bar(), &out);
        SendMessageA(Bar(), WM_MOUSEMOVE, MK_LBUTTON, At(out));
        SendMessageA(Bar(), WM_LBUTTONUP, 0, At(out));
        return "tab dragged out";
    }

    // --- the keyboard in a conversation -------------------------------------

    std::string Key(UINT key, std::vector<int> held, const char* what) {
        int contact = Chance(80) && CurrentContact() ? CurrentContact() : AnyContact();
        HWND edit = Edit(contact);
        if (!edit) return std::string(what) + ": no edit";
        Hold(held);
        SendMessageA(edit, WM_KEYDOWN, key, 1);
        SendMessageA(edit, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
        ReleaseKeys();
        return what;
    }

    // Ctrl+K, a letter, then Enter or Esc; now and then the quick switcher
    // stays open into the steps that follow.
    std::string QuickSwitcher() {
        std::string done = Key('K', {VK_CONTROL}, "Ctrl+K");
        HWND field = GetFocus();
        if (!FindWindowA("TabsSwitcher", nullptr)) return done + ": closed";
        SendMessageA(field, WM_CHAR, "aeiokn"[Pick(6)], 1);
        if (Chance(20)) return done + ": left open";
        SendMessageA(field, WM_KEYDOWN, Chance(50) ? VK_RETURN : VK_ESCAPE, 1);
        return done + ": a row taken or Esc";
    }

    // --- menus, buttons and the host ----------------------------------------

    std::string MenuAction(int element, const char* what) {
        int contact = Chance(70) && !Tabs().empty() ? AnyTab() : AnyContact();
        host->Notify({element, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
        return what;
    }
    std::string BarButton(int id, const char* what) {
        SendMessageA(Container(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Bar()));
        return what;
    }
    std::string CloseContainer() {
        bool shift = Chance(30);
        Hold(shift ? std::vector<int>{VK_SHIFT} : std::vector<int>{});
        SendMessageA(Container(), WM_CLOSE, 0, 0);
        ReleaseKeys();
        return shift ? "container closed with Shift" : "container closed";
    }
    std::string ApplySettings() {
        host->state.config.SetInt("Tabs/EscAction", Pick(3));
        host->state.config.SetInt("Tabs/CloseAllTabs", Pick(2));
        host->state.config.SetInt("Tabs/CloseTabWhenOne", Pick(2));
        host->state.config.SetInt("Tabs/AutoCreateButton", Pick(2));
        host->state.config.SetInt("Tabs/HideTabbarWhenOne", Pick(2));
        host->state.config.SetInt("Tabs/Align", Pick(2));
        host->state.config.SetInt("Tabs/ChangeKey", Chance(20));
        host->state.config.SetInt("Tabs/TabsCloseButton", Pick(2));
        host->state.config.SetInt("Tabs/TabsDetachButton", Pick(2));
        host->state.config.SetInt(0, 0, kKeepWindowColumn, Chance(30));
        // The host reports applied settings only while the plug-in's page is
        // open; building the page is slow, so it stays open once opened.
        if (!host->state.settingsPage.IsOpen()) host->OpenSettingsPage();
        host->SendSettingsApplied();
        return "settings applied";
    }
    std::string Restart() {
        host->Stop();
        bool fresh = Chance(50);
        if (fresh) host->state.conversations.DestroyAll();
        host->state.config.SetInt("Tabs/AutoRevertSession", Pick(3));
        host->controls.askUser = [this](const std::string&) { return Pick(2); };
        host->Start();
        return fresh ? "end, the host's windows closed, start" : "end and start";
    }
    std::string Message() {
        int contact = AnyContact();
        int roll = Pick(20);
        if (roll == 0) host->DeliverMessage(contact, "hej", 2);
        else if (roll == 1) host->DeliverMessage(contact, "hej", 1, 2);
        else if (roll == 2) host->DeliverMessage(contact, "x >board: y");
        else host->DeliverMessage(contact, "hej");
        return "message from " + std::to_string(contact & 0xFFFF);
    }

    std::string Step() {
        switch (Pick(31)) {
            case 0: case 1: case 2: Open(AnyContact()); return "host opens a conversation";
            case 3: case 4: return Message();
            case 5: host->ChangeStatus(AnyContact(), 1 + Pick(8)); return "status change";
            case 6: case 7: return Click({});
            case 8: return Click({Chance(50) ? VK_SHIFT : VK_CONTROL});
            case 9: return Click({VK_MENU});
            case 10: return Chance(20) ? Key('T', {VK_CONTROL, VK_SHIFT}, "Ctrl+Shift+T") : MiddleClick();
            case 11: return RightDoubleClick();
            case 12: return Chance(25) ? DragOut() : Drag();
            case 13: return Chance(30) ? Key(VK_NEXT, {VK_CONTROL}, "Ctrl+PageDown") : Key(VK_TAB, {VK_CONTROL}, "Ctrl+Tab");
            case 14: return Chance(30) ? Key(VK_PRIOR, {VK_CONTROL}, "Ctrl+PageUp") : Key(VK_TAB, {VK_CONTROL, VK_SHIFT}, "Ctrl+Shift+Tab");
            case 15: return Chance(25) ? QuickSwitcher() : Key('1' + Pick(9), {VK_CONTROL}, "Ctrl+digit");
            case 16: return Key(VK_F1 + Pick(12), {}, "function key");
            case 17: return Chance(30) ? Key('W', {VK_CONTROL}, "Ctrl+W") : Key(VK_F4, {VK_CONTROL}, "Ctrl+F4");
            case 18: host->state.conversations.Close(AnyContact()); return "the host's close request (Esc)";
            case 19: return MenuAction(Tabs::Element::AttachDetach, "attach/detach from the menu");
            case 20: return Chance(50) ? BarButton(kDetachButton, "detach button") : BarButton(kCloseButton, "close button");
            case 21: return MenuAction(Tabs::Element::Close, "close from the menu");
            case 22: return Chance(25) ? MenuAction(Tabs::Element::CloseOthers, "close the others") : CloseContainer();
            case 23: host->state.conversations.DestroyConversation(AnyContact()); return "the host destroys a window";
            case 24: SendMessageA(Container(), WM_TIMER, 1 + Pick(2), 0); return "a timer";
            case 25: SendMessageA(Container(), WM_ACTIVATE, WA_CLICKACTIVE, 0); return "the container activated";
            case 26:
                host->state.conversations.Retitle(AnyContact(), "Rozmowa\r\nnr " + std::to_string(Pick(100)));
                return "retitle";
            case 27:
                host->state.conversations.Move(AnyContact(), Pick(50), Pick(50), 200 + Pick(200), 150 + Pick(200));
                return "host moves a window";
            case 28: return Chance(15) ? Restart() : Chance(35) ? ApplySettings() : Key(VK_ESCAPE, {}, "Esc");
            case 29: return Chance(50) ? Wheel() : Arrow();
            default: DevHost::Pump(); return "messages pumped";
        }
    }

    // --- the invariants -----------------------------------------------------

    std::string ShortName(int contact) {
        const Contact* c = host->state.contacts.Find(contact);
        std::string name = c ? (c->display.empty() ? c->userId : c->display) : "";
        unsigned limit = static_cast<unsigned>(host->state.config.Int("Tabs/ShortenDesc "));
        if (limit != 0 && name.size() > limit) name = name.substr(0, limit) + '\x85';
        return name;
    }

    std::string ExpectedTitle(HWND current) {
        std::vector<std::string> names;
        for (int contact : Tabs::waitingList) names.push_back(ShortName(contact));
        std::string text = Text(current);
        std::replace(text.begin(), text.end(), '\r', ' ');
        std::replace(text.begin(), text.end(), '\n', ' ');
        return names.empty() ? text : "[" + Joined(names, ", ") + "] " + text;
    }

    std::vector<std::string> Violations() {
        std::vector<std::string> out;
        HWND container = Container();
        if (!container || !IsWindow(container)) return {"no container"};
        HWND bar = Bar();
        int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        TBBUTTON b0{}, b1{};
        SendMessageA(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&b0));
        SendMessageA(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&b1));
        if (count < 2 || b0.idCommand != kCloseButton || b1.idCommand != kDetachButton)
            out.push_back("the fixed buttons are not the first two");
        std::vector<int> tabs = Tabs();
        std::set<int> tabSet(tabs.begin(), tabs.end());
        if (tabSet.size() != tabs.size()) out.push_back("a contact has two buttons");
        for (int contact : tabs)
            if ((contact & 0xBFFFFFFF) < 1 || (contact & 0xBFFFFFFF) > 65533) out.push_back("a button id out of range");

        int current = CurrentContact();
        HWND currentWnd = CurrentWindow();
        std::vector<HWND> shown;
        for (int contact : contacts) {
            HWND window = WindowOf(contact);
            bool hasButton = tabSet.count(contact) != 0;
            std::string who = "contact " + std::to_string(contact & 0xFFFF);
            if (!window) continue;
            bool tabbed = Tabbed(window);
            bool visible = (Style(window) & WS_VISIBLE) != 0;
            if (tabbed && ParentOf(window) != Content()) out.push_back(who + ": tabbed but not in the container");
            if (!tabbed && ParentOf(window) == Content()) out.push_back(who + ": in the container but not tabbed");
            if (hasButton && !tabbed) out.push_back(who + ": a button for a window that is not a tab");
            if (tabbed && visible) {
                shown.push_back(window);
                if (!hasButton) out.push_back(who + ": a shown tab without a button");
                if (window != currentWnd) out.push_back(who + ": a shown tab that is not the current one");
            }
        }
        if (shown.size() > 1) out.push_back(std::to_string(shown.size()) + " tabs shown at once");
        if (tabs.empty() && (current != 0 || currentWnd)) out.push_back("no tabs, yet a current conversation");
        if (current != 0 && !tabSet.count(current)) out.push_back("the current conversation has no button");
        if (current != 0 && currentWnd != WindowOf(current)) out.push_back("the current window is not the current contact's");
        if (IsWindowVisible(container) && current != 0 && shown.size() != 1)
            out.push_back("the container shows " + std::to_string(shown.size()) + " tabs");

        std::set<int> waiting;
        for (int contact : Tabs::waitingList) {
            if (!waiting.insert(contact).second) out.push_back("a contact waits twice");
            if (!tabSet.count(contact) && !host->state.contacts.Find(contact))
                out.push_back("an unknown contact waits");
        }
        if (IsWindowVisible(container) && currentWnd && Text(container) != ExpectedTitle(currentWnd))
            out.push_back("title \"" + Text(container) + "\", expected \"" + ExpectedTitle(currentWnd) + "\"");
        if (!host->state.conversations.leftovers.empty())
            out.push_back("left on a host window: " + host->state.conversations.leftovers.front());
        if (IsWindowVisible(container)) {
            RECT client{}, content{};
            GetClientRect(container, &client);
            GetClientRect(Content(), &content);
            int row = HIWORD(SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0));
            if (client.bottom - content.bottom > std::max(static_cast<int>(client.bottom) / 3, row))
                out.push_back("the bar takes " + std::to_string(client.bottom - content.bottom) + " of " +
                              std::to_string(client.bottom) + " pixels");
            RECT shownSize{};
            if (currentWnd && GetClientRect(currentWnd, &shownSize) &&
                (shownSize.right != content.right || shownSize.bottom != content.bottom))
                out.push_back("the shown conversation's client area is not the content's");
        }
        if (host->recorded.Logged("wyjątek") || host->recorded.Logged("błąd ochrony"))
            out.push_back("a throw or a fault was caught");
        return out;
    }
};

TEST_F(RandomSession, ThousandsOfRandomStepsKeepTabsWindowsCurrentTabWaitingListAndTitleInStep) {
    unsigned seed = SessionSeed();
    int steps = static_cast<int>(EnvNumber("ZAVERNOK_STEPS", kDefaultSteps));
    std::printf("random session: seed %u, %d steps (ZAVERNOK_SEED=%u repeats it)\n", seed, steps, seed);
    std::fflush(stdout);
    random.seed(seed);

    // Small enough that the ten tabs sometimes do not fit and the bar scrolls.
    host->state.config.SetInt("Tabs/Pos/W", 320);
    host->state.config.SetInt("Tabs/Pos/H", 220);
    Boot();
    const char* names[] = {"Ala", "Jan", "Ola", "Bartłomiej Wiśniewski-Kowalczyk", "Ewa", "Zenon", "Iza",
                           "Krzysztof Brzęczyszczykiewicz", "Ula", "Piotr"};
    for (const char* name : names) contacts.push_back(AddContact(name));

    for (int step = 1; step <= steps; ++step) {
        std::string what = Step();
        std::vector<std::string> broken = Violations();
        host->ForgetRecords();
        if (!broken.empty()) {
            ADD_FAILURE() << "seed " << seed << ", step " << step << " (" << what << "): " << Joined(broken, "; ");
            return;
        }
    }
}
