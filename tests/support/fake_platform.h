#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace dustrel::testing {

// A file tree in memory. Names are found whatever their case, as on Windows, and keep the case
// they were first given. A folder lists its entries in the order they were added, so a test
// decides the order in which a walk meets them. Paths are "C:\dir\file" (a drive's root is
// "C:\" or "C:"); "\\server\share\..." works too.
class FakeFileSystem final : public platform::FileSystem {
public:
    FakeFileSystem();
    ~FakeFileSystem() override;
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    platform::Status listFolder(const std::wstring& folder,
                                std::vector<platform::FolderEntry>& entries) override;
    bool exists(const std::wstring& path) override;
    bool isDirectory(const std::wstring& path) override;
    platform::Status createFolder(const std::wstring& path) override;
    platform::Status writeFile(const std::wstring& path, std::string_view bytes,
                               platform::WriteMode mode) override;
    platform::Status readFile(const std::wstring& path, std::string& bytes) override;
    platform::Status deleteFile(const std::wstring& path) override;

    // Building the tree; missing folders on the way are made, faults do not apply.
    void addFile(const std::wstring& path, std::string_view bytes = {});
    void addFolder(const std::wstring& path);
    // A folder that is a junction or symbolic link: listed with the reparse-point bit.
    void addReparsePoint(const std::wstring& path);

    std::optional<std::string> contents(const std::wstring& path) const;
    // Every file's full path in its true case, depth first, each folder in listing order.
    std::vector<std::wstring> allFiles() const;

    // Faults. A folder that fails to list answers AccessDenied.
    void failListing(const std::wstring& folder);
    // Creating, writing and deleting answer AccessDenied everywhere, or at and below `folder`.
    void refuseWrites();
    void refuseWritesUnder(const std::wstring& folder);
    // Another program holds the file open, sharing reading only: writing and deleting it fail.
    void lock(const std::wstring& file);
    void unlock(const std::wstring& file);

    // Removes a file, or a folder with everything in it, as the shell would; the faults apply,
    // and a folder holding a locked file is left whole.
    platform::Status remove(const std::wstring& path);

private:
    struct Node;

    Node* find(const std::wstring& path) const;
    Node* make(const std::wstring& path, bool directory);
    platform::Status refusal(const std::wstring& path) const;
    bool holdsLock(const Node& node, const std::wstring& key) const;
    void detach(Node& node);

    std::unique_ptr<Node> root_;
    std::set<std::wstring> unlistable_;
    std::set<std::wstring> lockedFiles_;
    std::vector<std::wstring> refusedFolders_;
    bool refuseAllWrites_ = false;
};

// Records the shell's deletions and opens; deletes from the FakeFileSystem one path after
// another and, like the shell, stops at the first path it cannot delete.
class FakeShell final : public platform::Shell {
public:
    struct DeleteCall {
        std::vector<std::wstring> paths;
        bool toRecycleBin = false;
    };

    explicit FakeShell(FakeFileSystem& files) : files_(files) {}

    platform::Status deleteFiles(const std::vector<std::wstring>& paths,
                                 bool toRecycleBin) override;
    platform::Status open(const std::wstring& target) override;

    // Calls with an empty list are not recorded: the real shell is never asked for them.
    const std::vector<DeleteCall>& deleteCalls() const { return deleteCalls_; }
    // Paths that went to the Recycle Bin, in order.
    const std::vector<std::wstring>& recycled() const { return recycled_; }
    const std::vector<std::wstring>& opened() const { return opened_; }

    // Faults. Each call deletes at most `files` paths and then reports failure.
    void stopAfter(std::size_t files) { stopAfter_ = files; }
    // Reports success for the path but leaves it where it is.
    void leaveInPlace(const std::wstring& path);
    // Deletes nothing and reports failure.
    void failEverything(bool fail = true) { failEverything_ = fail; }
    void failOpening(bool fail = true) { failOpening_ = fail; }

private:
    FakeFileSystem& files_;
    std::vector<DeleteCall> deleteCalls_;
    std::vector<std::wstring> recycled_;
    std::vector<std::wstring> opened_;
    std::optional<std::size_t> stopAfter_;
    std::set<std::wstring> leftInPlace_;
    bool failEverything_ = false;
    bool failOpening_ = false;
};

// Keys and value names are found whatever their case. A failed read leaves `value` alone.
class FakeRegistry final : public platform::Registry {
public:
    long readString(const std::wstring& subKey, const std::wstring& name,
                    std::wstring& value) override;
    long createKey(const std::wstring& subKey) override;
    long writeString(const std::wstring& subKey, const std::wstring& name,
                     const std::wstring& value) override;
    long deleteValue(const std::wstring& subKey, const std::wstring& name) override;
    long queryValue(const std::wstring& subKey, const std::wstring& name) override;

    // Setting and reading back without the faults.
    void set(const std::wstring& subKey, const std::wstring& name, const std::wstring& value);
    std::optional<std::wstring> value(const std::wstring& subKey, const std::wstring& name) const;
    bool hasKey(const std::wstring& subKey) const;

    // Creating keys, writing and deleting answer kRegAccessDenied.
    void refuseWrites(bool refuse = true) { refuseWrites_ = refuse; }
    // Keys open and can be created, but values cannot be written or deleted.
    void refuseValueWrites(bool refuse = true) { refuseValueWrites_ = refuse; }
    // Only this key and those below it refuse to be created, written or deleted from.
    void refuseWritesUnder(const std::wstring& subKey);

private:
    struct Value {
        std::wstring name;
        std::wstring data;
    };
    using Values = std::map<std::wstring, Value>;

    std::map<std::wstring, Values> keys_;
    bool refuseWrites_ = false;
    bool refuseValueWrites_ = false;
    std::vector<std::wstring> refusedKeys_;

    bool refuses(const std::wstring& subKey) const;
};

// Starts with one fixed drive C: of 100 GiB, 40 GiB free.
class FakeSystem final : public platform::System {
public:
    FakeSystem();

    std::uint32_t logicalDrives() override { return drives_; }
    int driveType(const std::wstring& root) override;
    platform::Status diskSizes(const std::wstring& root, platform::DiskSizes& sizes) override;
    std::wstring commandArguments() override { return arguments; }
    std::wstring executablePath() override { return executable; }
    // Answers false when another copy runs or the name was claimed before, as a mutex would.
    bool claimSingleInstance(const std::wstring& name) override;
    platform::Status restartWindows() override;
    // Records the time and returns at once, after calling `onSleep`.
    void sleep(unsigned milliseconds) override;

    void addDrive(wchar_t letter, int type = platform::kDriveFixed, platform::DiskSizes sizes = {});
    void removeDrive(wchar_t letter);
    void failSizes(wchar_t letter);

    std::wstring arguments;
    std::wstring executable = L"C:\\Program Files\\Dustrel\\Dustrel.exe";
    bool otherInstanceRunning = false;
    std::vector<std::wstring> claimedInstances;
    platform::Status restartAnswer = platform::Status::Ok;
    int restartRequests = 0;
    std::vector<unsigned> sleeps;
    std::function<void(unsigned)> onSleep;

private:
    struct Drive {
        int type = platform::kDriveFixed;
        platform::DiskSizes sizes;
        bool sizesFail = false;
    };

    const Drive* driveOf(const std::wstring& root) const;

    std::uint32_t drives_ = 0;
    std::map<wchar_t, Drive> driveInfo_;
};

class FakeClock final : public platform::Clock {
public:
    platform::DateTime now() override { return current; }

    platform::DateTime current{2024, 6, 15, 12, 0, 0};
};

// A fixed locale: short dates "dd/MM/yyyy", long times "HH:mm:ss", and code page 1252. Dates
// are read the way the real locale reads them. The five bytes 1252 leaves unused stand for
// U+0081, U+008D, U+008F, U+0090 and U+009D, as Windows maps them.
class FakeLocale final : public platform::Locale {
public:
    static constexpr const wchar_t* kShortDatePicture = L"dd/MM/yyyy";

    std::wstring shortDate(const platform::DateTime& when) override;
    std::wstring longTime(const platform::DateTime& when) override;
    std::optional<platform::DateTime> parseDate(const std::wstring& text) override;
    std::optional<unsigned char> toAnsi(wchar_t c) override;
    wchar_t fromAnsi(unsigned char code) override;
};

struct FakePlatform {
    FakeFileSystem files;
    FakeShell shell{files};
    FakeRegistry registry;
    FakeSystem system;
    FakeClock clock;
    FakeLocale locale;

    platform::Platform platform() {
        return platform::Platform{files, shell, registry, system, clock, locale};
    }
};

}  // namespace dustrel::testing
