// Registration with the host (message 22000): what the host receives, in
// order, under each setting that makes rows conditional; the action-list walk
// over the host's contact menu; and the take-over of elements 250 and 251.
#include <cstring>
#include <functional>

#include "fixture.h"
#include "host/host.h"
#include "host/plugin_state.h"
#include "ui/info_box.h"
#include "ui/registration.h"
#include "zavernok_version.h"

using namespace DevHostLib;

namespace {

struct Inserted {
    size_t size;
    ActionInfo info;
    std::string text;
    bool hasText;
};

std::vector<Inserted> Inserts(const DevHost& host) {
    std::vector<Inserted> out;
    for (const Sent& s : host.recorded.SentWithCode(Host::kElementInsert)) {
        Inserted e{s.record.size(), {}, s.text, false};
        std::memcpy(&e.info, s.record.data(), s.record.size());
        e.hasText = e.info.text != nullptr;
        out.push_back(e);
    }
    return out;
}

std::string Where(const Inserted& e) { return std::to_string(e.info.ref.parent) + ":" + std::to_string(e.info.ref.id); }

// The settings page's own controls: parent 306100 after the information box.
std::vector<Inserted> PageControls(const DevHost& host) {
    std::vector<Inserted> out;
    for (const Inserted& e : Inserts(host))
        if (e.info.ref.parent == 306100) out.push_back(e);
    return std::vector<Inserted>(out.begin() + 4, out.end());
}

const Inserted* WithText(const std::vector<Inserted>& rows, const std::string& text) {
    for (const Inserted& e : rows)
        if (e.text == text) return &e;
    return nullptr;
}

// A fresh host with the DLL, set up, then 20001, 21001, 20022 and 22000.
std::unique_ptr<DevHost> Prepared(const std::function<void(DevHost&)>& setup = [](DevHost&) {}) {
    auto host = std::make_unique<DevHost>();
    EXPECT_TRUE(host->Load(ZAVERNOK_DLL));
    host->Call(Host::kMsgSetControl, static_cast<HostControl*>(host.get()));
    host->Call(Host::kMsgDeclareColumns);
    host->Call(Host::kMsgPluginsLoaded);
    setup(*host);
    host->recorded.ClearSent();
    EXPECT_EQ(host->Call(Host::kMsgPrepare), 1);
    return host;
}

// The contact menu entries of the plug-in at top position, then the host's.
const char kActionListAtTop[] =
    "--Brak skrótu--\x02" "0:0\n"
    "Zamknij rozmowę\x03" "306202\x02" "30:306003\n"
    "Przypnij/Odepnij\x03" "306201\x02" "30:306002\n"
    "Zamknij pozostałe\x03" "0\x02" "30:306005\n"
    "Ostatnio zamknięte\x03" "0\x02" "30:306006\n"
    "      Wyczyść listę\x03" "0\x02" "306006:306008\n"
    "Rozmowa\x03" "5\x02" "30:138\n"
    "Informacje\x03" "7\x02" "30:132\n"
    "Wyślij\x03" "0\x02" "30:400\n"
    "      Plik\x03" "8\x02" "400:401\n";

// Runs plug-in code in this process against a host and leaves the shared
// state as it found it.
struct InProcess {
    explicit InProcess(HostControl& host) { Tabs::hostControl = &host; }
    ~InProcess() {
        Tabs::hostControl = nullptr;
        Tabs::setLayeredWindowAttributes = nullptr;
        Tabs::buttonGroup = 306001;
        Tabs::plugin.menuAlign = 0;
        Tabs::changeKey = 0;
        Tabs::viewCtrlOwner = 0;
        Tabs::sendCtrlOwner = 0;
    }
};

}  // namespace

TEST(Registration, LogsRegistersFourIconsThenTheElementRowsInOrder) {
    auto host = Prepared();
    ASSERT_FALSE(host->recorded.sent.empty());
    EXPECT_EQ(host->recorded.sent[0].code, Host::kLog);
    EXPECT_EQ(host->recorded.sent[0].text, "Tabs::IPrepare");

    auto icons = host->recorded.SentWithCode(Host::kIconRegister);
    ASSERT_EQ(icons.size(), 4u);
    const int expected[4][3] = {{306201, 1, 101}, {306202, 1, 102}, {66, 1, 0}, {306201, 2, 101}};
    for (int i = 0; i < 4; ++i) {
        IconRegistration r;
        std::memcpy(&r, icons[i].record.data(), sizeof r);
        EXPECT_EQ(std::string(icons[i].record.begin(), icons[i].record.begin() + 4), std::string(X86OrX64("\x24\0\0\0", "\x38\0\0\0"), 4));
        EXPECT_EQ(r.iconId, expected[i][0]);
        EXPECT_EQ(r.kind, expected[i][1]);
        EXPECT_EQ(r.resourceId, expected[i][2]);
        EXPECT_EQ(r.one16, 1);
        EXPECT_EQ(r.module, i == 2 ? nullptr : host->Module());
        EXPECT_EQ(r.image != nullptr, i == 2);
    }
    EXPECT_TRUE(host->state.icons.Known(306201) && host->state.icons.Known(306202))
        << "loaded from the module's resources";

    std::vector<std::string> order;
    for (const Inserted& e : Inserts(*host)) order.push_back(Where(e));
    std::vector<std::string> head(order.begin(), order.begin() + 18);
    EXPECT_EQ(head, (std::vector<std::string>{"4:306001", "306001:306002", "306001:306003", "30:306004", "30:306006",
                                              "306006:306008", "306006:306009", "30:306005", "30:306002",
                                              "30:306003", "50:306007", "306007:306008", "306007:306009",
                                              "45:306100", "306100:0", "306100:0", "306100:0", "306100:0"}));
    std::vector<std::string> tail(order.end() - 4, order.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"71:306201", "306201:0", "306201:0", "306201:0"}));
    EXPECT_EQ(order.size(), 18u + 75u + 4u) << "every settings row but the viewer's";

    for (const Inserted& e : Inserts(*host)) {
        EXPECT_EQ(e.info.mask, 0x35Fu);
        EXPECT_EQ(e.info.statusMask, 0xFFFFFFFFu);
        EXPECT_EQ(e.info.ref.contact, -2);
    }
    auto rows = Inserts(*host);
    EXPECT_EQ(rows[9].info.status, 0x01000101u);
    EXPECT_EQ(rows[9].info.param, 306202);
    EXPECT_EQ(rows[9].text, "Zamknij rozmow\xEA");
    EXPECT_EQ(rows[10].info.status, 0x01000010u);
    EXPECT_EQ(rows[13].info.status, 0x10u);
    EXPECT_EQ(rows[13].text, "Zak\xB3" "adki");
    auto contactCheck = rows[rows.size() - 2];
    EXPECT_EQ(contactCheck.info.status, 0x00060000u);
    EXPECT_EQ(contactCheck.info.param, 306202);
    EXPECT_EQ(rows[rows.size() - 4].info.status, 0x01000010u);
}

TEST(Registration, ConversationButtonsFollowTheirSettings) {
    auto onMain = Prepared([](DevHost& h) { h.state.config.SetInt("Tabs/ToolbarButtonsOnMain", 1); });
    auto rows = Inserts(*onMain);
    EXPECT_EQ(Where(rows[0]), "200:306002");
    EXPECT_EQ(rows[0].info.status, 0u) << "detach button on by default";
    EXPECT_EQ(Where(rows[1]), "200:306003");
    EXPECT_EQ(rows[1].info.status, 1u) << "close button off by default";
    onMain.reset();

    auto bothOff = Prepared([](DevHost& h) { h.state.config.SetInt("Tabs/ToolbarDetachButton", 0); });
    rows = Inserts(*bothOff);
    EXPECT_EQ(Where(rows[0]), "4:306001");
    EXPECT_EQ(rows[0].info.status, 0x11u);
    EXPECT_EQ(rows[0].info.position, 0);
    EXPECT_EQ(rows[1].info.status, 1u);
    EXPECT_EQ(rows[2].info.status, 1u);
    bothOff.reset();

    auto closeOn = Prepared([](DevHost& h) { h.state.config.SetInt("Tabs/ToolbarCloseButton", 1); });
    EXPECT_EQ(Inserts(*closeOn)[0].info.status, 0x10u);
    EXPECT_EQ(Inserts(*closeOn)[2].info.status, 0u);
}

TEST(Registration, ContactMenuEntriesGoWhereMenuAlignSays) {
    auto top = Prepared();
    for (const Inserted& e : Inserts(*top)) {
        if (e.info.ref.parent == 30) {
            EXPECT_EQ(e.info.position, 0) << Where(e);
        }
    }
    auto menu = top->state.elements.Children(30);
    EXPECT_EQ(std::vector<int>(menu.begin(), menu.begin() + 6),
              (std::vector<int>{306003, 306002, 306005, 306006, 306004, 138}));
    EXPECT_TRUE(top->state.elements.Find(306005, 30)->HiddenFor(-2));
    EXPECT_EQ(PageControls(*top).end()[-10].text, kActionListAtTop) << "the host's and the plug-in's own entries";
    top.reset();

    auto bottom = Prepared([](DevHost& h) { h.state.config.SetInt("Tabs/MenuAlign", -1); });
    for (const Inserted& e : Inserts(*bottom)) {
        if (e.info.ref.parent == 30) {
            EXPECT_EQ(e.info.position, -1) << Where(e);
        }
    }
    menu = bottom->state.elements.Children(30);
    EXPECT_EQ(std::vector<int>(menu.end() - 5, menu.end()),
              (std::vector<int>{306004, 306006, 306005, 306002, 306003}));
}

TEST(Registration, SettingsControlsCarryTheirEncodedTextsAndLayout) {
    auto host = Prepared();
    auto page = PageControls(*host);
    ASSERT_EQ(page.size(), 75u);
    for (const Inserted& e : page) {
        EXPECT_EQ(e.size, X86OrX64(78u, 86u));
        EXPECT_EQ(e.info.position, -1);
        EXPECT_EQ(e.info.y, 0);
    }
    EXPECT_EQ(page[0].text, "Ustawienia");
    EXPECT_EQ(page[2].text, "D\xF3\xB3\x02-1");
    EXPECT_EQ(page[3].text, std::string("G\xF3ra\x02") + "0");
    EXPECT_EQ(page[3].info.param, 306105);
    EXPECT_EQ(page[6].info.height, 0xFFFE);
    EXPECT_EQ(page[7].text, "10%\nWidoczne w 100%\x1Amin=10\x1Amax=100\x1Astep=10");
    EXPECT_EQ(page[7].info.param, 306115);
    EXPECT_FALSE(page[8].hasText) << "a group end has no text";

    const Inserted* onlyDetached = WithText(page, "Tylko gdy odpi\xEAta");
    ASSERT_TRUE(onlyDetached);
    EXPECT_EQ(onlyDetached->info.ref.id, 306139);
    EXPECT_EQ(onlyDetached->info.x, 30);
    const Inserted* closeAll = WithText(page, "Zamykaj wszystkie zak\xB3" "adki przy zamykaniu okna zbiorczego\x1A"
                                              "tipRich=<b>Shift</b> chwilowo odwraca dzia\xB3" "anie tej opcji");
    ASSERT_TRUE(closeAll);
    EXPECT_EQ(closeAll->info.ref.id, 306106);
    EXPECT_EQ(closeAll->info.status, 0x01060000u);
    EXPECT_EQ(WithText(page, "0\n100 znak\xF3w\x1Amin=0\x1Amax=50\x1Astep=10")->info.param, 306104);
    EXPECT_EQ(WithText(page, "Automatycznie przywracaj sesj\xEA: ")->info.width, 180);
    EXPECT_EQ(page[61].info.height, 0xFFFC);

    const int clicks[] = {306131, 306132, 306133, 306135, 306134};
    for (int i = 0; i < 5; ++i) {
        const Inserted& list = page[page.size() - 10 + 2 * i];
        EXPECT_EQ(list.info.status, 0x00161000u);
        EXPECT_EQ(list.info.param, clicks[i]);
        EXPECT_EQ(list.info.width, 200);
        EXPECT_EQ(list.text, kActionListAtTop);
    }
}

TEST(Registration, ViewerAndTransparencyRowsAppearOnlyWhenAvailable) {
    auto withViewer = Prepared([](DevHost& h) { h.controls.pluginsPresent.insert("Vizorek"); });
    auto page = PageControls(*withViewer);
    ASSERT_EQ(page.size(), 76u);
    EXPECT_EQ(page[43].text, "Pytaj");
    EXPECT_EQ(page[44].text, "Otwieraj przywr\xF3" "cone rozmowy dopiero po wybraniu zak\xB3" "adki");
    EXPECT_EQ(page[44].info.status, 0x00060000u);
    EXPECT_EQ(page[44].info.param, 306117);
    EXPECT_EQ(page[45].text, "Automatycznie \xB3" "aduj poprzedni\xB9 rozmow\xEA");
    EXPECT_EQ(page[45].info.param, 306148);
    EXPECT_EQ(page[46].info.status, 0x00100000u);
    withViewer.reset();

    // Windows always has layered windows; the registration without them is
    // run in this process.
    DevHost host;
    {
        InProcess run(host);
        Tabs::RegisterSettingsControls(false);
    }
    auto rows = Inserts(host);
    ASSERT_EQ(rows.size(), 71u);
    EXPECT_EQ(rows[0].text, "Ustawienia");
    EXPECT_EQ(rows[3].text, std::string("G\xF3ra\x02") + "0");
    EXPECT_EQ(rows[4].info.status, 0x00100000u);
}

TEST(Registration, LockStateGreysOrEnablesTheHostsLockControl) {
    auto locked = Prepared([](DevHost& h) { h.state.config.SetInt("Tabs/LockState", 1); });
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(locked->state.mainWindow, Host::kLockDialogItem)));
    locked.reset();
    auto unlocked =
        Prepared([](DevHost& h) { EnableWindow(GetDlgItem(h.state.mainWindow, Host::kLockDialogItem), FALSE); });
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(unlocked->state.mainWindow, Host::kLockDialogItem)));
}

TEST(Registration, InformationBoxTopsTheSettingsPageWithNameVersionAndAbout) {
    auto host = Prepared();
    std::vector<Inserted> box;
    for (const Inserted& e : Inserts(*host))
        if (e.info.ref.parent == 306100 && box.size() < 4) box.push_back(e);
    ASSERT_EQ(box.size(), 4u);
    EXPECT_EQ(box[0].info.status, 0x000F0000u);
    EXPECT_TRUE(box[0].hasText && box[0].text.empty()) << "a group box without caption";
    EXPECT_EQ(box[1].size, X86OrX64(74u, 82u));
    EXPECT_EQ(box[1].info.status, 0x001C0040u);
    EXPECT_EQ(box[1].info.width, 40);
    EXPECT_EQ(box[1].info.height, 40);
    EXPECT_EQ(box[1].text, "\x1A" "imgurl=res://dll/101.ico\x1A" "iconsize=32\x1A"
                           "tipRich=<b>Zavernok " ZAVERNOK_VERSION_TEXT "</b><br/>" + Tabs::AboutText() + "\x1A" "tipWidth=300");
    EXPECT_EQ(box[2].size, X86OrX64(78u, 86u));
    EXPECT_EQ(box[2].info.status, 0x00180080u);
    EXPECT_EQ(box[2].info.width, 300);
    EXPECT_EQ(box[2].info.height, 0xFFFC);
    EXPECT_EQ(box[2].text.substr(0, 21), "Rozmowy w zak\xB3" "adkach.");
    EXPECT_EQ(box[3].info.status, 0x00100000u);
    EXPECT_FALSE(box[3].hasText);
    host.reset();

    auto terse = Prepared([](DevHost& h) { h.controls.infoFlagValue = 1; });
    const Inserted* image = nullptr;
    for (const Inserted& e : Inserts(*terse))
        if (e.info.status == 0x001C0040u) image = &e;
    ASSERT_TRUE(image);
    EXPECT_NE(image->text.find("\x1A" "tipRich=<b>Zavernok</b><br/>Wi\xEA" "cej"), std::string::npos) << image->text;
}

TEST(ActionList, ListsTheHostsMenuWithItsSubmenusIndented) {
    DevHost host;
    host.state.elements.Clear();
    auto add = [&](int parent, int id, const char* text, int icon, bool group) {
        Element e;
        e.id = id;
        e.parent = parent;
        e.text = text;
        e.param = icon;
        e.elementType = group ? kHoldsOthers : 0;
        host.state.elements.Insert(e, -1);
    };
    add(30, 138, "A", 5, false);
    add(30, 400, "B", 0, true);
    add(400, 401, "C", 7, false);
    add(30, 135, "", 0, true);
    add(135, 136, "Ukryte", 3, false);
    std::ostringstream stream;
    {
        InProcess run(host);
        Tabs::ListActions(stream, {30, 1, -2}, 0);
    }
    EXPECT_EQ(stream.str(), "A\x03" "5\x02" "30:138\nB\x03" "0\x02" "30:400\n      C\x03" "7\x02" "400:401\n");
    for (const Sent& read : host.recorded.SentWithCode(Host::kElementRead)) {
        ActionInfo a;
        std::memcpy(&a, read.record.data(), sizeof a);
        EXPECT_EQ(a.size, X86OrX64(74, 82));
        EXPECT_EQ(a.mask, 0x844u);
        EXPECT_EQ(a.textSize, 99);
        EXPECT_EQ(a.ref.contact, -2);
    }
}

// A host that leaves the read of one element unanswered.
class UnansweredReadHost : public DevHost {
public:
    int unanswered = 0;
    intptr_t send(HostMessage* m) override {
        if (m->code == Host::kElementRead && reinterpret_cast<ActionInfo*>(m->p1)->ref.id == unanswered) return 0;
        return DevHost::send(m);
    }
};

TEST(ActionList, StaysWithinItsBufferAndEndsOnAGroupThatHoldsItself) {
    UnansweredReadHost host;
    host.unanswered = 132;
    Element longText;
    longText.id = 402;
    longText.parent = 30;
    longText.text = std::string(150, 'x');
    host.state.elements.Insert(longText, -1);
    Element loop;
    loop.id = 600;
    loop.parent = 600;
    loop.text = "Kółko";
    loop.elementType = kHoldsOthers;
    host.state.elements.Insert(loop, -1);
    loop.parent = 30;
    host.state.elements.Insert(loop, -1);
    std::ostringstream stream;
    {
        InProcess run(host);
        Tabs::ListActions(stream, {30, 1, -2}, 0);
    }
    std::string list = stream.str();
    EXPECT_EQ(list.find("Rozmowa"), list.rfind("Rozmowa")) << "the unanswered read must not repeat the entry before it";
    EXPECT_EQ(list.find("Informacje"), std::string::npos);
    EXPECT_NE(list.find("\n" + std::string(99, 'x') + "\x03" "0\x02" "30:402\n"), std::string::npos)
        << "a text that fills the host's buffer is cut at 99 bytes";
    EXPECT_LT(std::count(list.begin(), list.end(), '\n'), 40);
}

TEST(TakeOver, ThePluginOwnsViewAndEditElementsAndRemembersThePreviousOwners) {
    DevHost host;
    Element* view = host.state.elements.Find(250, 3);
    view->text = "Podgląd";
    view->param = 9;
    view->status = 0x40;
    host.state.elements.Find(251, 3)->owner = 0;
    host.controls.fallbackOwner = 7;
    InProcess run(host);
    Tabs::TakeOverActions();

    std::vector<int> codes;
    for (const Sent& s : host.recorded.sent) codes.push_back(s.code);
    EXPECT_EQ(codes, (std::vector<int>{10107, 10123, 10115, 10101, 10107, 10123, 243, 10115, 10101}));
    ActionInfo read;
    std::memcpy(&read, host.recorded.sent[0].record.data(), sizeof read);
    EXPECT_EQ(read.size, X86OrX64(74, 82));
    EXPECT_EQ(read.mask, 0x35Fu);
    EXPECT_EQ(read.textSize, 99);
    for (int id : {250, 251}) {
        ActionRef ref{id, 3, -2};
        EXPECT_EQ(Tabs::Send(Host::kElementOwner, &ref), 306) << id;
    }
    EXPECT_EQ(Tabs::viewCtrlOwner, 2);
    EXPECT_EQ(Tabs::sendCtrlOwner, 7) << "the fallback owner when the host names none";
    view = host.state.elements.Find(250, 3);
    EXPECT_EQ(view->text, "Podgląd");
    EXPECT_EQ(view->param, 9);
    EXPECT_EQ(view->status, 0x40u);
}

// A host that answers 0 or null to everything and fills in nothing.
class SilentHost : public DevHost {
public:
    int ownId() override { return 0; }
    HINSTANCE moduleInstance() override { return nullptr; }
    intptr_t send(HostMessage*) override { return 0; }
    intptr_t sendTo(int, HostMessage*) override { return 0; }
    char* tempBuffer(int) override { return nullptr; }
    intptr_t getColumn(int, int, int, ColumnValue*) override { return 0; }
};

TEST(Registration, AHostThatAnswersNothingStillGetsThroughRegistrationAndTakeOver) {
    SilentHost host;
    InProcess run(host);
    EXPECT_EQ(Tabs::IPrepare(), 1);
    Tabs::TakeOverActions();
    EXPECT_EQ(Tabs::viewCtrlOwner, 0);
    EXPECT_EQ(Tabs::sendCtrlOwner, 0);
}

TEST(ActionList, AGroupListedInsideItsOwnSubmenusIsNamedButNotWalkedAgain) {
    // Group 600 holds 601 and 602, and each of them holds 600 again: walked
    // anew at every pass, the list would double with each level.
    auto host = Prepared([](DevHost& h) {
        auto add = [&](int parent, int id, const char* text) {
            Element e;
            e.id = id;
            e.parent = parent;
            e.text = text;
            e.elementType = kHoldsOthers;
            h.state.elements.Insert(e, -1);
        };
        add(30, 600, "Pętla");
        add(600, 601, "Raz");
        add(601, 600, "Pętla");
        add(600, 602, "Dwa");
        add(602, 600, "Pętla");
    });
    EXPECT_EQ(PageControls(*host).end()[-10].text, std::string(kActionListAtTop) +
                                                       "Pętla\x03" "0\x02" "30:600\n"
                                                       "      Raz\x03" "0\x02" "600:601\n"
                                                       "            Pętla\x03" "0\x02" "601:600\n"
                                                       "      Dwa\x03" "0\x02" "600:602\n"
                                                       "            Pętla\x03" "0\x02" "602:600\n");
}
