// Host numbers: requests sent through HostControl::send, messages the host
// sends to the entry point, notices, element and column ids. Each is written
// here once and named everywhere else.
#pragma once

#include <cstdint>

namespace Host {

// Requests (p1, p2 -> answer).
constexpr int kLog = 1;                       // text, level
constexpr int kVersionText = 26;              // version, buffer -> text in buffer
constexpr int kMarkRead = 104;                // MessageSelector*, -1
constexpr int kContactByUser = 200;           // network, user id text -> contact id
constexpr int kContactCount = 201;            // -> number of contacts
constexpr int kContactExists = 233;           // contact id -> nonzero when known
constexpr int kFallbackOwner = 243;           // -> fallback owner plug-in id
constexpr int kPluginVersion = 245;           // plug-in id -> version
constexpr int kPluginLoaded = 248;            // signature text -> nonzero when loaded
constexpr int kSaveSettings = 1010;           // -> host saves its settings
constexpr int kDeclareColumn = 1102;          // ColumnDeclaration
constexpr int kElementInsert = 10101;         // ActionInfo*
constexpr int kElementNotify = 10103;         // ActionNotice*
constexpr int kElementRead = 10107;           // ActionInfo* -> fields filled
constexpr int kElementChange = 10108;         // ActionInfo*
constexpr int kElementChildCount = 10111;     // ActionRef* -> child count
constexpr int kElementChildId = 10114;        // group id, index -> child id
constexpr int kElementRemove = 10115;         // ActionRef* -> nonzero when removed
constexpr int kElementWindow = 10117;         // ActionRef* -> window handle
constexpr int kElementParent = 10118;         // ActionRef* -> parent id
constexpr int kMainMenuGroup = 10119;         // -> main-menu group id
constexpr int kElementOwner = 10123;          // ActionRef* -> owner plug-in id
constexpr int kIconRegister = 10130;          // IconRegistration*
constexpr int kIconKnown = 10131;             // icon id, 1 -> nonzero when known
constexpr int kIconIndex = 10133;             // icon id, 1 -> image index
constexpr int kImageList = 10134;             // 1, 0 -> image list
constexpr int kIconHandle = 10136;            // icon id, 256 or 512 -> icon handle
constexpr int kElementCall = 10150;           // ActionCall record itself
constexpr int kAskUser = 10202;               // question text -> nonzero for yes
constexpr int kWindowState = 13003;           // contact id, 0 -> window state

// Messages to other plug-ins (targetKind -1).
constexpr int kLeaveMessage = 116000;         // to 116: contact id -> nonzero leaves it
constexpr int kIconPluginStatus = 306101;     // to 306: contact id, status -> icon id
constexpr int kIconPluginMessage = 306102;    // to 306: contact id -> icon id or 0
constexpr int kLockUnlocked = 307001;         // to 307: -> nonzero when unlocked
constexpr int kLeavePlugin = 116;
constexpr int kIconPlugin = 306;
constexpr int kLockPlugin = 307;

// Signatures of other plug-ins (request 248).
inline constexpr char kIconPluginSignature[] = "Merulka";  // chooses tab icons when loaded
inline constexpr char kViewerSignature[] = "Vizorek";      // the message view
inline constexpr char kLockSignature[] = "ZORPA";          // the lock

// Messages the host sends to the entry point.
constexpr int kMsgSetControl = 20001;
constexpr int kMsgReleaseControl = 20002;
constexpr int kMsgApiVersion = 20020;
constexpr int kMsgApiFlags = 20021;
constexpr int kMsgPluginsLoaded = 20022;
constexpr int kMsgIncoming = 20100;
constexpr int kMsgDeclareColumns = 21001;
constexpr int kMsgSettingsApplied = 21020;
constexpr int kMsgPrepare = 22000;
constexpr int kMsgStart = 22100;
constexpr int kMsgEnd = 22101;
constexpr int kMsgAction = 22200;
constexpr int kMsgStatusChange = 24011;
constexpr int kMsgNumber = 30010;
constexpr int kMsgType = 30011;
constexpr int kMsgReserved30012 = 30012;
constexpr int kMsgSignature = 30013;
constexpr int kMsgName = 30016;
constexpr int kMsgReserved30017 = 30017;
constexpr int kAskContainer = 40001;
constexpr int kAskCurrentContact = 40002;
constexpr int kAskCurrentWindow = 40003;
constexpr int kAskWindowState = 40004;

// Log levels.
constexpr int kLogTrace = 256;
constexpr int kLogError = 32;

// Notices.
constexpr int kNoticeAction = 1;          // ACTN_ACTION
constexpr int kNoticeCreate = 10;         // ACTN_CREATE
constexpr int kNoticeDestroy = 11;        // ACTN_DESTROY
constexpr int kNoticeCreateWindow = 220;  // ACTN_CREATEWINDOW
constexpr int kNoticeRedraw = 310;
constexpr int kNoticePopup = 266;

// Element masks.
constexpr uint32_t kMaskComplete = 0x35F;
constexpr uint32_t kMaskListRead = 0x844;
constexpr uint32_t kMaskStatus = 1;
constexpr uint32_t kMaskText = 0x40;
constexpr uint32_t kMaskHandle = 0x400;
constexpr uint32_t kElementHoldsOthers = 0x100000;  // in elementType

// What a mark-as-read selector (request 104) carries after the user id, by
// the fields' offsets in the 32-bit record; the rest stay as built.
constexpr int32_t kSelectorField10 = 1;
constexpr int32_t kSelectorField14 = 0x40;
constexpr int32_t kSelectorField18 = 2;
constexpr int32_t kSelectorField22 = -1;
constexpr int32_t kSelectorField26 = 0;
constexpr intptr_t kMarkReadP2 = -1;

// Element status flags; bits 16 to 23 of the status select the kind.
constexpr uint32_t kStatusHidden = 0x1;
constexpr uint32_t kStatusDisabled = 0x2;
constexpr uint32_t kStatusGroup = 0x10;  // the element holds others

// Host groups and elements.
constexpr int kNoContact = -2;
constexpr int kGroupConversation = 3;     // {3, 0, contact}: the conversation window
constexpr int kGroupToolbars = 4;
constexpr int kGroupContactMenu = 30;
constexpr int kGroupContactMenuParent = 1;  // {30, 1, -2}: the contact menu among the host's menus
constexpr int kGroupSettings = 45;
constexpr int kGroupContactPages = 71;
constexpr int kGroupMainToolbar = 200;
constexpr int kActionOpenConversation = 138;
constexpr int kActionContactMenu = 10;    // {30, 10, contact}: the contact menu
constexpr int kActionMessageView = 250;
constexpr int kActionMessageEdit = 251;
constexpr int kViewerGroup = 780400;
constexpr int kViewerLoadChat = 780453;
constexpr int kElementLockWindow = 1;    // {1, 0, -2}: the host window holding dialog item 1000
constexpr int kLockDialogItem = 1000;
constexpr int kFocusDialogItem = 5691;
constexpr int kViewDialogItem = 250;    // conversation window: holds the message view

// Host icons and columns.
constexpr int kIconNormal = 63;
constexpr int kIconMessage = 66;
constexpr int kIconHandleForRegistration = 512;  // p2 of 10136 for a handle registered again
constexpr int kIconUnknown = 13;
constexpr int kIconSmall = 256;         // p2 of 10136 for the container's icons
constexpr int kColumnFlashCount = 113;   // configuration table
constexpr int kColumnKeepWindow = 148;   // configuration table
constexpr int kContactUserId = 0;        // contact table text columns
constexpr int kContactDisplay = 8;
constexpr int kContactInfo = 18;
constexpr int kContactNetwork = 1;       // contact table integer columns
constexpr int kContactStatus = 2;
constexpr int kContactIcon = 30;
// A status icon id: ((network | 0x400) << 16 | status) << 4.
constexpr int kStatusIconNetworkBit = 0x400;

constexpr int32_t kContactBit = 0x40000000;

}  // namespace Host
