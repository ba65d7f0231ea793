#include "platform/system.h"

#include "platform/path_text.h"

namespace dustrel::platform {

std::wstring applicationName(System& system) {
    return fileTitle(system.executablePath());
}

std::wstring executableFolder(System& system) {
    return folderOf(system.executablePath());
}

std::wstring singleInstanceGuardName(std::wstring_view name) {
    std::wstring plainName = upperCase(name);
    // An object's name takes no backslash after the namespace prefix.
    for (wchar_t& c : plainName) {
        if (c == L'\\') {
            c = L'_';
        }
    }
    return L"Local\\Dustrel.SingleInstance." + plainName;
}

}  // namespace dustrel::platform
