#include "ui/actions.h"

#include <string>

#include "container/tab_bar.h"
#include "conversations/attach.h"
#include "conversations/closed_list.h"
#include "conversations/closing.h"
#include "conversations/hooks.h"
#include "conversations/registry.h"
#include "host/columns.h"
#include "host/host.h"
#include "ui/elements.h"
#include "ui/registration.h"

namespace Tabs {

namespace {

constexpr uint32_t kHideAll = 0xFFFFFFFF;  // the contact page is hidden with every bit written
constexpr size_t kClosedMenuLimit = 10;

void SetDisabled(const ActionRef& ref, bool disabled) {
    SetElementStatus(ref, disabled ? Host::kStatusDisabled : 0, Host::kStatusDisabled);
}

// A check box of the settings page, read from its window.
bool Checked(const ActionRef& ref) {
    ActionInfo a{};
    a.size = kActionInfoSize;
    a.ref = ref;
    a.mask = Host::kMaskHandle;
    Send(Host::kElementRead, &a, 0);
    HWND box = static_cast<HWND>(a.handle);
    return box && SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The host reports the message edit's creation once per conversation window;
// the keyboard shortcuts live on it from then on, tab or not.
intptr_t OnMessageEdit(const ActionNotice* notice) {
    intptr_t answer = ForwardNotice(sendCtrlOwner, notice);
    if (notice->notice != Host::kNoticeCreateWindow || notice->size < kActionNoticeWindowSize) return answer;
    HWND edit = static_cast<HWND>(reinterpret_cast<const ActionNoticeWindow*>(notice)->window);
    if (Hook(edit, CtrlSendProc, kPropSendProcOld))
        Log(kTrace, "Tabs::ActionProc (Velmora::UI::ACT::msg_ctrlsend ACTN_CREATEWINDOW): Subclassed");
    return answer;
}

bool IsClosedSubmenu(int id) { return id == Element::ClosedContactMenu || id == Element::ClosedMainMenu; }

// An entry of a recently closed submenu is a contact: choosing it opens the
// conversation again.
bool IsClosedEntry(const ActionRef& ref) {
    return IsClosedSubmenu(ref.parent) && ref.id != Element::ClearList && ref.id != Element::ClosedSeparator;
}

void OnClosedEntry(const ActionNotice* notice) {
    if (notice->notice == Host::kNoticeAction)
        CallAction({Host::kActionOpenConversation, Host::kGroupContactMenu, notice->ref.id}, Host::kNoticeAction);
}

// "Przypnij/Odepnij" in the contact menu says what choosing it will do.
void OnAttachEntryShown(const ActionRef& ref) {
    if (!HasTab(ref.contact)) {
        SetElementHidden(ref, true);
        return;
    }
    SetElementHidden(ref, false);
    HWND window = ConversationWindow(ref.contact);
    SetElementText(ref, TabbedExactly(window) ? "Odepnij" : "Przypnij");
}

int OnAttachDetach(const ActionNotice* notice) {
    const ActionRef& ref = notice->ref;
    if (notice->notice == Host::kNoticeCreate && ref.parent == Host::kGroupContactMenu) OnAttachEntryShown(ref);
    if (notice->notice == Host::kNoticeAction && LockAllows()) ToggleAttach(ContactRef{ref.contact});
    return 0;
}

int OnCloseEntry(const ActionNotice* notice) {
    const ActionRef& ref = notice->ref;
    if (notice->notice == Host::kNoticeCreate) SetElementHidden(ref, !HasTab(ref.contact));
    if (notice->notice != Host::kNoticeAction || !LockAllows()) return 0;
    if (ref.id == Element::CloseOthers)
        CloseTabs(ref.contact);
    else
        CloseTab(ref.contact);
    return 0;
}

int OnClosedSubmenuShown(const ActionNotice* notice) {
    if (notice->notice != Host::kNoticeCreate) return 0;
    const ActionRef& ref = notice->ref;
    bool own = ref.id == Element::ClosedContactMenu;
    int setting = own ? Column::ClosedRecentlyCnt : Column::ClosedRecentlyMain;
    bool shown = (!own || HasTab(ref.contact)) && !closedList.empty() && GetInt(setting) == 1;
    SetElementHidden(ref, !shown);
    return 0;
}

// Every entry of the previous showing goes; "Wyczyść listę" and its
// separator stay.
void DeleteClosedEntries(int submenu) {
    ActionRef self{submenu, 0, Host::kNoContact};
    ActionRef group{submenu, static_cast<int32_t>(Send(Host::kElementParent, &self, 0)), Host::kNoContact};
    int count = Send(Host::kElementChildCount, &group, 0);
    for (int k = count - 1; k >= 0; --k) {
        int child = Send(Host::kElementChildId, submenu, k);
        if (child == 0 || child == Element::ClearList || child == Element::ClosedSeparator) continue;
        ActionRef entry{child, submenu, Host::kNoContact};
        Send(Host::kElementRemove, &entry, 0);
    }
}

// The newest closed conversations the host still knows, newest first.
void AddClosedEntries(int submenu) {
    size_t added = 0;
    for (int32_t contact : closedList) {
        if (added == kClosedMenuLimit) break;
        if (contact == 0 || Send(Host::kContactExists, contact) == 0) continue;
        std::string name = GetTabName(contact, false);
        AddElement(submenu, contact, -1, Status::InMenu, name.c_str(), StatusIcon(contact, -1));
        ++added;
    }
}

// The entry lives only in the plug-in's two submenus: under any other parent
// the children are not the plug-in's to delete, nor the list the user's to
// lose.
int OnClearList(const ActionNotice* notice) {
    if (!IsClosedSubmenu(notice->ref.parent)) return 0;
    switch (notice->notice) {
        case Host::kNoticeCreate:
            Log(kTrace, "Tabs::ActionProc(Tabs::Acts::ClosedRecenltyHook) ACTN_CREATE");
            DeleteClosedEntries(notice->ref.parent);
            AddClosedEntries(notice->ref.parent);
            break;
        case Host::kNoticeDestroy:
            Log(kTrace, "Tabs::ActionProc(Tabs::Acts::ClosedRecenltyHook) ACTN_DESTROY");
            break;
        case Host::kNoticeAction:
            Log(kTrace, "Tabs::ActionProc(Tabs::Acts::ClosedRecenltyHook) ACTN_ACTION");
            ClearClosed();
            break;
    }
    return 0;
}

// "Zamykaj wszystkie zakładki..." and "+ tylko gdy jedna otwarta" exclude
// each other: either one checked greys the other.
int OnCloseAllPair(const ActionNotice* notice) {
    const ActionRef& ref = notice->ref;
    int other = ref.id == Column::CloseAllTabs ? Column::CloseTabWhenOne : Column::CloseAllTabs;
    if (notice->notice == Host::kNoticeCreate) SetDisabled(ref, GetInt(other) != 0);
    if (notice->notice == Host::kNoticeAction) SetDisabled({other, ref.parent, Host::kNoContact}, Checked(ref));
    return 0;
}

// "Tylko gdy odpięta" means something only with the detach button on.
int OnDetachButtonSetting(const ActionNotice* notice) {
    const ActionRef& ref = notice->ref;
    if (notice->notice == Host::kNoticeAction)
        SetDisabled({Column::ToolbarDetachButtonWhenDetached, ref.parent, Host::kNoContact}, !Checked(ref));
    return 0;
}

int OnDetachedOnlySetting(const ActionNotice* notice) {
    if (notice->notice == Host::kNoticeCreate) SetDisabled(notice->ref, GetInt(Column::ToolbarDetachButton) == 0);
    return 0;
}

int OnContactPage(const ActionNotice* notice) {
    if (notice->notice != Host::kNoticeCreate) return 0;
    const ActionRef& ref = notice->ref;
    bool known = hostControl && hostControl->rowTest(1, ref.contact) != 0;
    if (!known || GetInt(Column::LockState) != 0)
        SetElementStatus(ref, kHideAll, Host::kStatusHidden);
    else
        SetElementHidden(ref, false);
    return 0;
}

}  // namespace

intptr_t ActionProc(const ActionNotice* notice) {
    if (IsClosedEntry(notice->ref)) {
        OnClosedEntry(notice);
        return 0;
    }
    switch (notice->ref.id) {
        case Host::kActionMessageView: return ControlTrigger(notice);
        case Host::kActionMessageEdit: return OnMessageEdit(notice);
        case Element::AttachDetach: return OnAttachDetach(notice);
        case Element::Close:
        case Element::Separator:
        case Element::CloseOthers: return OnCloseEntry(notice);
        case Element::ClosedContactMenu:
        case Element::ClosedMainMenu: return OnClosedSubmenuShown(notice);
        case Element::ClearList: return OnClearList(notice);
        case Column::CloseAllTabs:
        case Column::CloseTabWhenOne: return OnCloseAllPair(notice);
        case Column::ToolbarDetachButton: return OnDetachButtonSetting(notice);
        case Column::ToolbarDetachButtonWhenDetached: return OnDetachedOnlySetting(notice);
        case Element::ContactPage: return OnContactPage(notice);
    }
    return 0;
}

}  // namespace Tabs
