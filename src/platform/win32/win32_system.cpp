#include "platform/win32/win32_system.h"

#include <windows.h>

#include <reason.h>
#include <winioctl.h>

#include <cstddef>

#include "platform/command_line.h"
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_status.h"

namespace dustrel::platform::win32 {

namespace {

// Paths may be this long when they carry the extended-length prefix.
constexpr DWORD kLongestPath = 32768;

void enableShutdownPrivilege() {
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token.out())) {
        return;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    }
}

}  // namespace

Win32System::~Win32System() {
    for (void* mutex : claimed_) {
        CloseHandle(mutex);
    }
}

std::uint32_t Win32System::logicalDrives() {
    return GetLogicalDrives();
}

DriveKind Win32System::driveKind(const std::wstring& root) {
    switch (GetDriveTypeW(root.c_str())) {
        case DRIVE_NO_ROOT_DIR:
            return DriveKind::NoRootDir;
        case DRIVE_REMOVABLE:
            return DriveKind::Removable;
        case DRIVE_FIXED:
            return DriveKind::Fixed;
        case DRIVE_REMOTE:
            return DriveKind::Remote;
        case DRIVE_CDROM:
            return DriveKind::CdRom;
        case DRIVE_RAMDISK:
            return DriveKind::RamDisk;
        default:
            return DriveKind::Unknown;
    }
}

Status Win32System::diskSizes(const std::wstring& root, DiskSizes& sizes) {
    ULARGE_INTEGER freeToCaller{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    if (!GetDiskFreeSpaceExW(root.c_str(), &freeToCaller, &total, &totalFree)) {
        return lastErrorStatus();
    }
    sizes.freeToCaller = freeToCaller.QuadPart;
    sizes.total = total.QuadPart;
    sizes.totalFree = totalFree.QuadPart;
    return Status::Ok;
}

Status Win32System::seekPenalty(const std::wstring& root, bool& penalty) {
    penalty = false;
    if (root.size() < 2 || root[1] != L':' || (root.size() > 2 && root.substr(2) != L"\\")) {
        return statusFromError(ERROR_INVALID_NAME);
    }
    // The volume, not the root folder: the query goes down to the disk under it. It asks for
    // no access to the data, which the control code does not need, so any user may ask.
    const std::wstring volume = L"\\\\.\\" + root.substr(0, 2);
    const KernelHandle device(CreateFileW(volume.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device.valid()) {
        return lastErrorStatus();
    }
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR answer{};
    DWORD returned = 0;
    if (!DeviceIoControl(device.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &answer,
                         sizeof answer, &returned, nullptr)) {
        return lastErrorStatus();
    }
    // A driver that knows an older, shorter descriptor may answer without the flag.
    constexpr DWORD kWithFlag = offsetof(DEVICE_SEEK_PENALTY_DESCRIPTOR, IncursSeekPenalty) + 1;
    if (returned < kWithFlag || answer.Size < kWithFlag) {
        return statusFromError(ERROR_INVALID_DATA);
    }
    penalty = answer.IncursSeekPenalty != FALSE;
    return Status::Ok;
}

std::wstring Win32System::commandArguments() {
    return argumentsOf(GetCommandLineW());
}

std::wstring Win32System::executablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            return {};
        }
        // A full buffer means the name was cut short (and, before Vista, left unterminated).
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        if (size >= kLongestPath) {
            return {};
        }
        buffer.resize(size * 2);
    }
}

bool Win32System::claimSingleInstance(const std::wstring& name) {
    const std::wstring objectName = platform::singleInstanceGuardName(name);
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, objectName.c_str());
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // A copy running elevated owns a mutex this one may not open; any other failure leaves
        // no guard to ask, and refusing to start would be worse than a second copy.
        return error != ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    claimed_.push_back(mutex);
    return true;
}

unsigned Win32System::restartFlags() {
    return EWX_REBOOT | EWX_FORCEIFHUNG;
}

Status Win32System::restartWindows() {
    // Without the privilege ExitWindowsEx itself reports the refusal.
    enableShutdownPrivilege();
    if (!ExitWindowsEx(restartFlags(),
                       SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED)) {
        return lastErrorStatus();
    }
    return Status::Ok;
}

void Win32System::sleep(unsigned milliseconds) {
    Sleep(milliseconds);
}

}  // namespace dustrel::platform::win32
