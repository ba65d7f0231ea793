#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace dustrel::platform {

// One entry of a folder as the listing reports it; "." and ".." are never reported.
struct FolderEntry {
    std::wstring name;
    bool directory = false;
    // A junction, symbolic link or mount point: a reparse point that names another place.
    // Other reparse points (cloud placeholders, deduplicated files) are ordinary entries.
    bool link = false;
    std::uint64_t size = 0;
    // In 100-nanosecond intervals since 1601 (UTC).
    std::uint64_t lastWrite = 0;
};

// What an open handle tells of what it has open.
struct OpenedFacts {
    bool directory = false;
    // The handle has a link itself open (its last name was not followed).
    bool link = false;
    // The system's final path of the handle is, letter for letter, the path it was opened by:
    // no link on the way led elsewhere and no name was matched in another letter case.
    bool atOpenedPath = false;
};

// A file opened by its exact path, with the last name not followed when it is a link, so that
// what is checked and what is deleted are one file whatever happens to the path meanwhile. While
// it is open the folders on its way are held too (on Windows: none of them can be renamed,
// removed or replaced). Closed when it goes.
class OpenedFile {
public:
    virtual ~OpenedFile() = default;
    virtual Status describe(OpenedFacts& facts) = 0;
    // Deletes what is open through this handle and closes it; a read-only file loses that
    // attribute first and gets it back when the deletion fails. NotFound when it had already
    // gone by other hands.
    virtual Status deleteNow() = 0;
};

enum class WriteMode {
    CreateNew,  // fails with AlreadyExists when the file is there
    Append,     // creates the file when it is missing
    Replace,
};

// Every path names exactly the file or folder written: no trailing dot or space is dropped from
// a name and no name is read as a device (the Win32 implementation hands the system "\\?\"
// paths). What happens below a folder that is a link is the system's, as ever.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Lists one folder once. `folder` may end in a backslash or not. `entries` is cleared first,
    // so a caller can reuse one vector for a whole walk.
    virtual Status listFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) = 0;
    virtual bool exists(const std::wstring& path) = 0;
    virtual bool isDirectory(const std::wstring& path) = 0;
    virtual Status createFolder(const std::wstring& path) = 0;
    virtual Status writeFile(const std::wstring& path, std::string_view bytes, WriteMode mode) = 0;
    virtual Status readFile(const std::wstring& path, std::string& bytes) = 0;
    virtual Status deleteFile(const std::wstring& path) = 0;
    // Opens `path` (a full path from a drive root) for deletion, as OpenedFile says. NotFound
    // when nothing of that name is there, or a folder of its path is missing or a file.
    virtual Status openForDeletion(const std::wstring& path, std::unique_ptr<OpenedFile>& file) = 0;
};

}  // namespace dustrel::platform
