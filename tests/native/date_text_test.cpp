#include "platform/date_text.h"

#include <gtest/gtest.h>

#include <ostream>

namespace dustrel::platform {

void PrintTo(const DateTime& when, std::ostream* out) {
    *out << when.year << '-' << when.month << '-' << when.day;
}

namespace {

// Fields are read in the picture's order between any separators: those typed instead of the
// picture's, the blanks and marks right-to-left locales insert, any ASCII punctuation up to both
// ends of each of its four runs, or the picture's quoted text (an unclosed quote runs to the
// end). Two-digit years fall before 2030; month names are read, day and era names may be left
// out.
TEST(ParseDateText, ReadsExistingDatesInThePicturesOrderAndNothingElse) {
    const std::vector<std::wstring> names = {
        L"January",   L"February", L"March",    L"April",    L"May", L"June", L"July", L"August",
        L"September", L"October",  L"November", L"December", L"Jan", L"Feb",  L"Mar",  L"Apr",
        L"May",       L"Jun",      L"Jul",      L"Aug",      L"Sep", L"Oct",  L"Nov",  L"Dec"};
    // The date expected as yyyymmdd, 0 for none; no picture given means "dd/MM/yyyy".
    const struct {
        const wchar_t* text;
        int date;
        const wchar_t* picture = L"dd/MM/yyyy";
    } cases[] = {
        // clang-format off
        {L"05/03/2024", 20240305},                 {L"3/5/2024", 20240305, L"M/d/yyyy"},
        {L"2024-03-05", 20240305, L"yyyy-MM-dd"},  {L"2024. 03. 05.", 20240305, L"yyyy. MM. dd."},
        {L"2024\u5E743\u67085\u65E5", 20240305, L"yyyy'\u5E74'M'\u6708'd'\u65E5'"},
        {L"05/03/2024", 20240305, L"dd/MM/yyyy 'h"}, {L" 5-3-2024\t", 20240305},
        {L"\u200F05/\u200F03\u00A02024", 20240305}, {L"05!03/2024", 20240305, L"dd.MM.yyyy"},
        {L"05:03@2024", 20240305, L"dd.MM.yyyy"},  {L"05[03`2024", 20240305, L"dd.MM.yyyy"},
        {L"05{03~2024", 20240305, L"dd.MM.yyyy"},  {L"01/02/29", 20290201, L"dd/MM/yy"},
        {L"01/02/30", 19300201, L"dd/MM/yy"},      {L"01/02/0030", 300201},
        {L"05-Mars-2024", 0, L"dd-MMM-yyyy"},      {L"05-mar-2024", 20240305, L"dd-MMM-yyyy"},
        {L"05-MARCH-2024", 20240305, L"dd-MMM-yyyy"}, {L"05-03-2024", 20240305, L"dd-MMM-yyyy"},
        {L"05/03/2024", 20240305, L"ddd dd/MM/yyyy"},
        {L"Tue 05/03/2024", 20240305, L"ddd dd/MM/yyyy"},
        {L"AD 05/03/2024", 20240305, L"gg dd/MM/yyyy"},
        {L"05/03/2024", 20240305, L"dd/MM/yyyy dddd"},
        {L"29/02/2024", 20240229}, {L"29/02/2000", 20000229}, {L"29/02/2023", 0},
        {L"29/02/1900", 0},        {L"31/04/2024", 0},        {L"00/01/2024", 0},
        {L"01/13/2024", 0},        {L"01/01/0000", 0},        {L"01/01/0001", 10101},
        {L"31/12/9999", 99991231}, {L"05/03", 0},             {L"05/03/2024 x", 0},
        {L"005/03/2024", 0},       {L"05/03/20245", 0},       {L"05/03/2024", 0, L"dd/MM"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::optional<DateTime> read = parseDateText(c.text, c.picture, names);
        EXPECT_EQ(read ? read->year * 10000 + read->month * 100 + read->day : 0, c.date)
            << ::testing::PrintToString(std::wstring(c.text) + L" as " + c.picture);
    }
    EXPECT_EQ(parseDateText(L"01/02/30", L"dd/MM/yyyy", {}, 2049), (DateTime{2030, 2, 1, 0, 0, 0}));
}

TEST(DayNumber, CountsAcrossTheEndOfFebruary) {
    EXPECT_EQ(dayNumber(2024, 3, 1) - dayNumber(2024, 2, 28), 2);
    EXPECT_EQ(dayNumber(2023, 3, 1) - dayNumber(2023, 2, 28), 1);
    EXPECT_EQ(dayNumber(2024, 2, 1) - dayNumber(2024, 1, 31), 1);
}

}  // namespace
}  // namespace dustrel::platform
