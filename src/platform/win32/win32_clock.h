#pragma once

#include "platform/clock.h"

namespace dustrel::platform::win32 {

class Win32Clock final : public Clock {
public:
    DateTime now() override;
    std::uint32_t milliseconds() override;
};

// The user's locale as it is set at the moment of each call.
class Win32Locale final : public Locale {
public:
    std::wstring shortDate(const DateTime& when) override;
    std::wstring longTime(const DateTime& when) override;
    std::optional<DateTime> localTime(std::uint64_t fileTime) override;
    std::wstring byteSize(std::uint64_t bytes) override;
    std::optional<DateTime> parseDate(const std::wstring& text) override;
    std::optional<unsigned char> toAnsi(wchar_t c) override;
    wchar_t fromAnsi(unsigned char code) override;
};

}  // namespace dustrel::platform::win32
