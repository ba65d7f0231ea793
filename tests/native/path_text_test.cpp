#include "platform/path_text.h"
#include "platform/system.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace dustrel::platform {
namespace {

// Latin-1, Latin Extended-A from the first to the last small letter of each of its runs, Greek,
// Cyrillic, and the ends of each run of letters; the division and multiplication signs and the
// dotless i stay themselves.
TEST(EqualsNoCase, MatchesNamesAcrossCommonScripts) {
    EXPECT_TRUE(
        equalsNoCase(L"pagefile.SYS caf\u00E9 \u00FF \u017E\u0142\u0148 \u012F\u0137\u0177 "
                     L"\u0101\u0133\u014B\u013A\u017A \u03AC\u03C2\u03CE"
                     L"\u0444\u0430\u0439\u043B\u0451\u0450\u045F "
                     L"az\u00E0\u00FE\u03AD\u03B1\u03CB\u0430\u044F\uFF41\uFF5A",
                     L"PAGEFILE.sys CAF\u00C9 \u0178 \u017D\u0141\u0147 \u012E\u0136\u0176 "
                     L"\u0100\u0132\u014A\u0139\u0179 \u0386\u03A3\u038F"
                     L"\u0424\u0410\u0419\u041B\u0401\u0400\u040F "
                     L"AZ\u00C0\u00DE\u0388\u0391\u03AB\u0410\u042F\uFF21\uFF3A"));
    EXPECT_FALSE(equalsNoCase(L"a.tmp", L"a.tm") || equalsNoCase(L"\u00F7", L"\u00D7") ||
                 equalsNoCase(L"\u0131", L"I"));
}

// The installer opens this very name to find a running copy: it may not change by accident.
TEST(SingleInstanceGuardName, IsOneNameForAProgramNameInAnyLetterCase) {
    EXPECT_EQ(singleInstanceGuardName(L"dustrel"), L"Local\\Dustrel.SingleInstance.DUSTREL");
    EXPECT_EQ(singleInstanceGuardName(L"caf\u00E9 \u0444"),
              singleInstanceGuardName(L"CAF\u00C9 \u0424"));
    EXPECT_NE(singleInstanceGuardName(L"dustrel"), singleInstanceGuardName(L"dustrel2"));
    EXPECT_EQ(singleInstanceGuardName(L"a\\b"), L"Local\\Dustrel.SingleInstance.A_B");
}

TEST(Utf8, WritesEachLengthFromItsFirstCharacterAndASurrogateOnItsOwnAsTheReplacement) {
    EXPECT_EQ(toUtf8(L"\u007F\u0080\u07FF\u0800"), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80");
    // A high surrogate before another, a pair, a low one on its own.
    EXPECT_EQ(
        toUtf8(std::wstring{wchar_t(0xD800), wchar_t(0xDBFF), wchar_t(0xDC00), wchar_t(0xDFFF)}),
        "\xEF\xBF\xBD\xF4\x8F\xB0\x80\xEF\xBF\xBD");
    // A high surrogate that ends the text, though a low one follows in memory.
    const std::wstring pair{wchar_t(0xD800), wchar_t(0xDC00)};
    EXPECT_EQ(toUtf8(std::wstring_view(pair).substr(0, 1)), "\xEF\xBF\xBD");
}

TEST(SysnativeAlias, RewritesOnlyPathsInsideSystem32) {
    const std::wstring windows = L"C:\\Windows";
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows\\System32\\LogFiles\\a.log", windows),
              L"C:\\Windows\\Sysnative\\LogFiles\\a.log");
    EXPECT_EQ(sysnativeAlias(L"c:\\WINDOWS\\system32\\a.log", L"C:\\Windows\\"),
              L"c:\\WINDOWS\\Sysnative\\a.log");
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows\\System32", windows), L"C:\\Windows\\Sysnative");
    for (const wchar_t* path :
         {L"C:\\Windows\\System32x\\a.log", L"C:\\Windows\\SysWOW64\\a.log",
          L"D:\\Windows\\System32\\a.log", L"C:\\Windows.old\\System32\\a.log"}) {
        EXPECT_EQ(sysnativeAlias(path, windows), path);
    }
    EXPECT_EQ(sysnativeAlias(L"C:\\Windows\\System32\\a.log", L""),
              L"C:\\Windows\\System32\\a.log");
}

TEST(ExactPathForm, PrefixesFullyQualifiedPathsThatNeedNoCleanUp) {
    const std::wstring deep(300, L'a');
    EXPECT_EQ(exactPathForm(L"C:\\Temp\\dot.\\con.tmp"), L"\\\\?\\C:\\Temp\\dot.\\con.tmp");
    EXPECT_EQ(exactPathForm(L"C:\\" + deep), L"\\\\?\\C:\\" + deep);
    EXPECT_EQ(exactPathForm(L"\\\\server\\share\\a"), L"\\\\?\\UNC\\server\\share\\a");
    EXPECT_EQ(exactPathForm(L"C:\\"), L"\\\\?\\C:\\");
    for (const wchar_t* path : {L"A:\\a", L"Z:\\a", L"a:\\a", L"z:\\a"}) {
        EXPECT_EQ(exactPathForm(path), L"\\\\?\\" + std::wstring(path));
    }
    // The prefix would stop the system from resolving these, so they keep their form; only a
    // Latin letter names a drive.
    for (const std::wstring& path :
         std::vector<std::wstring>{L"\\\\?\\C:\\a", L"Temp\\" + deep, L"C:\\x\\..\\a", L"C:/a",
                                   L"\u00E9:\\a", L"@:\\a", L"[:\\a", L"`:\\a", L"{:\\a"}) {
        EXPECT_EQ(exactPathForm(path), path);
    }
}

// Which paths the plain-path functions (and so the shell) read as themselves.
TEST(OrdinaryPath, IsOnlyAPathThatNoPlainReadingRewrites) {
    const struct {
        std::wstring path;
        bool ordinary;
        bool usable;
    } cases[] = {
        // clang-format off
        {L"C:\\Temp\\a.tmp", true, true},        {L"C:\\Temp\\.hidden\\x.y.tmp", true, true},
        {L"C:\\Temp\\console.tmp", true, true},  {L"C:\\Temp\\x.con", true, true},
        {L"C:\\dot.\\x.tmp", false, true},       {L"C:\\dot\\x.tmp.", false, true},
        {L"C:\\blank \\x.tmp", false, true},     {L"C:\\Temp\\con.tmp", false, true},
        {L"C:\\Temp\\NUL", false, true},         {L"C:\\Temp\\aux .bak", false, true},
        {L"C:\\com1\\x.tmp", false, true},       {L"C:\\Temp\\lpt9.log", false, true},
        {L"C:\\Temp\\com\u00B9.log", false, true}, {L"C:\\Temp\\what?.tmp", false, false},
        {L"C:\\Temp\\st*r.tmp", false, false},   {L"C:\\Temp\\a:b.tmp", false, false},
        {L"C:\\Temp\\tab\t.tmp", false, false},  {L"C:\\Temp\\\\a.tmp", false, false},
        {L"C:\\" + std::wstring(245, L'a'), false, true},
        {L"C:\\" + std::wstring(244, L'a'), true, true},
        {L"\\\\server\\share\\a.tmp", false, false}, {L"a.tmp", false, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isOrdinaryPath(c.path), c.ordinary) << ::testing::PrintToString(c.path);
        EXPECT_EQ(hasUsableNames(c.path), c.usable) << ::testing::PrintToString(c.path);
    }
}

}  // namespace
}  // namespace dustrel::platform
