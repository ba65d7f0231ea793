#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace dustrel::platform {

// What kind of drive a root is.
enum class DriveKind {
    Unknown,
    // No drive is mounted there.
    NoRootDir,
    Removable,
    Fixed,
    Remote,
    CdRom,
    RamDisk,
};

struct DiskSizes {
    std::uint64_t freeToCaller = 0;
    std::uint64_t total = 0;
    std::uint64_t totalFree = 0;
};

class System {
public:
    virtual ~System() = default;

    // Bit b set when drive letter 'A' + b is present.
    virtual std::uint32_t logicalDrives() = 0;
    virtual DriveKind driveKind(const std::wstring& root) = 0;
    virtual Status diskSizes(const std::wstring& root, DiskSizes& sizes) = 0;
    // Whether the device under the drive `root` ("C:\") pays for every seek, as a spinning disk
    // does. A failure (a volume on several disks, a driver that does not tell) leaves `penalty`
    // false.
    virtual Status seekPenalty(const std::wstring& root, bool& penalty) = 0;
    // The argument text after the program's own name, as the program received it.
    virtual std::wstring commandArguments() = 0;
    // Full path of the running executable.
    virtual std::wstring executablePath() = 0;
    // Claims the single-instance guard for `name`; false when another copy already holds it.
    [[nodiscard]] virtual bool claimSingleInstance(const std::wstring& name) = 0;
    // Asks Windows to restart, without forcing other programs to close.
    virtual Status restartWindows() = 0;
    virtual void sleep(unsigned milliseconds) = 0;
};

// The running executable's file name without its extension: the name the settings, the Run
// entry and the single-instance guard go by, so a renamed copy keeps its own.
std::wstring applicationName(System& system);
// The folder that holds the running executable, without a trailing backslash.
std::wstring executableFolder(System& system);
// The name of the per-session object that guards one copy of the program called `name`.
// Windows takes DUSTREL.EXE and dustrel.exe for one file and starts the same program either
// way, but compares object names by case; so the name is made from the upper-cased program
// name. The installer and the uninstaller look for this very name (installer/dustrel.nsi).
std::wstring singleInstanceGuardName(std::wstring_view name);

}  // namespace dustrel::platform
