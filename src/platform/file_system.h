#pragma once

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
};

}  // namespace dustrel::platform
