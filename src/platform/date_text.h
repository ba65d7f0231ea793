#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace dustrel::platform {

// Reads a date written in the field order of a short-date picture such as L"dd/MM/yyyy" or
// L"yyyy-MM-dd". Days and months take one or two digits, years up to four; blanks, punctuation
// and the picture's own literal text separate them. Where the picture writes the month as a word,
// `monthNames[i]` names month i % 12 + 1 (so full and abbreviated names may follow each other).
// One- and two-digit years fall in the hundred years that end with `twoDigitYearMax`. Nothing
// when the text is not a date that exists.
std::optional<DateTime> parseDateText(const std::wstring& text, const std::wstring& picture,
                                      const std::vector<std::wstring>& monthNames = {},
                                      int twoDigitYearMax = 2029);

int daysInMonth(int year, int month);

// The number of days from 1 January 1970 to the date (negative before it), proleptic Gregorian.
long long dayNumber(int year, int month, int day);

}  // namespace dustrel::platform
