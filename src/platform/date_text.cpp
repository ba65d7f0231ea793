#include "platform/date_text.h"

#include <cstddef>

#include "platform/path_text.h"

namespace dustrel::platform {

namespace {

enum class Field { Day, Month, MonthName, Year, Word };

struct Picture {
    std::vector<Field> fields;
    std::wstring literals;
};

struct Token {
    std::wstring text;
    bool digits = false;
};

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool isAsciiPunctuation(wchar_t c) {
    return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E);
}

// Right-to-left locales put direction marks into their dates; narrow no-break spaces appear too.
bool isBlankOrMark(wchar_t c) {
    return c == L' ' || c == L'\t' || c == 0xA0 || c == 0x200E || c == 0x200F || c == 0x202F ||
           c == 0x061C;
}

std::optional<Picture> readPicture(const std::wstring& picture) {
    Picture result;
    int days = 0;
    int months = 0;
    int years = 0;
    for (std::size_t i = 0; i < picture.size();) {
        const wchar_t c = picture[i];
        if (c == L'\'') {
            std::size_t end = picture.find(L'\'', i + 1);
            if (end == std::wstring::npos) {
                end = picture.size();
            }
            result.literals.append(picture, i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) {
            ++run;
        }
        if (c == L'd') {
            result.fields.push_back(run <= 2 ? Field::Day : Field::Word);
            days += run <= 2 ? 1 : 0;
        } else if (c == L'M') {
            result.fields.push_back(run <= 2 ? Field::Month : Field::MonthName);
            ++months;
        } else if (c == L'y') {
            result.fields.push_back(Field::Year);
            ++years;
        } else if (c == L'g') {
            result.fields.push_back(Field::Word);
        } else {
            result.literals.append(run, c);
        }
        i += run;
    }
    if (days != 1 || months != 1 || years != 1) {
        return std::nullopt;
    }
    return result;
}

std::vector<Token> tokenize(const std::wstring& text, const std::wstring& literals) {
    std::vector<Token> tokens;
    bool inToken = false;
    for (const wchar_t c : text) {
        const bool separator =
            isBlankOrMark(c) || isAsciiPunctuation(c) || literals.find(c) != std::wstring::npos;
        if (separator) {
            inToken = false;
            continue;
        }
        const bool digit = isDigit(c);
        if (!inToken || tokens.back().digits != digit) {
            tokens.push_back(Token{{}, digit});
        }
        tokens.back().text.push_back(c);
        inToken = true;
    }
    return tokens;
}

std::optional<int> numberOf(const Token& token, std::size_t maxDigits) {
    if (!token.digits || token.text.size() > maxDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (const wchar_t c : token.text) {
        value = value * 10 + (c - L'0');
    }
    return value;
}

std::optional<int> monthOf(const Token& token, const std::vector<std::wstring>& monthNames) {
    if (token.digits) {
        return numberOf(token, 2);
    }
    for (std::size_t i = 0; i < monthNames.size(); ++i) {
        if (!monthNames[i].empty() && equalsNoCase(token.text, monthNames[i])) {
            return static_cast<int>(i % 12) + 1;
        }
    }
    return std::nullopt;
}

}  // namespace

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

long long dayNumber(int year, int month, int day) {
    // Days from civil, counting years from March so that the leap day ends the year.
    const long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long shiftedMonth = month > 2 ? month - 3 : month + 9;
    const long long dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<DateTime> parseDateText(const std::wstring& text, const std::wstring& picture,
                                      const std::vector<std::wstring>& monthNames,
                                      int twoDigitYearMax) {
    const std::optional<Picture> fields = readPicture(picture);
    if (!fields) {
        return std::nullopt;
    }
    const std::vector<Token> tokens = tokenize(text, fields->literals);
    std::optional<int> day;
    std::optional<int> month;
    std::optional<int> year;
    std::size_t next = 0;
    for (const Field field : fields->fields) {
        if (field == Field::Word) {
            // A day or era name is optional: people leave it out when they type a date.
            if (next < tokens.size() && !tokens[next].digits) {
                ++next;
            }
            continue;
        }
        if (next == tokens.size()) {
            return std::nullopt;
        }
        const Token& token = tokens[next++];
        switch (field) {
            case Field::Day:
                day = numberOf(token, 2);
                break;
            case Field::Month:
                month = numberOf(token, 2);
                break;
            case Field::MonthName:
                month = monthOf(token, monthNames);
                break;
            case Field::Year:
                year = numberOf(token, 4);
                if (year && token.text.size() <= 2) {
                    const int century = twoDigitYearMax / 100 * 100;
                    *year += *year + century > twoDigitYearMax ? century - 100 : century;
                }
                break;
            case Field::Word:
                break;
        }
    }
    if (next != tokens.size() || !day || !month || !year || *year < 1 || *year > 9999 || *day < 1 ||
        *day > daysInMonth(*year, *month)) {
        return std::nullopt;
    }
    DateTime result;
    result.year = *year;
    result.month = *month;
    result.day = *day;
    return result;
}

}  // namespace dustrel::platform
