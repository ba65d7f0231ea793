#include "app/file_tips.h"

#include <optional>

namespace dustrel::app {

namespace {

// A whole decimal number as the drive list writes it; nothing for an empty or other text.
std::optional<std::uint64_t> byteCount(const std::wstring& text) {
    if (text.empty() || text.size() > 20) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        const std::uint64_t digit = static_cast<std::uint64_t>(c - L'0');
        if (value > (~std::uint64_t{0} - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

std::wstring fileTip(platform::Locale& locale, std::uint64_t size, std::uint64_t lastWrite) {
    std::wstring tip = L"Size: " + locale.byteSize(size);
    // A listing that gave no time gives zero, which is no day any file was written on.
    const auto when = lastWrite != 0 ? locale.localTime(lastWrite) : std::nullopt;
    if (when) {
        tip += L"\r\nDate modified: " + locale.shortDate(*when) + L" " + locale.longTime(*when);
    }
    return tip;
}

std::wstring tickedTip(platform::Locale& locale, std::size_t count, std::uint64_t bytes) {
    if (count == 0) {
        return L"No files ticked";
    }
    return std::to_wstring(count) + (count == 1 ? L" file ticked, " : L" files ticked, ") +
           locale.byteSize(bytes);
}

std::wstring driveTip(platform::Locale& locale, const ui::ListRow& row) {
    if (row.subItems.size() < 3) {
        return {};
    }
    const auto total = byteCount(row.subItems[1]);
    const auto free = byteCount(row.subItems[2]);
    if (!total || !free) {
        return {};
    }
    return L"Total size: " + locale.byteSize(*total) + L"\r\nFree space: " + locale.byteSize(*free);
}

}  // namespace dustrel::app
