#include "settings/update_reminder.h"

#include <cstdlib>

#include "platform/date_text.h"
#include "platform/program_info.h"
#include "settings/web_links.h"

namespace dustrel::settings {

void runUpdateReminder(SettingsStore& store, const std::wstring& appName, platform::Clock& clock,
                       platform::Locale& locale, ui::UiHost& host, platform::Shell& shell) {
    const std::wstring key = store.EncodeSetting(L"LastUpdate");
    const std::wstring last = store.DecodeSetting(store.ReadSetting(appName, L"Register", key));
    platform::DateTime today = clock.now();
    today.hour = today.minute = today.second = 0;
    const auto recordToday = [&] {
        // Nothing follows the write within this start, and nothing is shown when the store refuses
        // it: the last day stays as it was, so the next start decides again from that.
        (void)store.WriteSetting(appName, L"Register", key,
                                 store.EncodeSetting(locale.shortDate(today)));
    };
    if (last.empty()) {
        recordToday();
        return;
    }
    // A text that no longer reads as a date (the user changed the date format, say) counts as
    // long ago, so the question comes and today's date replaces it.
    bool due = true;
    if (const auto lastDate = locale.parseDate(last)) {
        const long long days = platform::dayNumber(today.year, today.month, today.day) -
                               platform::dayNumber(lastDate->year, lastDate->month, lastDate->day);
        due = std::llabs(days) >= kUpdateReminderDays;
    }
    if (!due) {
        return;
    }
    const ui::MessageBoxAnswer answer =
        host.messageBox(L"Do You Wish To Update The Software ?", platform::kProgramTitle,
                        {ui::MessageBoxButtons::YesNo, ui::MessageBoxIcon::Warning});
    if (answer == ui::MessageBoxAnswer::Yes) {
        OpenDownloadPage(shell);
    }
    recordToday();
}

}  // namespace dustrel::settings
