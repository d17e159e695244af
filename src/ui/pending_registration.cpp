// Temporary stand-in until registration lands: the shared variables and a
// bare take-over of the host's elements 250 and 251.
#include "host/host.h"
#include "ui/registration.h"

namespace Tabs {
int buttonGroup = 306001;
int changeKey = 0;
int viewCtrlOwner = 0;
int sendCtrlOwner = 0;

namespace {
int TakeOver(int id) {
    char text[100] = "";
    ActionInfo info{};
    info.size = kActionInfoSize;
    info.ref = {id, Host::kGroupConversation, Host::kNoContact};
    info.mask = Host::kMaskComplete;
    info.text = text;
    info.textSize = 99;
    Send(Host::kElementRead, &info);
    int owner = Send(Host::kElementOwner, &info.ref);
    if (!owner) owner = Send(Host::kFallbackOwner);
    Send(Host::kElementRemove, &info.ref);
    Send(Host::kElementInsert, &info);
    return owner;
}
}  // namespace

void TakeOverActions() {
    viewCtrlOwner = TakeOver(Host::kActionMessageView);
    sendCtrlOwner = TakeOver(Host::kActionMessageEdit);
}
}  // namespace Tabs
