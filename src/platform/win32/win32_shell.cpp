#include "platform/win32/win32_shell.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "platform/path_text.h"

namespace dustrel::platform::win32 {

namespace {

// DE_ACCESSDENIEDSRC, which the SDK headers do not declare.
constexpr int kShellAccessDeniedSource = 0x78;

bool runsUnderWow64() {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return false;
    }
    // Looked up rather than linked, so the program still starts where the function is missing.
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64Process != nullptr && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::wstring windowsDirectory() {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, length);
}

// The shell answers with Win32 codes and codes of its own, some with the same values as unrelated
// Win32 codes (0xB7 is both ERROR_ALREADY_EXISTS and "path too long"), so only the plain ones are
// told apart; the code is kept as the shell gave it.
Status statusFromShellResult(int result) {
    const auto code = static_cast<std::uint32_t>(result);
    switch (result) {
        case 0:
            return Status::Ok;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return Status(Status::NotFound, code);
        case ERROR_ACCESS_DENIED:
        case kShellAccessDeniedSource:
            return Status(Status::AccessDenied, code);
        default:
            return Status(Status::Failed, code);
    }
}

}  // namespace

Win32Shell::Win32Shell() {
    if (!runsUnderWow64()) {
        return;
    }
    redirectedWindowsDir_ = windowsDirectory();
    if (redirectedWindowsDir_.empty()) {
        return;
    }
    // The shell loads DLLs while it works, so file-system redirection cannot be turned off around
    // it; the alias reaches the real System32 instead, where this Windows has one.
    const std::wstring alias =
        sysnativeAlias(redirectedWindowsDir_ + L"\\System32", redirectedWindowsDir_);
    const DWORD attributes = GetFileAttributesW(alias.c_str());
    sysnative_ =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::wstring> Win32Shell::reachable(const std::wstring& path) const {
    if (redirectedWindowsDir_.empty()) {
        return path;
    }
    std::wstring alias = sysnativeAlias(path, redirectedWindowsDir_);
    if (alias == path) {
        return path;
    }
    // Without the alias the shell would reach the SysWOW64 namesake instead.
    if (!sysnative_) {
        return std::nullopt;
    }
    return alias;
}

Status Win32Shell::deleteFiles(const std::vector<std::wstring>& paths, bool toRecycleBin) {
    // Each path ends in a NUL and the list in one more.
    std::wstring from;
    bool leftOut = false;
    for (const std::wstring& path : paths) {
        const std::optional<std::wstring> target = reachable(path);
        if (!target) {
            leftOut = true;
            continue;
        }
        from += *target;
        from += L'\0';
    }
    if (from.empty()) {
        return leftOut ? Status(Status::AccessDenied, ERROR_ACCESS_DENIED) : Status(Status::Ok);
    }
    from += L'\0';

    SHFILEOPSTRUCTW operation{};
    // The shell's progress and error windows belong to the window the user deleted from.
    operation.hwnd = GetActiveWindow();
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    // Into the Recycle Bin, the shell asks before it destroys a file the bin cannot take (too
    // large, or the drive's bin switched off) instead of deleting it for good in silence.
    operation.fFlags = static_cast<FILEOP_FLAGS>(
        FOF_NOCONFIRMATION | (toRecycleBin ? FOF_ALLOWUNDO | FOF_WANTNUKEWARNING : 0));
    const int result = SHFileOperationW(&operation);
    if (result != 0) {
        return statusFromShellResult(result);
    }
    if (operation.fAnyOperationsAborted) {
        return Status(Status::Failed, ERROR_CANCELLED);
    }
    if (leftOut) {
        return Status(Status::Failed, ERROR_ACCESS_DENIED);
    }
    return Status::Ok;
}

Status Win32Shell::open(const std::wstring& target) {
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    const INT_PTR answer = reinterpret_cast<INT_PTR>(result);
    if (answer > 32) {
        return Status::Ok;
    }
    // Zero is the one answer that is no error code: the system is out of memory or resources.
    const auto code = static_cast<std::uint32_t>(answer == 0 ? ERROR_NOT_ENOUGH_MEMORY : answer);
    switch (answer) {
        case SE_ERR_FNF:
        case SE_ERR_PNF:
            return Status(Status::NotFound, code);
        case SE_ERR_ACCESSDENIED:
            return Status(Status::AccessDenied, code);
        default:
            return Status(Status::Failed, code);
    }
}

}  // namespace dustrel::platform::win32
