#include "clean/recycle_bin.h"

namespace dustrel::clean {

bool RecycleFiles(platform::Shell& shell, const std::vector<std::wstring>& paths) {
    return platform::ok(shell.deleteFiles(paths, true));
}

}  // namespace dustrel::clean
