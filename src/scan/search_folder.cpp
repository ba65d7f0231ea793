#include "scan/search_folder.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/path_text.h"

namespace dustrel::scan {

namespace {

// Compared with exact letter case: "C:\RECYCLED" only, not "C:\Recycled" nor "C:\Data\RECYCLED".
bool isRecycledAtRoot(const std::wstring& folder, const std::wstring& name) {
    constexpr std::wstring_view kRecycled = L":\\RECYCLED";
    if (folder.size() + name.size() != kRecycled.size() + 1) {
        return false;
    }
    return std::wstring_view(folder + name).substr(1) == kRecycled;
}

void upperInto(const std::wstring& name, std::wstring& upper) {
    upper.resize(name.size());
    std::transform(name.begin(), name.end(), upper.begin(),
                   [](wchar_t c) { return platform::upperCase(c); });
}

}  // namespace

WalkEnd Search_Folder(platform::FileSystem& files, std::wstring folder,
                      std::span<const NamePattern> patterns, WalkSink& sink) {
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
        sink.folderListed();
        const std::size_t firstSubfolder = pending.size();
        for (const platform::FolderEntry& entry : entries) {
            if (entry.directory) {
                // Room for "\" and at least a one-letter name below it.
                const bool fits = current.size() + entry.name.size() + 2 <= kMaxPathLength;
                if (!entry.link && fits && !isRecycledAtRoot(current, entry.name)) {
                    pending.push_back(current + entry.name + L'\\');
                }
                continue;
            }
            if (current.size() + entry.name.size() > kMaxPathLength) {
                continue;
            }
            upperInto(entry.name, upper);
            for (std::size_t p = 0; p < patterns.size(); ++p) {
                if (patterns[p].matchesUpper(upper) && !sink.match(current, entry.name, p)) {
                    return WalkEnd::Stopped;
                }
            }
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstSubfolder), pending.end());
    }
    return WalkEnd::Finished;
}

}  // namespace dustrel::scan
