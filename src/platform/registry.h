#pragma once

#include <string>

#include "platform/status.h"

namespace dustrel::platform {

// String values under HKEY_CURRENT_USER. `subKey` is relative to the hive, e.g.
// L"Software\\Microsoft\\Windows\\CurrentVersion\\Run".
class Registry {
public:
    virtual ~Registry() = default;

    virtual Status readString(const std::wstring& subKey, const std::wstring& name,
                              std::wstring& value) = 0;
    // Creates the key (and any missing parents) or opens it if it exists.
    virtual Status createKey(const std::wstring& subKey) = 0;
    // Creates missing keys on the way.
    virtual Status writeString(const std::wstring& subKey, const std::wstring& name,
                               const std::wstring& value) = 0;
    virtual Status deleteValue(const std::wstring& subKey, const std::wstring& name) = 0;
    // Ok when the value exists.
    virtual Status queryValue(const std::wstring& subKey, const std::wstring& name) = 0;
};

}  // namespace dustrel::platform
