// The stand-in host's own events: incoming chat messages, status changes,
// and the questions it carries to other plug-ins.
#include <cstring>

#include "fixture.h"

using namespace DevHostLib;

namespace {

template <typename T>
T At(const std::vector<uint8_t>& bytes, size_t offset) {
    T value{};
    if (offset + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::string ViewText(HWND view) {
    char text[512] = {};
    GetWindowTextA(view, text, sizeof text);
    return text;
}

}  // namespace

using HostEvents = PluginTest;

TEST_F(HostEvents, IncomingMessageRecordCarriesNetworkSenderBodyKindAndFlags) {
    int ala = AddContact("Ala", 3);
    host->DeliverMessage(ala, "Cześć, co słychać?", 1, 2);

    std::vector<Sent> calls = host->CallsWithCode(Host::kMsgIncoming);
    ASSERT_EQ(calls.size(), 1u);
    const std::vector<uint8_t>& r = calls[0].record;
    EXPECT_EQ(At<uint16_t>(r, 0), X86OrX64(34, 42));
    EXPECT_EQ(At<int32_t>(r, 6), 3);
    EXPECT_EQ(At<int32_t>(r, 10), 1);
    EXPECT_EQ(At<int32_t>(r, X86OrX64(30, 38)), 2);
    EXPECT_EQ(calls[0].recordTexts.at(14), "Ala@velmora");
    EXPECT_EQ(calls[0].recordTexts.at(X86OrX64(22, 26)), "Cześć, co słychać?");
}

TEST_F(HostEvents, MessageShowsInTheOpenConversationAndMarksItOnlyWhileUnseen) {
    int ala = AddContact("Ala");
    int jan = AddContact("Jan");
    HWND window = host->conversations.Open(ala);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    ASSERT_EQ(GetForegroundWindow(), window);

    host->DeliverMessage(ala, "Widzisz mnie");
    EXPECT_EQ(GetPropA(window, "MsgWaiting"), nullptr);
    EXPECT_NE(ViewText(host->conversations.MessageView(ala)).find("Ala: Widzisz mnie"), std::string::npos);

    ShowWindow(window, SW_HIDE);
    host->DeliverMessage(ala, "A teraz?");
    EXPECT_NE(GetPropA(window, "MsgWaiting"), nullptr);
    EXPECT_NE(ViewText(host->conversations.MessageView(ala)).find("Ala: A teraz?"), std::string::npos);
    RemovePropA(window, "MsgWaiting");

    host->DeliverMessage(jan, "Bez okna");
    EXPECT_EQ(host->conversations.WindowOf(jan), nullptr) << "a message opens no window by itself";
    EXPECT_EQ(host->CallsWithCode(Host::kMsgIncoming).size(), 3u);
}

TEST_F(HostEvents, StatusChangeIsA34ByteRecordNamingTheContactByIdOrPosition) {
    AddContact("Ala");
    int jan = AddContact("Jan");
    host->ChangeStatus(jan, 3);
    host->ChangeStatus(jan, 0x102, true);

    std::vector<Sent> calls = host->CallsWithCode(Host::kMsgStatusChange);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].message.size(), 34u);
    EXPECT_EQ(At<uint16_t>(calls[0].message, 0), 34);
    EXPECT_EQ(At<int32_t>(calls[0].message, 2), Host::kMsgStatusChange);
    EXPECT_EQ(At<int32_t>(calls[0].message, 22), jan);
    EXPECT_EQ(At<int32_t>(calls[0].message, 26), 3);
    EXPECT_EQ(At<int32_t>(calls[1].message, 22), 1);
    EXPECT_EQ(At<int32_t>(calls[1].message, 26), 0x102);
    ColumnValue v;
    BuildIntValue(v);
    host->getColumn(1, jan, Host::kContactStatus, &v);
    EXPECT_EQ(v.value, 0x102);
}

TEST_F(HostEvents, PluginQuestionsAreRecordedAndAnsweredOnlyByTheAddressedPlugin) {
    host->AnswerPlugin(Host::kLeaveMessage, 1);
    HostMessage m;
    BuildPluginMessage(m, Host::kLeavePlugin, Host::kLeaveMessage, 0x40000007, 0);
    EXPECT_EQ(host->send(&m), 1);
    BuildPluginMessage(m, Host::kLockPlugin, Host::kLeaveMessage, 0x40000008, 0);
    EXPECT_EQ(host->send(&m), 0);
    BuildPluginMessage(m, Host::kLockPlugin, Host::kLockUnlocked);
    EXPECT_EQ(host->send(&m), 0) << "an unscripted code answers 0";

    ASSERT_EQ(host->pluginQuestions.size(), 3u);
    EXPECT_EQ(host->pluginQuestions[0].target, Host::kLeavePlugin);
    EXPECT_EQ(host->pluginQuestions[0].p1, 0x40000007);
    EXPECT_EQ(host->pluginQuestions[1].answer, 0);
    EXPECT_EQ(host->CountAsked(Host::kLeaveMessage), 2);
    EXPECT_EQ(host->CountAsked(Host::kLockUnlocked), 1);
}
