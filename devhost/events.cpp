// Events the host reports to the plug-in on its own: chat messages that
// arrive and status changes of contacts; and the record of everything the
// host gave the entry point.
#include <algorithm>
#include <cstring>

#include "dev_host.h"
#include "host/requests.h"
#include "record_bytes.h"

namespace DevHostLib {

namespace {

// The user has the conversation in front of them: its window is shown and
// the top-level window that holds it is the foreground window.
bool InFront(HWND window) {
    return IsWindowVisible(window) && GetForegroundWindow() == GetAncestor(window, GA_ROOT);
}

int PositionOf(const ContactTable& contacts, int id) {
    const std::vector<Contact>& all = contacts.All();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].id == id) return static_cast<int>(i);
    return -1;
}

}  // namespace

int DevHost::DeliverMessage(int contact, const std::string& body, int kind, int flags) {
    const Contact* c = state.contacts.Find(contact);
    if (!c) return 0;
    const std::string from = c->userId;
    const std::string name = c->display.empty() ? c->userId : c->display;
    // The host shows the message in an open conversation (or keeps it for
    // the conversation's window) before it tells the plug-ins, and marks the
    // window while the user does not see it.
    state.conversations.AddLine(c->id, name + ": " + body + "\r\n");
    HWND window = state.conversations.WindowOf(c->id);
    if (window && !InFront(window)) state.conversations.MarkUnread(c->id);

    IncomingMessage m{};
    m.size = sizeof m;
    m.code = Host::kMsgIncoming;
    m.network = c->network;
    m.kind = kind;
    m.from = from.c_str();
    m.body = body.c_str();
    m.flags = flags;
    return CallWithRecord(Host::kMsgIncoming, &m, sizeof m,
                          {{offsetof(IncomingMessage, from), from}, {offsetof(IncomingMessage, body), body}});
}

int DevHost::ChangeStatus(int contact, int status, bool byPosition) {
    Contact* c = state.contacts.Find(contact);
    if (!c) return 0;
    c->status = status;
    StatusChangeMessage m{};
    m.size = sizeof m;
    m.code = Host::kMsgStatusChange;
    m.contact = byPosition ? PositionOf(state.contacts, c->id) : c->id;
    m.status = status;
    return CallRecord(&m);
}

Sent DevHost::RecordCall(HostMessage* m) {
    Sent s;
    s.code = m->code;
    // As far as its size says, and no further: a short record may end where
    // readable memory ends. The size and the code are always there.
    size_t size = std::max<size_t>(m->size, offsetof(HostMessage, reserved1));
    s.message = Bytes(m, std::min(size, kMaxRecord));
    if (m->size < sizeof(HostMessage)) return s;
    s.p1 = m->p1;
    s.p2 = m->p2;
    return s;
}

// A record the host built itself: safe to copy, unlike whatever a test
// hands CallRecord.
intptr_t DevHost::CallWithRecord(int code, const void* record, size_t size, std::map<int, std::string> texts) {
    HostMessage m{};
    m.size = sizeof m;
    m.code = code;
    m.p1 = reinterpret_cast<intptr_t>(record);
    Sent s = RecordCall(&m);
    s.record = Bytes(record, size);
    s.recordTexts = std::move(texts);
    recorded.calls.push_back(std::move(s));
    return entry ? entry(&m) : 0;
}

std::vector<Sent> DevHost::Recorded::CallsWithCode(int code) const {
    std::vector<Sent> out;
    for (const Sent& s : calls)
        if (s.code == code) out.push_back(s);
    return out;
}

void DevHost::Controls::AnswerPlugin(int code, int answer) {
    pluginAnswers[code] = [answer](int, int) { return answer; };
}

void DevHost::Recorded::Forget() {
    std::vector<Sent>().swap(sent);
    std::vector<LogLine>().swap(log);
    std::vector<Sent>().swap(calls);
    std::vector<DeliveredNotice>().swap(notices);
    std::vector<ActionCall>().swap(elementCalls);
    std::vector<PluginQuestion>().swap(pluginQuestions);
    std::vector<Sent>().swap(sentTo);
    std::vector<std::string>().swap(questions);
}

void DevHost::ForgetRecords() {
    recorded.Forget();
    std::vector<Conversations::InputSeen>().swap(state.conversations.input);
}

int DevHost::Recorded::CountAsked(int code) const {
    return static_cast<int>(std::count_if(pluginQuestions.begin(), pluginQuestions.end(),
                                          [code](const PluginQuestion& q) { return q.code == code; }));
}

}  // namespace DevHostLib
