#pragma once

#include <windows.h>

namespace dustrel::platform::win32 {

// Lets a 32-bit process on 64-bit Windows see the real System32 instead of SysWOW64 for as long
// as the guard lives, on this thread. Hold it only around calls that resolve paths and never
// around anything that may load a DLL: with redirection off the loader would pick 64-bit DLLs.
// On 32-bit Windows the functions are missing and the guard does nothing.
class FsRedirectionOff {
public:
    FsRedirectionOff() {
        const Functions& f = functions();
        if (f.disable != nullptr) {
            active_ = f.disable(&previous_) != FALSE;
        }
    }
    ~FsRedirectionOff() {
        if (active_) {
            // Callers read GetLastError after the guard has gone.
            const DWORD error = GetLastError();
            functions().revert(previous_);
            SetLastError(error);
        }
    }
    FsRedirectionOff(const FsRedirectionOff&) = delete;
    FsRedirectionOff& operator=(const FsRedirectionOff&) = delete;

private:
    using Toggle = BOOL(WINAPI*)(PVOID*);
    using Revert = BOOL(WINAPI*)(PVOID);

    struct Functions {
        Toggle disable = nullptr;
        Revert revert = nullptr;
    };

    static const Functions& functions() {
        static const Functions found = [] {
            Functions f;
            if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
                // Cast through a generic function pointer, as GetProcAddress's own type differs.
                f.disable = reinterpret_cast<Toggle>(reinterpret_cast<void (*)()>(
                    GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
                f.revert = reinterpret_cast<Revert>(reinterpret_cast<void (*)()>(
                    GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
            }
            if (f.disable == nullptr || f.revert == nullptr) {
                f = Functions{};
            }
            return f;
        }();
        return found;
    }

    PVOID previous_ = nullptr;
    bool active_ = false;
};

}  // namespace dustrel::platform::win32
