#include "platform/date_text.h"

#include <gtest/gtest.h>

#include <ostream>

namespace dustrel::platform {

void PrintTo(const DateTime& when, std::ostream* out) {
    *out << when.year << '-' << when.month << '-' << when.day;
}

namespace {

DateTime date(int year, int month, int day) {
    return DateTime{year, month, day, 0, 0, 0};
}

TEST(ParseDateText, ReadsFieldsInThePicturesOrderBetweenAnySeparators) {
    EXPECT_EQ(parseDateText(L"05/03/2024", L"dd/MM/yyyy"), date(2024, 3, 5));
    EXPECT_EQ(parseDateText(L"3/5/2024", L"M/d/yyyy"), date(2024, 3, 5));
    EXPECT_EQ(parseDateText(L"2024-03-05", L"yyyy-MM-dd"), date(2024, 3, 5));
    EXPECT_EQ(parseDateText(L"2024. 03. 05.", L"yyyy. MM. dd."), date(2024, 3, 5));
    EXPECT_EQ(parseDateText(L"2024\u5E743\u67085\u65E5", L"yyyy'\u5E74'M'\u6708'd'\u65E5'"),
              date(2024, 3, 5));
    // An unclosed quote is text to the end.
    EXPECT_EQ(parseDateText(L"05/03/2024", L"dd/MM/yyyy 'h"), date(2024, 3, 5));
    // Typed with other separators, or with the blanks and marks right-to-left locales insert.
    EXPECT_EQ(parseDateText(L" 5-3-2024\t", L"dd/MM/yyyy"), date(2024, 3, 5));
    EXPECT_EQ(parseDateText(L"\u200F05/\u200F03\u00A02024", L"dd/MM/yyyy"), date(2024, 3, 5));
    // Any ASCII punctuation separates, up to both ends of each of its four runs.
    for (const wchar_t* separators : {L"!/", L":@", L"[`", L"{~"}) {
        const std::wstring typed =
            std::wstring(L"05") + separators[0] + L"03" + separators[1] + L"2024";
        EXPECT_EQ(parseDateText(typed, L"dd.MM.yyyy"), date(2024, 3, 5)) << typed.c_str();
    }
    // Two-digit years fall before the limit.
    EXPECT_EQ(parseDateText(L"01/02/29", L"dd/MM/yy"), date(2029, 2, 1));
    EXPECT_EQ(parseDateText(L"01/02/30", L"dd/MM/yy"), date(1930, 2, 1));
    EXPECT_EQ(parseDateText(L"01/02/30", L"dd/MM/yyyy", {}, 2049), date(2030, 2, 1));
    EXPECT_EQ(parseDateText(L"01/02/0030", L"dd/MM/yyyy"), date(30, 2, 1));
    // Month names, and day names that may be left out.
    const std::vector<std::wstring> names = {
        L"January",   L"February", L"March",    L"April",    L"May", L"June", L"July", L"August",
        L"September", L"October",  L"November", L"December", L"Jan", L"Feb",  L"Mar",  L"Apr",
        L"May",       L"Jun",      L"Jul",      L"Aug",      L"Sep", L"Oct",  L"Nov",  L"Dec"};
    EXPECT_EQ(parseDateText(L"05-mar-2024", L"dd-MMM-yyyy", names), date(2024, 3, 5));
    EXPECT_EQ(parseDateText(L"05-MARCH-2024", L"dd-MMM-yyyy", names), date(2024, 3, 5));
    EXPECT_EQ(parseDateText(L"05-03-2024", L"dd-MMM-yyyy", names), date(2024, 3, 5));
    EXPECT_FALSE(parseDateText(L"05-Mars-2024", L"dd-MMM-yyyy", names));
    EXPECT_EQ(parseDateText(L"Tue 05/03/2024", L"ddd dd/MM/yyyy"), date(2024, 3, 5));
    EXPECT_EQ(parseDateText(L"05/03/2024", L"ddd dd/MM/yyyy"), date(2024, 3, 5));
}

TEST(ParseDateText, RejectsDatesThatDoNotExistAndTextThatIsNoDate) {
    EXPECT_EQ(parseDateText(L"29/02/2024", L"dd/MM/yyyy"), date(2024, 2, 29));
    EXPECT_EQ(parseDateText(L"29/02/2000", L"dd/MM/yyyy"), date(2000, 2, 29));
    EXPECT_FALSE(parseDateText(L"29/02/2023", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"29/02/1900", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"31/04/2024", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"00/01/2024", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"01/13/2024", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"01/01/0000", L"dd/MM/yyyy"));
    EXPECT_EQ(parseDateText(L"01/01/0001", L"dd/MM/yyyy"), date(1, 1, 1));
    EXPECT_EQ(parseDateText(L"31/12/9999", L"dd/MM/yyyy"), date(9999, 12, 31));

    EXPECT_FALSE(parseDateText(L"05/03", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"05/03/2024 x", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"005/03/2024", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"05/03/20245", L"dd/MM/yyyy"));
    EXPECT_FALSE(parseDateText(L"05/03/2024", L"dd/MM"));  // a picture without a year
}

TEST(DayNumber, CountsAcrossTheEndOfFebruary) {
    EXPECT_EQ(dayNumber(2024, 3, 1) - dayNumber(2024, 2, 28), 2);
    EXPECT_EQ(dayNumber(2023, 3, 1) - dayNumber(2023, 2, 28), 1);
    EXPECT_EQ(dayNumber(2024, 2, 1) - dayNumber(2024, 1, 31), 1);
}

}  // namespace
}  // namespace dustrel::platform
