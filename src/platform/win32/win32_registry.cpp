#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <limits>
#include <vector>
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_status.h"

namespace dustrel::platform::win32 {

Status Win32Registry::readString(const std::wstring& subKey, const std::wstring& name,
                                 std::wstring& value) {
    RegistryKey key;
    LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_QUERY_VALUE, key.out());
    if (status != ERROR_SUCCESS) {
        return statusFromError(status);
    }
    DWORD type = 0;
    DWORD size = 0;
    status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<wchar_t> buffer;
    // The value may grow between the two calls, so the size is asked again until it fits.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            return statusFromError(ERROR_UNSUPPORTED_TYPE);
        }
        // One spare character in case the value was stored without its terminating NUL.
        buffer.assign(size / sizeof(wchar_t) + 2, L'\0');
        size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) {
                return statusFromError(ERROR_UNSUPPORTED_TYPE);
            }
            const std::size_t characters = size / sizeof(wchar_t);
            std::size_t length = 0;
            while (length < characters && buffer[length] != L'\0') {
                ++length;
            }
            value.assign(buffer.data(), length);
            return Status::Ok;
        }
    }
    return statusFromError(status);
}

Status Win32Registry::createKey(const std::wstring& subKey) {
    RegistryKey key;
    return statusFromError(RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr,
                                           REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                           key.out(), nullptr));
}

Status Win32Registry::writeString(const std::wstring& subKey, const std::wstring& name,
                                  const std::wstring& value) {
    const std::size_t bytes = (value.size() + 1) * sizeof(wchar_t);
    if (bytes > std::numeric_limits<DWORD>::max()) {
        return statusFromError(ERROR_INVALID_PARAMETER);
    }
    RegistryKey key;
    LONG status =
        RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.out(), nullptr);
    if (status != ERROR_SUCCESS) {
        return statusFromError(status);
    }
    return statusFromError(RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(value.c_str()),
                                          static_cast<DWORD>(bytes)));
}

Status Win32Registry::deleteValue(const std::wstring& subKey, const std::wstring& name) {
    RegistryKey key;
    const LONG status =
        RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_SET_VALUE, key.out());
    if (status != ERROR_SUCCESS) {
        return statusFromError(status);
    }
    return statusFromError(RegDeleteValueW(key.get(), name.c_str()));
}

Status Win32Registry::queryValue(const std::wstring& subKey, const std::wstring& name) {
    RegistryKey key;
    const LONG status =
        RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_QUERY_VALUE, key.out());
    if (status != ERROR_SUCCESS) {
        return statusFromError(status);
    }
    return statusFromError(
        RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr));
}

}  // namespace dustrel::platform::win32
