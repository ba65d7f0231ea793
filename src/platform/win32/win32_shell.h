#pragma once

#include <optional>
#include <string>

#include "platform/shell.h"

namespace dustrel::platform::win32 {

class Win32Shell final : public Shell {
public:
    Win32Shell();

    Status deleteFiles(const std::vector<std::wstring>& paths, bool toRecycleBin) override;
    Status open(const std::wstring& target) override;

private:
    // The path the shell must be handed for `path`, or nothing when it cannot reach that file.
    std::optional<std::wstring> reachable(const std::wstring& path) const;

    // Empty unless this is a 32-bit process on 64-bit Windows, whose System32 is redirected.
    std::wstring redirectedWindowsDir_;
    // Whether that Windows offers the Sysnative alias of the real System32.
    bool sysnative_ = false;
};

}  // namespace dustrel::platform::win32
