#include "host/fault_guard.h"

#include <windows.h>

#include <csetjmp>

namespace Tabs {

namespace {

// A frame in the thread's chain of structured exception handlers, followed by
// where to resume.
struct GuardFrame {
    EXCEPTION_REGISTRATION_RECORD record;
    jmp_buf* resume;
};

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

}  // namespace

int RunFaultGuarded(GuardedCall call, void* argument, int fallback) noexcept {
    jmp_buf resume;
    GuardFrame frame;
    if (setjmp(resume)) return fallback;
    frame.record.Next = ThreadBlock()->ExceptionList;
    frame.record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(reinterpret_cast<void*>(OnFault));
    frame.resume = &resume;
    ThreadBlock()->ExceptionList = &frame.record;
    int answer = call(argument);
    ThreadBlock()->ExceptionList = frame.record.Next;
    return answer;
}

}  // namespace Tabs
