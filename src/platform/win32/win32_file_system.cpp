#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <new>

#include "platform/path_text.h"
#include "platform/win32/win32_fs_redirection.h"
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_status.h"

namespace dustrel::platform::win32 {

namespace {

constexpr DWORD kReadChunk = 64 * 1024;
constexpr std::size_t kWriteChunk = 1u << 30;
constexpr unsigned long long kLargestReservation = 64ull * 1024 * 1024;

bool endsWithSeparator(const std::wstring& path) {
    return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

bool isDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

HANDLE findFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data, DWORD flags) {
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, flags);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Windows before 7 knows neither the basic information level nor the large fetch.
        find = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch,
                                nullptr, 0);
    }
    return find;
}

DWORD attributesOf(const std::wstring& path) {
    const std::wstring target = exactPathForm(path);
    FsRedirectionOff redirection;
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_SHARING_VIOLATION &&
        target.find_first_of(L"*?") == std::wstring::npos) {
        // The paging file refuses even this query; its entry in the folder still answers.
        WIN32_FIND_DATAW data;
        const FindHandle find(findFirst(target, data, 0));
        if (find.valid()) {
            attributes = data.dwFileAttributes;
        }
    }
    return attributes;
}

DWORD dispositionOf(WriteMode mode) {
    switch (mode) {
        case WriteMode::CreateNew:
            return CREATE_NEW;
        case WriteMode::Append:
            return OPEN_ALWAYS;
        case WriteMode::Replace:
            break;
    }
    return CREATE_ALWAYS;
}

}  // namespace

Status Win32FileSystem::listFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    if (folder.empty()) {
        return Status::NotFound;
    }
    const std::wstring withSeparator = endsWithSeparator(folder) ? folder : folder + L'\\';
    const std::wstring pattern = exactPathForm(withSeparator + L'*');

    FsRedirectionOff redirection;
    WIN32_FIND_DATAW data;
    const HANDLE find = findFirst(pattern, data, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            // A drive's root has no "." entry, so an empty one matches nothing at all.
            const DWORD attributes = GetFileAttributesW(exactPathForm(withSeparator).c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES &&
                (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                return Status::Ok;
            }
            return Status::NotFound;
        }
        return statusFromError(error);
    }
    const FindHandle closer(find);
    do {
        if (isDotOrDotDot(data.cFileName)) {
            continue;
        }
        // The reparse tag is in dwReserved0 whenever the attribute is set.
        const bool reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entries.push_back(FolderEntry{data.cFileName,
                                      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                      reparse && IsReparseTagNameSurrogate(data.dwReserved0)});
    } while (FindNextFileW(find, &data));
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? Status::Ok : statusFromError(error);
}

bool Win32FileSystem::exists(const std::wstring& path) {
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::isDirectory(const std::wstring& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Status Win32FileSystem::createFolder(const std::wstring& path) {
    const std::wstring target = exactPathForm(path);
    FsRedirectionOff redirection;
    if (CreateDirectoryW(target.c_str(), nullptr)) {
        return Status::Ok;
    }
    return lastErrorStatus();
}

Status Win32FileSystem::writeFile(const std::wstring& path, std::string_view bytes,
                                  WriteMode mode) {
    const std::wstring target = exactPathForm(path);
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    {
        FsRedirectionOff redirection;
        handle = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             dispositionOf(mode), FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
    }
    KernelHandle file(handle);
    if (!file.valid()) {
        return statusFromError(error);
    }
    if (mode == WriteMode::Append) {
        const LARGE_INTEGER none{};
        if (!SetFilePointerEx(file.get(), none, nullptr, FILE_END)) {
            return lastErrorStatus();
        }
    }
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes.size(), kWriteChunk));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) {
            return lastErrorStatus();
        }
        if (written == 0) {
            return Status::Failed;
        }
        bytes.remove_prefix(written);
    }
    return file.close() ? Status::Ok : lastErrorStatus();
}

Status Win32FileSystem::readFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    const std::wstring target = exactPathForm(path);
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    {
        FsRedirectionOff redirection;
        handle = CreateFileW(target.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        error = GetLastError();
    }
    const KernelHandle file(handle);
    if (!file.valid()) {
        return statusFromError(error);
    }
    // A file larger than memory allows must come back as a status, not as std::bad_alloc.
    try {
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
            bytes.reserve(static_cast<std::size_t>(
                std::min<unsigned long long>(size.QuadPart, kLargestReservation)));
        }
        for (;;) {
            const std::size_t had = bytes.size();
            bytes.resize(had + kReadChunk);
            DWORD read = 0;
            if (!ReadFile(file.get(), bytes.data() + had, kReadChunk, &read, nullptr)) {
                const Status status = lastErrorStatus();
                bytes.clear();
                return status;
            }
            bytes.resize(had + read);
            if (read == 0) {
                return Status::Ok;
            }
        }
    } catch (const std::bad_alloc&) {
        bytes.clear();
        bytes.shrink_to_fit();
        return Status::Failed;
    }
}

Status Win32FileSystem::deleteFile(const std::wstring& path) {
    const std::wstring target = exactPathForm(path);
    FsRedirectionOff redirection;
    if (DeleteFileW(target.c_str())) {
        return Status::Ok;
    }
    return lastErrorStatus();
}

}  // namespace dustrel::platform::win32
