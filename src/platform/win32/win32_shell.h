#pragma once

#include <string>

#include "platform/shell.h"

namespace dustrel::platform::win32 {

class Win32Shell final : public Shell {
public:
    Win32Shell();

    Status deleteFiles(const std::vector<std::wstring>& paths, bool toRecycleBin) override;
    Status open(const std::wstring& target) override;

private:
    // Empty unless this 32-bit process runs on 64-bit Windows that offers the Sysnative alias.
    std::wstring sysnativeWindowsDir_;
};

}  // namespace dustrel::platform::win32
