#include "platform/path_text.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace dustrel::platform {
namespace {

TEST(EqualsNoCase, MatchesNamesAcrossCommonScripts) {
    EXPECT_TRUE(equalsNoCase(L"pagefile.SYS", L"PAGEFILE.sys"));
    EXPECT_TRUE(equalsNoCase(L"caf\u00E9 \u00FF", L"CAF\u00C9 \u0178"));
    EXPECT_TRUE(equalsNoCase(L"\u017E\u0142", L"\u017D\u0141"));  // Latin Extended-A
    // ... to the last letter of each of its three runs.
    EXPECT_TRUE(equalsNoCase(L"\u012F\u0137\u0177", L"\u012E\u0136\u0176"));
    EXPECT_TRUE(equalsNoCase(L"\u03AC\u03C2\u03CE", L"\u0386\u03A3\u038F"));  // Greek
    EXPECT_TRUE(equalsNoCase(L"\u0444\u0430\u0439\u043B\u0451", L"\u0424\u0410\u0419\u041B\u0401"));
    EXPECT_FALSE(equalsNoCase(L"a.tmp", L"a.tm"));
    EXPECT_FALSE(equalsNoCase(L"\u00F7", L"\u00D7"));  // division and multiplication signs
    EXPECT_FALSE(equalsNoCase(L"\u0131", L"I"));       // dotless i stays itself
}

// A surrogate half on its own is no character; where wchar_t is 16 bits (Windows), a pair is
// one character past U+FFFF.
TEST(Utf8, WritesSurrogatesOnlyAsTheCharacterOfAPair) {
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0xDC00))), "\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0xDFFF))), "\xEF\xBF\xBD");
    if constexpr (sizeof(wchar_t) == 2) {
        const auto pair = [](wchar_t high, wchar_t low) { return std::wstring{high, low}; };
        EXPECT_EQ(toUtf8(pair(0xD800, 0xDC00)), "\xF0\x90\x80\x80");
        EXPECT_EQ(toUtf8(pair(0xDBFF, 0xDFFF)), "\xF4\x8F\xBF\xBF");
    }
}

TEST(SysnativeAlias, RewritesOnlyPathsInsideSystem32) {
    const std::wstring windows = L"C:\\Windows";
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows\\System32\\LogFiles\\a.log", windows),
              L"C:\\Windows\\Sysnative\\LogFiles\\a.log");
    EXPECT_EQ(sysnativeAlias(L"c:\\WINDOWS\\system32\\a.log", L"C:\\Windows\\"),
              L"c:\\WINDOWS\\Sysnative\\a.log");
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows\\System32", windows), L"C:\\Windows\\Sysnative");
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows\\System32x\\a.log", windows),
              L"C:\\Windows\\System32x\\a.log");
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows\\SysWOW64\\a.log", windows),
              L"C:\\Windows\\SysWOW64\\a.log");
    EXPECT_EQ(sysnativeAlias(L"D:\\Windows\\System32\\a.log", windows),
              L"D:\\Windows\\System32\\a.log");
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows.old\\System32\\a.log", windows),
              L"C:\\Windows.old\\System32\\a.log");
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows\\System32\\a.log", L""),
              L"C:\\Windows\\System32\\a.log");
}

TEST(ExactPathForm, PrefixesFullyQualifiedPathsThatNeedNoCleanUp) {
    const std::wstring deep(300, L'a');
    EXPECT_EQ(exactPathForm(L"C:\\Temp\\dot.\\con.tmp"), L"\\\\?\\C:\\Temp\\dot.\\con.tmp");
    EXPECT_EQ(exactPathForm(L"C:\\" + deep), L"\\\\?\\C:\\" + deep);
    EXPECT_EQ(exactPathForm(L"\\\\server\\share\\a"), L"\\\\?\\UNC\\server\\share\\a");
    EXPECT_EQ(exactPathForm(L"\\\\?\\C:\\a"), L"\\\\?\\C:\\a");
    EXPECT_EQ(exactPathForm(L"C:\\"), L"\\\\?\\C:\\");
    // The prefix would stop the system from resolving these, so they keep their form.
    EXPECT_EQ(exactPathForm(L"Temp\\" + deep), L"Temp\\" + deep);
    EXPECT_EQ(exactPathForm(L"C:\\x\\..\\a"), L"C:\\x\\..\\a");
    EXPECT_EQ(exactPathForm(L"C:/a"), L"C:/a");
    // Only a Latin letter names a drive.
    EXPECT_EQ(exactPathForm(L"\u00E9:\\a"), L"\u00E9:\\a");
    EXPECT_EQ(exactPathForm(L"{:\\a"), L"{:\\a");
}

// Which paths the plain-path functions (and so the shell) read as themselves.
TEST(OrdinaryPath, IsOnlyAPathThatNoPlainReadingRewrites) {
    const struct {
        std::wstring path;
        bool ordinary;
        bool usable;
    } cases[] = {
        {L"C:\\Temp\\a.tmp", true, true},
        {L"C:\\Temp\\.hidden\\x.y.tmp", true, true},
        {L"C:\\Temp\\console.tmp", true, true},
        {L"C:\\Temp\\x.con", true, true},
        {L"C:\\dot.\\x.tmp", false, true},
        {L"C:\\dot\\x.tmp.", false, true},
        {L"C:\\blank \\x.tmp", false, true},
        {L"C:\\Temp\\con.tmp", false, true},
        {L"C:\\Temp\\NUL", false, true},
        {L"C:\\Temp\\aux .bak", false, true},
        {L"C:\\com1\\x.tmp", false, true},
        {L"C:\\Temp\\lpt9.log", false, true},
        {L"C:\\Temp\\com\u00B9.log", false, true},
        {L"C:\\Temp\\what?.tmp", false, false},
        {L"C:\\Temp\\st*r.tmp", false, false},
        {L"C:\\Temp\\a:b.tmp", false, false},
        {L"C:\\Temp\\tab\t.tmp", false, false},
        {L"C:\\Temp\\\\a.tmp", false, false},
        {L"C:\\" + std::wstring(245, L'a'), false, true},
        {L"C:\\" + std::wstring(244, L'a'), true, true},
        {L"\\\\server\\share\\a.tmp", false, false},
        {L"a.tmp", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isOrdinaryPath(c.path), c.ordinary) << ::testing::PrintToString(c.path);
        EXPECT_EQ(hasUsableNames(c.path), c.usable) << ::testing::PrintToString(c.path);
    }
}

}  // namespace
}  // namespace dustrel::platform
