#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/status.h"

namespace dustrel::settings {

// The per-user store: HKEY_CURRENT_USER\Software\Dustrel\<application>\<section>, one string
// value per key.
inline constexpr const wchar_t* kSettingsParentKey = L"Software\\Dustrel";

// One offset for every character. At 1 every printable ASCII character stays in the 7-bit range
// once scrambled, so the stored text reads back the same under every ANSI code page, including
// the double-byte ones, where a lone high byte is no character at all.
inline constexpr int kScrambleOffset = 1;

class SettingsStore {
public:
    SettingsStore(platform::Registry& registry, platform::Locale& locale)
        : registry_(registry), locale_(locale) {}

    // The stored text, or `fallback` when the application, section or key is missing.
    std::wstring ReadSetting(const std::wstring& appName, const std::wstring& section,
                             const std::wstring& key, const std::wstring& fallback = {});
    // Creates missing keys; the registry's answer, with its code when it refused.
    platform::Status WriteSetting(const std::wstring& appName, const std::wstring& section,
                                  const std::wstring& key, const std::wstring& value);

    // Shifts every character's ANSI code up by the offset. Characters the code page lacks, and
    // those whose shifted code passes 255, are dropped.
    std::wstring EncodeSetting(const std::wstring& text);
    // The inverse for everything EncodeSetting kept; codes below the offset are dropped.
    std::wstring DecodeSetting(const std::wstring& text);

private:
    static std::wstring keyPath(const std::wstring& appName, const std::wstring& section);
    std::wstring shift(const std::wstring& text, int offset);

    platform::Registry& registry_;
    platform::Locale& locale_;
};

}  // namespace dustrel::settings
