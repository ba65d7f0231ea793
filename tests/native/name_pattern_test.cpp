#include <gtest/gtest.h>

#include "scan/name_pattern.h"

namespace dustrel::scan {
namespace {

TEST(NamePatternTest, StarQuestionMarkAndLetterCase) {
    const struct {
        const wchar_t* pattern;
        const wchar_t* name;
        bool matches;
    } cases[] = {
        // clang-format off
        {L"*.tmp", L"a.tmp", true},     {L"*.tmp", L"A.TMP", true},      {L"*.tmp", L".tmp", true},
        {L"*.tmp", L"a.tmpl", false},   {L"*.tmp", L"tmp", false},
        {L"thumbs.db", L"THUMBS.DB", true},  {L"thumbs.db", L"thumbs.db.old", false},
        {L"a?c.*", L"abc.txt", true},   {L"a?c.*", L"ac.txt", false},    {L"a?c.*", L"abc", false},
        {L"*a*b*c", L"xxaxxbxxbxc", true},   {L"*a*b*c", L"xxaxxbxxbx", false},  {L"**", L"", true},
        {L"ab*ba", L"aba", false},
        // Letter case beyond ASCII, as Windows compares names.
        {L"*.\u00e9t\u00e9", L"R\u00c9SUM\u00c9.\u00c9T\u00c9", true},
        {L"\u03c9*", L"\u03a9mega", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NamePattern(c.pattern).matches(c.name), c.matches)
            << testing::PrintToString(std::wstring(c.pattern) + L" " + c.name);
    }
}

}  // namespace
}  // namespace dustrel::scan
