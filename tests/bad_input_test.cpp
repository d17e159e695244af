// Bad input at every boundary the plug-in has: records of every code that are
// short, truncated or filled with garbage; stored settings that hold
// garbage; a host that answers nothing; and window messages whose records
// fault. Never a crash, never a hang, and what was stored stays readable.
#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <set>

#include "conversation_fixture.h"
#include "host/columns.h"
#include "ui/elements.h"

using namespace DevHostLib;

namespace {

constexpr unsigned kSeed = 20261208;

// Memory in which a record ends right where readable memory ends: a read
// past the record's end faults instead of passing unnoticed.
class GuardedMemory {
public:
    GuardedMemory() {
        base = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base + kPage, kPage, PAGE_NOACCESS, &old);
    }
    ~GuardedMemory() { VirtualFree(base, 0, MEM_RELEASE); }
    GuardedMemory(const GuardedMemory&) = delete;
    GuardedMemory& operator=(const GuardedMemory&) = delete;

    void* Place(const std::vector<uint8_t>& bytes) {
        uint8_t* at = base + kPage - bytes.size();
        std::memcpy(at, bytes.data(), bytes.size());
        return at;
    }
    const char* Text(const std::string& text) {
        return static_cast<const char*>(Place(std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1)));
    }

private:
    static constexpr size_t kPage = 4096;
    uint8_t* base = nullptr;
};

void Put16(std::vector<uint8_t>& r, size_t at, uint16_t v) {
    if (at + 2 <= r.size()) std::memcpy(&r[at], &v, 2);
}
void Put32(std::vector<uint8_t>& r, size_t at, int32_t v) {
    if (at + 4 <= r.size()) std::memcpy(&r[at], &v, 4);
}
void PutPointer(std::vector<uint8_t>& r, size_t at, const void* v) {
    if (at + sizeof v <= r.size()) std::memcpy(&r[at], &v, sizeof v);
}

// Codes that act on the tabs, answer questions or are unknown; the life-cycle
// codes are left to the host's own order.
const int kFuzzedCodes[] = {Host::kMsgApiVersion, Host::kMsgApiFlags, Host::kMsgPluginsLoaded, Host::kMsgIncoming,
                            Host::kMsgSettingsApplied, Host::kMsgAction, Host::kMsgStatusChange, 30010, 30011, 30012,
                            30013, 30016, 30017, Host::kAskContainer, Host::kAskCurrentContact,
                            Host::kAskCurrentWindow, Host::kAskWindowState, 20003, 0, -1, 99999};

// Element ids the notices of message 22200 are about: the plug-in's own and
// those it took over, and a few others.
const int kNoticeIds[] = {250, 251, 306002, 306003, 306004, 306005, 306006, 306007, 306008, 306100, 306106, 306110,
                          306138, 306139, 306201, 138, 1};
const int kNoticeCodes[] = {1, 10, 11, 220, 310};

}  // namespace

class BadInput : public ConversationTest {
protected:
    std::mt19937 random{kSeed};
    GuardedMemory outer, inner, from, body;

    int Pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
    std::vector<uint8_t> Garbage(size_t n) {
        std::vector<uint8_t> bytes(n);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        return bytes;
    }
    std::string GarbageText(size_t n) {
        std::string text;
        for (size_t i = 0; i < n; ++i) text += static_cast<char>(1 + random() % 255);
        return text;
    }

    // A record that p1 points to, honest about its size, with readable texts
    // where records hold text pointers and element ids the plug-in knows.
    void* HonestInner(int code) {
        std::vector<uint8_t> r = Garbage(static_cast<size_t>(2 + Pick(90)));
        Put16(r, 0, static_cast<uint16_t>(r.size()));
        if (code == Host::kMsgAction) {
            Put32(r, 2, kNoticeIds[Pick(sizeof kNoticeIds / sizeof *kNoticeIds)]);
            Put32(r, 10, Pick(2) ? contacts[static_cast<size_t>(Pick(static_cast<int>(contacts.size())))] : -2);
            Put32(r, 14, kNoticeCodes[Pick(sizeof kNoticeCodes / sizeof *kNoticeCodes)]);
            if (Pick(2)) PutPointer(r, offsetof(ActionNoticeWindow, parentWindow), WindowOf(contacts[0]));
        }
        if (code == Host::kMsgIncoming) {
            Put32(r, offsetof(IncomingMessage, kind), Pick(2));
            PutPointer(r, offsetof(IncomingMessage, from),
                       from.Text(Pick(2) ? "Ala@velmora" : GarbageText(Pick(20))));
            PutPointer(r, offsetof(IncomingMessage, body), body.Text(GarbageText(Pick(40))));
            Put32(r, offsetof(IncomingMessage, flags), Pick(4));
        }
        return inner.Place(r);
    }

    int CallHonest(int code, size_t length) {
        std::vector<uint8_t> r = Garbage(length);
        Put16(r, 0, static_cast<uint16_t>(length));
        Put32(r, 2, code);
        const size_t p1 = offsetof(HostMessage, p1);
        if (code == Host::kAskWindowState) Put32(r, p1, Pick(2) ? contacts[0] : static_cast<int32_t>(random()));
        else PutPointer(r, p1, HonestInner(code));
        return host->CallRecord(outer.Place(r));
    }

    bool PluginAnswers() { return host->Call(Host::kMsgNumber) == 306; }
    bool Faulted() { return host->recorded.Logged("błąd ochrony") || host->recorded.Logged("wyjątek"); }
    std::string FaultLines() {
        std::string lines;
        for (const LogLine& l : host->recorded.log)
            if (l.text.find("błąd ochrony") != std::string::npos || l.text.find("wyjątek") != std::string::npos)
                lines += l.text + "\n";
        return lines;
    }

    std::vector<int> contacts;
};

TEST_F(BadInput, ShortAndTruncatedRecordsOfEveryCodeAreReadOnlyAsFarAsTheyReach) {
    contacts = BootWithTabs({"Ala", "Jan", "Ola"});
    for (int code : kFuzzedCodes)
        for (size_t length = 6; length <= 40; ++length)
            for (int round = 0; round < 3; ++round) CallHonest(code, length);
    // The codes that hand over or release the host control: a short record
    // carries no pointer, and changes nothing.
    for (size_t length = 6; length < sizeof(HostMessage); ++length) {
        std::vector<uint8_t> r = Garbage(length);
        Put16(r, 0, static_cast<uint16_t>(length));
        Put32(r, 2, Pick(2) ? Host::kMsgSetControl : Host::kMsgReleaseControl);
        EXPECT_EQ(host->CallRecord(outer.Place(r)), 0);
    }

    EXPECT_FALSE(Faulted()) << "a record was read past its end: " << FaultLines();
    EXPECT_TRUE(PluginAnswers());
    int late = AddContact("Ewa");
    Open(late);
    EXPECT_EQ(CurrentContact(), late) << "conversations still become tabs";
}

TEST_F(BadInput, GarbageRecordsAndPointersEndTheCallAndNothingElse) {
    contacts = BootWithTabs({"Ala", "Jan", "Ola"});
    // The size field lies too: the host's own record of the call reads as
    // far as it says, so the record lies in memory that goes on far enough.
    std::vector<uint8_t> roomy(70000);
    for (int round = 0; round < 400; ++round) {
        int code = kFuzzedCodes[Pick(sizeof kFuzzedCodes / sizeof *kFuzzedCodes)];
        std::vector<uint8_t> r = Garbage(static_cast<size_t>(6 + Pick(40)));
        Put32(r, 2, code);
        if (Pick(2)) Put32(r, offsetof(HostMessage, p1), Pick(2) ? Pick(0x10000) : static_cast<int32_t>(random()));
        std::copy(r.begin(), r.end(), roomy.begin());
        host->CallRecord(roomy.data());
    }
    EXPECT_TRUE(PluginAnswers());
    int late = AddContact("Ewa");
    Open(late);
    EXPECT_EQ(CurrentContact(), late);
}

TEST_F(BadInput, GarbageInStoredSettingsStartsRunsAndEndsAndWhatWasStoredStaysReadable) {
    std::vector<int> known = {AddContact("Ala"), AddContact("Jan"), AddContact("Ola")};
    host->Call(Host::kMsgSetControl, static_cast<HostControl*>(host.get()));
    host->Call(Host::kMsgDeclareColumns);
    std::string session = "\x01\x01-5\x01" + std::to_string(known[0]) + "\x01" + "99999999999999\x01  +" +
                          std::to_string(known[1]) + "abc\x01" + GarbageText(30) + "\x01zzz";
    std::string closed = "  " + std::to_string(known[2]) + "\x01" + GarbageText(50) + "\x01-2147483648\x01" +
                         std::to_string(known[1]) + "\x01\x01";
    host->state.config.SetText("Tabs/LastSession", session);
    host->state.config.SetText("Tabs/ClosedRecentlyBuffer", closed);
    const char* clicks[] = {"Tabs/Clicks/ShiftClick", "Tabs/Clicks/ControlClick", "Tabs/Clicks/AltClick",
                            "Tabs/Clicks/MClick", "Tabs/Clicks/RDblClick"};
    const char* clickTexts[] = {"abc", ":::", "99999999999:-5", "", "30:"};
    for (size_t i = 0; i < 5; ++i) host->state.config.SetText(clicks[i], clickTexts[i]);
    const int extremes[] = {INT_MIN, -1, 2, 7, 1000000, INT_MAX};
    std::map<std::string, int> integers;
    for (const ColumnInfo& c : host->state.config.Declarations()) {
        if (c.table != 0 || c.IsText() || c.key.rfind("Tabs/", 0) != 0) continue;
        integers[c.key] = extremes[Pick(6)];
    }
    integers["Tabs/MsgIconFlash"] = 1;  // a tick every millisecond: still no hang
    integers["Tabs/AutoRevertSession"] = 1;
    for (const auto& [key, value] : integers) host->state.config.SetInt(key, value);
    host->Call(Host::kMsgPluginsLoaded);
    host->Call(Host::kMsgPrepare);
    host->Call(Host::kMsgStart);

    int extra = AddContact("Ewa Zielińska-Brzęczyszczykiewicz");
    Open(extra);
    HWND bar = Bar();
    for (int index = 0; index < 6; ++index) {
        RECT r{};
        SendMessageA(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
            BYTE state[256] = {};
            state[key] = 0x80;
            SetKeyboardState(state);
            SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
            ReleaseKeys();
        }
        ClientToScreen(bar, &p);
        SetCursorPos(p.x, p.y);
        SendMessageA(bar, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(r.left + 1, r.top + 1));
    }
    host->DeliverMessage(known[0], "hej");
    SendMessageA(Container(), WM_TIMER, 1, 0);
    SendMessageA(Container(), WM_TIMER, 2, 0);
    DevHost::Pump();
    host->OpenSettingsPage();
    host->SendSettingsApplied();
    Press(Edit(extra), VK_TAB, {VK_CONTROL});
    SendMessageA(Container(), WM_CLOSE, 0, 0);
    host->Stop();

    EXPECT_FALSE(Faulted());
    for (const auto& [key, value] : integers)
        if (key.rfind("Tabs/Pos/", 0) != 0) {
            EXPECT_EQ(host->state.config.Int(key), value) << key << " was rewritten";
        }
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(host->state.config.Text(clicks[i]), clickTexts[i]);
    // Both lists come back in their stored form: numbers, each ended by 0x01.
    for (const char* key : {"Tabs/LastSession", "Tabs/ClosedRecentlyBuffer"}) {
        std::string stored = host->state.config.Text(key);
        EXPECT_EQ(stored.find_first_not_of("-0123456789\x01"), std::string::npos) << key << ": " << stored;
        EXPECT_TRUE(stored.empty() || stored.back() == '\x01') << key;
    }
    std::string kept = host->state.config.Text("Tabs/ClosedRecentlyBuffer");
    for (int contact : {known[2], known[1]})
        EXPECT_NE(kept.find(std::to_string(contact) + '\x01'), std::string::npos) << "the recently closed survive";
}

namespace {

// A host that answers every request with 0 and every read with nothing.
class SilentHost : public DevHost {
public:
    HINSTANCE appInstance() override { return nullptr; }
    HINSTANCE moduleInstance() override { return nullptr; }
    int ownId() override { return 0; }
    int noResult(int) override { return 0; }
    intptr_t send(HostMessage*) override { return 0; }
    intptr_t sendTo(int, HostMessage*) override { return 0; }
    int rowTest(int, int) override { return 0; }
    int rowId(int, int) override { return 0; }
    char* tempBuffer(int) override { return nullptr; }
    intptr_t getColumn(int, int, int, ColumnValue*) override { return 0; }
    int setColumn(int, int, int, ColumnValue*) override { return 0; }
    int logEnabled(int) override { return 0; }
};

}  // namespace

TEST_F(BadInput, AHostThatAnswersNothingToAnyRequestGetsNoFaultAndNoHang) {
    host = std::make_unique<SilentHost>();
    ASSERT_TRUE(host->Load(ZAVERNOK_DLL));
    Boot();
    int ala = AddContact("Ala");
    HWND window = Open(ala);
    // The host's own notices still reach the plug-in, although it could not
    // take the elements over.
    host->NotifyWindow({Host::kActionMessageView, Host::kGroupConversation, ala}, Host::kNoticeCreateWindow,
                       GetDlgItem(window, kViewItem), window);
    host->NotifyWindow({Host::kActionMessageEdit, Host::kGroupConversation, ala}, Host::kNoticeCreateWindow,
                       GetDlgItem(window, kEditItem), window);
    ActionNotice notice{};
    notice.size = sizeof notice;
    for (int id : kNoticeIds) {
        for (int code : kNoticeCodes) {
            notice.ref = {id, Host::kGroupContactMenu, ala};
            notice.notice = code;
            host->Call(Host::kMsgAction, &notice);
        }
    }
    host->DeliverMessage(ala, "hej");
    host->ChangeStatus(ala, 3);
    host->SendSettingsApplied();
    for (int code : {Host::kAskContainer, Host::kAskCurrentContact, Host::kAskCurrentWindow}) host->Call(code);
    host->Call(Host::kAskWindowState, ala);
    if (HWND container = Container()) {
        for (UINT timer : {1u, 2u}) SendMessageA(container, WM_TIMER, timer, 0);
        SendMessageA(container, WM_COMMAND, MAKEWPARAM(0xFFFE, 0), 0);
        SendMessageA(container, WM_COMMAND, MAKEWPARAM(0xFFFF, 0), 0);
        SendMessageA(container, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    }
    Press(GetDlgItem(window, kEditItem), VK_TAB, {VK_CONTROL});
    host->state.conversations.Retitle(ala, "Nowy tytuł");
    DevHost::Pump();
    host->Stop();
    EXPECT_TRUE(host->state.conversations.leftovers.empty()) << host->state.conversations.leftovers.front();
}

// Faults inside the plug-in's own window procedures end the plug-in's part
// of the message; the host's procedure still gets it.
namespace {

std::vector<UINT> seenByHost;
WNDPROC hostProcedure = nullptr;

LRESULT CALLBACK RecordingHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seenByHost.push_back(message);
    return CallWindowProcA(hostProcedure, window, message, wParam, lParam);
}

}  // namespace

TEST_F(BadInput, AFaultInAHookEndsOnlyThePlugInsPartAndTheHostStillGetsTheMessage) {
    auto c = BootWithTabs({"Ala", "Jan"});
    HWND window = WindowOf(c[0]);
    HANDLE record = GetPropA(window, "CNT");
    hostProcedure = reinterpret_cast<WNDPROC>(GetPropA(window, "oldProc"));
    ASSERT_NE(hostProcedure, nullptr);
    GuardedMemory unreadable;
    SetPropA(window, "oldProc", reinterpret_cast<HANDLE>(RecordingHostProc));
    SetPropA(window, "CNT", unreadable.Place({}));  // the host's record, gone

    seenByHost.clear();
    SendMessageA(window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
    std::vector<UINT> sent;
    for (UINT m : seenByHost)
        if (m == WM_ACTIVATE || m == WM_SHOWWINDOW) sent.push_back(m);
    EXPECT_EQ(sent, (std::vector<UINT>{WM_ACTIVATE, WM_SHOWWINDOW}));
    EXPECT_TRUE(host->recorded.Logged("Tabs::SubclassProc - błąd ochrony pamięci"));

    SetPropA(window, "CNT", record);
    SetPropA(window, "oldProc", reinterpret_cast<HANDLE>(hostProcedure));
    Open(c[0]);
    EXPECT_EQ(CurrentContact(), c[0]) << "the hook goes on working";
}

TEST_F(BadInput, AFaultingNotificationToTheContainerIsAnsweredWithoutClosingAnything) {
    auto c = BootWithTabs({"Ala", "Jan"});
    GuardedMemory unreadable;
    // The bar's image question, asked by another window with a bare header:
    // nothing past the header is read or written.
    for (UINT code : {TBN_GETDISPINFOW, TBN_GETDISPINFOA}) {
        NMHDR header{Content(), 10, code};
        std::vector<uint8_t> bytes(sizeof header);
        std::memcpy(bytes.data(), &header, sizeof header);
        EXPECT_EQ(SendMessageA(Container(), WM_NOTIFY, 10, reinterpret_cast<LPARAM>(unreadable.Place(bytes))), 0);
    }
    EXPECT_FALSE(host->recorded.Logged("Tabs::WndProc - błąd ochrony pamięci"));
    LPARAM gone = reinterpret_cast<LPARAM>(unreadable.Place({}));
    EXPECT_EQ(SendMessageA(Container(), WM_NOTIFY, 10, gone), 0);
    EXPECT_TRUE(host->recorded.Logged("Tabs::WndProc - błąd ochrony pamięci"));
    EXPECT_TRUE(IsWindow(Container()));
    EXPECT_EQ(Tabs(), c);
}

TEST_F(BadInput, AViewNoticeNamingThePlugInsOwnWindowsTakesNoneOfThem) {
    auto c = BootWithTabs({"Ala", "Jan"});
    int ola = AddContact("Ola");
    HWND container = Container();
    LONG style = GetWindowLongA(container, GWL_STYLE);
    for (HWND own : {container, Content(), BarView(), Bar()}) {
        HWND parent = ParentOf(own);
        host->NotifyWindow({Host::kActionMessageView, Host::kGroupConversation, ola}, Host::kNoticeCreateWindow, own,
                           own);
        EXPECT_EQ(ParentOf(own), parent);
        EXPECT_EQ(Tabs(), c);
    }
    EXPECT_EQ(GetWindowLongA(container, GWL_STYLE), style);
    Open(ola);
    EXPECT_EQ(Tabs(), (std::vector<int>{c[0], c[1], ola}));
}
