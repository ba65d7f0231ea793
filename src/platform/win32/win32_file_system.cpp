#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

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

// A junction, symbolic link or mount point, by its reparse tag (which a listing reports in
// dwReserved0). Wine reports no tag at all (zero, which no reparse point has on Windows): such
// an entry is taken for a link rather than walked into or deleted.
bool isLink(DWORD attributes, DWORD tag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (tag == 0 || IsReparseTagNameSurrogate(tag));
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

// Wine reports a folder "dot." as "dot" in a final path; nothing else of a name is dropped.
bool runningUnderWine() {
    static const bool wine = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

bool sameName(std::wstring_view opened, std::wstring_view final) {
    if (opened == final) {
        return true;
    }
    if (!runningUnderWine() || !opened.ends_with(L'.')) {
        return false;
    }
    opened.remove_suffix(opened.size() - (opened.find_last_not_of(L'.') + 1));
    return !opened.empty() && opened == final;
}

// Whether the final path ("\\?\C:\dir\file") names the path opened ("C:\dir\file")
// name by name.
bool samePath(std::wstring_view opened, std::wstring_view final) {
    constexpr std::wstring_view kPrefix = L"\\\\?\\";
    if (!final.starts_with(kPrefix)) {
        return false;
    }
    final.remove_prefix(kPrefix.size());
    for (;;) {
        const std::size_t a = opened.find(L'\\');
        const std::size_t b = final.find(L'\\');
        if (!sameName(opened.substr(0, a), final.substr(0, b))) {
            return false;
        }
        if (a == std::wstring_view::npos || b == std::wstring_view::npos) {
            return a == b;
        }
        opened.remove_prefix(a + 1);
        final.remove_prefix(b + 1);
    }
}

// The path of an open file on its volume, after its drive letter. Wine answers a final path past
// MAX_PATH with ERROR_MORE_DATA and no length, where Windows gives the length it needs; this
// name then tells the same, as the folders on the way were opened, checked and held one by one.
bool pathOnVolume(HANDLE handle, std::wstring& path) {
    constexpr std::size_t kLongestPath = 32767;
    std::vector<std::uint64_t> buffer(
        (sizeof(FILE_NAME_INFO) + kLongestPath * sizeof(wchar_t)) / sizeof(std::uint64_t) + 1);
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, info,
                                      static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)))) {
        return false;
    }
    path.assign(info->FileName, info->FileNameLength / sizeof(wchar_t));
    return true;
}

Status tagInfo(HANDLE handle, FILE_ATTRIBUTE_TAG_INFO& info) {
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info)) {
        return lastErrorStatus();
    }
    return Status::Ok;
}

HANDLE openExact(const std::wstring& path, DWORD access, DWORD share) {
    FsRedirectionOff redirection;
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

class Win32OpenedFile final : public OpenedFile {
public:
    Win32OpenedFile(std::wstring path, std::vector<KernelHandle> folders, KernelHandle file)
        : path_(std::move(path)), folders_(std::move(folders)), file_(std::move(file)) {}

    Status describe(OpenedFacts& facts) override {
        FILE_ATTRIBUTE_TAG_INFO info{};
        if (const Status status = tagInfo(file_.get(), info); !ok(status)) {
            return status;
        }
        facts.directory = (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        facts.link = isLink(info.FileAttributes, info.ReparseTag);
        std::wstring final(path_.size() + 16, L'\0');
        for (;;) {
            const DWORD length =
                GetFinalPathNameByHandleW(file_.get(), final.data(), DWORD(final.size()),
                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (length == 0) {
                std::wstring onVolume;
                if (GetLastError() != ERROR_MORE_DATA || !pathOnVolume(file_.get(), onVolume)) {
                    return lastErrorStatus();
                }
                final = L"\\\\?\\" + path_.substr(0, 2) + onVolume;
                break;
            }
            if (length < final.size()) {
                final.resize(length);
                break;
            }
            final.resize(length + 1);
        }
        facts.atOpenedPath = samePath(path_, final);
        return Status::Ok;
    }

    Status deleteNow() override {
        FILE_BASIC_INFO basic{};
        if (!GetFileInformationByHandleEx(file_.get(), FileBasicInfo, &basic, sizeof basic)) {
            return lastErrorStatus();
        }
        // The deletion refuses a read-only file; its attribute is changed through this handle,
        // so no other file can be touched, and put back when the deletion does not go through.
        const bool readOnly = (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        if (readOnly && !setAttributes(basic.FileAttributes & ~DWORD(FILE_ATTRIBUTE_READONLY))) {
            return lastErrorStatus();
        }
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        if (!SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition,
                                        sizeof disposition)) {
            const DWORD error = GetLastError();
            if (readOnly) {
                (void)setAttributes(basic.FileAttributes);
            }
            return statusFromError(error);
        }
        // The file goes as its last handle closes.
        if (!file_.close()) {
            return lastErrorStatus();
        }
        return Status::Ok;
    }

private:
    bool setAttributes(DWORD attributes) {
        // Zero times and zero attributes mean "leave as they are"; a file left with no
        // attribute at all is a normal one. Only the attributes a caller may set are handed
        // back (a placeholder's reparse or offline state is the file system's own).
        constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        attributes &= kSettable;
        FILE_BASIC_INFO changed{};
        changed.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
        return SetFileInformationByHandle(file_.get(), FileBasicInfo, &changed, sizeof changed) !=
               FALSE;
    }

    std::wstring path_;
    std::vector<KernelHandle> folders_;
    KernelHandle file_;
};

}  // namespace

Status Win32FileSystem::listFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    if (folder.empty()) {
        return statusFromError(ERROR_PATH_NOT_FOUND);
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
            return Status(Status::NotFound, error);
        }
        return statusFromError(error);
    }
    const FindHandle closer(find);
    do {
        if (isDotOrDotDot(data.cFileName)) {
            continue;
        }
        entries.push_back(FolderEntry{data.cFileName,
                                      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                      isLink(data.dwFileAttributes, data.dwReserved0),
                                      std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow,
                                      std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 |
                                          data.ftLastWriteTime.dwLowDateTime});
    } while (FindNextFileW(find, &data));
    const DWORD error = GetLastError();
    return statusFromError(error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error);
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
            return statusFromError(ERROR_WRITE_FAULT);
        }
        bytes.remove_prefix(written);
    }
    if (!file.close()) {
        return lastErrorStatus();
    }
    return Status::Ok;
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
        return statusFromError(ERROR_NOT_ENOUGH_MEMORY);
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

namespace dustrel::platform::win32 {

Status Win32FileSystem::openForDeletion(const std::wstring& path,
                                        std::unique_ptr<OpenedFile>& file) {
    file.reset();
    if (!hasUsableNames(path)) {
        // Refused, not missing: the name may well be there for a system that allows it.
        return Status(Status::Failed, ERROR_INVALID_NAME);
    }
    // Each folder on the way is opened itself, not followed, and held without sharing deletion:
    // while it is held it can be neither renamed nor removed, so none can turn into a link or
    // another folder before the file is done with.
    std::vector<KernelHandle> folders;
    std::wstring exact = L"\\\\?\\" + path.substr(0, 3);
    std::size_t start = 3;
    for (std::size_t end; (end = path.find(L'\\', start)) != std::wstring::npos; start = end + 1) {
        exact.append(path, start, end - start);
        KernelHandle folder(openExact(exact, FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE));
        if (!folder.valid()) {
            return lastErrorStatus();
        }
        FILE_ATTRIBUTE_TAG_INFO info{};
        if (const Status status = tagInfo(folder.get(), info); !ok(status)) {
            return status;
        }
        if ((info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            // A file stands where a folder of the path was.
            return statusFromError(ERROR_PATH_NOT_FOUND);
        }
        if (isLink(info.FileAttributes, info.ReparseTag)) {
            return statusFromError(ERROR_ACCESS_DENIED);
        }
        folders.push_back(std::move(folder));
        exact += L'\\';
    }
    exact.append(path, start);
    // Not sharing deletion either: the file cannot be renamed away and replaced while open.
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    constexpr DWORD kAccess = DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    KernelHandle opened(openExact(exact, kAccess | FILE_WRITE_ATTRIBUTES, kShare));
    if (!opened.valid() && GetLastError() == ERROR_ACCESS_DENIED) {
        // Allowed to delete but not to change attributes: fine unless the file is read-only.
        opened = KernelHandle(openExact(exact, kAccess, kShare));
    }
    if (!opened.valid()) {
        return lastErrorStatus();
    }
    file = std::make_unique<Win32OpenedFile>(path, std::move(folders), std::move(opened));
    return Status::Ok;
}

}  // namespace dustrel::platform::win32
