#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace dustrel::platform {

class Shell {
public:
    virtual ~Shell() = default;

    // One shell delete operation over all `paths`, without a confirmation question. The status is
    // the shell's own answer, which may be wrong about single files: callers check the files.
    virtual Status deleteFiles(const std::vector<std::wstring>& paths, bool toRecycleBin) = 0;
    // Opens a document, folder or web address with its default handler.
    virtual Status open(const std::wstring& target) = 0;
};

}  // namespace dustrel::platform
