#pragma once

#include <string>

namespace dustrel::platform {

// Registry status codes as the registry itself returns them.
inline constexpr long kRegSuccess = 0;
inline constexpr long kRegNotFound = 2;
inline constexpr long kRegAccessDenied = 5;

// String values under HKEY_CURRENT_USER. `subKey` is relative to the hive, e.g.
// L"Software\\Microsoft\\Windows\\CurrentVersion\\Run".
class Registry {
public:
    virtual ~Registry() = default;

    virtual long readString(const std::wstring& subKey, const std::wstring& name,
                            std::wstring& value) = 0;
    // Creates the key (and any missing parents) or opens it if it exists.
    virtual long createKey(const std::wstring& subKey) = 0;
    // Creates missing keys on the way.
    virtual long writeString(const std::wstring& subKey, const std::wstring& name,
                             const std::wstring& value) = 0;
    virtual long deleteValue(const std::wstring& subKey, const std::wstring& name) = 0;
    // kRegSuccess when the value exists.
    virtual long queryValue(const std::wstring& subKey, const std::wstring& name) = 0;
};

}  // namespace dustrel::platform
