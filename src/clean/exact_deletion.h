#pragma once

#include <string>

#include "platform/file_system.h"

namespace dustrel::clean {

enum class DeletionOutcome {
    Deleted,
    // Nothing of that name was there: this deletion removed nothing.
    AlreadyGone,
    // Still there, or not to be touched: a folder or a link of that name, a link on its way, a
    // name matched only in another letter case, a name the system refuses, a file held open.
    Kept,
};

// Deletes, for good, exactly the file `path` names (a full path from a drive root, as listed)
// and nothing through a link. It is opened once, checked on that handle and deleted through the
// same handle, so that a file or folder swapped in after the check is never the one deleted.
DeletionOutcome deleteExactly(platform::FileSystem& files, const std::wstring& path);

// Opens `path` as deleteExactly does and closes it again: Ok when it names, exactly and through
// no link, a file that may be deleted now; NotFound when nothing of that name is there.
platform::Status lookAt(platform::FileSystem& files, const std::wstring& path);

}  // namespace dustrel::clean
