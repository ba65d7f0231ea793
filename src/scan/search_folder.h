#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "platform/file_system.h"
#include "scan/listing_ahead.h"
#include "scan/name_pattern.h"

namespace dustrel::scan {

// The longest full path a row may have: the system's own limit, 32,767 characters, for the path
// as it is handed over, with "\\?\" before it. Deletion goes through such paths; only the
// Recycle Bin's shell operation, which cannot take paths past MAX_PATH, passes these rows over.
inline constexpr std::size_t kMaxPathLength = 32767 - 4;

// What a walk reports to the scan around it.
class WalkSink {
public:
    virtual ~WalkSink() = default;
    // Once for every folder whose listing could be read, before its matches: where the window
    // is serviced.
    virtual void folderListed(const std::wstring& folder) = 0;
    // A match: `folder` ends in "\", `pattern` indexes the walk's patterns. False ends the
    // walk here (the scan was stopped).
    virtual bool match(const std::wstring& folder, const platform::FolderEntry& file,
                       std::size_t pattern) = 0;
};

enum class WalkEnd { Finished, Stopped };

// Walks `folder` and every folder below it, listing each folder once: depth first and
// pre-order (a folder's matches before anything below it), subfolders in the order the file
// system lists them. Each file name is tried against every pattern in order and reported once
// for each pattern it matches; folders are never matches. Not entered: links
// (junctions, symbolic links, mount points), which lead off the drive or round in a loop; the
// Recycle Bin folders directly under a drive root ("$Recycle.Bin", "RECYCLER", "RECYCLED", in
// any letter case; the same names deeper are ordinary folders); and folders too deep for any
// row to fit kMaxPathLength, which the system could not list. Folders that cannot be listed are
// passed over in silence.
WalkEnd Search_Folder(platform::FileSystem& files, std::wstring folder,
                      std::span<const NamePattern> patterns, WalkSink& sink);
// The same walk, with the same decisions and rows, taking its listings from threads that list
// ahead of it.
WalkEnd Search_Folder(ListingAhead& listings, std::wstring folder,
                      std::span<const NamePattern> patterns, WalkSink& sink);

}  // namespace dustrel::scan
