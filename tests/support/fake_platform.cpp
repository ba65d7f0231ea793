#include "support/fake_platform.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_map>
#include <utility>

#include "platform/date_text.h"
#include "platform/path_text.h"

namespace dustrel::testing {

using platform::Status;

namespace {

constexpr std::wstring_view kExactPrefix = L"\\\\?\\";
constexpr int kMostLinksFollowed = 32;

std::wstring upper(std::wstring_view text) {
    return platform::upperCase(text);
}

bool isDriveName(std::wstring_view part) {
    return part.size() == 2 && part[1] == L':' &&
           ((part[0] >= L'A' && part[0] <= L'Z') || (part[0] >= L'a' && part[0] <= L'z'));
}

std::vector<std::wstring> split(std::wstring_view path, bool slashToo) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\' || (slashToo && path[i] == L'/')) {
            parts.emplace_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// What the plain reading makes of one name.
std::wstring trimmedName(std::wstring name) {
    if (name == L"." || name == L"..") {
        return name;
    }
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) {
        name.pop_back();
    }
    return name;
}

bool namesDevice(std::wstring_view name) {
    std::wstring base = upper(name.substr(0, name.find(L'.')));
    while (!base.empty() && base.back() == L' ') {
        base.pop_back();
    }
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL") {
        return true;
    }
    return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) &&
           base[3] >= L'1' && base[3] <= L'9';
}

bool isAtOrBelow(const std::wstring& upperPath, const std::wstring& upperFolder) {
    return upperFolder.empty() ||
           (upperPath.starts_with(upperFolder) &&
            (upperPath.size() == upperFolder.size() || upperPath[upperFolder.size()] == L'\\'));
}

}  // namespace

const FakeFileSystem::Entry* FakeFileSystem::entry(const std::wstring& truePath) const {
    const auto found = entries_.find(truePath);
    return found == entries_.end() ? nullptr : &found->second;
}

FakeFileSystem::Entry* FakeFileSystem::entry(const std::wstring& truePath) {
    const auto found = entries_.find(truePath);
    return found == entries_.end() ? nullptr : &found->second;
}

FakeFileSystem::Found FakeFileSystem::resolve(const std::wstring& path, Reading reading,
                                              bool followLast) const {
    std::wstring_view rest = path;
    if (rest.starts_with(kExactPrefix)) {
        rest.remove_prefix(kExactPrefix.size());
        reading = Reading::Exact;
    } else if (reading == Reading::Exact) {
        // The real file system hands the system a "\\?\" path only when it needs no clean-up.
        const auto parts = split(rest, true);
        if (rest.find(L'/') != std::wstring_view::npos ||
            std::any_of(parts.begin(), parts.end(),
                        [](const std::wstring& p) { return p == L"." || p == L".."; })) {
            reading = Reading::Plain;
        }
    }
    std::vector<std::wstring> parts = split(rest, reading == Reading::Plain);
    if (!parts.empty() && parts.back().empty()) {
        parts.pop_back();  // "C:\" and "C:\dir\" name the folder
    }
    if (parts.empty() || !isDriveName(parts[0])) {
        return {};
    }
    std::wstring current = upper(parts[0]);
    if (entry(current) == nullptr) {
        return {};
    }
    int linksFollowed = 0;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        std::wstring name = parts[i];
        if (reading == Reading::Plain) {
            name = trimmedName(std::move(name));
            if (name.empty() || name == L".") {
                continue;
            }
            if (name == L"..") {
                const std::size_t slash = current.rfind(L'\\');
                current = slash == std::wstring::npos ? current : current.substr(0, slash);
                continue;
            }
            if (last && namesDevice(name)) {
                return {platform::Status::Failed, L"\\\\.\\" + upper(name)};
            }
        } else if (name.empty()) {
            return {};
        }
        const Entry* folder = entry(current);
        if (folder == nullptr || folder->kind != Entry::Kind::Folder) {
            return {};
        }
        const std::wstring* match = nullptr;
        for (const std::wstring& child : folder->children) {
            if (child == name) {
                match = &child;
                break;
            }
            if (match == nullptr && platform::equalsNoCase(child, name)) {
                match = &child;
                if (!folder->caseSensitive) {
                    break;
                }
            }
        }
        if (match == nullptr) {
            return {};
        }
        current += L'\\' + *match;
        const Entry* found = entry(current);
        if (found->kind == Entry::Kind::Link && (!last || followLast)) {
            if (++linksFollowed > kMostLinksFollowed) {
                return {platform::Status::Failed, {}};
            }
            const Found target = resolve(found->target, Reading::Exact, true);
            if (!platform::ok(target.status)) {
                return {};
            }
            current = target.path;
        }
    }
    return {platform::Status::Ok, current};
}

std::wstring FakeFileSystem::make(const std::wstring& path, Entry::Kind kind) {
    std::vector<std::wstring> parts = split(path, false);
    if (!parts.empty() && parts.back().empty()) {
        parts.pop_back();
    }
    std::wstring current = upper(parts.at(0));
    entries_.try_emplace(current);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        Entry& folder = entries_.at(current);
        const auto same = [&](const std::wstring& child) {
            return folder.caseSensitive ? child == parts[i]
                                        : platform::equalsNoCase(child, parts[i]);
        };
        const auto child = std::find_if(folder.children.begin(), folder.children.end(), same);
        if (child == folder.children.end()) {
            folder.children.push_back(parts[i]);
            const std::wstring made = current + L'\\' + parts[i];
            entries_[made].kind = last ? kind : Entry::Kind::Folder;
            current = made;
        } else {
            current += L'\\' + *child;
        }
        if (!last && entries_.at(current).kind == Entry::Kind::Link) {
            current = make(entries_.at(current).target, Entry::Kind::Folder);
        }
    }
    return current;
}

platform::Status FakeFileSystem::refusal(const std::wstring& truePath) const {
    const std::wstring key = upper(truePath);
    for (const std::wstring& folder : refusedFolders_) {
        if (isAtOrBelow(key, folder)) {
            return platform::Status::AccessDenied;
        }
    }
    return platform::Status::Ok;
}

bool FakeFileSystem::holdsLock(const std::wstring& truePath) const {
    const Entry* found = entry(truePath);
    if (found == nullptr) {
        return false;
    }
    if (found->kind == Entry::Kind::File) {
        return found->locked;
    }
    if (found->kind == Entry::Kind::Link) {
        return false;
    }
    return std::any_of(
        found->children.begin(), found->children.end(),
        [&](const std::wstring& child) { return holdsLock(truePath + L'\\' + child); });
}

void FakeFileSystem::erase(const std::wstring& truePath) {
    if (Entry* found = entry(truePath); found != nullptr && found->kind == Entry::Kind::Folder) {
        for (const std::wstring& child : std::vector<std::wstring>(found->children)) {
            erase(truePath + L'\\' + child);
        }
    }
    entries_.erase(truePath);
    const std::size_t slash = truePath.rfind(L'\\');
    if (Entry* parent = entry(truePath.substr(0, slash)); parent != nullptr) {
        std::erase(parent->children, truePath.substr(slash + 1));
    }
}

void FakeFileSystem::changed(const std::wstring& truePath) const {
    if (onChange) {
        onChange(truePath);
    }
}

platform::Status FakeFileSystem::listFolder(const std::wstring& folder,
                                            std::vector<platform::FolderEntry>& entries) {
    entries.clear();
    const Found found = resolve(folder, Reading::Exact, true);
    const Entry* listed = platform::ok(found.status) ? entry(found.path) : nullptr;
    if (listed == nullptr || listed->kind != Entry::Kind::Folder) {
        return platform::Status::NotFound;
    }
    if (unlistable_.count(upper(found.path)) != 0) {
        return platform::Status::AccessDenied;
    }
    for (const std::wstring& name : listed->children) {
        const Entry::Kind kind = entry(found.path + L'\\' + name)->kind;
        entries.push_back({name, kind != Entry::Kind::File, kind == Entry::Kind::Link});
    }
    return platform::Status::Ok;
}

bool FakeFileSystem::exists(const std::wstring& path) {
    return platform::ok(resolve(path, Reading::Exact, false).status);
}

bool FakeFileSystem::isDirectory(const std::wstring& path) {
    const Found found = resolve(path, Reading::Exact, false);
    return platform::ok(found.status) && entry(found.path)->kind != Entry::Kind::File;
}

platform::Status FakeFileSystem::createFolder(const std::wstring& path) {
    if (exists(path)) {
        return platform::Status::AlreadyExists;
    }
    const std::size_t slash = path.find_last_of(L'\\', path.size() - 2);
    const Found parent = resolve(path.substr(0, slash + 1), Reading::Exact, true);
    if (slash == std::wstring::npos || !platform::ok(parent.status) ||
        entry(parent.path)->kind != Entry::Kind::Folder) {
        return platform::Status::NotFound;
    }
    if (const platform::Status refused = refusal(parent.path); !platform::ok(refused)) {
        return refused;
    }
    std::wstring name = path.substr(slash + 1);
    if (!name.empty() && name.back() == L'\\') {
        name.pop_back();
    }
    changed(make(parent.path + L'\\' + name, Entry::Kind::Folder));
    return platform::Status::Ok;
}

platform::Status FakeFileSystem::writeFile(const std::wstring& path, std::string_view bytes,
                                           platform::WriteMode mode) {
    Found found = resolve(path, Reading::Exact, false);
    if (platform::ok(found.status)) {
        const Entry& existing = *entry(found.path);
        if (existing.kind != Entry::Kind::File) {
            return platform::Status::AccessDenied;
        }
        if (mode == platform::WriteMode::CreateNew) {
            return platform::Status::AlreadyExists;
        }
        if (existing.locked) {
            return platform::Status::Failed;
        }
    } else {
        const std::size_t slash = path.rfind(L'\\');
        const Found parent = resolve(path.substr(0, slash + 1), Reading::Exact, true);
        if (slash == std::wstring::npos || !platform::ok(parent.status) ||
            entry(parent.path)->kind != Entry::Kind::Folder) {
            return platform::Status::NotFound;
        }
        found.path = parent.path + L'\\' + path.substr(slash + 1);
    }
    if (const platform::Status refused = refusal(found.path); !platform::ok(refused)) {
        return refused;
    }
    const std::wstring made = make(found.path, Entry::Kind::File);
    Entry& file = entries_.at(made);
    if (mode == platform::WriteMode::Append) {
        file.bytes.append(bytes);
    } else {
        file.bytes.assign(bytes);
    }
    changed(made);
    return platform::Status::Ok;
}

platform::Status FakeFileSystem::readFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    const std::optional<std::string> found = contents(path);
    if (!found) {
        return exists(path) ? platform::Status::AccessDenied : platform::Status::NotFound;
    }
    bytes = *found;
    return platform::Status::Ok;
}

platform::Status FakeFileSystem::deleteFile(const std::wstring& path) {
    const Found found = resolve(path, Reading::Exact, false);
    if (!platform::ok(found.status)) {
        return platform::Status::NotFound;
    }
    if (entry(found.path)->kind != Entry::Kind::File) {
        return platform::Status::AccessDenied;
    }
    return remove(found.path);
}

platform::Status FakeFileSystem::remove(const std::wstring& truePath) {
    if (entry(truePath) == nullptr) {
        return platform::Status::NotFound;
    }
    if (const platform::Status refused = refusal(truePath); !platform::ok(refused)) {
        return refused;
    }
    if (holdsLock(truePath)) {
        return platform::Status::Failed;
    }
    erase(truePath);
    changed(truePath);
    return platform::Status::Ok;
}

void FakeFileSystem::addFile(const std::wstring& path, std::string_view bytes) {
    entries_.at(make(path, Entry::Kind::File)).bytes.assign(bytes);
}

void FakeFileSystem::addFolder(const std::wstring& path) {
    make(path, Entry::Kind::Folder);
}

void FakeFileSystem::addLink(const std::wstring& path, const std::wstring& target) {
    entries_.at(make(path, Entry::Kind::Link)).target = target;
}

void FakeFileSystem::replaceByLink(const std::wstring& folder, const std::wstring& target) {
    const Found found = resolve(folder, Reading::Exact, false);
    if (platform::ok(found.status)) {
        erase(found.path);
    }
    addLink(found.path.empty() ? folder : found.path, target);
}

void FakeFileSystem::makeCaseSensitive(const std::wstring& folder) {
    entries_.at(make(folder, Entry::Kind::Folder)).caseSensitive = true;
}

std::optional<std::wstring> FakeFileSystem::plainTarget(const std::wstring& path) const {
    const Found found = resolve(path, Reading::Plain, false);
    return platform::ok(found.status) ? std::optional<std::wstring>(found.path) : std::nullopt;
}

std::optional<std::string> FakeFileSystem::contents(const std::wstring& path) const {
    const Found found = resolve(path, Reading::Exact, true);
    const Entry* file = platform::ok(found.status) ? entry(found.path) : nullptr;
    if (file == nullptr || file->kind != Entry::Kind::File) {
        return std::nullopt;
    }
    return file->bytes;
}

std::vector<std::wstring> FakeFileSystem::allFiles() const {
    std::vector<std::wstring> files;
    std::vector<std::wstring> pending;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (isDriveName(it->first)) {
            pending.push_back(it->first);
        }
    }
    while (!pending.empty()) {
        const std::wstring path = std::move(pending.back());
        pending.pop_back();
        const Entry& found = *entry(path);
        if (found.kind == Entry::Kind::File) {
            files.push_back(path);
        } else if (found.kind == Entry::Kind::Folder) {
            for (auto it = found.children.rbegin(); it != found.children.rend(); ++it) {
                pending.push_back(path + L'\\' + *it);
            }
        }
    }
    return files;
}

void FakeFileSystem::failListing(const std::wstring& folder) {
    const Found found = resolve(folder, Reading::Exact, true);
    unlistable_.insert(upper(platform::ok(found.status) ? found.path : folder));
}

void FakeFileSystem::refuseWritesUnder(const std::wstring& folder) {
    const Found found = resolve(folder, Reading::Exact, true);
    std::wstring key = upper(platform::ok(found.status) ? found.path : folder);
    while (!key.empty() && key.back() == L'\\') {
        key.pop_back();
    }
    refusedFolders_.push_back(key);
}

void FakeFileSystem::lock(const std::wstring& file) {
    const Found found = resolve(file, Reading::Exact, false);
    if (platform::ok(found.status)) {
        entry(found.path)->locked = true;
    }
}

platform::Status FakeShell::deleteFiles(const std::vector<std::wstring>& paths, bool toRecycleBin) {
    if (paths.empty()) {
        return platform::Status::Ok;
    }
    deleteCalls_.push_back(DeleteCall{paths, toRecycleBin});
    if (failEverything_) {
        return platform::Status::Failed;
    }
    struct Working {
        bool& flag;
        explicit Working(bool& f) : flag(f) { flag = true; }
        ~Working() { flag = false; }
    } working(working_);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (stopAfter_ && i == *stopAfter_) {
            return platform::Status::Failed;
        }
        const platform::Status status = deleteOne(paths[i], toRecycleBin);
        if (i == 0 && duringOperation) {
            duringOperation();
        }
        if (!platform::ok(status)) {
            return status;
        }
    }
    return platform::Status::Ok;
}

platform::Status FakeShell::deleteOne(const std::wstring& path, bool toRecycleBin) {
    const std::optional<std::wstring> target = files_.plainTarget(path);
    if (!target) {
        // Not there, or a device, which no deletion removes.
        return platform::Status::NotFound;
    }
    if (leftInPlace_.count(path) != 0) {
        return platform::Status::Ok;
    }
    const platform::Status status = files_.remove(*target);
    if (platform::ok(status)) {
        removed_.push_back(*target);
        if (toRecycleBin) {
            recycled_.push_back(*target);
        }
    }
    return status;
}

platform::Status FakeShell::open(const std::wstring& target) {
    opened_.push_back(target);
    return platform::Status::Ok;
}

namespace {

std::wstring registryKeyOf(const std::wstring& subKey) {
    std::size_t begin = 0;
    std::size_t end = subKey.size();
    while (begin < end && subKey[begin] == L'\\') {
        ++begin;
    }
    while (end > begin && subKey[end - 1] == L'\\') {
        --end;
    }
    return platform::upperCase(std::wstring_view(subKey).substr(begin, end - begin));
}

}  // namespace

platform::Status FakeRegistry::readString(const std::wstring& subKey, const std::wstring& name,
                                          std::wstring& value) {
    const std::optional<std::wstring> found = this->value(subKey, name);
    if (!found) {
        return platform::Status::NotFound;
    }
    value = *found;
    return platform::Status::Ok;
}

void FakeRegistry::refuseWritesUnder(const std::wstring& subKey) {
    refusedKeys_.push_back(registryKeyOf(subKey));
}

bool FakeRegistry::refuses(const std::wstring& subKey) const {
    const std::wstring key = registryKeyOf(subKey);
    for (const std::wstring& refused : refusedKeys_) {
        if (key == refused || key.rfind(refused + L"\\", 0) == 0) {
            return true;
        }
    }
    return refuseWrites_;
}

platform::Status FakeRegistry::createKey(const std::wstring& subKey) {
    if (refuses(subKey)) {
        return platform::Status::AccessDenied;
    }
    keys_[registryKeyOf(subKey)];
    ++writes;
    return platform::Status::Ok;
}

platform::Status FakeRegistry::writeString(const std::wstring& subKey, const std::wstring& name,
                                           const std::wstring& value) {
    if (refuses(subKey) || refuseValueWrites_) {
        return platform::Status::AccessDenied;
    }
    set(subKey, name, value);
    ++writes;
    return platform::Status::Ok;
}

platform::Status FakeRegistry::deleteValue(const std::wstring& subKey, const std::wstring& name) {
    const auto key = keys_.find(registryKeyOf(subKey));
    if (key == keys_.end()) {
        return platform::Status::NotFound;
    }
    if (refuses(subKey) || refuseValueWrites_) {
        return platform::Status::AccessDenied;
    }
    if (key->second.erase(platform::upperCase(name)) == 0) {
        return platform::Status::NotFound;
    }
    ++writes;
    return platform::Status::Ok;
}

platform::Status FakeRegistry::queryValue(const std::wstring& subKey, const std::wstring& name) {
    return value(subKey, name) ? platform::Status::Ok : platform::Status::NotFound;
}

void FakeRegistry::set(const std::wstring& subKey, const std::wstring& name,
                       const std::wstring& value) {
    Values& values = keys_[registryKeyOf(subKey)];
    const auto [entry, added] = values.try_emplace(platform::upperCase(name), Value{name, value});
    if (!added) {
        entry->second.data = value;
    }
}

std::optional<std::wstring> FakeRegistry::value(const std::wstring& subKey,
                                                const std::wstring& name) const {
    const auto key = keys_.find(registryKeyOf(subKey));
    if (key == keys_.end()) {
        return std::nullopt;
    }
    const auto found = key->second.find(platform::upperCase(name));
    if (found == key->second.end()) {
        return std::nullopt;
    }
    return found->second.data;
}

bool FakeRegistry::hasKey(const std::wstring& subKey) const {
    return keys_.count(registryKeyOf(subKey)) != 0;
}

namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

std::optional<wchar_t> driveLetterOf(wchar_t c) {
    const wchar_t letter = platform::upperCase(c);
    if (letter < L'A' || letter > L'Z') {
        return std::nullopt;
    }
    return letter;
}

}  // namespace

FakeSystem::FakeSystem() {
    addDrive(L'C', platform::DriveKind::Fixed,
             platform::DiskSizes{40 * kGiB, 100 * kGiB, 40 * kGiB});
}

const FakeSystem::Drive* FakeSystem::driveOf(const std::wstring& root) const {
    if (root.size() < 2 || root[1] != L':') {
        return nullptr;
    }
    const std::optional<wchar_t> letter = driveLetterOf(root[0]);
    if (!letter) {
        return nullptr;
    }
    const auto found = driveInfo_.find(*letter);
    return found == driveInfo_.end() ? nullptr : &found->second;
}

platform::DriveKind FakeSystem::driveKind(const std::wstring& root) {
    const Drive* drive = driveOf(root);
    return drive == nullptr ? platform::DriveKind::NoRootDir : drive->type;
}

Status FakeSystem::diskSizes(const std::wstring& root, platform::DiskSizes& sizes) {
    const Drive* drive = driveOf(root);
    if (drive == nullptr) {
        return Status::NotFound;
    }
    if (drive->sizesFail) {
        return Status::Failed;
    }
    sizes = drive->sizes;
    return Status::Ok;
}

bool FakeSystem::claimSingleInstance(const std::wstring& name) {
    const bool claimedBefore =
        std::find(claimedInstances.begin(), claimedInstances.end(), name) != claimedInstances.end();
    claimedInstances.push_back(name);
    return !otherInstanceRunning && !claimedBefore;
}

Status FakeSystem::restartWindows() {
    ++restartRequests;
    return restartAnswer;
}

void FakeSystem::sleep(unsigned milliseconds) {
    sleeps.push_back(milliseconds);
    if (onSleep) {
        onSleep(milliseconds);
    }
}

void FakeSystem::addDrive(wchar_t letter, platform::DriveKind type, platform::DiskSizes sizes) {
    const std::optional<wchar_t> upper = driveLetterOf(letter);
    if (!upper) {
        return;
    }
    drives_ |= 1u << (*upper - L'A');
    driveInfo_[*upper] = Drive{type, sizes, false};
}

void FakeSystem::removeDrive(wchar_t letter) {
    const std::optional<wchar_t> upper = driveLetterOf(letter);
    if (!upper) {
        return;
    }
    drives_ &= ~(1u << (*upper - L'A'));
    driveInfo_.erase(*upper);
}

void FakeSystem::failSizes(wchar_t letter) {
    const std::optional<wchar_t> upper = driveLetterOf(letter);
    if (upper && driveInfo_.count(*upper) != 0) {
        driveInfo_[*upper].sizesFail = true;
    }
}

namespace {

// Code page 1252 from 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendNumber(std::wstring& text, int value, int digits) {
    std::wstring number = std::to_wstring(value);
    if (number.size() < static_cast<std::size_t>(digits)) {
        number.insert(0, static_cast<std::size_t>(digits) - number.size(), L'0');
    }
    text += number;
}

}  // namespace

std::wstring FakeLocale::shortDate(const platform::DateTime& when) {
    if (when.year < 1 || when.year > 9999 || when.day < 1 ||
        when.day > platform::daysInMonth(when.year, when.month)) {
        return {};
    }
    std::wstring text;
    appendNumber(text, when.day, 2);
    text += L'/';
    appendNumber(text, when.month, 2);
    text += L'/';
    appendNumber(text, when.year, 4);
    return text;
}

std::wstring FakeLocale::longTime(const platform::DateTime& when) {
    if (when.hour < 0 || when.hour > 23 || when.minute < 0 || when.minute > 59 || when.second < 0 ||
        when.second > 59) {
        return {};
    }
    std::wstring text;
    appendNumber(text, when.hour, 2);
    text += L':';
    appendNumber(text, when.minute, 2);
    text += L':';
    appendNumber(text, when.second, 2);
    return text;
}

std::optional<platform::DateTime> FakeLocale::parseDate(const std::wstring& text) {
    return platform::parseDateText(text, kShortDatePicture);
}

std::optional<unsigned char> FakeLocale::toAnsi(wchar_t c) {
    const auto code = static_cast<char32_t>(c);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<unsigned char>(code);
    }
    for (std::size_t i = 0; i < std::size(kCp1252High); ++i) {
        if (kCp1252High[i] == code) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

wchar_t FakeLocale::fromAnsi(unsigned char code) {
    if (code >= 0x80 && code < 0xA0) {
        return static_cast<wchar_t>(kCp1252High[code - 0x80]);
    }
    return static_cast<wchar_t>(code);
}

}  // namespace dustrel::testing
