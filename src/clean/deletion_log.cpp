#include "clean/deletion_log.h"

#include "platform/program_info.h"
#include "platform/utf8.h"

namespace dustrel::clean {

namespace {

constexpr const char* kLineEnd = "\r\n";

void appendDigits(std::wstring& text, int value, int width) {
    std::wstring digits = std::to_wstring(value);
    if (digits.size() < static_cast<std::size_t>(width)) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), L'0');
    }
    text += digits;
}

}  // namespace

std::wstring logFolderPath(platform::System& system) {
    return platform::executableFolder(system) + L"\\" + kLogFolderName;
}

std::wstring logFileName(const platform::DateTime& when) {
    std::wstring name = kLogNamePrefix;
    appendDigits(name, when.month, 2);
    appendDigits(name, when.day, 2);
    appendDigits(name, when.year, 4);
    name += L'-';
    appendDigits(name, when.hour, 1);
    appendDigits(name, when.minute, 1);
    appendDigits(name, when.second, 1);
    return name + kLogNameSuffix;
}

std::string logText(const platform::DateTime& written, platform::Locale& locale,
                    const std::vector<std::wstring>& deleted, bool byteOrderMark) {
    std::string text = byteOrderMark ? "\xEF\xBB\xBF" : "";
    text += platform::toUtf8(platform::kProgramTitle) + kLineEnd;
    text += platform::toUtf8(locale.shortDate(written)) + kLineEnd;
    text += platform::toUtf8(locale.longTime(written)) + kLineEnd + kLineEnd;
    text += std::string("Files Deleted are:") + kLineEnd + kLineEnd;
    for (const std::wstring& path : deleted) {
        text += platform::toUtf8(path) + kLineEnd;
    }
    return text;
}

void DeletionLog::add(const std::wstring& deletedPath) {
    if (givenUp_) {
        return;
    }
    if (!path_.empty()) {
        (void)platform_.files.writeFile(path_, platform::toUtf8(deletedPath) + kLineEnd,
                                        platform::WriteMode::Append);
        return;
    }
    const std::wstring folder = logFolderPath(platform_.system);
    // A plain file of the folder's name is the user's: no folder is made beside it and no log
    // goes into it.
    if (!platform_.files.exists(folder) && !platform::ok(platform_.files.createFolder(folder))) {
        givenUp_ = true;
        return;
    }
    const std::wstring path = folder + L"\\" + name_;
    // The date and time lines tell when the log was begun, not when the name was chosen.
    const platform::DateTime written = platform_.clock.now();
    const std::vector<std::wstring> first{deletedPath};
    platform::Status status = platform_.files.writeFile(
        path, logText(written, platform_.locale, first, true), platform::WriteMode::CreateNew);
    if (status == platform::Status::AlreadyExists) {
        // The earlier log already starts with the byte-order mark.
        status = platform_.files.writeFile(path, logText(written, platform_.locale, first, false),
                                           platform::WriteMode::Append);
    }
    if (platform::ok(status)) {
        path_ = path;
    } else {
        givenUp_ = true;
    }
}

}  // namespace dustrel::clean
