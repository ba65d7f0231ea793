#pragma once

#include <string>
#include <unordered_map>

#include "platform/file_system.h"

namespace dustrel::clean {

// What a look-up of one exact path found.
enum class Presence {
    // Nothing of exactly that name: the file, or a folder on its way, is not there.
    Gone,
    // A plain file of exactly that name, with no link (junction, symbolic link, mount point) on
    // its way below the drive root.
    File,
    // Something the program must not hand on for deletion, or cannot tell: a folder or a link of
    // that name, a link on its way, a folder that would not be listed, a name the system refuses.
    Doubtful,
};

// Looks up files by their exact paths through listings of the folders on their way, so that a
// name differing only in letter case, a trailing dot or a device's name is never taken for
// another, and a link is seen for what it is. Each folder is listed once for the life of the
// object: make a new one to see changes.
class ExactLookup {
public:
    explicit ExactLookup(platform::FileSystem& files) : files_(files) {}

    // `path` is a full path from a drive root ("C:\Temp\a.tmp").
    Presence of(const std::wstring& path);

private:
    struct Listing {
        platform::Status status = platform::Status::Failed;
        std::unordered_map<std::wstring, platform::FolderEntry> entries;
    };

    // `folder` ends in a backslash.
    const Listing& listingOf(const std::wstring& folder);

    platform::FileSystem& files_;
    std::unordered_map<std::wstring, Listing> listings_;
};

}  // namespace dustrel::clean
