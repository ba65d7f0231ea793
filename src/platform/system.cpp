#include "platform/system.h"

#include "platform/path_text.h"

namespace dustrel::platform {

std::wstring applicationName(System& system) {
    return fileTitle(system.executablePath());
}

std::wstring executableFolder(System& system) {
    return folderOf(system.executablePath());
}

}  // namespace dustrel::platform
