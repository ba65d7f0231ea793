#include "settings/settings_store.h"

namespace dustrel::settings {

std::wstring SettingsStore::keyPath(const std::wstring& appName, const std::wstring& section) {
    return std::wstring(kSettingsParentKey) + L"\\" + appName + L"\\" + section;
}

std::wstring SettingsStore::ReadSetting(const std::wstring& appName, const std::wstring& section,
                                        const std::wstring& key, const std::wstring& fallback) {
    std::wstring value;
    if (!platform::ok(registry_.readString(keyPath(appName, section), key, value))) {
        return fallback;
    }
    return value;
}

platform::Status SettingsStore::WriteSetting(const std::wstring& appName,
                                             const std::wstring& section, const std::wstring& key,
                                             const std::wstring& value) {
    return registry_.writeString(keyPath(appName, section), key, value);
}

std::wstring SettingsStore::shift(const std::wstring& text, int offset) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        const auto code = locale_.toAnsi(c);
        if (!code) {
            continue;
        }
        const int shifted = static_cast<int>(*code) + offset;
        if (shifted < 0 || shifted > 255) {
            continue;
        }
        out.push_back(locale_.fromAnsi(static_cast<unsigned char>(shifted)));
    }
    return out;
}

std::wstring SettingsStore::EncodeSetting(const std::wstring& text) {
    return shift(text, kScrambleOffset);
}

std::wstring SettingsStore::DecodeSetting(const std::wstring& text) {
    return shift(text, -kScrambleOffset);
}

}  // namespace dustrel::settings
