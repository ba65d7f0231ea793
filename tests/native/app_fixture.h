#pragma once

#include <gtest/gtest.h>

#include <algorithm>
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
    settings::SettingsStore store{fakes.registry, fakes.locale};

    // Runs the start-up sequence and hands back the main window's controls.
    app::FrmMainControls& start() {
        act([this] { form.load(); });
        return form.ui();
    }
    // Runs a handler as the user's action would: it ends where a wait finds the program ended.
    void act(const std::function<void()>& handler) { host.raise(form, handler); }
    settings::FrmSettingsControls& settingsUi() { return form.frmSettings().ui(); }

    void storeScrambled(const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) {
        ASSERT_TRUE(platform::ok(store.WriteSetting(kApp, section, store.EncodeSetting(key),
                                                    store.EncodeSetting(value))));
    }
    std::wstring storedScrambled(const std::wstring& section, const std::wstring& key) {
        return store.DecodeSetting(store.ReadSetting(kApp, section, store.EncodeSetting(key)));
    }
    std::wstring lastUpdate() { return storedScrambled(L"Register", L"LastUpdate"); }
    // The choice to start into the notification area, as stored.
    void storeTrayChoice(const wchar_t* value) {
        ASSERT_TRUE(platform::ok(store.WriteSetting(kApp, L"Settings", L"RunAtSysTray", value)));
    }
    std::wstring trayChoice() { return store.ReadSetting(kApp, L"Settings", L"RunAtSysTray"); }

    std::optional<std::wstring> runEntry() { return fakes.registry.value(settings::kRunKey, kApp); }
    // As Windows starts the program from its Run entry.
    void startedFromRunEntry(const std::wstring& entry = kQuotedRunEntry) {
        fakes.registry.set(settings::kRunKey, kApp, entry);
        fakes.system.arguments = L"/STARTUP";
    }

    long thankYouPages() {
        return std::ranges::count(fakes.shell.opened(),
                                  settings::vendorAddress(settings::kThankYouPagePath));
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
