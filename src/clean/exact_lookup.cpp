#include "clean/exact_lookup.h"

#include <vector>

namespace dustrel::clean {

namespace {

constexpr std::size_t kRootLength = 3;  // "C:\"

bool startsAtDriveRoot(const std::wstring& path) {
    return path.size() > kRootLength && path[1] == L':' && path[2] == L'\\';
}

}  // namespace

Presence ExactLookup::of(const std::wstring& path) {
    if (!startsAtDriveRoot(path)) {
        return Presence::Doubtful;
    }
    std::wstring folder = path.substr(0, kRootLength);
    std::size_t start = kRootLength;
    for (;;) {
        const std::size_t end = path.find(L'\\', start);
        const bool last = end == std::wstring::npos;
        const std::wstring name = path.substr(start, last ? std::wstring::npos : end - start);
        if (name.empty()) {
            return Presence::Doubtful;
        }
        const Listing& listing = listingOf(folder);
        if (listing.status == platform::Status::NotFound) {
            return Presence::Gone;
        }
        if (listing.status != platform::Status::Ok) {
            return Presence::Doubtful;
        }
        const auto found = listing.entries.find(name);
        if (found == listing.entries.end()) {
            return Presence::Gone;
        }
        const platform::FolderEntry& entry = found->second;
        if (entry.link) {
            return Presence::Doubtful;
        }
        if (last) {
            return entry.directory ? Presence::Doubtful : Presence::File;
        }
        if (!entry.directory) {
            // A file stands where a folder of the path was: nothing of the path is there.
            return Presence::Gone;
        }
        folder += name;
        folder += L'\\';
        start = end + 1;
    }
}

const ExactLookup::Listing& ExactLookup::listingOf(const std::wstring& folder) {
    const auto cached = listings_.find(folder);
    if (cached != listings_.end()) {
        return cached->second;
    }
    Listing listing;
    std::vector<platform::FolderEntry> entries;
    listing.status = files_.listFolder(folder, entries);
    if (listing.status == platform::Status::Ok) {
        listing.entries.reserve(entries.size());
        for (platform::FolderEntry& entry : entries) {
            std::wstring name = entry.name;
            listing.entries.emplace(std::move(name), std::move(entry));
        }
    }
    return listings_.emplace(folder, std::move(listing)).first->second;
}

}  // namespace dustrel::clean
