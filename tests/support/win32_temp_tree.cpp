#include "support/win32_temp_tree.h"

#include <windows.h>

namespace dustrel::testing {

namespace {

std::wstring tempFolder() {
    wchar_t temp[MAX_PATH + 1];
    return std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp));
}

}  // namespace

std::wstring uniqueName() {
    static unsigned counter = 0;
    return std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(GetTickCount64()) +
           L"." + std::to_wstring(++counter);
}

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
        const std::wstring name = data.cFileName, path = folder + L"\\" + name;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeTree(path);
        } else {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
    }
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

void TempTreeTest::SetUp() {
    root_ = tempFolder() + L"DustrelTest." + uniqueName();
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
}

// The prefixed form reaches folders deeper than MAX_PATH.
void TempTreeTest::TearDown() {
    removeTree(L"\\\\?\\" + root_);
}

void TempTreeTest::makeFile(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << ::testing::PrintToString(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string TempTreeTest::unixPath(const std::wstring& path) {
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

bool TempTreeTest::runUnixScript(const std::string& script) {
    const std::wstring base = tempFolder() + L"DustrelScript." + uniqueName();
    const std::wstring file = base + L".sh", done = base + L".done";
    const std::string unixFile = unixPath(file), unixDone = unixPath(done);
    if (unixFile.empty() || unixFile.find_first_of(" '") != std::string::npos) {
        return false;
    }
    // The script's status lands in a file of its own: whether start waits for a Unix program
    // is Wine's business.
    makeFile(file, "(\n" + script + "\n)\necho $? > '" + unixDone + ".part'\nmv '" + unixDone +
                       ".part' '" + unixDone + "'\n");
    std::wstring command =
        L"start.exe /unix /bin/sh " + std::wstring(unixFile.begin(), unixFile.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        for (int waited = 0; waited < 30000 && !present(done); waited += 10) {
            Sleep(10);
        }
    }
    const std::string status = bytesOf(done);
    DeleteFileW(done.c_str());
    DeleteFileW(file.c_str());
    return status == "0\n";
}

bool TempTreeTest::present(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempTreeTest::bytesOf(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<unreadable>";
    }
    std::string bytes;
    char buffer[4096];
    for (DWORD read = 0; ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0;) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

}  // namespace dustrel::testing
