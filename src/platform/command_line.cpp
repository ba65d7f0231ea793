#include "platform/command_line.h"

#include <cstddef>

namespace dustrel::platform {

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

}  // namespace

std::wstring argumentsOf(const std::wstring& commandLine) {
    std::size_t i = 0;
    bool quoted = false;
    for (; i < commandLine.size(); ++i) {
        const wchar_t c = commandLine[i];
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && isBlank(c)) {
            break;
        }
    }
    while (i < commandLine.size() && isBlank(commandLine[i])) {
        ++i;
    }
    return commandLine.substr(i);
}

}  // namespace dustrel::platform
