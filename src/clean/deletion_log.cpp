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

bool writeDeletionLog(const platform::Platform& platform, const std::wstring& name,
                      const std::vector<std::wstring>& deleted) {
    const std::wstring folder = logFolderPath(platform.system);
    // A plain file of the folder's name is the user's: no folder is made beside it and no log
    // goes into it.
    if (!platform.files.exists(folder) && !platform::ok(platform.files.createFolder(folder))) {
        return false;
    }
    const std::wstring path = folder + L"\\" + name;
    // The date and time lines tell when the log was written, not when the name was chosen.
    const platform::DateTime written = platform.clock.now();
    platform::Status status = platform.files.writeFile(
        path, logText(written, platform.locale, deleted, true), platform::WriteMode::CreateNew);
    if (status == platform::Status::AlreadyExists) {
        // The earlier log already starts with the byte-order mark.
        status = platform.files.writeFile(path, logText(written, platform.locale, deleted, false),
                                          platform::WriteMode::Append);
    }
    return platform::ok(status);
}

}  // namespace dustrel::clean
