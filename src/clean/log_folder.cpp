#include "clean/log_folder.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "clean/deletion_log.h"
#include "platform/date_text.h"
#include "platform/path_text.h"
#include "platform/program_info.h"

namespace dustrel::clean {

namespace {

// The date's digits follow the prefix straight away.
constexpr std::size_t kDateStart = std::wstring_view(kLogNamePrefix).size();
constexpr std::size_t kDateLength = 8;

std::optional<int> number(std::wstring_view digits) {
    int value = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - L'0');
    }
    return value;
}

}  // namespace

int daysKeptFor(int position) {
    switch (position) {
        case 0:
            return 1;
        case 1:
            return 5;
        case 2:
            return 15;
        default:
            return 0;
    }
}

std::optional<platform::DateTime> logDateOf(std::wstring_view name) {
    const std::wstring_view prefix = kLogNamePrefix;
    const std::wstring_view suffix = kLogNameSuffix;
    if (name.size() < kDateStart + kDateLength + suffix.size() ||
        !platform::equalsNoCase(name.substr(0, prefix.size()), prefix) ||
        !platform::equalsNoCase(name.substr(name.size() - suffix.size()), suffix)) {
        return std::nullopt;
    }
    const std::wstring_view digits = name.substr(kDateStart, kDateLength);
    const std::optional<int> month = number(digits.substr(0, 2));
    const std::optional<int> day = number(digits.substr(2, 2));
    const std::optional<int> year = number(digits.substr(4, 4));
    if (!month || !day || !year || *year < 1 || *month < 1 || *month > 12 || *day < 1 ||
        *day > platform::daysInMonth(*year, *month)) {
        return std::nullopt;
    }
    return platform::DateTime{*year, *month, *day, 0, 0, 0};
}

void purgeLogFolder(const platform::Platform& platform, int daysKept) {
    const std::wstring folder = logFolderPath(platform.system);
    std::vector<platform::FolderEntry> entries;
    // A folder that is missing or cannot be read has nothing to purge.
    (void)platform.files.listFolder(folder, entries);
    const platform::DateTime now = platform.clock.now();
    const long long today = platform::dayNumber(now.year, now.month, now.day);
    for (const platform::FolderEntry& entry : entries) {
        if (entry.directory) {
            continue;
        }
        const std::optional<platform::DateTime> date = logDateOf(entry.name);
        if (!date) {
            continue;
        }
        const long long age =
            std::llabs(today - platform::dayNumber(date->year, date->month, date->day));
        if (age == 0 || age <= daysKept) {
            continue;
        }
        // A log that is read-only or held open stays, without a word.
        (void)platform.files.deleteFile(folder + L"\\" + entry.name);
    }
}

void openLogFolder(const platform::Platform& platform, ui::UiHost& host) {
    const std::wstring folder = logFolderPath(platform.system);
    // A plain file of that name is no log folder: handing it to the shell would open it instead.
    if (!platform.files.isDirectory(folder)) {
        host.messageBox(
            L"Dustrel has not been used on your computer\r"
            L"Or, The folder 'Log Files' has been removed from your computer\r\r"
            L"The folder 'Log Files' will be created only when you have removed junk "
            L"files from your computer.",
            platform::kProgramTitle, {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop});
        return;
    }
    (void)platform.shell.open(folder);
}

}  // namespace dustrel::clean
