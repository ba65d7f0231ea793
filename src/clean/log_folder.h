#pragma once

#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "ui/ui_host.h"

namespace dustrel::clean {

// The days a purge keeps, by the position of the entry chosen in the settings window's list:
// 1, 5 and 15 days, and 0 for any other position.
int daysKeptFor(int position);

// The date a deletion log's name carries: "Dustrel-" (in any case), eight digits read as month,
// day and year, whatever the locale, and ".log" at the end. Nothing for any other name, or for a
// date that does not exist.
std::optional<platform::DateTime> logDateOf(std::wstring_view name);

// Deletes from the log folder the logs dated more than `daysKept` days from today, into the past
// or the future; a log dated today always stays, and so does every file that is no log.
void purgeLogFolder(const platform::Platform& platform, int daysKept);

// Opens the log folder in the shell, or tells the user why there is none.
void openLogFolder(const platform::Platform& platform, ui::UiHost& host);

}  // namespace dustrel::clean
