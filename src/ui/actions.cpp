#include "ui/actions.h"

#include "conversations/attach.h"
#include "conversations/hooks.h"
#include "conversations/registry.h"
#include "host/host.h"
#include "ui/registration.h"

namespace Tabs {

namespace {

// The host reports the message edit's creation once per conversation window;
// the keyboard shortcuts live on it from then on, tab or not.
int OnMessageEdit(const ActionNotice* notice) {
    int answer = ForwardNotice(sendCtrlOwner, notice);
    if (notice->notice != Host::kNoticeCreateWindow || notice->size < kActionNoticeWindowSize) return answer;
    HWND edit = static_cast<HWND>(reinterpret_cast<const ActionNoticeWindow*>(notice)->window);
    if (Hook(edit, CtrlSendProc, kPropSendProcOld))
        Log(kTrace, "Tabs::ActionProc (Velmora::UI::ACT::msg_ctrlsend ACTN_CREATEWINDOW): Subclassed");
    return answer;
}

}  // namespace

int ActionProc(const ActionNotice* notice) {
    switch (notice->ref.id) {
        case Host::kActionMessageView: return ControlTrigger(notice);
        case Host::kActionMessageEdit: return OnMessageEdit(notice);
    }
    return 0;
}

}  // namespace Tabs
