#pragma once

#include <cstddef>
#include <string_view>

namespace dustrel::settings {

// The longest extension a file can have: a name of it alone (".ext") takes the 255 characters
// (UTF-16 units, as a wstring holds them on Windows) a file system allows a name.
inline constexpr std::size_t kMaxExtensionLength = 254;

// Why a custom entry (display name and extension) cannot be one of the program's categories.
enum class CustomEntryFault {
    None,
    // The name or the extension is empty or blank.
    Missing,
    // A "?" or "#", which would split the stored list differently at the next start; in the
    // extension also what would make its pattern ("*." and the extension) a wildcard, a path,
    // or a name no file can have: * \ / : < > | " and control characters. A dot is kept: "tar.gz"
    // is an extension its pattern matches exactly.
    Characters,
    // Longer than kMaxExtensionLength.
    TooLong,
};

// The one rule for custom entries: the custom-extension window refuses what it finds fault
// with, and start-up passes over a stored entry it finds fault with, so that no entry the
// window would refuse is ever searched.
CustomEntryFault checkCustomEntry(std::wstring_view name, std::wstring_view extension);

}  // namespace dustrel::settings
