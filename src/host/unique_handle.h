// A handle the plug-in made and must free, freed on every path out of its
// owner's scope.
#pragma once

#include <windows.h>

#include <utility>

namespace Tabs {

template <typename Handle, auto Free>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle = std::exchange(other.handle, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    void Reset() {
        if (handle) Free(handle);
        handle = nullptr;
    }

private:
    Handle handle = nullptr;
};

using UniqueRegion = UniqueHandle<HRGN, DeleteObject>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenu>;
using UniqueIcon = UniqueHandle<HICON, DestroyIcon>;
using UniqueWinEventHook = UniqueHandle<HWINEVENTHOOK, UnhookWinEvent>;

}  // namespace Tabs
