#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/shell.h"
#include "settings/settings_store.h"
#include "ui/ui_host.h"

namespace dustrel::settings {

// Days between two reminders.
inline constexpr long long kUpdateReminderDays = 15;

// Asks at most every 15 days whether the user wants to update, and opens the download page on
// Yes. The day of the last reminder is kept, scrambled, under "Register"; the first run only
// records today.
void runUpdateReminder(SettingsStore& store, const std::wstring& appName, platform::Clock& clock,
                       platform::Locale& locale, ui::UiHost& host, platform::Shell& shell);

}  // namespace dustrel::settings
