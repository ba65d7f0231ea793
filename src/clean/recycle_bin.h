#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace dustrel::clean {

// One shell operation that moves `paths` into the Recycle Bin, where the user can restore them,
// without a confirmation question (but with the shell's warning before it destroys a file the bin
// cannot take). True when the shell reports success, which callers do not take on trust: they
// look at the files.
bool RecycleFiles(platform::Shell& shell, const std::vector<std::wstring>& paths);

}  // namespace dustrel::clean
