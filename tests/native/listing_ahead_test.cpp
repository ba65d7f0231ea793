#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "native/app_fixture.h"
#include "scan/listing_ahead.h"
#include "scan/search_folder.h"

namespace dustrel::testing {
namespace {

using Events = std::vector<std::wstring>;
using namespace std::chrono_literals;

// What a walk told its sink, folders and matches in one sequence; `onFolder` may act at the n-th
// folder (from 1), and the walk ends at match number `lastMatch`.
struct EventSink final : scan::WalkSink {
    Events events;
    int folders = 0, matches = 0, lastMatch = -1;
    std::function<void(int)> onFolder;

    void folderListed(const std::wstring& folder) override {
        events.push_back(L"listed " + folder);
        if (onFolder) {
            onFolder(++folders);
        }
    }
    bool match(const std::wstring& folder, const platform::FolderEntry& file,
               std::size_t pattern) override {
        events.push_back(folder + file.name + L" #" + std::to_wstring(pattern) + L" " +
                         std::to_wstring(file.size));
        return ++matches != lastMatch;
    }
};

// A random tree on C: with folders that cannot be listed, whose listing breaks off, links, and
// links still listed as the plain folders they were (to D:, or to nowhere: a vanished folder);
// and the Recycle Bin, which the threads may list but the walk passes over.
void randomTree(FakeFileSystem& files, std::mt19937& random) {
    const auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };
    std::vector<std::wstring> folders{L"C:"};
    files.addFile(L"C:\\$Recycle.Bin\\S-1\\$R1.tmp");
    files.addFile(L"D:\\Target\\Inner\\t.tmp");
    for (int i = 20 + int(random() % 120); i > 0; --i) {
        const std::wstring path =
            folders[random() % folders.size()] + L"\\f" + std::to_wstring(random() % 40);
        if (files.exists(path)) {
            continue;
        }
        if (chance(0.08)) {
            files.addLink(path, chance(0.5) ? L"D:\\Target" : L"V:\\Elsewhere", chance(0.5));
            continue;
        }
        files.addFolder(path);
        folders.push_back(path);
        if (chance(0.05)) {
            files.failListing(path);
        } else if (chance(0.05)) {
            files.breakListing(path, random() % 4);
        }
    }
    for (const std::wstring& folder : folders) {
        for (int i = int(random() % 4); i > 0; --i) {
            files.addFile(
                folder + L"\\n" + std::to_wstring(random() % 9) + (chance(0.5) ? L".tmp" : L".log"),
                std::string(random() % 5, 'x'));
        }
    }
}

const std::vector<scan::NamePattern> kPatterns{
    scan::NamePattern(L"*.tmp"), scan::NamePattern(L"*.log"), scan::NamePattern(L"n1*")};

// Whether any listing is made over `wait` from now: none, once the threads are stopped.
bool listsOn(const FakeFileSystem& files, std::chrono::milliseconds wait = 30ms) {
    const std::size_t before = files.listings().size();
    std::this_thread::sleep_for(wait);
    return files.listings().size() != before;
}

// For random trees and 1 to 4 threads, the walk that takes its listings from the threads
// reports what the walk alone reports, in the same order: every folder, every match with its
// size; once to the end, taking what the threads listed rather than listing it again; once
// stopped at a random folder (as Stop Scan does, after which it goes on alone) or ended at a
// random match, whichever comes first. A stop takes well under 50 ms, and no listing is made
// after it.
TEST(ListingAheadTest, WalkGetsTheSameRowsInTheSameOrderAndStopsAtOnce) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        FakeFileSystem files;
        randomTree(files, random);
        const unsigned workers = 1 + random() % 4;
        for (const bool stopping : {false, true}) {
            EventSink alone, sink;
            alone.lastMatch = sink.lastMatch = stopping ? 1 + int(random() % 10) : -1;
            (void)scan::Search_Folder(files, L"C:\\", kPatterns, alone);
            const std::size_t before = files.listings().size();
            scan::ListingAhead ahead(files, workers);
            const auto stopAtOnce = [&] {
                const auto start = std::chrono::steady_clock::now();
                ahead.stop();
                EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);
                EXPECT_FALSE(listsOn(files, 5ms));
            };
            const int stopAt = stopping ? 1 + int(random() % 20) : -1;
            sink.onFolder = [&](int folder) {
                if (folder == stopAt) {
                    stopAtOnce();
                }
            };
            (void)scan::Search_Folder(ahead, L"C:\\", kPatterns, sink);
            EXPECT_EQ(sink.events, alone.events);
            stopAtOnce();
            Events listed = files.listings();
            listed.erase(listed.begin(), listed.begin() + std::ptrdiff_t(before));
            std::ranges::sort(listed);
            EXPECT_TRUE(stopping || std::ranges::adjacent_find(listed) == listed.end());
        }
    }
}

TEST(ListingAheadTest, OneThreadPerCoreUpToFourAndOneOnASpinningDisk) {
    for (const auto& [cores, penalty, workers] : std::vector<std::tuple<unsigned, bool, unsigned>>{
             {0, false, 1}, {1, false, 1}, {3, false, 3}, {16, false, 4}, {8, true, 1}}) {
        EXPECT_EQ(scan::listingWorkers(cores, penalty), workers) << cores << " " << penalty;
    }
}

// Stop Scan and every way out run inside the walk and may keep it waiting (the notice's two
// seconds, a goodbye): the threads listing ahead end before that. A disk with a seek penalty
// gets one thread; one that cannot tell as many as a disk without.
TEST_F(AppTest, StopScanAndExitEndTheThreadsListingAheadAtOnce) {
    for (int i = 0; i < 3000; ++i) {
        fakes.files.addFile(L"C:\\F" + std::to_wstring(i % 60) + L"\\S" + std::to_wstring(i) +
                            L"\\a.tmp");
    }
    start();
    const std::tuple<std::optional<bool>, unsigned, std::function<void()>> cases[] = {
        {std::nullopt, scan::listingWorkers(std::thread::hardware_concurrency(), false),
         [this] { form.ui().cmdStopScan.click(); }},
        {true, 1, [this] { form.cmdExit_Click(0); }}};
    // Whether no thread lists ahead of the walk: asked during the notice and right after a stop.
    bool quiet = true;
    const auto stopped = [&] {
        quiet = quiet && (context.state.scan.listingAhead == nullptr ||
                          context.state.scan.listingAhead->workers() == 0);
    };
    fakes.system.onSleep = [&](unsigned) { stopped(); };
    for (const auto& [penalty, workers, leave] : cases) {
        fakes.system.setSeekPenalty(L'C', penalty);
        std::size_t threads = 0;
        host.doEventsCount = 0;
        host.onDoEvents = [&] {
            if (host.doEventsCount == 3) {
                ASSERT_NE(context.state.scan.listingAhead, nullptr);
                threads = context.state.scan.listingAhead->workers();
                leave();
                stopped();
            }
        };
        form.ui().ListDrive.setChecked(0, true);
        form.ui().lstOptions.setChecked(0, true);
        act([this] { form.cmdNext1_Click(); });
        EXPECT_EQ(threads, workers);
        EXPECT_EQ(context.state.scan.listingAhead, nullptr);
        act([this] { form.cmdBack_Click(); });
    }
    EXPECT_TRUE(quiet && host.ended());
}

}  // namespace
}  // namespace dustrel::testing
