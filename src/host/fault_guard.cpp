#include "host/fault_guard.h"

#include <windows.h>

#include <csetjmp>

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

#if defined(__x86_64__)

}  // namespace

// x64 keeps no chain of handler frames on the thread: the system finds a
// frame's handler in the unwind tables. GuardedCall below is a small frame
// whose unwind entry names GuardedCallHandler. On a fault, the handler
// unwinds every frame above it and resumes at GuardedCallResume with the
// fallback, which the frame keeps at rsp+32. The C++ destructors in those
// frames do not run, as on x86.
extern "C" intptr_t ZavernokGuardedCall(GuardedCall call, void* argument, intptr_t fallback);
extern "C" char ZavernokGuardedCallResume[];
constexpr int kFallbackOffset = 32;

extern "C" EXCEPTION_DISPOSITION ZavernokGuardedCallHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                                            DISPATCHER_CONTEXT* dispatcher) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    if (!IsFault(record->ExceptionCode)) return ExceptionContinueSearch;
    auto fallback = *reinterpret_cast<void**>(static_cast<char*>(frame) + kFallbackOffset);
    RtlUnwindEx(frame, ZavernokGuardedCallResume, record, fallback, context, dispatcher->HistoryTable);
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
    .seh_handler ZavernokGuardedCallHandler, @except
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

namespace {

intptr_t GuardedRun(GuardedCall call, void* argument, intptr_t fallback) noexcept {
    return ZavernokGuardedCall(call, argument, fallback);
}

#else

// x86: a frame in the thread's chain of structured exception handlers,
// followed by where to resume.
struct GuardFrame {
    EXCEPTION_REGISTRATION_RECORD record;
    jmp_buf* resume;
};

EXCEPTION_DISPOSITION __cdecl OnFault(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    if (!IsFault(record->ExceptionCode)) return ExceptionContinueSearch;
    // The run-time's longjmp unwinds the handler chain back to the frame that
    // was current at setjmp, which drops this guard's frame as well.
    longjmp(*static_cast<GuardFrame*>(establisher)->resume, 1);
}

NT_TIB* ThreadBlock() {
#if defined(_MSC_VER)
    return reinterpret_cast<NT_TIB*>(NtCurrentTeb());
#else
    NT_TIB* block;
    __asm__("movl %%fs:0x18, %0" : "=r"(block));
    return block;
#endif
}

intptr_t GuardedRun(GuardedCall call, void* argument, intptr_t fallback) noexcept {
    jmp_buf resume;
    GuardFrame frame;
    if (setjmp(resume)) return fallback;
    frame.record.Next = ThreadBlock()->ExceptionList;
    frame.record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(reinterpret_cast<void*>(OnFault));
    frame.resume = &resume;
    ThreadBlock()->ExceptionList = &frame.record;
    intptr_t answer = call(argument);
    ThreadBlock()->ExceptionList = frame.record.Next;
    return answer;
}

#endif

// A call that returns says so; one that does not was abandoned.
struct Run {
    GuardedCall call;
    void* argument;
    bool returned;
};

intptr_t RunToTheEnd(void* run) {
    auto* r = static_cast<Run*>(run);
    intptr_t answer = r->call(r->argument);
    r->returned = true;
    return answer;
}

}  // namespace

intptr_t RunFaultGuarded(GuardedCall call, void* argument, intptr_t fallback, AbandonedCall abandoned) noexcept {
    Run run{call, argument, false};
    intptr_t answer = GuardedRun(RunToTheEnd, &run, fallback);
    if (!run.returned && abandoned) abandoned(argument);
    return answer;
}

}  // namespace Tabs
