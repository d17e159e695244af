// The stand-in for the Velmora host. It loads the plug-in DLL, talks to it
// only through its exported entry point, and serves the plug-in's requests
// through a real HostControl object: the configuration store, the contact
// table, the element registry, icons, questions to the user and small
// stand-ins for the other plug-ins. Everything the plug-in sends is recorded.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "config_store.h"
#include "contacts.h"
#include "conversations.h"
#include "elements.h"
#include "host/host_control.h"
#include "icons.h"
#include "menus.h"
#include "settings_page.h"

namespace DevHostLib {

constexpr int kPluginNumber = 306;   // the plug-in under test
constexpr int kHostUiPlugin = 2;     // owner of the host's own elements 250 and 251
constexpr int kMainMenuGroup = 50;   // answered to request 10119
constexpr int kPluginCallAnswer = 0; // default answer of a stand-in plug-in
constexpr int kSettingsPage = 306100; // the plug-in's page in the settings dialog
constexpr int kContactPage = 306201;  // the plug-in's page in a contact's properties
// The plug-in's exports as a host looks them up: x64 has no stdcall
// decoration, and the MSVC name of the accessor differs.
#if defined(_WIN64)
constexpr char kEntryExport[] = "IMessageProc";
constexpr char kAccessorMsvcExport[] = "?get@LibInstance@Corvina@@SAAEAV12@XZ";
#else
constexpr char kEntryExport[] = "_IMessageProc@4";
constexpr char kAccessorMsvcExport[] = "?get@LibInstance@Corvina@@SAAAV12@XZ";
#endif
constexpr char kAccessorGnuExport[] = "_ZN7Corvina11LibInstance3getEv";

// One request the plug-in sent, with copies of what its pointers showed.
struct Sent {
    int code = 0;
    int target = 0;  // targetNumber for messages to other plug-ins
    intptr_t p1 = 0;
    intptr_t p2 = 0;
    std::vector<uint8_t> message;  // the HostMessage (or longer record) itself
    std::vector<uint8_t> record;   // the record p1 points to, when it is one
    std::string text;              // the text the request carries, when any
    std::map<int, std::string> recordTexts;  // texts the record's pointers showed, by offset
};

// A notice the host delivered to an element's owner (message 22200 to a
// plug-in, or the host's own handler when the owner is 0).
struct DeliveredNotice {
    ActionRef ref;
    int notice;
    int owner;
};

// A message to another plug-in (targetKind -1) and what it answered.
struct PluginQuestion {
    int target;
    int code;
    intptr_t p1;
    intptr_t p2;
    intptr_t answer;
};

struct LogLine {
    int level;
    std::string text;
};

using EntryPoint = intptr_t(__stdcall*)(HostMessage*);

class DevHost : public HostControl {
public:
    DevHost();
    ~DevHost();
    DevHost(const DevHost&) = delete;
    DevHost& operator=(const DevHost&) = delete;

    // Loading and the life cycle.
    bool Load(const char* path);
    // Talks to a plug-in linked into this program, through its entry point
    // all the same.
    void UseEntry(EntryPoint linkedEntry) { entry = linkedEntry; }
    void Unload();
    // The module freed while the run goes on, without the end message or
    // the release of the control: what a host that fails in its own
    // clean-up does, or another plug-in that frees this one.
    void FreeWithoutEnd();
    bool Loaded() const { return entry != nullptr; }
    HMODULE Module() const { return module; }
    // Calls the entry point with a host message of its full size.
    intptr_t Call(int code, intptr_t p1 = 0, intptr_t p2 = 0);
    intptr_t Call(int code, const void* p1, intptr_t p2 = 0) {
        return Call(code, reinterpret_cast<intptr_t>(p1), p2);
    }
    // Calls the entry point with a record of the caller's making.
    intptr_t CallRecord(void* record);
    // 20001, 21001, 20022, 22000, 22100: what a host does at start.
    void Start();
    // 22101, 20002.
    void Stop();
    bool Started() const { return started; }

    // Notices to element owners: message 22200 to the plug-in, the host's
    // own handler for its elements, elementOwners for stand-in owners.
    intptr_t Notify(const ActionRef& ref, int notice);
    intptr_t NotifyWindow(const ActionRef& ref, int notice, HWND window, HWND parentWindow);

    // Sample data: the contact menu (group 30) with a submenu, the main menu,
    // the host's own elements 250 and 251 in group 3, element {1, 0}.
    void RegisterHostElements();

    // Runs window messages until the queue is empty.
    static void Pump();

    // Menus (menus.cpp): a group popped up as a menu for a contact (-2 for
    // none); answers the chosen element's id, 0 when nothing was chosen.
    int PopupMenu(int group, int contact, POINT at = {});
    int ShowContactMenu(int contact, POINT at = {});
    int ShowMainMenu(POINT at = {});

    // Events (events.cpp). A chat message from the contact arrives (20100).
    int DeliverMessage(int contact, const std::string& body, int kind = 1, int flags = 0);
    // The contact's status changes (24011); the record names the contact by
    // its id, or by its position in the contact table.
    int ChangeStatus(int contact, int status, bool byPosition = false);

    // The settings dialog with the plug-in's page {306100, 45}.
    HWND OpenSettingsPage();
    // A contact's properties with the plug-in's page {306201, 71}; null when
    // the plug-in hides the page for the contact.
    HWND OpenContactPage(int contact);
    void CloseSettingsPage();
    // Writes the page's controls into the store and sends 21020, which the
    // host does only while the plug-in's page has a window: false without.
    bool ApplySettings();
    // 21020 as it is, whatever the page: for proving the plug-in checks.
    int SendSettingsApplied();

    // The version the host knows of a plug-in (request 245), read from the
    // version resource of the plug-in's file: one byte for each of its four
    // parts, the first in the highest; 0 when it has none. Only the loaded
    // plug-in's file is known.
    int PluginVersion(int pluginId) const;
    // The text request 26 writes for such a version: "1.2.3", with a fourth
    // part only when it is not 0 ("1.2.3.4").
    static std::string VersionText(int version);

    // HostControl.
    int Reserved0() override { return 0; }
    int ownId() override { return kPluginNumber; }
    HINSTANCE appInstance() override { return GetModuleHandleA(nullptr); }
    HINSTANCE moduleInstance() override { return module; }
    int infoFlag() override { return controls.infoFlagValue; }
    int noResult(int value) override;
    int Reserved6() override { return 0; }
    intptr_t send(HostMessage* message) override;
    intptr_t sendTo(int pluginId, HostMessage* message) override;
    int rowTest(int table, int row) override;
    int rowId(int table, int row) override;
    int Reserved11() override { return 0; }
    int Reserved12() override { return 0; }
    int Reserved13() override { return 0; }
    int Reserved14() override { return 0; }
    int Reserved15() override { return 0; }
    int Reserved16() override { return 0; }
    int Reserved17() override { return 0; }
    int Reserved18() override { return 0; }
    int Reserved19() override { return 0; }
    char* tempBuffer(int bytes) override;
    intptr_t getColumn(int table, int row, int column, ColumnValue* v) override;
    int setColumn(int table, int row, int column, ColumnValue* v) override;
    int Reserved23() override { return 0; }
    int Reserved24() override { return 0; }
    int Reserved25() override { return 0; }
    int Reserved26() override { return 0; }
    int Reserved27() override { return 0; }
    int Reserved28() override { return 0; }
    int Reserved29() override { return 0; }
    int logEnabled(int level) override { return controls.enabledLogLevels.count(level) ? 1 : 0; }

    // Drops every record kept so far, the conversations' input among them,
    // and the memory that held them: long runs that measure the process
    // itself (the benchmark, the leak checks) would otherwise see the
    // records grow.
    void ForgetRecords();

    // What the host itself holds and serves the plug-in from.
    struct State {
        explicit State(DevHost& host) : conversations(host), settingsPage(host) {}

        ConfigStore config;
        ContactTable contacts;
        ElementRegistry elements;
        Icons icons;
        Conversations conversations;
        SettingsPage settingsPage;
        HWND mainWindow = nullptr;  // element {1, 0}; holds dialog item 1000
        // Host actions run through request 10103 on host-owned elements, by
        // {parent, id}: the host's own handlers. Action {30, 138} opens a
        // conversation.
        std::map<std::pair<int, int>, std::function<void(const ActionRef&, int notice)>> hostActions;
    };

    // What the plug-in sent and what the host gave it, in order.
    struct Recorded {
        std::vector<Sent> sent;    // requests through send
        std::vector<Sent> sentTo;  // what sendTo carried to plug-ins other than this one
        std::vector<LogLine> log;
        std::vector<Sent> calls;  // what the host gave the entry point
        std::vector<DeliveredNotice> notices;
        std::vector<ActionCall> elementCalls;  // every request 10150, as it came
        std::vector<PluginQuestion> pluginQuestions;
        std::vector<std::string> questions;  // put to the user (request 10202)
        ShownMenu lastMenu;
        int noResultCalls = 0;
        int saveSettingsCalls = 0;

        std::vector<Sent> SentWithCode(int code) const;
        int CountSent(int code) const;
        void ClearSent() { sent.clear(); }
        bool Logged(const std::string& text) const;
        std::vector<Sent> CallsWithCode(int code) const;
        int CountAsked(int code) const;
        void Forget();
    };

    // What a test (or the demo) sets: the answers of the host, of the user
    // and of the other plug-ins.
    struct Controls {
        int infoFlagValue = 0;
        std::set<int> enabledLogLevels{32, 256};
        std::set<std::string> pluginsPresent;  // signatures answered by request 248
        std::function<int(const std::string& question)> askUser = [](const std::string&) { return 0; };
        // Answers of the other plug-ins (targetKind -1) by code: 116000,
        // 306101, 306102, 307001; unset codes answer 0. A plug-in answers
        // only its own codes (its number x 1000 + n), so a message addressed
        // to another number gets 0.
        std::map<int, std::function<int(int p1, int p2)>> pluginAnswers;
        // A stand-in plug-in answering one of its codes with a constant.
        void AnswerPlugin(int code, int answer);
        // Answers of sendTo by plug-in number (0 stands for ownId, which goes
        // to the plug-in's entry point); unset numbers answer
        // kPluginCallAnswer.
        std::map<int, std::function<intptr_t(HostMessage&)>> sendToAnswers;
        std::function<int(int contact)> windowState = [](int) { return 0; };
        std::function<int(int table, int row)> rowTestAnswer;
        int fallbackOwner = kHostUiPlugin;  // request 243
        // Stand-in plug-ins that own elements, by number: their answer to
        // 22200.
        std::map<int, std::function<intptr_t(const ActionNotice&)>> elementOwners;
        // The user in front of a menu; the default user chooses nothing. With
        // interactiveMenus a real popup menu is tracked instead (the demo).
        MenuChooser chooseMenu;
        bool interactiveMenus = false;
        // A real menu is open in front of the user and waits (the menu
        // window, null for a menu bar's own line).
        std::function<void(HWND menuWindow)> onMenuIdle;
        // Request 1010: the host writes its settings where it keeps them.
        std::function<void()> onSaveSettings;
        // The messages of the host's main window (element {1, 0}); without
        // it the window does nothing of its own.
        std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> mainWindowProc;
    };

    // The host's parts end first: their windows, as they go, may still reach
    // the records and the controls.
    Recorded recorded;
    Controls controls;
    State state{*this};

private:
    Sent Record(HostMessage* message);
    Sent RecordCall(HostMessage* message);
    intptr_t CallWithRecord(int code, const void* record, size_t size, std::map<int, std::string> texts = {});
    intptr_t Request(HostMessage* message);
    intptr_t ElementRequest(int code, HostMessage* message);
    bool MarkRead(const HostMessage* message);
    int InsertElement(const ActionInfo* info);
    int ReadElement(ActionInfo* info);
    int ChangeElement(const ActionInfo* info);
    HWND ElementWindow(const ActionRef& ref);
    intptr_t ToPlugin(HostMessage* message);
    void ElementCall(const HostMessage* message);
    intptr_t DeliverNotice(const ActionNotice& notice, const void* record, size_t size);
    void CreateMainWindow();

    HMODULE module = nullptr;
    EntryPoint entry = nullptr;
    bool started = false;
    std::deque<std::string> tempBuffers;
    // The host's copies handed out by string reads: only the last one holds
    // its text, and only until the next call into the host. The spent ones
    // are kept, overwritten, so that a stale pointer reads garbage instead
    // of freed memory.
    std::deque<std::string> readCopies;
    bool liveCopy = false;
    void SpendReadCopy();
};

}  // namespace DevHostLib
