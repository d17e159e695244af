#include "host/fault_guard.h"

#include <windows.h>

#include <csetjmp>
#include <cstddef>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace Tabs {

namespace {

bool IsFault(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        case EXCEPTION_DATATYPE_MISALIGNMENT:
        case EXCEPTION_FLT_DENORMAL_OPERAND:
        case EXCEPTION_FLT_DIVIDE_BY_ZERO:
        case EXCEPTION_FLT_INEXACT_RESULT:
        case EXCEPTION_FLT_INVALID_OPERATION:
        case EXCEPTION_FLT_OVERFLOW:
        case EXCEPTION_FLT_STACK_CHECK:
        case EXCEPTION_FLT_UNDERFLOW:
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_IN_PAGE_ERROR:
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_INT_OVERFLOW:
        case EXCEPTION_PRIV_INSTRUCTION:
            return true;
    }
    return false;
}

// Whose fault it is. The plug-in's own: a fault in its module's code, and a
// fault in a system library (a module whose file lies in the Windows folder:
// ntdll, kernel32, user32, comctl32, the C runtime...) or in code of no
// module, when the nearest caller outside those is the plug-in's code, which
// called them with its own arguments. Not the plug-in's: a fault in the
// host's program or another plug-in's module, or in a system library they
// called (a host window procedure or an operation of the host control that
// the plug-in called): that goes on to the host's own handling, as if the
// plug-in were not there. When the stack cannot be followed to such a caller,
// the fault counts as the plug-in's: the nearest frame known outside the
// system is the guard's own, and the guard's answer keeps the host running as
// it did before. The handler runs inside the system's exception dispatch: it
// allocates nothing, takes no lock beyond those of the system's own lookups
// of modules and unwind tables, and its walk is bounded.
enum class Owner { Plugin, System, Other };

// The module an address lies in, or null.
HMODULE ModuleAt(uintptr_t address, MEMORY_BASIC_INFORMATION& region) {
    if (!VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region)) return nullptr;
    return region.State == MEM_COMMIT && region.Type == MEM_IMAGE ? static_cast<HMODULE>(region.AllocationBase)
                                                                  : nullptr;
}

wchar_t Folded(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// System32, SysWOW64 and the side-by-side common controls all lie there.
bool InWindowsFolder(HMODULE module) {
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    UINT folderLength = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    DWORD fileLength = GetModuleFileNameW(module, file, MAX_PATH);
    if (folderLength == 0 || folderLength >= MAX_PATH || fileLength <= folderLength) return false;
    for (UINT i = 0; i < folderLength; ++i)
        if (Folded(folder[i]) != Folded(file[i])) return false;
    return folder[folderLength - 1] == L'\\' || file[folderLength] == L'\\';
}

Owner OwnerOf(HMODULE module) {
    if (module == reinterpret_cast<HMODULE>(&__ImageBase)) return Owner::Plugin;
    return !module || InWindowsFolder(module) ? Owner::System : Owner::Other;
}

Owner OwnerOf(uintptr_t address) {
    MEMORY_BASIC_INFORMATION region;
    return OwnerOf(ModuleAt(address, region));
}

// The thread's information block points at itself (NT_TIB::Self); the
// SDK's own accessor trips GCC's array-bounds warning.
NT_TIB* ThreadBlock() {
    NT_TIB* block;
#if defined(__x86_64__)
    __asm__("movq %%gs:%c1, %0" : "=r"(block) : "i"(offsetof(NT_TIB, Self)));
#else
    __asm__("movl %%fs:%c1, %0" : "=r"(block) : "i"(offsetof(NT_TIB, Self)));
#endif
    return block;
}

struct GuardState {
    void* argument;
    intptr_t fallback;
    AbandonedCall abandoned;
    bool recovered;
};

// The frames above the guard are left by an unwind: a recovery of the guard's
// own reports them once it is back, any other unwind here.
void OnUnwind(const GuardState& state) {
    if (!state.recovered && state.abandoned) state.abandoned(state.argument);
}

#if defined(__x86_64__)

constexpr int kMaxFrames = 256;

// The fault's stack, frame by frame through the unwind tables from the
// faulting instruction up towards the guard's frame, to the first frame
// outside the system.
bool IsOwnFault(CONTEXT context, uintptr_t guardFrame) {
    const auto stackLimit = reinterpret_cast<uintptr_t>(ThreadBlock()->StackLimit);
    for (int frame = 0; frame < kMaxFrames && context.Rip; ++frame) {
        Owner owner = OwnerOf(context.Rip);
        if (owner != Owner::System) return owner == Owner::Plugin;
        if (context.Rsp < stackLimit || context.Rsp >= guardFrame) return true;
        DWORD64 imageBase = 0;
        RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
        if (function) {
            void* handlerData = nullptr;
            DWORD64 establisher = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData,
                             &establisher, nullptr);
        } else {
            // A leaf, or code of no module: the return address is on top.
            context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
            context.Rsp += sizeof(DWORD64);
        }
    }
    return true;
}

}  // namespace

// x64 keeps no chain of handler frames on the thread: the system finds a
// frame's handler in the unwind tables. GuardedCall below is a small frame
// whose unwind entry names GuardedCallHandler, for faults and for unwinds
// that pass through it. On a fault of the plug-in's own, the handler unwinds
// every frame above it and resumes at GuardedCallResume with the fallback.
// The frame keeps the guard's state at rsp+32. C++ objects in the frames
// above are not destroyed: MinGW's clean-ups run only for C++ throws.
extern "C" intptr_t ZavernokGuardedCall(GuardedCall call, void* argument, GuardState* state);
extern "C" char ZavernokGuardedCallResume[];
constexpr int kStateOffset = 32;

extern "C" EXCEPTION_DISPOSITION ZavernokGuardedCallHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                                            DISPATCHER_CONTEXT* dispatcher) {
    auto* state = *reinterpret_cast<GuardState**>(static_cast<char*>(frame) + kStateOffset);
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
        OnUnwind(*state);
        return ExceptionContinueSearch;
    }
    if (!IsFault(record->ExceptionCode) || !IsOwnFault(*context, reinterpret_cast<uintptr_t>(frame)))
        return ExceptionContinueSearch;
    state->recovered = true;
    RtlUnwindEx(frame, ZavernokGuardedCallResume, record, reinterpret_cast<void*>(state->fallback), context,
                dispatcher->HistoryTable);
    return ExceptionContinueSearch;
}

asm(R"(
    .text
    .globl ZavernokGuardedCall
    .def ZavernokGuardedCall; .scl 2; .type 32; .endef
    .seh_proc ZavernokGuardedCall
ZavernokGuardedCall:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    .seh_handler ZavernokGuardedCallHandler, @except, @unwind
    movq %r8, 32(%rsp)
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    nop
    .globl ZavernokGuardedCallResume
ZavernokGuardedCallResume:
    addq $40, %rsp
    retq
    .seh_endproc
)");

intptr_t RunFaultGuarded(GuardedCall call, void* argument, intptr_t fallback, AbandonedCall abandoned) noexcept {
    GuardState state{argument, fallback, abandoned, false};
    intptr_t answer = ZavernokGuardedCall(call, argument, &state);
    if (state.recovered && abandoned) abandoned(argument);
    return answer;
}

#else

constexpr int kMaxWords = 64 * 1024;
constexpr DWORD kExecutable = PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | kExecutable;

// Whether `length` bytes from `address` are committed readable memory.
bool Readable(uintptr_t address, uintptr_t length) {
    MEMORY_BASIC_INFORMATION region;
    if (!VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region)) return false;
    uintptr_t end = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    return region.State == MEM_COMMIT && (region.Protect & kReadable) && !(region.Protect & PAGE_GUARD) &&
           length <= end - address;
}

uintptr_t ReadWord(uintptr_t address) { return *reinterpret_cast<const uintptr_t*>(address); }

// Code called through an import jump (FF 25) leads where the import does.
uintptr_t ThroughJump(uintptr_t target) {
    const auto* code = reinterpret_cast<const uint8_t*>(target);
    if (!Readable(target, 6) || code[0] != 0xFF || code[1] != 0x25) return target;
    uintptr_t slot = ReadWord(target + 2);
    return Readable(slot, sizeof slot) ? ReadWord(slot) : target;
}

// Length of the indirect call (FF /2) whose opcode is at `code`, from its
// ModR/M and SIB bytes.
uintptr_t IndirectCallLength(const uint8_t* code) {
    unsigned modrm = code[1], mod = modrm >> 6, rm = modrm & 7;
    if (mod == 3) return 2;
    uintptr_t length = 2;
    if (rm == 4) {
        ++length;
        if (mod == 0 && (code[2] & 7) == 5) length += 4;
    } else if (mod == 0 && rm == 5) {
        length += 4;
    }
    if (mod == 1) length += 1;
    if (mod == 2) length += 4;
    return length;
}

// The call instruction that ends right before a return address: a direct one
// (E8) or one through memory (FF 15) names where it leads; one through a
// register (the other forms of FF /2) does not.
struct CallBefore {
    bool found;
    bool targetKnown;
    uintptr_t target;
};

CallBefore CallEndingAt(uintptr_t address) {
    constexpr uintptr_t kLongest = 7;
    if (!Readable(address - kLongest, kLongest)) return {false, false, 0};
    const auto* code = reinterpret_cast<const uint8_t*>(address);
    if (code[-5] == 0xE8) return {true, true, ThroughJump(address + static_cast<int32_t>(ReadWord(address - 4)))};
    if (code[-6] == 0xFF && code[-5] == 0x15) {
        uintptr_t slot = ReadWord(address - 4);
        if (Readable(slot, sizeof slot)) return {true, true, ReadWord(slot)};
        return {true, false, 0};
    }
    for (uintptr_t length = 2; length <= kLongest; ++length) {
        const uint8_t* call = code - length;
        if (call[0] == 0xFF && ((call[1] >> 3) & 7) == 2 && IndirectCallLength(call) == length)
            return {true, false, 0};
    }
    return {false, false, 0};
}

// The module a return address out of system code leads into, or null for a
// value that is none.
HMODULE ReturnFromSystemInto(uintptr_t value) {
    MEMORY_BASIC_INFORMATION region;
    HMODULE module = ModuleAt(value, region);
    if (!module || !(region.Protect & kExecutable) || (region.Protect & PAGE_GUARD)) return nullptr;
    CallBefore call = CallEndingAt(value);
    if (!call.found || (call.targetKnown && OwnerOf(call.target) != Owner::System)) return nullptr;
    return module;
}

// x86 modules carry no unwind tables, and a chain of frame pointers skips
// code built without them (MinGW's, the plug-in's among it) and the system's
// leaf functions: the stack is read instead, from the fault's up to the
// guard's frame, for the first return address into a module outside the
// system. A value counts as one when it lies in a module's code right after a
// call that, where its target can be read, led into the system: what an
// earlier call elsewhere left in a system function's locals led elsewhere.
bool IsOwnFault(const CONTEXT& context, const void* guardFrame) {
    Owner owner = OwnerOf(context.Eip);
    if (owner != Owner::System) return owner == Owner::Plugin;
    const auto* slot = reinterpret_cast<const uintptr_t*>(context.Esp);
    const auto* end = static_cast<const uintptr_t*>(guardFrame);
    if (slot < static_cast<const uintptr_t*>(ThreadBlock()->StackLimit) || slot >= end) return true;
    for (int word = 0; slot < end && word < kMaxWords; ++slot, ++word) {
        HMODULE caller = ReturnFromSystemInto(*slot);
        if (!caller) continue;
        Owner callerOwner = OwnerOf(caller);
        if (callerOwner != Owner::System) return callerOwner == Owner::Plugin;
    }
    return true;
}

// x86: a frame in the thread's chain of structured exception handlers,
// followed by where to resume.
struct GuardFrame {
    EXCEPTION_REGISTRATION_RECORD record;
    jmp_buf* resume;
    GuardState* state;
};

EXCEPTION_DISPOSITION __cdecl OnFault(EXCEPTION_RECORD* record, void* establisher, CONTEXT* context, void*) {
    auto* frame = static_cast<GuardFrame*>(establisher);
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
        OnUnwind(*frame->state);
        return ExceptionContinueSearch;
    }
    if (!IsFault(record->ExceptionCode) || !IsOwnFault(*context, establisher)) return ExceptionContinueSearch;
    frame->state->recovered = true;
    // The run-time's longjmp unwinds the handler chain back to the frame that
    // was current at setjmp, which drops this guard's frame as well.
    longjmp(*frame->resume, 1);
}

}  // namespace

intptr_t RunFaultGuarded(GuardedCall call, void* argument, intptr_t fallback, AbandonedCall abandoned) noexcept {
    GuardState state{argument, fallback, abandoned, false};
    jmp_buf resume;
    GuardFrame frame;
    if (setjmp(resume)) {
        // Only a recovery of the guard's own comes back here.
        if (abandoned) abandoned(argument);
        return fallback;
    }
    frame.record.Next = ThreadBlock()->ExceptionList;
    frame.record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(reinterpret_cast<void*>(OnFault));
    frame.resume = &resume;
    frame.state = &state;
    ThreadBlock()->ExceptionList = &frame.record;
    intptr_t answer = call(argument);
    ThreadBlock()->ExceptionList = frame.record.Next;
    return answer;
}

#endif

}  // namespace Tabs
