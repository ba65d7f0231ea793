#include "support/fake_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cwchar>
#include <iterator>
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

std::vector<std::wstring> split(std::wstring_view path, bool slashToo) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\' || (slashToo && path[i] == L'/')) {
            parts.emplace_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    if (parts.size() > 1 && parts.back().empty()) {
        parts.pop_back();  // "C:\" and "C:\dir\" name the folder
    }
    return parts;
}

// What the plain reading makes of one name.
std::wstring trimmedName(std::wstring name) {
    if (name != L"." && name != L"..") {
        name.erase(name.find_last_not_of(L". ") + 1);
    }
    return name;
}

bool namesDevice(std::wstring_view name) {
    std::wstring base = upper(name.substr(0, name.find(L'.')));
    base.erase(base.find_last_not_of(L' ') + 1);
    return base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" ||
           (base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) &&
            base[3] >= L'1' && base[3] <= L'9');
}

}  // namespace

const FakeFileSystem::Entry* FakeFileSystem::at(const std::wstring& truePath) const {
    const auto found = entries_.find(truePath);
    return found == entries_.end() ? nullptr : &found->second;
}

std::vector<std::pair<std::wstring, const FakeFileSystem::Entry*>> FakeFileSystem::children(
    const std::wstring& folder) const {
    const std::wstring prefix = folder + L'\\';
    std::vector<std::pair<std::wstring, const Entry*>> found;
    for (auto it = entries_.lower_bound(prefix);
         it != entries_.end() && it->first.starts_with(prefix); ++it) {
        if (it->first.find(L'\\', prefix.size()) == std::wstring::npos) {
            found.emplace_back(it->first.substr(prefix.size()), &it->second);
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.second->order < b.second->order; });
    return found;
}

// The true path of the folder's entry of exactly that name, else (when `anyCase`) of the first
// made whose name differs only in case.
std::optional<std::wstring> FakeFileSystem::child(const std::wstring& folder,
                                                  const std::wstring& name, bool anyCase) const {
    const std::wstring exact = folder + L'\\' + name;
    if (at(exact) != nullptr || !anyCase) {
        return at(exact) != nullptr ? std::optional(exact) : std::nullopt;
    }
    const auto found = folded_.find(upper(exact));
    if (found == folded_.end() || found->second.empty()) {
        return std::nullopt;
    }
    return found->second.front();
}

// The FileSystem calls take the "\\?\" form the Win32 implementation makes of a path, and the
// plain reading where it makes none: the text is cleaned up before the disk is looked at, and a
// device's name (con.tmp, nul.log) at the end names the device.
std::optional<std::wstring> FakeFileSystem::resolve(const std::wstring& path, bool plain,
                                                    bool followLast, int links) const {
    const std::wstring form = plain ? path : platform::exactPathForm(path);
    plain = !form.starts_with(kExactPrefix);
    std::vector<std::wstring> parts;
    for (std::wstring name : split(std::wstring_view(form).substr(plain ? 0 : 4), plain)) {
        if (!plain) {
            parts.push_back(std::move(name));
        } else if ((name = trimmedName(std::move(name))) == L"..") {
            parts.resize(parts.size() - (parts.size() > 1 ? 1 : 0));
        } else if (!name.empty() && name != L".") {
            parts.push_back(std::move(name));
        }
    }
    // Only drives have a root entry.
    if (parts.empty() || at(upper(parts[0])) == nullptr ||
        (plain && parts.size() > 1 && namesDevice(parts.back()))) {
        return std::nullopt;
    }
    std::optional<std::wstring> current = upper(parts[0]);
    for (std::size_t i = 1; i < parts.size() && current; ++i) {
        current =
            at(*current)->kind == Kind::Folder ? child(*current, parts[i], true) : std::nullopt;
        const Entry* found = current ? at(*current) : nullptr;
        if (found != nullptr && found->kind == Kind::Link && (i + 1 < parts.size() || followLast)) {
            current = links < kMostLinksFollowed ? resolve(found->target, false, true, links + 1)
                                                 : std::nullopt;
        }
    }
    return current;
}

// Makes what is missing of a path, names as given; a link on the way leads on.
std::wstring FakeFileSystem::make(const std::wstring& path, Kind kind) {
    const std::vector<std::wstring> parts = split(path, false);
    std::wstring current = upper(parts[0]);
    entries_.try_emplace(current);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const std::optional<std::wstring> found =
            child(current, parts[i], !at(current)->caseSensitive);
        current = found.value_or(current + L'\\' + parts[i]);
        if (!found) {
            entries_[current].kind = last ? kind : Kind::Folder;
            entries_[current].order = added_++;
            folded_[upper(current)].push_back(current);
        }
        if (!last && at(current)->kind == Kind::Link) {
            current = make(at(current)->target, Kind::Folder);
        }
    }
    return current;
}

// The true path a new entry at `path` gets, when its folder is there.
std::optional<std::wstring> FakeFileSystem::newPath(const std::wstring& path) const {
    const std::size_t slash = path.find_last_of(L'\\', path.size() - 2);
    const std::optional<std::wstring> folder =
        slash == std::wstring::npos ? std::nullopt
                                    : resolve(path.substr(0, slash + 1), false, true);
    if (!folder || at(*folder)->kind != Kind::Folder) {
        return std::nullopt;
    }
    const std::wstring name = path.substr(slash + 1);
    return *folder + L'\\' + (name.ends_with(L'\\') ? name.substr(0, name.size() - 1) : name);
}

void FakeFileSystem::changed(const std::wstring& truePath) const {
    if (onChange) {
        onChange(truePath);
    }
}

Status FakeFileSystem::listFolder(const std::wstring& folder,
                                  std::vector<platform::FolderEntry>& entries) {
    const Lock lock(mutex_);
    listings_.push_back(folder);
    entries.clear();
    const std::optional<std::wstring> found = resolve(folder, false, true);
    const Entry* listed = found ? at(*found) : nullptr;
    if (listed == nullptr || listed->kind != Kind::Folder) {
        return Status::NotFound;
    }
    if (listed->listedUpTo == 0) {
        return Status::AccessDenied;
    }
    for (const auto& [name, child] : children(*found)) {
        if (entries.size() == listed->listedUpTo) {
            return Status::Failed;
        }
        // A file's size is its contents'; its last write, when it was added.
        const bool link = child->kind == Kind::Link && !child->seenAsFolder;
        entries.push_back(
            {name, child->kind != Kind::File, link, child->bytes.size(), child->order});
    }
    return Status::Ok;
}

bool FakeFileSystem::isDirectory(const std::wstring& path) {
    const std::optional<std::wstring> found = resolve(path, false, false);
    return found && at(*found)->kind != Kind::File;
}

Status FakeFileSystem::createFolder(const std::wstring& path) {
    if (exists(path)) {
        return Status::AlreadyExists;
    }
    const std::optional<std::wstring> made = newPath(path);
    if (!made) {
        return Status::NotFound;
    }
    std::wstring folder;
    {
        const Lock lock(mutex_);
        folder = make(*made, Kind::Folder);
    }
    changed(folder);
    return Status::Ok;
}

Status FakeFileSystem::writeFile(const std::wstring& path, std::string_view bytes,
                                 platform::WriteMode mode) {
    const std::optional<std::wstring> found = resolve(path, false, false);
    if (const Entry* existing = found ? at(*found) : nullptr; existing != nullptr) {
        if (existing->kind != Kind::File) {
            return Status::AccessDenied;
        }
        if (mode == platform::WriteMode::CreateNew || existing->locked) {
            return existing->locked ? Status::Failed : Status::AlreadyExists;
        }
    }
    const std::optional<std::wstring> target = found ? found : newPath(path);
    if (!target) {
        return Status::NotFound;
    }
    std::wstring made;
    {
        const Lock lock(mutex_);
        made = make(*target, Kind::File);
        Entry& file = entries_.at(made);
        file.bytes = (mode == platform::WriteMode::Append ? file.bytes : "") + std::string(bytes);
    }
    changed(made);
    return Status::Ok;
}

Status FakeFileSystem::readFile(const std::wstring& path, std::string& bytes) {
    const std::optional<std::string> found = contents(path);
    bytes = found.value_or(std::string());
    return found ? Status::Ok : exists(path) ? Status::AccessDenied : Status::NotFound;
}

Status FakeFileSystem::deleteFile(const std::wstring& path) {
    const std::optional<std::wstring> found = resolve(path, false, false);
    if (!found) {
        return Status::NotFound;
    }
    return at(*found)->kind == Kind::File ? remove(*found) : Status(Status::AccessDenied);
}

Status FakeFileSystem::remove(const std::wstring& truePath) {
    const std::vector<std::wstring> keys = subtree(truePath);
    if (keys.empty()) {
        return Status::NotFound;
    }
    if (std::any_of(keys.begin(), keys.end(), [&](const auto& key) { return at(key)->locked; })) {
        return Status::Failed;
    }
    erase(keys);
    changed(truePath);
    return Status::Ok;
}

std::vector<std::wstring> FakeFileSystem::subtree(const std::wstring& truePath) const {
    std::vector<std::wstring> keys;
    if (at(truePath) != nullptr) {
        keys.push_back(truePath);
        const std::wstring prefix = truePath + L'\\';
        for (auto it = entries_.lower_bound(prefix);
             it != entries_.end() && it->first.starts_with(prefix); ++it) {
            keys.push_back(it->first);
        }
    }
    return keys;
}

void FakeFileSystem::erase(const std::vector<std::wstring>& truePaths) {
    const Lock lock(mutex_);
    for (const std::wstring& path : truePaths) {
        entries_.erase(path);
        std::erase(folded_[upper(path)], path);
    }
}

void FakeFileSystem::move(const std::wstring& from, const std::wstring& to) {
    const std::wstring source = resolve(from, false, false).value();
    const std::wstring target = newPath(to).value();
    {
        const Lock lock(mutex_);
        for (const std::wstring& key : subtree(source)) {
            auto node = entries_.extract(key);
            std::erase(folded_[upper(key)], key);
            node.key() = target + key.substr(source.size());
            folded_[upper(node.key())].push_back(node.key());
            entries_.insert(std::move(node));
        }
    }
    changed(source);
}

class FakeOpenedFile final : public platform::OpenedFile {
public:
    FakeOpenedFile(FakeFileSystem& files, std::wstring path, std::uint64_t id,
                   platform::OpenedFacts facts)
        : files_(files), path_(std::move(path)), id_(id), facts_(facts) {}

    Status describe(platform::OpenedFacts& facts) override {
        facts = facts_;
        return Status::Ok;
    }
    Status deleteNow() override {
        if (files_.duringDeletion) {
            files_.duringDeletion(path_, true);
        }
        for (const auto& [truePath, entry] : files_.entries_) {
            if (entry.order == id_) {
                const std::wstring gone = truePath;
                files_.erase({gone});
                files_.changed(gone);
                return Status::Ok;
            }
        }
        return Status::NotFound;
    }

private:
    FakeFileSystem& files_;
    std::wstring path_;
    std::uint64_t id_;
    platform::OpenedFacts facts_;
};

Status FakeFileSystem::openForDeletion(const std::wstring& path,
                                       std::unique_ptr<platform::OpenedFile>& file) {
    file.reset();
    if (duringDeletion) {
        duringDeletion(path, false);
    }
    if (!platform::hasUsableNames(path)) {
        return Status::Failed;
    }
    const std::optional<std::wstring> found = resolve(path, false, false);
    if (!found) {
        return Status::NotFound;
    }
    const Entry& entry = *at(*found);
    if (entry.locked) {
        return Status::Failed;  // open elsewhere without sharing deletion
    }
    file = std::make_unique<FakeOpenedFile>(
        *this, path, entry.order,
        platform::OpenedFacts{entry.kind != Kind::File, entry.kind == Kind::Link, *found == path});
    return Status::Ok;
}

std::optional<std::string> FakeFileSystem::contents(const std::wstring& path) const {
    const std::optional<std::wstring> found = resolve(path, false, true);
    const Entry* file = found ? at(*found) : nullptr;
    if (file == nullptr || file->kind != Kind::File) {
        return std::nullopt;
    }
    return file->bytes;
}

std::vector<std::wstring> FakeFileSystem::allFiles() const {
    std::vector<std::wstring> files;
    for (const auto& [path, entry] : entries_) {
        if (entry.kind == Kind::File) {
            files.push_back(path);
        }
    }
    return files;
}

void FakeFileSystem::lock(const std::wstring& file) {
    if (const std::optional<std::wstring> found = resolve(file, false, false)) {
        const Lock lock(mutex_);
        entries_.at(*found).locked = true;
    }
}

// Like the shell, stops at the first path it cannot delete.
Status FakeShell::deleteFiles(const std::vector<std::wstring>& paths, bool toRecycleBin) {
    if (paths.empty()) {
        return Status::Ok;
    }
    deleteCalls_.push_back(DeleteCall{paths, toRecycleBin});
    Status status = Status::Ok;
    working_ = true;
    for (std::size_t i = 0; i < paths.size() && platform::ok(status); ++i) {
        // Nothing, when the path names nothing or a device, which no deletion removes.
        const std::optional<std::wstring> target = files_.resolve(paths[i], true, false);
        if (!target) {
            status = Status::NotFound;
        } else if (leftInPlace_.count(paths[i]) == 0) {
            status = files_.remove(*target);
        }
        if (i == 0 && duringOperation) {
            duringOperation();
        }
    }
    working_ = false;
    return status;
}

std::wstring FakeRegistry::keyOf(const std::wstring& subKey) {
    const std::size_t begin = std::min(subKey.find_first_not_of(L'\\'), subKey.size());
    const std::size_t end = subKey.find_last_not_of(L'\\') + 1;
    return upper(std::wstring_view(subKey).substr(begin, end > begin ? end - begin : 0));
}

bool FakeRegistry::under(const std::vector<std::wstring>& keys, const std::wstring& subKey) {
    const std::wstring key = keyOf(subKey);
    return std::any_of(keys.begin(), keys.end(), [&](const std::wstring& refused) {
        return key == refused || key.starts_with(refused + L"\\");
    });
}

Status FakeRegistry::readString(const std::wstring& subKey, const std::wstring& name,
                                std::wstring& value) {
    if (under(unreadable_, subKey)) {
        return refusal;
    }
    const std::optional<std::wstring> found = this->value(subKey, name);
    value = found.value_or(value);
    return found ? Status::Ok : Status::NotFound;
}

Status FakeRegistry::queryValue(const std::wstring& subKey, const std::wstring& name) {
    if (under(unreadable_, subKey)) {
        return refusal;
    }
    return value(subKey, name) ? Status::Ok : Status::NotFound;
}

Status FakeRegistry::createKey(const std::wstring& subKey) {
    if (refuses(subKey)) {
        return refusal;
    }
    keys_[keyOf(subKey)];
    ++writes;
    return Status::Ok;
}

Status FakeRegistry::writeString(const std::wstring& subKey, const std::wstring& name,
                                 const std::wstring& value) {
    if (refuses(subKey) || refuseValueWrites_) {
        return refusal;
    }
    set(subKey, name, value);
    ++writes;
    return Status::Ok;
}

Status FakeRegistry::deleteValue(const std::wstring& subKey, const std::wstring& name) {
    const auto key = keys_.find(keyOf(subKey));
    if (key != keys_.end() && (refuses(subKey) || refuseValueWrites_)) {
        return refusal;
    }
    if (key == keys_.end() || key->second.erase(upper(name)) == 0) {
        return Status::NotFound;
    }
    ++writes;
    return Status::Ok;
}

void FakeRegistry::set(const std::wstring& subKey, const std::wstring& name,
                       const std::wstring& value) {
    keys_[keyOf(subKey)][upper(name)] = value;
}

std::optional<std::wstring> FakeRegistry::value(const std::wstring& subKey,
                                                const std::wstring& name) const {
    const auto key = keys_.find(keyOf(subKey));
    if (key == keys_.end() || key->second.count(upper(name)) == 0) {
        return std::nullopt;
    }
    return key->second.at(upper(name));
}

std::uint32_t FakeSystem::logicalDrives() {
    std::uint32_t letters = 0;
    for (const auto& [letter, drive] : drives_) {
        letters |= 1u << (letter - L'A');
    }
    return letters;
}

const FakeSystem::Drive* FakeSystem::driveOf(const std::wstring& root) const {
    const auto found = root.size() < 2 || root[1] != L':'
                           ? drives_.end()
                           : drives_.find(platform::upperCase(root[0]));
    return found == drives_.end() ? nullptr : &found->second;
}

platform::DriveKind FakeSystem::driveKind(const std::wstring& root) {
    const Drive* drive = driveOf(root);
    return drive == nullptr ? platform::DriveKind::NoRootDir : drive->type;
}

Status FakeSystem::diskSizes(const std::wstring& root, platform::DiskSizes& sizes) {
    const Drive* drive = driveOf(root);
    if (drive != nullptr && !drive->sizesFail) {
        sizes = drive->sizes;
    }
    return drive == nullptr ? Status::NotFound : drive->sizesFail ? Status::Failed : Status::Ok;
}

Status FakeSystem::seekPenalty(const std::wstring& root, bool& penalty) {
    const Drive* drive = driveOf(root);
    const std::optional<bool> answer = drive != nullptr ? drive->seekPenalty : std::nullopt;
    penalty = answer.value_or(false);
    return answer ? Status::Ok : Status::Failed;
}

bool FakeSystem::claimSingleInstance(const std::wstring& name) {
    return claimed_.insert(platform::singleInstanceGuardName(name)).second && !otherInstanceRunning;
}

namespace {

// Code page 1252 from 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::wstring printed(const wchar_t* format, int a, int b, int c) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), format, a, b, c);
    return text;
}

}  // namespace

std::wstring FakeLocale::shortDate(const platform::DateTime& when) {
    if (when.year < 1 || when.year > 9999 || when.day < 1 ||
        when.day > platform::daysInMonth(when.year, when.month)) {
        return {};
    }
    return printed(L"%02d/%02d/%04d", when.day, when.month, when.year);
}

std::wstring FakeLocale::longTime(const platform::DateTime& when) {
    if (when.hour < 0 || when.hour > 23 || when.minute < 0 || when.minute > 59 || when.second < 0 ||
        when.second > 59) {
        return {};
    }
    return printed(L"%02d:%02d:%02d", when.hour, when.minute, when.second);
}

std::optional<platform::DateTime> FakeLocale::localTime(std::uint64_t fileTime) {
    using namespace std::chrono;
    if (fileTime >= (std::uint64_t{1} << 63)) {
        return std::nullopt;
    }
    const sys_seconds when{
        seconds{static_cast<long long>(fileTime / 10'000'000) - 11'644'473'600 + 3600}};
    const year_month_day date{floor<days>(when)};
    const hh_mm_ss time{when - floor<days>(when)};
    return platform::DateTime{
        int(date.year()),          int(unsigned(date.month())), int(unsigned(date.day())),
        int(time.hours().count()), int(time.minutes().count()), int(time.seconds().count())};
}

std::optional<platform::DateTime> FakeLocale::parseDate(const std::wstring& text) {
    return platform::parseDateText(text, L"dd/MM/yyyy");
}

std::optional<unsigned char> FakeLocale::toAnsi(wchar_t c) {
    const auto code = static_cast<char32_t>(c);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<unsigned char>(code);
    }
    const auto* found = std::find(std::begin(kCp1252High), std::end(kCp1252High), code);
    if (found == std::end(kCp1252High)) {
        return std::nullopt;
    }
    return static_cast<unsigned char>(0x80 + (found - kCp1252High));
}

wchar_t FakeLocale::fromAnsi(unsigned char code) {
    if (code >= 0x80 && code < 0xA0) {
        return static_cast<wchar_t>(kCp1252High[code - 0x80]);
    }
    return static_cast<wchar_t>(code);
}

}  // namespace dustrel::testing
