#include "scan/listing_ahead.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace dustrel::scan {

namespace {

constexpr unsigned kMostWorkers = 4;
constexpr std::chrono::milliseconds kLookAgain{5};

}  // namespace

unsigned listingWorkers(unsigned cores, bool seekPenalty) {
    if (seekPenalty) {
        return 1;
    }
    return std::clamp(cores, 1u, kMostWorkers);
}

ListingAhead::ListingAhead(platform::FileSystem& files, unsigned workers) : files_(files) {
    for (unsigned i = 0; i < workers; ++i) {
        try {
            threads_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // The system has no thread to spare: fewer listers, or the walk alone, will do.
            break;
        }
    }
}

ListingAhead::~ListingAhead() {
    stop();
}

void ListingAhead::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
    threads_.clear();
    const std::lock_guard lock(mutex_);
    queue_.clear();
}

void ListingAhead::guessBelow(const std::wstring& parent,
                              const std::vector<platform::FolderEntry>& entries,
                              Queue::iterator before) {
    for (const platform::FolderEntry& entry : entries) {
        if (entry.directory && !entry.link) {
            Folder folder;
            folder.path = parent + entry.name + L'\\';
            queue_.insert(before, std::move(folder));
        }
    }
}

void ListingAhead::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        Queue::iterator next = queue_.end();
        // A look every few milliseconds besides the notices: a stop must never wait on a
        // wake-up that went astray.
        work_.wait_for(lock, kLookAgain, [&] {
            if (stopping_) {
                return true;
            }
            if (ahead_ >= kMostAhead) {
                return false;
            }
            std::size_t seen = 0;
            for (auto it = queue_.begin(); it != queue_.end() && seen < kMostAhead; ++it, ++seen) {
                if (it->state == State::Waiting) {
                    next = it;
                    return true;
                }
            }
            return false;
        });
        if (stopping_) {
            return;
        }
        if (next == queue_.end()) {
            continue;
        }
        next->state = State::Listing;
        ++ahead_;
        const std::wstring path = next->path;
        lock.unlock();
        std::vector<platform::FolderEntry> entries;
        const platform::Status status = files_.listFolder(path, entries);
        lock.lock();
        if (next->state == State::Dropped) {
            queue_.erase(next);
            --ahead_;
            continue;
        }
        next->state = State::Listed;
        next->status = status;
        next->entries = std::move(entries);
        guessBelow(path, next->entries, std::next(next));
        listed_.notify_all();
        work_.notify_all();
    }
}

platform::Status ListingAhead::listFolder(const std::wstring& folder,
                                          std::vector<platform::FolderEntry>& entries) {
    std::unique_lock lock(mutex_);
    if (!stopping_) {
        const auto found = std::ranges::find_if(
            queue_, [&](const Folder& f) { return f.state != State::Dropped && f.path == folder; });
        if (found != queue_.end()) {
            // Whatever comes before it the walk has passed over, and everything guessed below.
            for (auto it = queue_.begin(); it != found;) {
                if (it->state == State::Listing) {
                    it->state = State::Dropped;
                }
                if (it->state == State::Dropped) {
                    ++it;
                    continue;
                }
                if (it->state == State::Listed) {
                    --ahead_;
                }
                it = queue_.erase(it);
            }
            while (found->state == State::Listing) {
                listed_.wait_for(lock, kLookAgain);
            }
            if (found->state == State::Listed) {
                const platform::Status status = found->status;
                entries = std::move(found->entries);
                queue_.erase(found);
                --ahead_;
                lock.unlock();
                work_.notify_all();
                return status;
            }
            queue_.erase(found);
        }
    }
    const bool guess = !stopping_;
    lock.unlock();
    const platform::Status status = files_.listFolder(folder, entries);
    if (guess) {
        lock.lock();
        guessBelow(folder, entries, queue_.begin());
        lock.unlock();
        work_.notify_all();
    }
    return status;
}

}  // namespace dustrel::scan
