#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace dustrel::clean {

// What became of the files one deletion was asked to remove, each in the order asked.
struct DeletionResult {
    // There when the deletion began and not found after it.
    std::vector<std::wstring> deleted;
    // Not there when the deletion began: this deletion removed nothing of theirs.
    std::vector<std::wstring> alreadyGone;
    // Still there, or not to be handed on (a folder, a link or under one, a name the system
    // refuses), or of a fate that cannot be told.
    std::vector<std::wstring> remaining;
};

// Deletes, for good, exactly the files named and nothing through a link. A path that the
// system's plain handling reads as written goes to the shell, all of them in one operation;
// every other one (a name ending in a dot or a space, a device's name, a path of 248 characters
// or more) and whatever the shell left behind go one by one by their exact names, so that one
// file that cannot go holds back no other. A name the system refuses outright is left alone.
// No file is believed gone until a look-up of its exact path finds nothing.
class FileDeletion {
public:
    // Looks at every file now. `paths` are distinct full paths.
    FileDeletion(const platform::Platform& platform, std::vector<std::wstring> paths);

    // The shell's one operation, which runs window messages while it works.
    void runShell();
    // Then the files that are still there, one by one.
    void deleteOneByOne();
    // Looks at every file again and tells what became of it.
    DeletionResult result() const;

private:
    const platform::Platform& platform_;
    // Files found there, in the order asked: handed to the shell, or to be deleted one by one.
    std::vector<std::wstring> tried_;
    std::vector<std::wstring> forShell_;
    std::vector<std::wstring> alreadyGone_;
    std::vector<std::wstring> untouchable_;
};

}  // namespace dustrel::clean
