#include "host/records.h"

#include <cstring>

#include "host/requests.h"

void BuildHostMessage(HostMessage& m, int32_t code, intptr_t p1, intptr_t p2) {
    std::memset(&m, 0, sizeof m);
    m.size = kHostMessageSize;
    m.code = code;
    m.p1 = p1;
    m.p2 = p2;
}

void BuildPluginMessage(HostMessage& m, int32_t target, int32_t code, intptr_t p1, intptr_t p2) {
    BuildHostMessage(m, code, p1, p2);
    m.targetNumber = target;
    m.targetKind = -1;
}

void BuildActionInfo(ActionInfo& a, int32_t parent, int32_t id, int32_t position, uint32_t status, const char* text,
                     int32_t param, uint16_t width, uint16_t height, int32_t extra2, int32_t extra1) {
    std::memset(&a, 0, sizeof a);
    a.size = kActionInfoSize;
    a.ref = {id, parent, -2};
    a.position = position;
    a.mask = Host::kMaskComplete;
    a.status = status;
    a.statusMask = 0xFFFFFFFFu;
    a.text = text;
    a.param = param;
    a.width = width;
    a.height = height;
    a.extra2 = extra2;
    a.extra1 = extra1;
}

void BuildActionInfoExtended(ActionInfo& a, int32_t parent, int32_t id, int32_t position, uint32_t status,
                             const char* text, int32_t param, uint16_t x, uint16_t y, uint16_t width,
                             uint16_t height, int32_t extra2, int32_t extra1) {
    BuildActionInfo(a, parent, id, position, status, text, param, width, height, extra2, extra1);
    a.size = kActionInfoExtendedSize;
    a.x = x;
    a.y = y;
}

void BuildActionNotice(ActionNotice& n, const ActionRef& ref, int32_t notice) {
    std::memset(&n, 0, sizeof n);
    n.size = sizeof n;
    n.ref = ref;
    n.notice = notice;
}

void BuildActionCall(ActionCall& c, const ActionRef& ref, int32_t notice, int32_t pointX, int32_t pointY,
                     int32_t spare1, void* window, int32_t spare3, int32_t spare2) {
    std::memset(&c, 0, sizeof c);
    c.size = sizeof c;
    c.code = 10150;
    c.ref = ref;
    c.notice = notice;
    c.pointX = pointX;
    c.pointY = pointY;
    c.spare1 = spare1;
    c.window = window;
    c.spare3 = spare3;
    c.spare2 = spare2;
}

void BuildMessageSelector(MessageSelector& s) {
    std::memset(&s, 0, sizeof s);
    s.size = sizeof s;
    s.network = -1;
    s.field10 = -1;
    s.field22 = -1;
}

void BuildIntValue(ColumnValue& v, intptr_t value) {
    std::memset(&v, 0, sizeof v);
    v.type = 0;
    v.value = value;
}

void BuildStringValue(ColumnValue& v, const char* text, int32_t bufferSize) {
    std::memset(&v, 0, sizeof v);
    v.type = 1;
    v.value = reinterpret_cast<intptr_t>(text);
    v.bufferSize = bufferSize;
}
