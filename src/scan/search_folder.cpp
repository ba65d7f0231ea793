#include "scan/search_folder.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/path_text.h"

namespace dustrel::scan {

namespace {

bool isDriveRoot(std::wstring_view folder) {
    return folder.size() == 3 && folder[1] == L':' && folder[2] == L'\\';
}

// The folders in which the versions of Windows keep a drive's Recycle Bin: 95 to Me, and
// 2000 and XP on FAT ("RECYCLED"), 2000 and XP on NTFS ("RECYCLER"), Vista on. Their files
// are deleted files under made-up names ($R....tmp), which only the bin may remove. Any letter
// case names them: the file system ignores it.
bool isRecycleBin(std::wstring_view name) {
    constexpr std::array<std::wstring_view, 3> kBins = {L"$Recycle.Bin", L"RECYCLER", L"RECYCLED"};
    return std::ranges::any_of(
        kBins, [name](std::wstring_view bin) { return platform::equalsNoCase(name, bin); });
}

void upperInto(const std::wstring& name, std::wstring& upper) {
    upper.resize(name.size());
    std::transform(name.begin(), name.end(), upper.begin(),
                   [](wchar_t c) { return platform::upperCase(c); });
}

// The walk itself, whoever lists its folders.
template <typename Lister>
WalkEnd walk(Lister& files, std::wstring folder, std::span<const NamePattern> patterns,
             WalkSink& sink) {
    if (folder.empty()) {
        return WalkEnd::Finished;
    }
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    // Folders still to walk, the next one at the back.
    std::vector<std::wstring> pending{std::move(folder)};
    std::vector<platform::FolderEntry> entries;
    std::wstring upper;
    while (!pending.empty()) {
        const std::wstring current = std::move(pending.back());
        pending.pop_back();
        // A listing that broke off part way still gives what it read.
        if (files.listFolder(current, entries) != platform::Status::Ok && entries.empty()) {
            continue;
        }
        sink.folderListed(current);
        const bool atRoot = isDriveRoot(current);
        const std::size_t firstSubfolder = pending.size();
        for (const platform::FolderEntry& entry : entries) {
            if (entry.directory) {
                // Room for "\" and at least a one-letter name below it.
                const bool fits = current.size() + entry.name.size() + 2 <= kMaxPathLength;
                if (!entry.link && fits && !(atRoot && isRecycleBin(entry.name))) {
                    pending.push_back(current + entry.name + L'\\');
                }
                continue;
            }
            if (current.size() + entry.name.size() > kMaxPathLength) {
                continue;
            }
            upperInto(entry.name, upper);
            for (std::size_t p = 0; p < patterns.size(); ++p) {
                if (patterns[p].matchesUpper(upper) && !sink.match(current, entry, p)) {
                    return WalkEnd::Stopped;
                }
            }
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstSubfolder), pending.end());
    }
    return WalkEnd::Finished;
}

}  // namespace

WalkEnd Search_Folder(platform::FileSystem& files, std::wstring folder,
                      std::span<const NamePattern> patterns, WalkSink& sink) {
    return walk(files, std::move(folder), patterns, sink);
}

WalkEnd Search_Folder(ListingAhead& listings, std::wstring folder,
                      std::span<const NamePattern> patterns, WalkSink& sink) {
    return walk(listings, std::move(folder), patterns, sink);
}

}  // namespace dustrel::scan
