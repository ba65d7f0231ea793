#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace dustrel::clean {

// The folder beside the executable that holds the deletion logs.
inline constexpr const wchar_t* kLogFolderName = L"log files";
// Every log's name starts with it, whatever the executable is called.
inline constexpr const wchar_t* kLogNamePrefix = L"Dustrel-";
inline constexpr const wchar_t* kLogNameSuffix = L".log";

// The log folder's full path: the executable's folder, a backslash and "log files".
std::wstring logFolderPath(platform::System& system);

// "Dustrel-" MMDDYYYY "-" then hour, minute and second without leading zeros, ".log":
// 9:05:07 on 5 December 2026 gives "Dustrel-12052026-957.log". The digits before the hyphen
// keep this layout whatever the locale, so that the purge can read the date back.
std::wstring logFileName(const platform::DateTime& when);

// The log's bytes: UTF-8, the byte-order mark first when `byteOrderMark`, every line ending in
// CR LF. Title, short date, long time, an empty line, "Files Deleted are:", an empty line, then
// one line per deleted path.
std::string logText(const platform::DateTime& written, platform::Locale& locale,
                    const std::vector<std::wstring>& deleted, bool byteOrderMark);

// The log of one deletion, written as the files go: each path is handed to the system before
// the next file is touched, so that a crash, a kill or the end of the Windows session loses no
// record of a file deleted. The log is made at the first file, under `name` in the log folder
// (made too when nothing of that name is there); a log already under that name (two deletions
// whose times give the same digits) is added to, never replaced. A log that cannot be written
// is given up in silence: the files go either way.
class DeletionLog {
public:
    DeletionLog(const platform::Platform& platform, std::wstring name)
        : platform_(platform), name_(std::move(name)) {}

    void add(const std::wstring& deletedPath);

private:
    const platform::Platform& platform_;
    std::wstring name_;
    std::wstring path_;  // once made
    bool givenUp_ = false;
};

}  // namespace dustrel::clean
