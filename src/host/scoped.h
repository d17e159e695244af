// A variable changed for the length of a scope: "the plug-in is doing X, the
// messages X causes must not start it again". The previous value comes back
// at the scope's end, so nested scopes restore each other's values.
// Scopes end in the reverse order of their start: when one ends, every
// change made after it has ended too, and is undone if it has not been.
//
// Every change in force is also recorded outside the stack, oldest first. A
// fault guard notes how many were in force when it started; when the frames
// above it are abandoned without their clean-ups (a recovered fault on x86,
// the host's own handler unwinding through the plug-in), it undoes the
// changes made since, newest first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace Tabs {

// How to put one variable back: the bytes it held before the change.
struct ScopedChange {
    void (*undo)(void* variable, intptr_t previous) noexcept;
    void* variable;
    intptr_t previous;
};

size_t ChangesInForce() noexcept;
// False when the change could not be recorded (no memory left).
bool RecordChange(const ScopedChange& change) noexcept;
// Undoes every change made after `inForce` were in force, newest first.
void UndoChangesAfter(size_t inForce) noexcept;

template <typename T>
class Scoped {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= sizeof(intptr_t));

public:
    Scoped(T& variable, T value) noexcept : variable(variable), previous(variable), index(ChangesInForce()) {
        intptr_t bytes = 0;
        std::memcpy(&bytes, &variable, sizeof(T));
        recorded = RecordChange({&Undo, &variable, bytes});
        variable = value;
    }
    ~Scoped() {
        if (recorded)
            UndoChangesAfter(index);
        else
            variable = previous;
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

private:
    static void Undo(void* variable, intptr_t previous) noexcept { std::memcpy(variable, &previous, sizeof(T)); }

    T& variable;
    T previous;
    size_t index;
    bool recorded;
};

}  // namespace Tabs
