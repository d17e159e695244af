// The stand-in host's own events: incoming chat messages, status changes,
// and the questions it carries to other plug-ins.
#include <cstring>
#include <functional>
#include <utility>

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

    std::vector<Sent> calls = host->recorded.CallsWithCode(Host::kMsgIncoming);
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
    HWND window = host->state.conversations.Open(ala);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    ASSERT_EQ(GetForegroundWindow(), window);

    host->DeliverMessage(ala, "Widzisz mnie");
    EXPECT_EQ(GetPropA(window, "MsgWaiting"), nullptr);
    EXPECT_NE(ViewText(host->state.conversations.MessageView(ala)).find("Ala: Widzisz mnie"), std::string::npos);

    ShowWindow(window, SW_HIDE);
    host->DeliverMessage(ala, "A teraz?");
    EXPECT_NE(GetPropA(window, "MsgWaiting"), nullptr);
    EXPECT_NE(ViewText(host->state.conversations.MessageView(ala)).find("Ala: A teraz?"), std::string::npos);
    RemovePropA(window, "MsgWaiting");

    host->DeliverMessage(jan, "Bez okna");
    EXPECT_EQ(host->state.conversations.WindowOf(jan), nullptr) << "a message opens no window by itself";
    EXPECT_EQ(host->recorded.CallsWithCode(Host::kMsgIncoming).size(), 3u);
}

TEST_F(HostEvents, MarkingReadTakesOnlyTheSelectorTheHostKnows) {
    int ala = AddContact("Ala", 3);
    HWND window = host->state.conversations.Open(ala);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_HIDE);
    host->DeliverMessage(ala, "Nieprzeczytana");
    auto* record = static_cast<ConversationRecord*>(GetPropA(window, "CNT"));
    ASSERT_EQ(record->waiting, 1);

    std::string user = "Ala@velmora";
    auto markRead = [&](const std::function<void(MessageSelector&, intptr_t&)>& spoil) {
        MessageSelector s;
        BuildMessageSelector(s);
        s.network = 3;
        s.userId = user.c_str();
        s.field10 = 1;
        s.field14 = 0x40;
        s.field18 = 2;
        intptr_t p2 = -1;
        spoil(s, p2);
        HostMessage m;
        BuildHostMessage(m, Host::kMarkRead, reinterpret_cast<intptr_t>(&s), p2);
        return host->send(&m);
    };
    using Spoil = std::pair<const char*, std::function<void(MessageSelector&, intptr_t&)>>;
    const Spoil spoiled[] = {
        {"short", [](MessageSelector& s, intptr_t&) { s.size = static_cast<uint16_t>(s.size - 1); }},
        {"at 10 as built", [](MessageSelector& s, intptr_t&) { s.field10 = -1; }},
        {"at 14 as built", [](MessageSelector& s, intptr_t&) { s.field14 = 0; }},
        {"at 18 as built", [](MessageSelector& s, intptr_t&) { s.field18 = 0; }},
        {"at 22", [](MessageSelector& s, intptr_t&) { s.field22 = 0; }},
        {"at 26", [](MessageSelector& s, intptr_t&) { s.field26 = 1; }},
        {"another network", [](MessageSelector& s, intptr_t&) { s.network = 1; }},
        {"no user id", [](MessageSelector& s, intptr_t&) { s.userId = nullptr; }},
        {"p2 not -1", [](MessageSelector&, intptr_t& p2) { p2 = 0; }},
    };
    for (const Spoil& each : spoiled) {
        EXPECT_EQ(markRead(each.second), 0) << each.first;
        EXPECT_EQ(record->waiting, 1) << each.first;
    }
    user = "Nikt@velmora";
    EXPECT_EQ(markRead([](MessageSelector&, intptr_t&) {}), 0) << "an unknown user";
    EXPECT_EQ(record->waiting, 1);

    user = "Ala@velmora";
    EXPECT_EQ(markRead([](MessageSelector&, intptr_t&) {}), 1);
    EXPECT_EQ(record->waiting, 0);
}

TEST_F(HostEvents, StatusChangeIsA34ByteRecordNamingTheContactByIdOrPosition) {
    AddContact("Ala");
    int jan = AddContact("Jan");
    host->ChangeStatus(jan, 3);
    host->ChangeStatus(jan, 0x102, true);

    std::vector<Sent> calls = host->recorded.CallsWithCode(Host::kMsgStatusChange);
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
    host->controls.AnswerPlugin(Host::kLeaveMessage, 1);
    HostMessage m;
    BuildPluginMessage(m, Host::kLeavePlugin, Host::kLeaveMessage, 0x40000007, 0);
    EXPECT_EQ(host->send(&m), 1);
    BuildPluginMessage(m, Host::kLockPlugin, Host::kLeaveMessage, 0x40000008, 0);
    EXPECT_EQ(host->send(&m), 0);
    BuildPluginMessage(m, Host::kLockPlugin, Host::kLockUnlocked);
    EXPECT_EQ(host->send(&m), 0) << "an unscripted code answers 0";

    ASSERT_EQ(host->recorded.pluginQuestions.size(), 3u);
    EXPECT_EQ(host->recorded.pluginQuestions[0].target, Host::kLeavePlugin);
    EXPECT_EQ(host->recorded.pluginQuestions[0].p1, 0x40000007);
    EXPECT_EQ(host->recorded.pluginQuestions[1].answer, 0);
    EXPECT_EQ(host->recorded.CountAsked(Host::kLeaveMessage), 2);
    EXPECT_EQ(host->recorded.CountAsked(Host::kLockUnlocked), 1);
}
