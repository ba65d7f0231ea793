#include "platform/win32/win32_clock.h"

#include <windows.h>

#include <shlwapi.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "platform/date_text.h"

namespace dustrel::platform::win32 {

namespace {

// Used when the calendar does not say where two-digit years end; it is Windows' own default.
constexpr int kDefaultTwoDigitYearMax = 2029;

SYSTEMTIME systemTimeOf(const DateTime& when) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(when.year);
    time.wMonth = static_cast<WORD>(when.month);
    time.wDay = static_cast<WORD>(when.day);
    time.wHour = static_cast<WORD>(when.hour);
    time.wMinute = static_cast<WORD>(when.minute);
    time.wSecond = static_cast<WORD>(when.second);
    return time;
}

// Asks once for the length and once for the text; an empty text when the system refuses.
template <typename Format>
std::wstring formatted(Format format) {
    const int length = format(nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length));
    const int written = format(buffer.data(), length);
    if (written <= 0) {
        return {};
    }
    return std::wstring(buffer.data(), static_cast<std::size_t>(written - 1));
}

std::wstring localeText(LCTYPE type) {
    return formatted([type](wchar_t* buffer, int size) {
        return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, size);
    });
}

std::vector<std::wstring> monthNames() {
    std::vector<std::wstring> names;
    const LCTYPE firsts[] = {LOCALE_SMONTHNAME1, LOCALE_SABBREVMONTHNAME1,
                             LOCALE_SMONTHNAME1 | LOCALE_RETURN_GENITIVE_NAMES,
                             LOCALE_SABBREVMONTHNAME1 | LOCALE_RETURN_GENITIVE_NAMES};
    for (const LCTYPE first : firsts) {
        for (LCTYPE month = 0; month < 12; ++month) {
            names.push_back(localeText(first + month));
        }
    }
    return names;
}

int twoDigitYearMax() {
    DWORD calendar = 0;
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICALENDARTYPE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<wchar_t*>(&calendar),
                       sizeof(calendar) / sizeof(wchar_t)) == 0) {
        calendar = CAL_GREGORIAN;
    }
    DWORD yearMax = 0;
    if (GetCalendarInfoW(LOCALE_USER_DEFAULT, calendar, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER,
                         nullptr, 0, &yearMax) == 0 ||
        yearMax < 99 || yearMax > 9999) {
        return kDefaultTwoDigitYearMax;
    }
    return static_cast<int>(yearMax);
}

}  // namespace

std::uint32_t Win32Clock::milliseconds() {
    return GetTickCount();
}

DateTime Win32Clock::now() {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    DateTime result;
    result.year = time.wYear;
    result.month = time.wMonth;
    result.day = time.wDay;
    result.hour = time.wHour;
    result.minute = time.wMinute;
    result.second = time.wSecond;
    return result;
}

std::wstring Win32Locale::shortDate(const DateTime& when) {
    // Not every version of Windows checks the day against the month itself.
    if (when.year < 1601 || when.year > 30827 || when.day < 1 ||
        when.day > daysInMonth(when.year, when.month)) {
        return {};
    }
    const SYSTEMTIME time = systemTimeOf(when);
    return formatted([&time](wchar_t* buffer, int size) {
        return GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, size);
    });
}

std::wstring Win32Locale::longTime(const DateTime& when) {
    if (when.hour < 0 || when.hour > 23 || when.minute < 0 || when.minute > 59 || when.second < 0 ||
        when.second > 59) {
        return {};
    }
    const SYSTEMTIME time = systemTimeOf(when);
    return formatted([&time](wchar_t* buffer, int size) {
        return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, size);
    });
}

std::optional<DateTime> Win32Locale::localTime(std::uint64_t fileTime) {
    FILETIME utcFile{};
    utcFile.dwLowDateTime = static_cast<DWORD>(fileTime);
    utcFile.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    // The time zone's rules for that day, not today's daylight saving, as Explorer shows it.
    if (!FileTimeToSystemTime(&utcFile, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return std::nullopt;
    }
    return DateTime{local.wYear, local.wMonth,  local.wDay,
                    local.wHour, local.wMinute, local.wSecond};
}

std::wstring Win32Locale::byteSize(std::uint64_t bytes) {
    // "1,023 bytes" to "16.0 EB" fits easily; the function cuts what does not fit.
    wchar_t text[64] = {};
    const auto value =
        static_cast<LONGLONG>(std::min<std::uint64_t>(bytes, std::numeric_limits<LONGLONG>::max()));
    if (StrFormatByteSizeW(value, text, static_cast<UINT>(std::size(text))) == nullptr) {
        return std::to_wstring(bytes);
    }
    return text;
}

std::optional<DateTime> Win32Locale::parseDate(const std::wstring& text) {
    const std::wstring picture = localeText(LOCALE_SSHORTDATE);
    if (picture.empty()) {
        return std::nullopt;
    }
    return parseDateText(text, picture, monthNames(), twoDigitYearMax());
}

std::optional<unsigned char> Win32Locale::toAnsi(wchar_t c) {
    if (c >= 0xD800 && c <= 0xDFFF) {
        return std::nullopt;
    }
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) {
        // UTF-8 gives one byte only to ASCII, and takes neither the flag nor the default check.
        return c < 0x80 ? std::optional<unsigned char>(static_cast<unsigned char>(c))
                        : std::nullopt;
    }
    char bytes[2] = {};
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, bytes,
                                           sizeof(bytes), nullptr, &usedDefault);
    if (length != 1 || usedDefault) {
        return std::nullopt;
    }
    return static_cast<unsigned char>(bytes[0]);
}

wchar_t Win32Locale::fromAnsi(unsigned char code) {
    const char byte = static_cast<char>(code);
    wchar_t c = 0;
    if (MultiByteToWideChar(CP_ACP, 0, &byte, 1, &c, 1) != 1) {
        return 0xFFFD;
    }
    return c;
}

}  // namespace dustrel::platform::win32
