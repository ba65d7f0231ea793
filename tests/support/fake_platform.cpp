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

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::vector<std::wstring> partsOf(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::size_t i = 0;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        // The server keeps its leading backslashes so that full paths come back as they went in.
        std::size_t end = 2;
        while (end < path.size() && !isSeparator(path[end])) {
            ++end;
        }
        parts.push_back(L"\\\\" + path.substr(2, end - 2));
        i = end;
    }
    while (i < path.size()) {
        if (isSeparator(path[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < path.size() && !isSeparator(path[end])) {
            ++end;
        }
        parts.push_back(path.substr(i, end - i));
        i = end;
    }
    return parts;
}

std::wstring keyOf(const std::wstring& path) {
    std::wstring key;
    for (const std::wstring& part : partsOf(path)) {
        if (!key.empty()) {
            key += L'\\';
        }
        key += platform::upperCase(part);
    }
    return key;
}

bool isAtOrBelow(const std::wstring& key, const std::wstring& folderKey) {
    return key.size() >= folderKey.size() && key.compare(0, folderKey.size(), folderKey) == 0 &&
           (key.size() == folderKey.size() || key[folderKey.size()] == L'\\');
}

}  // namespace

struct FakeFileSystem::Node {
    std::wstring name;
    bool directory = true;
    bool reparsePoint = false;
    std::string bytes;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
    std::unordered_map<std::wstring, Node*> byKey;

    Node* child(const std::wstring& childName) const {
        const auto found = byKey.find(platform::upperCase(childName));
        return found == byKey.end() ? nullptr : found->second;
    }

    Node& add(const std::wstring& childName, bool isDirectory) {
        auto node = std::make_unique<Node>();
        node->name = childName;
        node->directory = isDirectory;
        node->parent = this;
        Node& added = *node;
        byKey.emplace(platform::upperCase(childName), &added);
        children.push_back(std::move(node));
        return added;
    }

    std::wstring path() const {
        std::vector<const Node*> chain;
        for (const Node* node = this; node->parent != nullptr; node = node->parent) {
            chain.push_back(node);
        }
        std::wstring result;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            if (!result.empty()) {
                result += L'\\';
            }
            result += (*it)->name;
        }
        return result;
    }
};

FakeFileSystem::FakeFileSystem() : root_(std::make_unique<Node>()) {}

FakeFileSystem::~FakeFileSystem() = default;

FakeFileSystem::Node* FakeFileSystem::find(const std::wstring& path) const {
    const std::vector<std::wstring> parts = partsOf(path);
    if (parts.empty()) {
        return nullptr;
    }
    Node* node = root_.get();
    for (const std::wstring& part : parts) {
        node = node->directory ? node->child(part) : nullptr;
        if (node == nullptr) {
            return nullptr;
        }
    }
    return node;
}

FakeFileSystem::Node* FakeFileSystem::make(const std::wstring& path, bool directory) {
    const std::vector<std::wstring> parts = partsOf(path);
    Node* node = root_.get();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        Node* next = node->child(parts[i]);
        if (next == nullptr) {
            next = &node->add(parts[i], last ? directory : true);
        }
        node = next;
    }
    return node;
}

Status FakeFileSystem::refusal(const std::wstring& path) const {
    if (refuseAllWrites_) {
        return Status::AccessDenied;
    }
    const std::wstring key = keyOf(path);
    for (const std::wstring& folder : refusedFolders_) {
        if (isAtOrBelow(key, folder)) {
            return Status::AccessDenied;
        }
    }
    return Status::Ok;
}

bool FakeFileSystem::holdsLock(const Node& node, const std::wstring& key) const {
    if (!node.directory) {
        return lockedFiles_.count(key) != 0;
    }
    return std::any_of(lockedFiles_.begin(), lockedFiles_.end(),
                       [&key](const std::wstring& locked) { return isAtOrBelow(locked, key); });
}

void FakeFileSystem::detach(Node& node) {
    Node& parent = *node.parent;
    parent.byKey.erase(platform::upperCase(node.name));
    const auto it = std::find_if(parent.children.begin(), parent.children.end(),
                                 [&node](const auto& child) { return child.get() == &node; });
    parent.children.erase(it);
}

Status FakeFileSystem::listFolder(const std::wstring& folder,
                                  std::vector<platform::FolderEntry>& entries) {
    entries.clear();
    const Node* node = find(folder);
    if (node == nullptr || !node->directory) {
        return Status::NotFound;
    }
    if (unlistable_.count(keyOf(folder)) != 0) {
        return Status::AccessDenied;
    }
    for (const auto& child : node->children) {
        entries.push_back(
            platform::FolderEntry{child->name, child->directory, child->reparsePoint});
    }
    return Status::Ok;
}

bool FakeFileSystem::exists(const std::wstring& path) {
    return find(path) != nullptr;
}

bool FakeFileSystem::isDirectory(const std::wstring& path) {
    const Node* node = find(path);
    return node != nullptr && node->directory;
}

Status FakeFileSystem::createFolder(const std::wstring& path) {
    if (find(path) != nullptr) {
        return Status::AlreadyExists;
    }
    std::vector<std::wstring> parts = partsOf(path);
    if (parts.size() < 2) {
        return Status::NotFound;
    }
    const std::wstring name = parts.back();
    parts.pop_back();
    Node* parent = root_.get();
    for (const std::wstring& part : parts) {
        parent = parent->directory ? parent->child(part) : nullptr;
        if (parent == nullptr) {
            return Status::NotFound;
        }
    }
    if (!parent->directory) {
        return Status::NotFound;
    }
    const Status refused = refusal(path);
    if (!platform::ok(refused)) {
        return refused;
    }
    parent->add(name, true);
    return Status::Ok;
}

Status FakeFileSystem::writeFile(const std::wstring& path, std::string_view bytes,
                                 platform::WriteMode mode) {
    Node* node = find(path);
    if (node != nullptr && node->directory) {
        return Status::AccessDenied;
    }
    if (node != nullptr && mode == platform::WriteMode::CreateNew) {
        return Status::AlreadyExists;
    }
    const Status refused = refusal(path);
    if (!platform::ok(refused)) {
        return refused;
    }
    if (node != nullptr && holdsLock(*node, keyOf(path))) {
        return Status::Failed;
    }
    if (node == nullptr) {
        std::vector<std::wstring> parts = partsOf(path);
        if (parts.size() < 2) {
            return Status::NotFound;
        }
        parts.pop_back();
        std::wstring parentPath;
        for (const std::wstring& part : parts) {
            parentPath += part + L'\\';
        }
        if (!isDirectory(parentPath)) {
            return Status::NotFound;
        }
        node = make(path, false);
    }
    if (mode == platform::WriteMode::Append) {
        node->bytes.append(bytes);
    } else {
        node->bytes.assign(bytes);
    }
    return Status::Ok;
}

Status FakeFileSystem::readFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    const Node* node = find(path);
    if (node == nullptr) {
        return Status::NotFound;
    }
    if (node->directory) {
        return Status::AccessDenied;
    }
    bytes = node->bytes;
    return Status::Ok;
}

Status FakeFileSystem::deleteFile(const std::wstring& path) {
    Node* node = find(path);
    if (node == nullptr) {
        return Status::NotFound;
    }
    if (node->directory) {
        return Status::AccessDenied;
    }
    return remove(path);
}

Status FakeFileSystem::remove(const std::wstring& path) {
    Node* node = find(path);
    if (node == nullptr) {
        return Status::NotFound;
    }
    const Status refused = refusal(path);
    if (!platform::ok(refused)) {
        return refused;
    }
    if (holdsLock(*node, keyOf(path))) {
        return Status::Failed;
    }
    detach(*node);
    return Status::Ok;
}

void FakeFileSystem::addFile(const std::wstring& path, std::string_view bytes) {
    make(path, false)->bytes.assign(bytes);
}

void FakeFileSystem::addFolder(const std::wstring& path) {
    make(path, true);
}

void FakeFileSystem::addReparsePoint(const std::wstring& path) {
    make(path, true)->reparsePoint = true;
}

std::optional<std::string> FakeFileSystem::contents(const std::wstring& path) const {
    const Node* node = find(path);
    if (node == nullptr || node->directory) {
        return std::nullopt;
    }
    return node->bytes;
}

std::vector<std::wstring> FakeFileSystem::allFiles() const {
    std::vector<std::wstring> files;
    std::vector<const Node*> pending{root_.get()};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        if (!node->directory) {
            files.push_back(node->path());
            continue;
        }
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
            pending.push_back(it->get());
        }
    }
    return files;
}

void FakeFileSystem::failListing(const std::wstring& folder) {
    unlistable_.insert(keyOf(folder));
}

void FakeFileSystem::refuseWrites() {
    refuseAllWrites_ = true;
}

void FakeFileSystem::refuseWritesUnder(const std::wstring& folder) {
    refusedFolders_.push_back(keyOf(folder));
}

void FakeFileSystem::lock(const std::wstring& file) {
    lockedFiles_.insert(keyOf(file));
}

void FakeFileSystem::unlock(const std::wstring& file) {
    lockedFiles_.erase(keyOf(file));
}

Status FakeShell::deleteFiles(const std::vector<std::wstring>& paths, bool toRecycleBin) {
    if (paths.empty()) {
        return Status::Ok;
    }
    deleteCalls_.push_back(DeleteCall{paths, toRecycleBin});
    if (failEverything_) {
        return Status::Failed;
    }
    std::size_t handled = 0;
    for (const std::wstring& path : paths) {
        if (stopAfter_ && handled == *stopAfter_) {
            return Status::Failed;
        }
        ++handled;
        if (leftInPlace_.count(keyOf(path)) != 0) {
            continue;
        }
        const Status status = files_.remove(path);
        if (!platform::ok(status)) {
            return status;
        }
        if (toRecycleBin) {
            recycled_.push_back(path);
        }
    }
    return Status::Ok;
}

Status FakeShell::open(const std::wstring& target) {
    opened_.push_back(target);
    return failOpening_ ? Status::Failed : Status::Ok;
}

void FakeShell::leaveInPlace(const std::wstring& path) {
    leftInPlace_.insert(keyOf(path));
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

long FakeRegistry::readString(const std::wstring& subKey, const std::wstring& name,
                              std::wstring& value) {
    const std::optional<std::wstring> found = this->value(subKey, name);
    if (!found) {
        return platform::kRegNotFound;
    }
    value = *found;
    return platform::kRegSuccess;
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

long FakeRegistry::createKey(const std::wstring& subKey) {
    if (refuses(subKey)) {
        return platform::kRegAccessDenied;
    }
    keys_[registryKeyOf(subKey)];
    return platform::kRegSuccess;
}

long FakeRegistry::writeString(const std::wstring& subKey, const std::wstring& name,
                               const std::wstring& value) {
    if (refuses(subKey) || refuseValueWrites_) {
        return platform::kRegAccessDenied;
    }
    set(subKey, name, value);
    return platform::kRegSuccess;
}

long FakeRegistry::deleteValue(const std::wstring& subKey, const std::wstring& name) {
    const auto key = keys_.find(registryKeyOf(subKey));
    if (key == keys_.end()) {
        return platform::kRegNotFound;
    }
    if (refuses(subKey) || refuseValueWrites_) {
        return platform::kRegAccessDenied;
    }
    return key->second.erase(platform::upperCase(name)) != 0 ? platform::kRegSuccess
                                                             : platform::kRegNotFound;
}

long FakeRegistry::queryValue(const std::wstring& subKey, const std::wstring& name) {
    return value(subKey, name) ? platform::kRegSuccess : platform::kRegNotFound;
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
    addDrive(L'C', platform::kDriveFixed, platform::DiskSizes{40 * kGiB, 100 * kGiB, 40 * kGiB});
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

int FakeSystem::driveType(const std::wstring& root) {
    const Drive* drive = driveOf(root);
    return drive == nullptr ? platform::kDriveNoRootDir : drive->type;
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

void FakeSystem::addDrive(wchar_t letter, int type, platform::DiskSizes sizes) {
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
