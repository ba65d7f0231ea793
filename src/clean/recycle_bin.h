#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace dustrel::clean {

// One shell operation that deletes `paths` for good, without a confirmation question. True when
// the shell reports success, which callers do not take on trust: they look at the files.
bool DeleteFiles(platform::Shell& shell, const std::vector<std::wstring>& paths);
// The same into the Recycle Bin, where the user can restore the files.
bool RecycleFiles(platform::Shell& shell, const std::vector<std::wstring>& paths);

}  // namespace dustrel::clean
