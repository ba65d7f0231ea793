#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/path_text.h"
#include "platform/platform.h"

namespace dustrel::testing {

// A disk in memory, flat: a map from each file's, folder's and link's true path to what it is.
// The FileSystem calls read paths as the Win32 implementation hands them to the system (see
// exactPathForm); the shell reads them the plain way. A name in another
// letter case is found when no name matches exactly; twins such as A.tmp and a.tmp may only be
// made in a folder made case-sensitive (every folder under Wine, any on Windows 10 that asks).
// A path through a link goes on from its target. A folder lists its entries in the order they
// were added, so that a test decides the order in which a walk meets them. Paths are
// "C:\dir\file"; a drive's root is "C:\". As the real one, it may be listed from other threads
// while the program changes it; the tree is built, and its faults set, before they start.
class FakeFileSystem final : public platform::FileSystem {
public:
    platform::Status listFolder(const std::wstring& folder,
                                std::vector<platform::FolderEntry>& entries) override;
    bool exists(const std::wstring& path) override {
        return resolve(path, false, false).has_value();
    }
    bool isDirectory(const std::wstring& path) override;
    platform::Status createFolder(const std::wstring& path) override;
    platform::Status writeFile(const std::wstring& path, std::string_view bytes,
                               platform::WriteMode mode) override;
    platform::Status readFile(const std::wstring& path, std::string& bytes) override;
    platform::Status deleteFile(const std::wstring& path) override;
    // A handle keeps the file it opened, wherever that goes; its final path is the file's true
    // path, through whatever link it was reached. A locked file does not open.
    platform::Status openForDeletion(const std::wstring& path,
                                     std::unique_ptr<platform::OpenedFile>& file) override;

    // Building the tree, names as given; missing folders on the way are made, faults do not
    // apply.
    void addFile(const std::wstring& path, std::string_view bytes = {}) {
        entries_.at(make(path, Kind::File)).bytes.assign(bytes);
    }
    void addFolder(const std::wstring& path) { make(path, Kind::Folder); }
    // A folder that is a junction or symbolic link to `target` (which need not exist), by
    // default to a volume that has no drive letter. `seenAsFolder`: its folder's listing still
    // shows the plain folder it was, as when a folder is swapped for a link (or, to a missing
    // target, vanishes) between the two listings.
    void addLink(const std::wstring& path, const std::wstring& target = L"V:\\Elsewhere",
                 bool seenAsFolder = false) {
        Entry& link = entries_.at(make(path, Kind::Link));
        link.target = target;
        link.seenAsFolder = seenAsFolder;
    }
    // Renames a file or folder, everything in it going along, as someone else might while the
    // program works: handles keep what they opened. `to` is a new name in a folder that is there.
    void move(const std::wstring& from, const std::wstring& to);
    void makeCaseSensitive(const std::wstring& folder) {
        entries_.at(make(folder, Kind::Folder)).caseSensitive = true;
    }

    std::optional<std::string> contents(const std::wstring& path) const;
    // Every file's true path, in the order of the paths.
    std::vector<std::wstring> allFiles() const;

    // Faults. Listing the folder answers AccessDenied; given `after`, it breaks off after that
    // many entries and answers Failed.
    void failListing(const std::wstring& folder, std::size_t after = 0) {
        entries_.at(make(folder, Kind::Folder)).listedUpTo = after;
    }
    // Every folder listed so far, in the order of the calls.
    std::vector<std::wstring> listings() const {
        const Lock lock(mutex_);
        return listings_;
    }
    // Another program holds the file open, sharing reading only: writing and deleting it fail.
    void lock(const std::wstring& file);

    // Removes a file, or a folder with everything in it, named by its true path, as the shell
    // would; a folder holding a locked file is left whole.
    platform::Status remove(const std::wstring& truePath);

    // Called with the true path of everything created, written or removed.
    std::function<void(const std::wstring&)> onChange;
    // Called with the path asked for as a deletion is about to open it (`opened` false), and
    // again as it is about to delete through the open handle.
    std::function<void(const std::wstring& path, bool opened)> duringDeletion;

private:
    friend class FakeOpenedFile;
    friend class FakeShell;
    enum class Kind { File, Folder, Link };
    struct Entry {
        Kind kind = Kind::Folder;
        std::uint64_t order = 0;  // when it was added, for listing; what a handle knows it by
        std::string bytes;
        std::wstring target;  // a link's
        bool caseSensitive = false;
        bool locked = false;
        bool seenAsFolder = false;
        std::optional<std::size_t> listedUpTo;
    };
    using Lock = std::lock_guard<std::mutex>;
    std::optional<std::wstring> resolve(const std::wstring& path, bool plain, bool followLast,
                                        int links = 0) const;
    const Entry* at(const std::wstring& truePath) const;
    // A folder's entries, in the order they were added.
    std::vector<std::pair<std::wstring, const Entry*>> children(const std::wstring& folder) const;
    std::optional<std::wstring> child(const std::wstring& folder, const std::wstring& name,
                                      bool anyCase) const;
    std::wstring make(const std::wstring& path, Kind kind);
    std::optional<std::wstring> newPath(const std::wstring& path) const;
    // The true paths of the entry and of everything below it.
    std::vector<std::wstring> subtree(const std::wstring& truePath) const;
    void erase(const std::vector<std::wstring>& truePaths);
    void changed(const std::wstring& truePath) const;

    std::map<std::wstring, Entry> entries_;
    // The true paths by their upper-cased form, in the order they were made, so that a name in
    // another case is found at once.
    std::map<std::wstring, std::vector<std::wstring>> folded_;
    std::uint64_t added_ = 1;
    std::vector<std::wstring> listings_;
    // Held by listFolder, and by whatever changes the disk while it is held.
    mutable std::mutex mutex_;
};

// Records the shell's deletions and opens. Reads each path the plain way and deletes what it
// names from the FakeFileSystem (a folder with everything in it), one path after another, and
// like the shell stops at the first path it cannot delete.
class FakeShell final : public platform::Shell {
public:
    struct DeleteCall {
        std::vector<std::wstring> paths;
        bool toRecycleBin = false;
    };

    explicit FakeShell(FakeFileSystem& files) : files_(files) {}

    platform::Status deleteFiles(const std::vector<std::wstring>& paths,
                                 bool toRecycleBin) override;
    platform::Status open(const std::wstring& target) override {
        opened_.push_back(target);
        return platform::Status::Ok;
    }

    // Calls with an empty list are not recorded: the real shell is never asked for them.
    const std::vector<DeleteCall>& deleteCalls() const { return deleteCalls_; }
    const std::vector<std::wstring>& opened() const { return opened_; }

    // Runs in the middle of each delete operation, after its first path, where the real shell's
    // progress window lets other windows' messages run.
    std::function<void()> duringOperation;
    bool working() const { return working_; }

    // Reports success for the path but leaves it where it is.
    void leaveInPlace(const std::wstring& path) { leftInPlace_.insert(path); }

private:
    FakeFileSystem& files_;
    std::vector<DeleteCall> deleteCalls_;
    std::vector<std::wstring> opened_;
    std::set<std::wstring> leftInPlace_;
    bool working_ = false;
};

// Keys and value names are found whatever their case. A failed read leaves `value` alone.
class FakeRegistry final : public platform::Registry {
public:
    platform::Status readString(const std::wstring& subKey, const std::wstring& name,
                                std::wstring& value) override;
    platform::Status createKey(const std::wstring& subKey) override;
    platform::Status writeString(const std::wstring& subKey, const std::wstring& name,
                                 const std::wstring& value) override;
    platform::Status deleteValue(const std::wstring& subKey, const std::wstring& name) override;
    platform::Status queryValue(const std::wstring& subKey, const std::wstring& name) override;

    // Setting and reading back without the faults.
    void set(const std::wstring& subKey, const std::wstring& name, const std::wstring& value);
    std::optional<std::wstring> value(const std::wstring& subKey, const std::wstring& name) const;

    // Creating keys, writing and deleting answer `refusal` at and below `subKey`.
    void refuseWritesUnder(const std::wstring& subKey) { refused_.push_back(keyOf(subKey)); }
    // Keys open and can be created, but values cannot be written or deleted.
    void refuseValueWrites() { refuseValueWrites_ = true; }
    // Reading and asking for values answer `refusal` at and below `subKey`.
    void refuseReadsUnder(const std::wstring& subKey) { unreadable_.push_back(keyOf(subKey)); }
    // What every refusal answers: ERROR_ACCESS_DENIED unless a test picks another.
    platform::Status refusal{platform::Status::AccessDenied, 5};

    // Keys created and values written or deleted so far.
    int writes = 0;

private:
    static std::wstring keyOf(const std::wstring& subKey);
    static bool under(const std::vector<std::wstring>& keys, const std::wstring& subKey);
    bool refuses(const std::wstring& subKey) const { return under(refused_, subKey); }

    // Values by upper-cased key and name.
    std::map<std::wstring, std::map<std::wstring, std::wstring>> keys_;
    std::vector<std::wstring> refused_;
    std::vector<std::wstring> unreadable_;
    bool refuseValueWrites_ = false;
};

// Starts with one fixed drive C: of 100 GiB, 40 GiB free.
class FakeSystem final : public platform::System {
public:
    FakeSystem() {
        constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;
        addDrive(L'C', platform::DriveKind::Fixed, {40 * kGiB, 100 * kGiB, 40 * kGiB});
    }

    std::uint32_t logicalDrives() override;
    platform::DriveKind driveKind(const std::wstring& root) override;
    platform::Status diskSizes(const std::wstring& root, platform::DiskSizes& sizes) override;
    // A drive's answer set by `seekPenalty` below, unknown (Failed) for one that has none.
    platform::Status seekPenalty(const std::wstring& root, bool& penalty) override;
    std::wstring commandArguments() override { return arguments; }
    std::wstring executablePath() override { return executable; }
    // Answers false when another copy runs or the name was claimed before, as a mutex would:
    // by the object's name, which tells letter case apart.
    bool claimSingleInstance(const std::wstring& name) override;
    platform::Status restartWindows() override {
        ++restartRequests;
        return restartAnswer;
    }
    // Records the time and returns at once, after calling `onSleep`.
    void sleep(unsigned milliseconds) override {
        sleeps.push_back(milliseconds);
        if (onSleep) {
            onSleep(milliseconds);
        }
    }

    void addDrive(wchar_t letter, platform::DriveKind type = platform::DriveKind::Fixed,
                  platform::DiskSizes sizes = {}) {
        drives_[platform::upperCase(letter)] = Drive{type, sizes, false, false};
    }
    void removeDrive(wchar_t letter) { drives_.erase(platform::upperCase(letter)); }
    void failSizes(wchar_t letter) { drives_.at(platform::upperCase(letter)).sizesFail = true; }
    void setSeekPenalty(wchar_t letter, std::optional<bool> penalty) {
        drives_.at(platform::upperCase(letter)).seekPenalty = penalty;
    }

    std::wstring arguments;
    std::wstring executable = L"C:\\Program Files\\Dustrel\\Dustrel.exe";
    bool otherInstanceRunning = false;
    platform::Status restartAnswer = platform::Status::Ok;
    int restartRequests = 0;
    std::vector<unsigned> sleeps;
    std::function<void(unsigned)> onSleep;

private:
    struct Drive {
        platform::DriveKind type = platform::DriveKind::Fixed;
        platform::DiskSizes sizes;
        bool sizesFail = false;
        std::optional<bool> seekPenalty = false;
    };

    const Drive* driveOf(const std::wstring& root) const;

    std::map<wchar_t, Drive> drives_;
    std::set<std::wstring> claimed_;
};

// Each look at the millisecond tick moves it on by `tickPerLook`.
class FakeClock final : public platform::Clock {
public:
    platform::DateTime now() override { return current; }
    std::uint32_t milliseconds() override { return tick += tickPerLook; }

    platform::DateTime current{2024, 6, 15, 12, 0, 0};
    std::uint32_t tick = 0;
    std::uint32_t tickPerLook = 1000;
};

// A fixed locale: short dates "dd/MM/yyyy", long times "HH:mm:ss", code page 1252, a time zone
// an hour east of UTC all year, and sizes as the plain count ("1340 B"). Dates
// are read the way the real locale reads them. The five bytes 1252 leaves unused stand for
// U+0081, U+008D, U+008F, U+0090 and U+009D, as Windows maps them.
class FakeLocale final : public platform::Locale {
public:
    std::wstring shortDate(const platform::DateTime& when) override;
    std::wstring longTime(const platform::DateTime& when) override;
    std::optional<platform::DateTime> localTime(std::uint64_t fileTime) override;
    std::wstring byteSize(std::uint64_t bytes) override { return std::to_wstring(bytes) + L" B"; }
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

namespace dustrel::platform {

// A status in a failed expectation prints as its kind and code.
inline void PrintTo(Status status, std::ostream* out) {
    *out << "Status(" << static_cast<int>(status.kind()) << ", " << status.code() << ")";
}

}  // namespace dustrel::platform
