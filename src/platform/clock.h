#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dustrel::platform {

struct DateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Local time.
    virtual DateTime now() = 0;
    // A tick in milliseconds that only moves on (and wraps after 49 days), for spacing work
    // out in time.
    virtual std::uint32_t milliseconds() = 0;
};

// The user's locale: date and time texts, and the ANSI code page where stored formats need it.
class Locale {
public:
    virtual ~Locale() = default;

    virtual std::wstring shortDate(const DateTime& when) = 0;
    virtual std::wstring longTime(const DateTime& when) = 0;
    // A file time (100-nanosecond intervals since 1601, UTC) as the local time of the user's
    // time zone on that day; nothing when it is past what the system can tell.
    virtual std::optional<DateTime> localTime(std::uint64_t fileTime) = 0;
    // A count of bytes as the system writes file sizes for the user ("532 bytes", "22.9 KB").
    virtual std::wstring byteSize(std::uint64_t bytes) = 0;
    // Reads a date text as the user's locale writes it; nothing when it is no date.
    virtual std::optional<DateTime> parseDate(const std::wstring& text) = 0;
    // The character's code in the ANSI code page; nothing when the code page lacks it.
    virtual std::optional<unsigned char> toAnsi(wchar_t c) = 0;
    virtual wchar_t fromAnsi(unsigned char code) = 0;
};

}  // namespace dustrel::platform
