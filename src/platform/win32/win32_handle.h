#pragma once

#include <windows.h>

namespace dustrel::platform::win32 {

// Owns one system handle and closes it when it goes. `Traits` says what an empty handle looks
// like and how to close one.
template <class T, class Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : handle_(handle) {}
    ~UniqueHandle() { close(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    // Closes the handle held so far and takes over the other's.
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = other.release();
        }
        return *this;
    }

    bool valid() const { return Traits::valid(handle_); }
    T get() const { return handle_; }
    // For functions that hand the handle back through a pointer.
    T* out() { return &handle_; }
    // Closes now; false when closing failed, which can be the only sign of a write that did not
    // complete (network drives).
    bool close() {
        if (!valid()) {
            return true;
        }
        const T handle = handle_;
        handle_ = Traits::empty();
        return Traits::close(handle);
    }
    // Lets go of the handle without closing it: something else owns it now.
    T release() {
        const T handle = handle_;
        handle_ = Traits::empty();
        return handle;
    }

private:
    T handle_ = Traits::empty();
};

struct KernelHandleTraits {
    static HANDLE empty() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool close(HANDLE h) { return CloseHandle(h) != FALSE; }
};

struct FindHandleTraits {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static bool close(HANDLE h) { return FindClose(h) != FALSE; }
};

struct RegistryKeyTraits {
    static HKEY empty() { return nullptr; }
    static bool valid(HKEY k) { return k != nullptr; }
    static bool close(HKEY k) { return RegCloseKey(k) == ERROR_SUCCESS; }
};

using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using FindHandle = UniqueHandle<HANDLE, FindHandleTraits>;
using RegistryKey = UniqueHandle<HKEY, RegistryKeyTraits>;

}  // namespace dustrel::platform::win32
