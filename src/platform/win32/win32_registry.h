#pragma once

#include "platform/registry.h"

namespace dustrel::platform::win32 {

// String values under HKEY_CURRENT_USER. `value` is left as it was when a read fails.
class Win32Registry final : public Registry {
public:
    Status readString(const std::wstring& subKey, const std::wstring& name,
                      std::wstring& value) override;
    Status createKey(const std::wstring& subKey) override;
    Status writeString(const std::wstring& subKey, const std::wstring& name,
                       const std::wstring& value) override;
    Status deleteValue(const std::wstring& subKey, const std::wstring& name) override;
    Status queryValue(const std::wstring& subKey, const std::wstring& name) override;
};

}  // namespace dustrel::platform::win32
