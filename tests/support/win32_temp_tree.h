#pragma once

// Temporary trees for the tests that run under Wine, and the Unix side beneath them.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace dustrel::testing {
namespace detail {

inline std::wstring tempFolder() {
    wchar_t temp[MAX_PATH + 1];
    return std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp));
}

}  // namespace detail

// A name no other test run uses at the same time.
inline std::wstring uniqueName() {
    static unsigned counter = 0;
    return std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(GetTickCount64()) +
           L"." + std::to_wstring(++counter);
}

// A new folder in the temporary folder, named `prefix` and a unique name.
inline std::wstring makeTempFolder(const std::wstring& prefix) {
    const std::wstring folder = detail::tempFolder() + prefix + uniqueName();
    EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
    return folder;
}

// A file's bytes, empty when it cannot be read.
inline std::string bytesOf(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Under Wine: the Unix path of a Windows path (empty elsewhere), and what a shell script run on
// the Unix side printed, or nothing when it failed. Names and links the Win32 functions cannot
// make or remove are made and removed there.
inline std::string unixPath(const std::wstring& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName != nullptr ? unixName(path.c_str()) : nullptr;
    if (name == nullptr) {
        return {};
    }
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

inline std::optional<std::string> runUnix(const std::string& script) {
    const std::wstring base = detail::tempFolder() + L"DustrelScript." + uniqueName();
    const std::string unix = unixPath(base);
    if (unix.empty() || unix.find_first_of(" '") != std::string::npos) {
        return std::nullopt;
    }
    // Its output, then its status, land in files of their own: whether start waits for a Unix
    // program is Wine's business.
    std::ofstream(std::filesystem::path(base + L".sh"), std::ios::binary)
        << "(\n"
        << script << "\n) > " << unix << ".out\necho $? > " << unix << ".part\nmv " << unix
        << ".part " << unix << ".done\n";
    std::wstring command =
        L"start.exe /unix /bin/sh " + std::wstring(unix.begin(), unix.end()) + L".sh";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        for (int i = 0; i < 3000 && !std::filesystem::exists(base + L".done"); ++i) {
            Sleep(10);
        }
    }
    const bool succeeded = bytesOf(base + L".done") == "0\n";
    const std::string output = bytesOf(base + L".out");
    for (const wchar_t* end : {L".sh", L".out", L".done"}) {
        DeleteFileW((base + end).c_str());
    }
    return succeeded ? std::optional(output) : std::nullopt;
}

}  // namespace dustrel::testing
