#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
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

// What a walk told its sink, folders and matches in one sequence; `atStop` runs at folder number
// `stopAt`, and the walk ends at match number `lastMatch`.
struct EventSink final : scan::WalkSink {
    Events events;
    int folders = 0, stopAt = -1, matches = 0, lastMatch = -1;
    std::function<void()> atStop;

    void folderListed(const std::wstring& folder) override {
        events.push_back(L"listed " + folder);
        if (++folders == stopAt) {
            atStop();
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
    for (int i = 40 + int(random() % 240); i > 0; --i) {
        const std::wstring parent = folders[random() % folders.size()];
        const std::wstring name = std::to_wstring(random() % 9), path = parent + L"\\f" + name;
        if (files.exists(path)) {
            continue;
        }
        if (chance(0.5)) {
            files.addFile(parent + L"\\n" + name + (chance(0.5) ? L".tmp" : L".log"),
                          std::string(random() % 5, 'x'));
        } else if (chance(0.15)) {
            files.addLink(path, chance(0.5) ? L"D:\\Target" : L"V:\\Elsewhere", chance(0.5));
        } else {
            folders.push_back(path);
            files.addFolder(path);
            if (chance(0.1)) {
                files.failListing(path, random() % 4);
            }
        }
    }
}

const std::vector<scan::NamePattern> kPatterns{
    scan::NamePattern(L"*.tmp"), scan::NamePattern(L"*.log"), scan::NamePattern(L"n1*")};

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
                const std::size_t made = files.listings().size();
                std::this_thread::sleep_for(5ms);
                EXPECT_EQ(files.listings().size(), made);
            };
            sink.stopAt = stopping ? 1 + int(random() % 20) : -1;
            sink.atStop = stopAtOnce;
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

// However far the walk lags, the threads hold a few hundred listings at most, and go on as it
// takes them.
TEST(ListingAheadTest, ThreadsStayABoundedDistanceAhead) {
    FakeFileSystem files;
    for (int i = 0; i < 2000; ++i) {
        files.addFolder(L"C:\\f" + std::to_wstring(i));
    }
    scan::ListingAhead ahead(files, 4);
    std::vector<platform::FolderEntry> entries;
    (void)ahead.listFolder(L"C:\\", entries);
    std::this_thread::sleep_for(200ms);
    EXPECT_LE(files.listings().size(), 1 + scan::ListingAhead::kMostAhead);
    for (int i = 0; i < 300; ++i) {
        (void)ahead.listFolder(L"C:\\f" + std::to_wstring(i) + L"\\", entries);
    }
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(files.listings().size(), 1 + scan::ListingAhead::kMostAhead + 44);
}

TEST(ListingAheadTest, OneThreadPerCoreUpToFourAndOneOnASpinningDisk) {
    for (const auto& [cores, penalty, workers] : std::vector<std::tuple<unsigned, bool, unsigned>>{
             {0, false, 1}, {1, false, 1}, {3, false, 3}, {16, false, 4}, {8, true, 1}}) {
        EXPECT_EQ(scan::listingWorkers(cores, penalty), workers) << cores << " " << penalty;
    }
}

// Every way out runs inside the walk and may keep it waiting (a goodbye): the threads listing
// ahead end first. A disk with a seek penalty gets one thread.
TEST_F(AppTest, ExitEndsTheThreadsListingAhead) {
    fakes.files.addFile(L"C:\\A\\B\\a.tmp");
    fakes.system.setSeekPenalty(L'C', true);
    start();
    std::size_t threads = 0;
    host.onDoEvents = [&] {
        threads = context.state.scan.listingAhead->workers();
        form.cmdExit_Click(0);
        threads += 10 * context.state.scan.listingAhead->workers();
    };
    form.ui().ListDrive.setChecked(0, true);
    form.ui().lstOptions.setChecked(0, true);
    act([this] { form.cmdNext1_Click(); });
    EXPECT_EQ(threads, 1u);
    EXPECT_TRUE(host.ended() && context.state.scan.listingAhead == nullptr);
}

}  // namespace
}  // namespace dustrel::testing
