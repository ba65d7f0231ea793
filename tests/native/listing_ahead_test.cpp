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

// A random tree on C: with every kind of folder a walk meets: ones that cannot be listed, whose
// listing breaks off, that vanish before they are listed, links shown as links and links still
// shown as the plain folders they were (leading to D:), the Recycle Bin under the root, and
// folders too deep to enter.
void randomTree(FakeFileSystem& files, std::mt19937& random) {
    const auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };
    std::vector<std::wstring> folders{L"C:"};
    files.addFolder(L"C:\\$Recycle.Bin\\S-1");
    files.addFile(L"C:\\$Recycle.Bin\\S-1\\$R1.tmp");
    files.addFile(L"D:\\Target\\Inner\\t.tmp");
    const std::wstring deep = L"C:\\" + std::wstring(250 + random() % 8, L'd');
    files.addFile(deep + L"\\x\\deep.tmp");
    folders.push_back(deep);
    const int count = 20 + int(random() % 120);
    for (int i = 0; i < count; ++i) {
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
            files.vanishOnListing(path);
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

Events walkAlone(FakeFileSystem& files) {
    EventSink sink;
    (void)scan::Search_Folder(files, L"C:\\", kPatterns, sink);
    return sink.events;
}

// Whether any listing is made over `wait` from now: none, once the threads are stopped.
bool listsOn(const FakeFileSystem& files, std::chrono::milliseconds wait = 30ms) {
    const std::size_t before = files.listings().size();
    std::this_thread::sleep_for(wait);
    return files.listings().size() != before;
}

// For random trees and 1 to 4 threads, the walk that takes its listings from the threads
// reports what the walk alone reports, in the same order: every folder, every match with its
// size. Stopped at a random folder (as Stop Scan does) it goes on alone to the same end; ended
// at a random match, its threads go with it. Either way no listing is made after the stop, and
// the stop takes well under 50 ms.
TEST(ListingAheadTest, WalkGetsTheSameRowsInTheSameOrderAndStopsAtOnce) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        FakeFileSystem files;
        randomTree(files, random);
        const Events alone = walkAlone(files);
        const auto stoppedWithin = [&](scan::ListingAhead& ahead) {
            const auto start = std::chrono::steady_clock::now();
            ahead.stop();
            EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);
            EXPECT_FALSE(listsOn(files, 5ms));
        };
        const unsigned workers = 1 + random() % 4;

        {
            const std::size_t before = files.listings().size();
            scan::ListingAhead ahead(files, workers);
            EventSink sink;
            EXPECT_EQ(scan::Search_Folder(ahead, L"C:\\", kPatterns, sink),
                      scan::WalkEnd::Finished);
            EXPECT_EQ(sink.events, alone);
            // What the threads listed the walk took, rather than listing it again.
            Events listed = files.listings();
            listed.erase(listed.begin(), listed.begin() + std::ptrdiff_t(before));
            std::ranges::sort(listed);
            EXPECT_EQ(std::ranges::adjacent_find(listed), listed.end());
        }
        {
            scan::ListingAhead ahead(files, workers);
            EventSink sink;
            const int stopAt = 1 + int(random() % 20);
            sink.onFolder = [&](int folder) {
                if (folder == stopAt) {
                    stoppedWithin(ahead);
                }
            };
            (void)scan::Search_Folder(ahead, L"C:\\", kPatterns, sink);
            EXPECT_EQ(sink.events, alone);
        }
        {
            EventSink sink;
            sink.lastMatch = 1 + int(random() % 10);
            {
                scan::ListingAhead ahead(files, workers);
                (void)scan::Search_Folder(ahead, L"C:\\", kPatterns, sink);
                stoppedWithin(ahead);
            }
            EXPECT_EQ(sink.events, Events(alone.begin(), alone.begin() + sink.events.size()));
        }
    }
}

TEST(ListingAheadTest, OneThreadPerCoreUpToFourAndOneOnASpinningDisk) {
    for (const auto& [cores, penalty, workers] :
         std::vector<std::tuple<unsigned, bool, unsigned>>{{0, false, 1},
                                                           {1, false, 1},
                                                           {2, false, 2},
                                                           {3, false, 3},
                                                           {16, false, 4},
                                                           {8, true, 1},
                                                           {0, true, 1}}) {
        EXPECT_EQ(scan::listingWorkers(cores, penalty), workers) << cores << " " << penalty;
    }
}

class ListingAheadAppTest : public AppTest {
protected:
    // A drive big enough that the threads have work whenever they are let.
    void bigDrive() {
        for (int i = 0; i < 3000; ++i) {
            fakes.files.addFile(L"C:\\F" + std::to_wstring(i % 60) + L"\\S" + std::to_wstring(i) +
                                L"\\a.tmp");
        }
    }
    void scanDriveC() {
        form.ui().ListDrive.setChecked(0, true);
        form.ui().lstOptions.setChecked(0, true);
        act([this] { form.cmdNext1_Click(); });
    }
};

// Stop Scan and every way out run inside the walk and may keep it waiting (the notice's two
// seconds, a goodbye): the threads listing ahead end before that. A disk with a seek penalty
// gets one thread; one that cannot tell as many as a disk without.
TEST_F(ListingAheadAppTest, StopScanAndExitEndTheThreadsAtOnce) {
    bigDrive();
    start();
    // A drive that cannot tell whether it seeks is taken for one that does not.
    fakes.system.setSeekPenalty(L'C', std::nullopt);
    std::size_t threads = 0;
    bool quietDuringNotice = false;
    fakes.system.onSleep = [&](unsigned) { quietDuringNotice = !listsOn(fakes.files); };
    host.onDoEvents = [&] {
        if (host.doEventsCount == 3) {
            ASSERT_NE(context.state.scan.listingAhead, nullptr);
            threads = context.state.scan.listingAhead->workers();
            form.ui().cmdStopScan.click();
        }
    };
    scanDriveC();
    EXPECT_TRUE(quietDuringNotice);
    EXPECT_EQ(threads, scan::listingWorkers(std::thread::hardware_concurrency(), false));
    EXPECT_EQ(context.state.scan.listingAhead, nullptr);

    form.cmdBack_Click();
    fakes.system.setSeekPenalty(L'C', true);
    bool quietAfterExit = false;
    host.doEventsCount = 0;
    host.onDoEvents = [&] {
        if (host.doEventsCount == 3) {
            threads = context.state.scan.listingAhead->workers();
            form.cmdExit_Click(0);
            quietAfterExit = !listsOn(fakes.files);
        }
    };
    scanDriveC();
    EXPECT_TRUE(quietAfterExit);
    EXPECT_EQ(threads, 1u);
    EXPECT_TRUE(host.ended());
}

}  // namespace
}  // namespace dustrel::testing
