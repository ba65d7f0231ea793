#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace dustrel::platform {

class Shell {
public:
    virtual ~Shell() = default;

    // One shell delete operation over all `paths`, without a confirmation question. The shell
    // reads paths the plain way (trailing dots and spaces dropped, device names taken for
    // devices, case folded where the folder allows), so callers hand it only paths that read as
    // themselves. It runs window messages while it works. The status is the shell's own answer,
    // which may be wrong about single files: callers check the files.
    virtual Status deleteFiles(const std::vector<std::wstring>& paths, bool toRecycleBin) = 0;
    // Opens a document, folder or web address with its default handler.
    virtual Status open(const std::wstring& target) = 0;
};

}  // namespace dustrel::platform
