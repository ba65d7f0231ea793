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

TEST_F(SettingsStoreTest, ReadsTheLastWriteUnderTheProgramsKeyOrTheDefault) {
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Settings", L"RunAtSysTray", L"False"), L"False");
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Settings", L"RunAtSysTray"), L"");

    ASSERT_TRUE(platform::ok(store.WriteSetting(L"Dustrel", L"Settings", L"RunAtSysTray", L"one")));
    ASSERT_TRUE(
        platform::ok(store.WriteSetting(L"Dustrel", L"Settings", L"RunAtSysTray", L"True")));
    EXPECT_EQ(fakes.registry.value(L"Software\\Dustrel\\Dustrel\\Settings", L"RunAtSysTray"),
              L"True");
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Settings", L"RunAtSysTray", L"False"), L"True");
    // Another executable name is another, empty store.
    EXPECT_EQ(store.ReadSetting(L"Cleaner", L"Settings", L"RunAtSysTray", L"False"), L"False");

    // A refusal comes back as the registry gave it.
    fakes.registry.refuseValueWrites();
    fakes.registry.refusal = {platform::Status::Failed, 1018};
    const platform::Status refused =
        store.WriteSetting(L"Dustrel", L"Settings", L"RunAtSysTray", L"three");
    EXPECT_EQ(refused, platform::Status::Failed);
    EXPECT_EQ(refused.code(), 1018u);
    EXPECT_EQ(store.ReadSetting(L"Dustrel", L"Settings", L"RunAtSysTray"), L"True");
}

TEST_F(SettingsStoreTest, ScramblingShiftsEveryPrintableCharacterAndDropsWhatCannotShift) {
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

    // Code page 1252 holds every code from 0xA0 up as the same Unicode character.
    const wchar_t top = static_cast<wchar_t>(255 - kScrambleOffset);  // shifts to 255 exactly
    const std::wstring text = std::wstring(L"a") + wchar_t(top + 1) + L"b" + L"\u65E5" + top;
    EXPECT_EQ(store.EncodeSetting(text), store.EncodeSetting(L"ab") + L"\u00FF");
    EXPECT_EQ(store.DecodeSetting(store.EncodeSetting(text)), std::wstring(L"ab") + top);
    // Decoding drops what no encoding produced: codes below the offset; the offset itself
    // gives code 0.
    EXPECT_EQ(store.DecodeSetting(std::wstring(1, L'\0') + store.EncodeSetting(L"z")), L"z");
    EXPECT_EQ(store.DecodeSetting(std::wstring(1, wchar_t(kScrambleOffset))),
              std::wstring(1, L'\0'));
}

}  // namespace
}  // namespace dustrel::settings
