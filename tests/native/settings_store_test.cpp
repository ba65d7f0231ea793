#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "support/fake_platform.h"

namespace dustrel::settings {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    testing::FakePlatform fakes;
    SettingsStore store{fakes.registry, fakes.locale};
};

TEST_F(SettingsStoreTest, MissingApplicationSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Settings", L"RunAtSysTray", L"False"), L"False");
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Settings", L"RunAtSysTray"), L"");

    ASSERT_TRUE(store.WriteSetting(L"Dustrel", L"Settings", L"RunAtSysTray", L"True"));
    EXPECT_EQ(fakes.registry.value(L"Software\\Dustrel\\Dustrel\\Settings", L"RunAtSysTray"),
              L"True");
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Settings", L"RunAtSysTray", L"False"), L"True");
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Settings", L"Other", L"x"), L"x");
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Register", L"RunAtSysTray", L"x"), L"x");
    // Another executable name is another, empty store.
    EXPECT_EQ(store.ReadSetting(L"Cleaner", L"Settings", L"RunAtSysTray", L"False"), L"False");
}

TEST_F(SettingsStoreTest, WritesReplaceAndRefusalsAreReported) {
    store.WriteSetting(L"Dustrel", L"CustomExt", L"k", L"one");
    store.WriteSetting(L"Dustrel", L"CustomExt", L"k", L"two");
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"CustomExt", L"k"), L"two");

    fakes.registry.refuseWrites();
    EXPECT_FALSE(store.WriteSetting(L"Dustrel", L"CustomExt", L"k", L"three"));
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"CustomExt", L"k"), L"two");
}

TEST_F(SettingsStoreTest, ScramblingRoundTripsEveryPrintableCharacter) {
    std::wstring printable;
    for (wchar_t c = 32; c <= 126; ++c) {
        printable += c;
    }
    const std::wstring encoded = store.EncodeSetting(printable);
    ASSERT_EQ(encoded.size(), printable.size());
    for (std::size_t i = 0; i < printable.size(); ++i) {
        EXPECT_EQ(*fakes.locale.toAnsi(encoded[i]),
                  *fakes.locale.toAnsi(printable[i]) + kScrambleOffset);
    }
    EXPECT_EQ(store.DecodeSetting(encoded), printable);
    EXPECT_EQ(store.EncodeSetting(L""), L"");
    EXPECT_EQ(store.DecodeSetting(L""), L"");

    // Scrambled keys are stored under their scrambled names and read back by them.
    const std::wstring key = store.EncodeSetting(L"Ext");
    store.WriteSetting(L"Dustrel", L"CustomExt", key, store.EncodeSetting(L"Old Files?old#"));
    EXPECT_EQ(store.DecodeSetting(store.ReadSetting(L"Dustrel", L"CustomExt", key)),
              L"Old Files?old#");
}

TEST_F(SettingsStoreTest, CharactersThatCannotBeScrambledAreDropped) {
    // Code page 1252 holds every code from 0xA0 up as the same Unicode character.
    const wchar_t top = static_cast<wchar_t>(255 - kScrambleOffset);  // shifts to 255 exactly
    const std::wstring text = std::wstring(L"a") + wchar_t(top + 1) + L"b" + L"\u65E5" + top;
    const std::wstring encoded = store.EncodeSetting(text);
    EXPECT_EQ(encoded, store.EncodeSetting(L"ab") + L"\u00FF");
    EXPECT_EQ(store.DecodeSetting(encoded), std::wstring(L"ab") + top);

    // Decoding drops what no encoding produced: codes below the offset; the offset itself
    // gives code 0.
    EXPECT_EQ(store.DecodeSetting(std::wstring(1, L'\0') + store.EncodeSetting(L"z")), L"z");
    EXPECT_EQ(store.DecodeSetting(std::wstring(1, wchar_t(kScrambleOffset))),
              std::wstring(1, L'\0'));
}

}  // namespace
}  // namespace dustrel::settings
