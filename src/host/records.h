// Records exchanged with the host. Every record starts with its 16-bit size
// and is laid out exactly as the host defines it: packed without padding
// (except IconRegistration), little-endian. The messenger is a 32-bit
// program; on x64 every field that carries a pointer or a window handle is
// pointer-sized (intptr_t or a pointer type) and every other field keeps its
// width, so the fields keep their order and the records grow by four bytes
// per such field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#pragma pack(push, 1)

struct HostMessage {
    uint16_t size;
    int32_t code;
    int32_t reserved1;
    int32_t targetNumber;  // 0 for the host, a plug-in number otherwise
    int32_t targetKind;    // -1 when addressing another plug-in
    int32_t reserved2;
    intptr_t p1;
    intptr_t p2;
};

struct ColumnDeclaration {
    uint16_t size;
    int32_t code;
    int32_t reserved1;
    int32_t targetNumber;
    int32_t targetKind;
    int32_t reserved2;
    uint8_t table;  // 0 configuration, 1 contacts
    int32_t column;
    int32_t type;          // 0 integer, 1 string, +0x400 for the lock columns
    intptr_t defaultValue;  // integer default or pointer to the default text
    const char* name;
};

struct ColumnValue {
    uint16_t type;   // 0 integer, 1 string
    intptr_t value;  // integer, or pointer to the text
    int32_t bufferSize;
};

struct ActionRef {
    int32_t id;
    int32_t parent;
    int32_t contact;  // -2 when the element belongs to no contact
};

struct ActionInfo {
    uint16_t size;  // 74, or 78 in the extended layout
    ActionRef ref;
    int32_t position;
    uint32_t elementType;
    void* handle;
    int32_t reserved2;
    uint32_t mask;
    uint32_t status;
    uint32_t statusMask;
    int32_t reserved3;
    int32_t reserved4;
    const char* text;
    int32_t textSize;
    int32_t extra1;
    int32_t param;
    int32_t extra2;
    uint16_t width;
    uint16_t height;
    uint16_t x;  // extended layout only
    uint16_t y;  // extended layout only
};

struct ActionNotice {
    uint16_t size;  // 30 when built by the plug-in; 68 or more with window handles
    ActionRef ref;
    int32_t notice;
    int32_t reserved18;
    int32_t reserved22;
    int32_t reserved26;
};

// The long form of a notice about a newly created control window. Only
// notices whose size is at least 68 carry it.
struct ActionNoticeWindow {
    uint16_t size;
    ActionRef ref;
    int32_t notice;
    uint8_t unread18[6];
    void* window;        // the control that was created
    void* parentWindow;  // its conversation window
    uint8_t unread32[36];
};

struct ActionCall {
    uint16_t size;
    int32_t code;
    int32_t reserved1;
    int32_t targetNumber;
    int32_t targetKind;
    int32_t reserved2;
    ActionRef ref;
    int32_t notice;
    int32_t pointX;
    int32_t pointY;
    int32_t spare1;
    int32_t spare2;
    void* window;
    int32_t spare3;
};

struct IncomingMessage {
    uint16_t size;
    int32_t code;
    int32_t network;
    int32_t kind;  // 1 for an ordinary message
    const char* from;
    int32_t reserved18;
    const char* body;
    int32_t reserved26;
    int32_t flags;
};

struct StatusChangeMessage {
    uint16_t size;
    int32_t code;
    int32_t reserved1;
    int32_t targetNumber;
    int32_t targetKind;
    int32_t reserved2;
    int32_t contact;
    int32_t status;
    int32_t unread30;
};

// The selector's fields after the user id are named by their offsets in the
// 32-bit messenger.
struct MessageSelector {
    uint16_t size;
    int32_t network;
    const char* userId;
    int32_t field10;
    int32_t field14;
    int32_t field18;
    int32_t field22;
    int32_t field26;
};

#pragma pack(pop)

// Natural alignment: two bytes of padding follow the size.
struct IconRegistration {
    uint16_t size;
    int32_t iconId;
    int32_t kind;
    int32_t zero12;
    int32_t one16;
    void* module;
    int32_t resourceId;
    void* image;
    int32_t zero32;
};

// The layout as the 32-bit messenger has it, and its x64 twin.
#if defined(_WIN64)
static_assert(sizeof(void*) == 8);

static_assert(sizeof(HostMessage) == 38);
static_assert(offsetof(HostMessage, code) == 2);
static_assert(offsetof(HostMessage, reserved1) == 6);
static_assert(offsetof(HostMessage, targetNumber) == 10);
static_assert(offsetof(HostMessage, targetKind) == 14);
static_assert(offsetof(HostMessage, reserved2) == 18);
static_assert(offsetof(HostMessage, p1) == 22);
static_assert(offsetof(HostMessage, p2) == 30);

static_assert(sizeof(ColumnDeclaration) == 47);
static_assert(offsetof(ColumnDeclaration, table) == 22);
static_assert(offsetof(ColumnDeclaration, column) == 23);
static_assert(offsetof(ColumnDeclaration, type) == 27);
static_assert(offsetof(ColumnDeclaration, defaultValue) == 31);
static_assert(offsetof(ColumnDeclaration, name) == 39);

static_assert(sizeof(ColumnValue) == 14);
static_assert(offsetof(ColumnValue, value) == 2);
static_assert(offsetof(ColumnValue, bufferSize) == 10);

static_assert(sizeof(ActionRef) == 12);
static_assert(offsetof(ActionRef, parent) == 4);
static_assert(offsetof(ActionRef, contact) == 8);

static_assert(sizeof(ActionInfo) == 86);
static_assert(offsetof(ActionInfo, ref) == 2);
static_assert(offsetof(ActionInfo, position) == 14);
static_assert(offsetof(ActionInfo, elementType) == 18);
static_assert(offsetof(ActionInfo, handle) == 22);
static_assert(offsetof(ActionInfo, reserved2) == 30);
static_assert(offsetof(ActionInfo, mask) == 34);
static_assert(offsetof(ActionInfo, status) == 38);
static_assert(offsetof(ActionInfo, statusMask) == 42);
static_assert(offsetof(ActionInfo, reserved3) == 46);
static_assert(offsetof(ActionInfo, reserved4) == 50);
static_assert(offsetof(ActionInfo, text) == 54);
static_assert(offsetof(ActionInfo, textSize) == 62);
static_assert(offsetof(ActionInfo, extra1) == 66);
static_assert(offsetof(ActionInfo, param) == 70);
static_assert(offsetof(ActionInfo, extra2) == 74);
static_assert(offsetof(ActionInfo, width) == 78);
static_assert(offsetof(ActionInfo, height) == 80);
static_assert(offsetof(ActionInfo, x) == 82);
static_assert(offsetof(ActionInfo, y) == 84);

static_assert(sizeof(ActionNotice) == 30);
static_assert(offsetof(ActionNotice, ref) == 2);
static_assert(offsetof(ActionNotice, notice) == 14);
static_assert(offsetof(ActionNotice, reserved18) == 18);
static_assert(offsetof(ActionNotice, reserved26) == 26);

static_assert(sizeof(ActionNoticeWindow) == 76);
static_assert(offsetof(ActionNoticeWindow, window) == 24);
static_assert(offsetof(ActionNoticeWindow, parentWindow) == 32);

static_assert(sizeof(ActionCall) == 66);
static_assert(offsetof(ActionCall, ref) == 22);
static_assert(offsetof(ActionCall, notice) == 34);
static_assert(offsetof(ActionCall, pointX) == 38);
static_assert(offsetof(ActionCall, pointY) == 42);
static_assert(offsetof(ActionCall, spare1) == 46);
static_assert(offsetof(ActionCall, spare2) == 50);
static_assert(offsetof(ActionCall, window) == 54);
static_assert(offsetof(ActionCall, spare3) == 62);

static_assert(offsetof(IncomingMessage, network) == 6);
static_assert(offsetof(IncomingMessage, kind) == 10);
static_assert(offsetof(IncomingMessage, from) == 14);
static_assert(offsetof(IncomingMessage, reserved18) == 22);
static_assert(offsetof(IncomingMessage, body) == 26);
static_assert(offsetof(IncomingMessage, flags) == 38);
static_assert(sizeof(IncomingMessage) == 42);

static_assert(sizeof(StatusChangeMessage) == 34);
static_assert(offsetof(StatusChangeMessage, contact) == 22);
static_assert(offsetof(StatusChangeMessage, status) == 26);

static_assert(sizeof(MessageSelector) == 34);
static_assert(offsetof(MessageSelector, network) == 2);
static_assert(offsetof(MessageSelector, userId) == 6);
static_assert(offsetof(MessageSelector, field10) == 14);
static_assert(offsetof(MessageSelector, field14) == 18);
static_assert(offsetof(MessageSelector, field18) == 22);
static_assert(offsetof(MessageSelector, field22) == 26);
static_assert(offsetof(MessageSelector, field26) == 30);

static_assert(sizeof(IconRegistration) == 56);
static_assert(offsetof(IconRegistration, iconId) == 4);
static_assert(offsetof(IconRegistration, kind) == 8);
static_assert(offsetof(IconRegistration, one16) == 16);
static_assert(offsetof(IconRegistration, module) == 24);
static_assert(offsetof(IconRegistration, resourceId) == 32);
static_assert(offsetof(IconRegistration, image) == 40);
static_assert(offsetof(IconRegistration, zero32) == 48);

#else
static_assert(sizeof(void*) == 4, "the host is a 32-bit program");

static_assert(sizeof(HostMessage) == 30);
static_assert(offsetof(HostMessage, code) == 2);
static_assert(offsetof(HostMessage, reserved1) == 6);
static_assert(offsetof(HostMessage, targetNumber) == 10);
static_assert(offsetof(HostMessage, targetKind) == 14);
static_assert(offsetof(HostMessage, reserved2) == 18);
static_assert(offsetof(HostMessage, p1) == 22);
static_assert(offsetof(HostMessage, p2) == 26);

static_assert(sizeof(ColumnDeclaration) == 39);
static_assert(offsetof(ColumnDeclaration, table) == 22);
static_assert(offsetof(ColumnDeclaration, column) == 23);
static_assert(offsetof(ColumnDeclaration, type) == 27);
static_assert(offsetof(ColumnDeclaration, defaultValue) == 31);
static_assert(offsetof(ColumnDeclaration, name) == 35);

static_assert(sizeof(ColumnValue) == 10);
static_assert(offsetof(ColumnValue, value) == 2);
static_assert(offsetof(ColumnValue, bufferSize) == 6);

static_assert(sizeof(ActionRef) == 12);
static_assert(offsetof(ActionRef, parent) == 4);
static_assert(offsetof(ActionRef, contact) == 8);

static_assert(sizeof(ActionInfo) == 78);
static_assert(offsetof(ActionInfo, ref) == 2);
static_assert(offsetof(ActionInfo, position) == 14);
static_assert(offsetof(ActionInfo, elementType) == 18);
static_assert(offsetof(ActionInfo, handle) == 22);
static_assert(offsetof(ActionInfo, reserved2) == 26);
static_assert(offsetof(ActionInfo, mask) == 30);
static_assert(offsetof(ActionInfo, status) == 34);
static_assert(offsetof(ActionInfo, statusMask) == 38);
static_assert(offsetof(ActionInfo, reserved3) == 42);
static_assert(offsetof(ActionInfo, reserved4) == 46);
static_assert(offsetof(ActionInfo, text) == 50);
static_assert(offsetof(ActionInfo, textSize) == 54);
static_assert(offsetof(ActionInfo, extra1) == 58);
static_assert(offsetof(ActionInfo, param) == 62);
static_assert(offsetof(ActionInfo, extra2) == 66);
static_assert(offsetof(ActionInfo, width) == 70);
static_assert(offsetof(ActionInfo, height) == 72);
static_assert(offsetof(ActionInfo, x) == 74);
static_assert(offsetof(ActionInfo, y) == 76);

static_assert(sizeof(ActionNotice) == 30);
static_assert(offsetof(ActionNotice, ref) == 2);
static_assert(offsetof(ActionNotice, notice) == 14);
static_assert(offsetof(ActionNotice, reserved18) == 18);
static_assert(offsetof(ActionNotice, reserved26) == 26);

static_assert(sizeof(ActionNoticeWindow) == 68);
static_assert(offsetof(ActionNoticeWindow, window) == 24);
static_assert(offsetof(ActionNoticeWindow, parentWindow) == 28);

static_assert(sizeof(ActionCall) == 62);
static_assert(offsetof(ActionCall, ref) == 22);
static_assert(offsetof(ActionCall, notice) == 34);
static_assert(offsetof(ActionCall, pointX) == 38);
static_assert(offsetof(ActionCall, pointY) == 42);
static_assert(offsetof(ActionCall, spare1) == 46);
static_assert(offsetof(ActionCall, spare2) == 50);
static_assert(offsetof(ActionCall, window) == 54);
static_assert(offsetof(ActionCall, spare3) == 58);

static_assert(offsetof(IncomingMessage, network) == 6);
static_assert(offsetof(IncomingMessage, kind) == 10);
static_assert(offsetof(IncomingMessage, from) == 14);
static_assert(offsetof(IncomingMessage, body) == 22);
static_assert(offsetof(IncomingMessage, flags) == 30);
static_assert(sizeof(IncomingMessage) == 34);

static_assert(sizeof(StatusChangeMessage) == 34);
static_assert(offsetof(StatusChangeMessage, contact) == 22);
static_assert(offsetof(StatusChangeMessage, status) == 26);

static_assert(sizeof(MessageSelector) == 30);
static_assert(offsetof(MessageSelector, network) == 2);
static_assert(offsetof(MessageSelector, userId) == 6);
static_assert(offsetof(MessageSelector, field10) == 10);
static_assert(offsetof(MessageSelector, field14) == 14);
static_assert(offsetof(MessageSelector, field18) == 18);
static_assert(offsetof(MessageSelector, field22) == 22);
static_assert(offsetof(MessageSelector, field26) == 26);

static_assert(sizeof(IconRegistration) == 36);
static_assert(offsetof(IconRegistration, iconId) == 4);
static_assert(offsetof(IconRegistration, kind) == 8);
static_assert(offsetof(IconRegistration, one16) == 16);
static_assert(offsetof(IconRegistration, module) == 20);
static_assert(offsetof(IconRegistration, resourceId) == 24);
static_assert(offsetof(IconRegistration, image) == 28);
static_assert(offsetof(IconRegistration, zero32) == 32);

#endif

static_assert(std::is_trivially_copyable_v<HostMessage> && std::is_trivially_copyable_v<ActionInfo> &&
              std::is_trivially_copyable_v<ActionNotice> && std::is_trivially_copyable_v<ActionCall> &&
              std::is_trivially_copyable_v<ColumnDeclaration> && std::is_trivially_copyable_v<ColumnValue> &&
              std::is_trivially_copyable_v<IconRegistration> && std::is_trivially_copyable_v<StatusChangeMessage> &&
              std::is_trivially_copyable_v<MessageSelector> && std::is_trivially_copyable_v<IncomingMessage>);

// Sizes that decide which fields a record carries. The status change keeps
// its own 34-byte layout on both architectures: it carries numbers where the
// host message has its two parameters.
constexpr uint16_t kHostMessageSize = sizeof(HostMessage);
constexpr uint16_t kStatusChangeSize = sizeof(StatusChangeMessage);
constexpr uint16_t kActionInfoSize = offsetof(ActionInfo, x);
constexpr uint16_t kActionInfoExtendedSize = sizeof(ActionInfo);
constexpr uint16_t kActionNoticeWindowSize = sizeof(ActionNoticeWindow);

// Builders: each fills the caller's record and touches nothing else.
void BuildHostMessage(HostMessage& m, int32_t code, intptr_t p1 = 0, intptr_t p2 = 0);
void BuildPluginMessage(HostMessage& m, int32_t target, int32_t code, intptr_t p1 = 0, intptr_t p2 = 0);
void BuildActionInfo(ActionInfo& a, int32_t parent, int32_t id, int32_t position, uint32_t status, const char* text,
                     int32_t param = 0, uint16_t width = 0, uint16_t height = 0, int32_t extra2 = 0,
                     int32_t extra1 = 0);
void BuildActionInfoExtended(ActionInfo& a, int32_t parent, int32_t id, int32_t position, uint32_t status,
                             const char* text, int32_t param, uint16_t x, uint16_t y, uint16_t width = 0,
                             uint16_t height = 0, int32_t extra2 = 0, int32_t extra1 = 0);
void BuildActionNotice(ActionNotice& n, const ActionRef& ref, int32_t notice);
void BuildActionCall(ActionCall& c, const ActionRef& ref, int32_t notice, int32_t pointX, int32_t pointY,
                     int32_t spare1, void* window, int32_t spare3, int32_t spare2);
void BuildMessageSelector(MessageSelector& s);
void BuildIntValue(ColumnValue& v, intptr_t value = 0);
void BuildStringValue(ColumnValue& v, const char* text, int32_t bufferSize);
