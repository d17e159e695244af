#include "host_handler.h"

#include <csetjmp>
#include <cstddef>

namespace DevHostLib {

namespace {

void Record(CaughtFault& caught, const EXCEPTION_RECORD& record) {
    caught = {true, record.ExceptionCode, record.ExceptionAddress};
}

}  // namespace

#if defined(__x86_64__)

// A frame whose unwind entry names the handler; the record to fill is kept
// at rsp+32.
extern "C" void DevHostHandledCall(void (*call)(void*), void* argument, CaughtFault* caught);
extern "C" char DevHostHandledCallResume[];
constexpr int kCaughtOffset = 32;

extern "C" EXCEPTION_DISPOSITION DevHostHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                                DISPATCHER_CONTEXT* dispatcher) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    Record(**reinterpret_cast<CaughtFault**>(static_cast<char*>(frame) + kCaughtOffset), *record);
    RtlUnwindEx(frame, DevHostHandledCallResume, record, nullptr, context, dispatcher->HistoryTable);
    return ExceptionContinueSearch;
}

asm(R"(
    .text
    .globl DevHostHandledCall
    .def DevHostHandledCall; .scl 2; .type 32; .endef
    .seh_proc DevHostHandledCall
DevHostHandledCall:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    .seh_handler DevHostHandler, @except
    movq %r8, 32(%rsp)
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    nop
    .globl DevHostHandledCallResume
DevHostHandledCallResume:
    addq $40, %rsp
    retq
    .seh_endproc
)");

CaughtFault RunUnderHostHandler(void (*call)(void*), void* argument) {
    CaughtFault caught;
    DevHostHandledCall(call, argument, &caught);
    return caught;
}

#else

namespace {

// A frame in the thread's chain of handlers, followed by where to resume.
struct HostFrame {
    EXCEPTION_REGISTRATION_RECORD record;
    jmp_buf* resume;
    CaughtFault* caught;
};

NT_TIB* ThreadBlock() {
    NT_TIB* block;
    __asm__("movl %%fs:%c1, %0" : "=r"(block) : "i"(offsetof(NT_TIB, Self)));
    return block;
}

EXCEPTION_DISPOSITION __cdecl OnException(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    auto* frame = static_cast<HostFrame*>(establisher);
    Record(*frame->caught, *record);
    longjmp(*frame->resume, 1);
}

}  // namespace

CaughtFault RunUnderHostHandler(void (*call)(void*), void* argument) {
    CaughtFault caught;
    jmp_buf resume;
    HostFrame frame;
    if (setjmp(resume)) return caught;
    frame.record.Next = ThreadBlock()->ExceptionList;
    frame.record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(reinterpret_cast<void*>(OnException));
    frame.resume = &resume;
    frame.caught = &caught;
    ThreadBlock()->ExceptionList = &frame.record;
    call(argument);
    ThreadBlock()->ExceptionList = frame.record.Next;
    return caught;
}

#endif

}  // namespace DevHostLib
