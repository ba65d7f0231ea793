#include "app/drive_list.h"

#include <cstdint>

namespace dustrel::app {

namespace {

constexpr int kDriveLetterCount = 26;

}  // namespace

std::vector<std::wstring> GetDriveLetters(platform::System& system) {
    const std::uint32_t mask = system.logicalDrives();
    std::vector<std::wstring> letters;
    for (int bit = 0; bit < kDriveLetterCount; ++bit) {
        if ((mask & (std::uint32_t{1} << bit)) != 0) {
            letters.emplace_back(1, static_cast<wchar_t>(L'A' + bit));
        }
    }
    return letters;
}

void listFixedDisks(platform::System& system, const std::vector<std::wstring>& letters,
                    ui::ListView& list) {
    for (const std::wstring& letter : letters) {
        const std::wstring root = letter + L":\\";
        if (system.driveKind(root) != platform::DriveKind::Fixed) {
            continue;
        }
        platform::DiskSizes sizes;
        std::wstring total;
        std::wstring free;
        if (system.diskSizes(root, sizes) == platform::Status::Ok) {
            total = std::to_wstring(sizes.total);
            free = std::to_wstring(sizes.totalFree);
        }
        list.addRow(root, {L"Disk Drive", total, free});
    }
}

}  // namespace dustrel::app
