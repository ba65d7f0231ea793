#include "settings/custom_entry.h"

namespace dustrel::settings {

namespace {

bool isBlank(std::wstring_view text) {
    return text.find_first_not_of(L" \t") == std::wstring_view::npos;
}

}  // namespace

CustomEntryFault checkCustomEntry(std::wstring_view name, std::wstring_view extension) {
    if (isBlank(name) || isBlank(extension)) {
        return CustomEntryFault::Missing;
    }
    if (name.find_first_of(L"?#") != std::wstring_view::npos ||
        extension.find_first_of(L"?#*\\/:<>|\"") != std::wstring_view::npos) {
        return CustomEntryFault::Characters;
    }
    for (const wchar_t c : extension) {
        if (static_cast<unsigned long>(c) < 0x20) {
            return CustomEntryFault::Characters;
        }
    }
    return extension.size() > kMaxExtensionLength ? CustomEntryFault::TooLong
                                                  : CustomEntryFault::None;
}

}  // namespace dustrel::settings
