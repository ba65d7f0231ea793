#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/frm_main.h"
#include "settings/frm_settings.h"
#include "settings/settings_store.h"
#include "settings/web_links.h"
#include "support/fake_platform.h"
#include "support/test_host.h"

namespace dustrel::testing {

// The whole program on fakes: the main window with its two other windows, not yet started.
class AppTest : public ::testing::Test {
protected:
    static constexpr const wchar_t* kApp = L"Dustrel";
    static constexpr const wchar_t* kQuotedRunEntry =
        L"\"C:\\Program Files\\Dustrel\\Dustrel.exe\" /STARTUP";

    TestHost host;
    FakePlatform fakes;
    app::AppContext context{fakes.platform(), {}};
    app::FrmMain form{host, context};

    // Runs the start-up sequence and hands back the main window's controls.
    app::FrmMainControls& start() {
        act([this] { form.load(); });
        return form.ui();
    }
    // Runs a handler as the user's action would: it ends where a wait finds the program ended.
    void act(const std::function<void()>& handler) { host.raise(form, handler); }
    settings::FrmSettingsControls& settingsUi() { return form.frmSettings().ui(); }

    settings::SettingsStore store() { return {fakes.registry, fakes.locale}; }
    void storeSetting(const std::wstring& section, const std::wstring& key,
                      const std::wstring& value) {
        store().WriteSetting(kApp, section, key, value);
    }
    std::wstring storedSetting(const std::wstring& section, const std::wstring& key) {
        return store().ReadSetting(kApp, section, key, L"<missing>");
    }
    void storeScrambled(const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) {
        auto s = store();
        s.WriteSetting(kApp, section, s.EncodeSetting(key), s.EncodeSetting(value));
    }
    std::wstring storedScrambled(const std::wstring& section, const std::wstring& key) {
        auto s = store();
        return s.DecodeSetting(s.ReadSetting(kApp, section, s.EncodeSetting(key)));
    }

    void setRunEntry(const std::wstring& data = kQuotedRunEntry) {
        fakes.registry.set(settings::kRunKey, kApp, data);
    }
    std::optional<std::wstring> runEntry() { return fakes.registry.value(settings::kRunKey, kApp); }

    int thankYouPages() {
        const std::wstring page = settings::vendorAddress(settings::kThankYouPagePath);
        return static_cast<int>(
            std::count(fakes.shell.opened().begin(), fakes.shell.opened().end(), page));
    }

    std::vector<std::wstring> rowTexts(const ui::ListView& list) {
        std::vector<std::wstring> texts;
        for (std::size_t i = 0; i < list.rowCount(); ++i) {
            texts.push_back(list.row(i).text);
        }
        return texts;
    }
};

}  // namespace dustrel::testing
