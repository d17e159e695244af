// The stand-in host's conversation toolbar: built for the window's contact
// from the toolbars of group 4, kept in step with the elements, and its
// buttons tell their owners when they are clicked.
#include "fixture.h"

#include <commctrl.h>

using namespace DevHostLib;

namespace {

constexpr int kStandIn = 999;
constexpr int kToolbar = 999100;
constexpr int kHiddenToolbar = 999200;

}  // namespace

class HostToolbar : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        Add(Host::kGroupToolbars, kToolbar, 0x10, "Pasek");
        Add(kToolbar, 999101, 0, "Jeden");
        Add(kToolbar, 999102, 0, "Dwa");
        Add(Host::kGroupToolbars, kHiddenToolbar, 0x11, "Ukryty pasek");
        Add(kHiddenToolbar, 999201, 0, "Trzy");
        host->controls.elementOwners[kStandIn] = [](const ActionNotice&) { return 0; };
    }
    void Add(int parent, int id, uint32_t status, const char* text) {
        Element e;
        e.id = id;
        e.parent = parent;
        e.owner = kStandIn;
        e.status = status;
        e.text = text;
        host->state.elements.Insert(e, -1);
    }
    std::vector<std::string> Buttons(int contact) const {
        HWND bar = host->state.conversations.Toolbar(contact);
        std::vector<std::string> texts;
        for (int i = 0; i < SendMessageA(bar, TB_BUTTONCOUNT, 0, 0); ++i) {
            TBBUTTON b{};
            SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
            char text[64] = {};
            SendMessageA(bar, TB_GETBUTTONTEXTA, b.idCommand, reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    }
    void SetHidden(const ActionRef& ref, bool hidden) {
        ActionInfo a{};
        a.size = kActionInfoSize;
        a.ref = ref;
        a.mask = Host::kMaskStatus;
        a.status = hidden ? 1 : 0;
        a.statusMask = 1;
        HostMessage m;
        BuildHostMessage(m, Host::kElementChange, reinterpret_cast<intptr_t>(&a));
        host->send(&m);
    }
};

TEST_F(HostToolbar, EachWindowShowsTheVisibleButtonsForItsContactAndFollowsChanges) {
    int ala = AddContact("Ala");
    int jan = AddContact("Jan");
    host->state.elements.Find(999102, kToolbar)->contactStatus[ala] = 1;
    host->state.conversations.Open(ala);
    host->state.conversations.Open(jan);
    EXPECT_EQ(Buttons(ala), std::vector<std::string>{"Jeden"});
    EXPECT_EQ(Buttons(jan), (std::vector<std::string>{"Jeden", "Dwa"}));

    SetHidden({999101, kToolbar, jan}, true);
    SetHidden({999102, kToolbar, ala}, false);
    EXPECT_EQ(Buttons(ala), (std::vector<std::string>{"Jeden", "Dwa"}));
    EXPECT_EQ(Buttons(jan), std::vector<std::string>{"Dwa"});
    SetHidden({kToolbar, Host::kGroupToolbars, Host::kNoContact}, true);
    EXPECT_TRUE(Buttons(ala).empty()) << "a hidden toolbar hides all its buttons";
}

TEST_F(HostToolbar, OwnersHearOfTheButtonsBeforeTheViewAndOfAClick) {
    int ala = AddContact("Ala");
    host->state.conversations.Open(ala);
    std::vector<std::pair<int, int>> heard;
    for (const DeliveredNotice& n : host->recorded.notices) {
        if (n.ref.id == 999101 || n.ref.id == Host::kActionMessageView) heard.push_back({n.ref.id, n.notice});
        if (n.ref.id == 999101) {
            EXPECT_EQ(n.ref.contact, ala);
        }
    }
    EXPECT_EQ(heard, (std::vector<std::pair<int, int>>{{999101, 10}, {Host::kActionMessageView, 220}}));

    HWND bar = host->state.conversations.Toolbar(ala);
    TBBUTTON second{};
    SendMessageA(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&second));
    host->recorded.notices.clear();
    SendMessageA(host->state.conversations.WindowOf(ala), WM_COMMAND, MAKEWPARAM(second.idCommand, BN_CLICKED),
                 reinterpret_cast<LPARAM>(bar));
    ASSERT_EQ(host->recorded.notices.size(), 1u);
    EXPECT_EQ(host->recorded.notices[0].ref.id, 999102);
    EXPECT_EQ(host->recorded.notices[0].ref.parent, kToolbar);
    EXPECT_EQ(host->recorded.notices[0].ref.contact, ala);
    EXPECT_EQ(host->recorded.notices[0].notice, Host::kNoticeAction);
}
