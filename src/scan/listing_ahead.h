#pragma once

#include <condition_variable>
#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"

namespace dustrel::scan {

// How many threads list ahead of a walk: one per core, up to four; on a drive that pays for
// every seek (a spinning disk), one, as parallel listings there only make its head jump about.
// `cores` 0 means the count is unknown.
unsigned listingWorkers(unsigned cores, bool seekPenalty);

// Lists the folders a depth-first walk will reach next, on threads of its own, while the walk
// works through the folder it has. It guesses the walk's order from the listings themselves
// (each folder's non-link subfolders, in listing order, right after the folder) and keeps at
// most kMostAhead listings made or under way; the walk asks for each folder in turn and gets
// exactly what the file system answered when that folder was listed, status included. A
// folder the walk passes over is dropped with everything guessed below it, and one it asks
// for that nobody listed yet it lists itself, so a wrong guess costs time, never a row.
//
// Only the thread that made it calls listFolder and stop. The threads touch nothing but the
// file system and this object.
class ListingAhead {
public:
    static constexpr std::size_t kMostAhead = 256;

    ListingAhead(platform::FileSystem& files, unsigned workers);
    ~ListingAhead();
    ListingAhead(const ListingAhead&) = delete;
    ListingAhead& operator=(const ListingAhead&) = delete;

    // The listing of `folder` (ending in "\"), as FileSystem::listFolder answers it.
    platform::Status listFolder(const std::wstring& folder,
                                std::vector<platform::FolderEntry>& entries);
    // Ends the threads once each has finished the listing it is making, and drops what they
    // listed; from then on every folder is listed when asked for.
    void stop();
    // The threads listing, none once stopped.
    std::size_t workers() const { return threads_.size(); }

private:
    enum class State { Waiting, Listing, Listed, Dropped };
    struct Folder {
        std::wstring path;
        State state = State::Waiting;
        platform::Status status = platform::Status::Ok;
        std::vector<platform::FolderEntry> entries;
    };
    using Queue = std::list<Folder>;

    void work();
    // Puts the subfolders a walk may enter from `entries` of `parent` in front of `before`.
    void guessBelow(const std::wstring& parent, const std::vector<platform::FolderEntry>& entries,
                    Queue::iterator before);

    platform::FileSystem& files_;
    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable listed_;
    // The folders the walk is expected to ask for, in the order it will.
    Queue queue_;
    // Listings held or under way, against kMostAhead.
    std::size_t ahead_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace dustrel::scan
