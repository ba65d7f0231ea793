#pragma once

#include <vector>

#include "platform/system.h"

namespace dustrel::platform::win32 {

class Win32System final : public System {
public:
    Win32System() = default;
    // Gives up the single-instance guards this object claimed.
    ~Win32System() override;
    Win32System(const Win32System&) = delete;
    Win32System& operator=(const Win32System&) = delete;

    std::uint32_t logicalDrives() override;
    DriveKind driveKind(const std::wstring& root) override;
    Status diskSizes(const std::wstring& root, DiskSizes& sizes) override;
    Status seekPenalty(const std::wstring& root, bool& penalty) override;
    std::wstring commandArguments() override;
    std::wstring executablePath() override;
    bool claimSingleInstance(const std::wstring& name) override;
    Status restartWindows() override;
    // What restartWindows asks ExitWindowsEx for: a restart that lets every other program save
    // its work, only ending those that hang.
    static unsigned restartFlags();
    void sleep(unsigned milliseconds) override;

private:
    std::vector<void*> claimed_;
};

}  // namespace dustrel::platform::win32
