// The host's own handler around its calls into the plug-in, as a messenger
// keeps one: a frame on the stack (not a vectored handler), so that it sees an
// exception only after every handler nearer to it, the plug-in's guard among
// them, has let it pass.
#pragma once

#include <windows.h>

#include <type_traits>

namespace DevHostLib {

// What reached the host's handler: the exception and where it was raised.
struct CaughtFault {
    bool caught = false;
    DWORD code = 0;
    const void* address = nullptr;
};

// Runs call(argument); an exception that reaches the handler unwinds every
// frame above it (without their clean-ups) and is recorded.
CaughtFault RunUnderHostHandler(void (*call)(void* argument), void* argument);

template <typename Body>
CaughtFault RunUnderHostHandler(Body&& body) {
    using Callable = std::remove_reference_t<Body>;
    return RunUnderHostHandler([](void* callable) { (*static_cast<Callable*>(callable))(); }, &body);
}

}  // namespace DevHostLib
