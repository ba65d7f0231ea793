#pragma once
// What the benchmarks share: a clock, medians, a bare walk, a host without windows, and a
// drive in memory whose every file is junk.

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/frm_main.h"
#include "platform/file_system.h"
#include "ui/ui_host.h"

namespace dustrel::bench {

using ui::Form;

inline double now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency;
}

inline double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t mid = times.size() / 2;
    return times.size() % 2 != 0 ? times[mid] : (times[mid - 1] + times[mid]) / 2;
}

inline std::string utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

inline void report(const char* name, const std::vector<double>& times) {
    std::printf("%-10s median %9.3f s over %zu runs (", name, median(times), times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
        std::printf("%s%.3f", i == 0 ? "" : " ", times[i]);
    }
    std::printf(")\n");
}

// --- bare: one listing per folder, matching nothing ---------------------------------------------

struct BareCounts {
    std::size_t folders = 0;
    std::size_t files = 0;
};

// Lists one folder: its files counted, its subfolders (not links) handed to `subfolder`.
template <typename Subfolder>
void bareList(const std::wstring& folder, std::size_t& files, Subfolder subfolder) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ++files;
        } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            subfolder(folder + name + L"\\");
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// The bare listing on `threads` threads taking folders from one pile, in no order: what the
// disk gives when nothing but listing is done.
inline void bareWalkThreads(const std::wstring& root, unsigned threads, BareCounts& counts) {
    std::mutex mutex;
    std::condition_variable more;
    std::vector<std::wstring> pile{root};
    unsigned busy = 0;
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i) {
        workers.emplace_back([&] {
            std::unique_lock lock(mutex);
            for (;;) {
                more.wait(lock, [&] { return !pile.empty() || busy == 0; });
                if (pile.empty()) {
                    return;
                }
                const std::wstring folder = std::move(pile.back());
                pile.pop_back();
                ++busy;
                ++counts.folders;
                lock.unlock();
                std::size_t files = 0;
                std::vector<std::wstring> found;
                bareList(folder, files, [&](std::wstring sub) { found.push_back(std::move(sub)); });
                lock.lock();
                counts.files += files;
                pile.insert(pile.end(), found.begin(), found.end());
                --busy;
                more.notify_all();
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
}

inline void bareWalk(const std::wstring& folder, BareCounts& counts) {
    ++counts.folders;
    std::vector<std::wstring> subfolders;
    bareList(folder, counts.files, [&](std::wstring sub) { subfolders.push_back(std::move(sub)); });
    for (const std::wstring& subfolder : subfolders) {
        bareWalk(subfolder, counts);
    }
}

// The row of `root` in the drive list, or none.
inline std::optional<std::size_t> driveRow(dustrel::app::FrmMain& form, const std::wstring& root) {
    auto& drives = form.ui().ListDrive;
    for (std::size_t i = 0; i < drives.rowCount(); ++i) {
        if (drives.row(i).text == root) {
            return i;
        }
    }
    std::printf("%s is not in the drive list (GetDriveTypeW says %u)\n", utf8(root).c_str(),
                GetDriveTypeW(root.c_str()));
    return std::nullopt;
}

// Ticks only `drive` and every built-in category, as the first two pages leave them.
inline void tickForScan(app::FrmMain& form, std::size_t drive) {
    auto& c = form.ui();
    c.ListDrive.setAllChecked(false);
    c.ListDrive.setChecked(drive, true);
    for (std::size_t i = 0; i < 6; ++i) {
        c.lstOptions.setChecked(i, true);
    }
}

// Ticks as above and runs Next's handler without a window; returns the seconds taken.
inline double scanOnce(app::FrmMain& form, std::size_t drive) {
    tickForScan(form, drive);
    const double start = now();
    form.cmdNext1_Click();
    return now() - start;
}

// A host without windows: the scan runs exactly as behind the real window, minus the painting.
class NullHost : public ui::UiHost {
public:
    void refresh(Form&) override {}
    bool addTrayIcon(ui::PictureBox&, const std::wstring&) override { return false; }
    void removeTrayIcon(ui::PictureBox&) override {}
    double twipsPerPixelX() override { return 15; }
    void formLoaded(Form&) override {}
    void formUnloading(Form&) override {}
    void endProgram() override { ended_ = true; }
    bool ended() const override { return ended_; }

protected:
    ui::MessageBoxAnswer showMessageBox(const std::wstring&, const std::wstring&,
                                        ui::MessageBoxStyle style) override {
        return style.buttons == ui::MessageBoxButtons::YesNo ? ui::MessageBoxAnswer::No
                                                             : ui::MessageBoxAnswer::Ok;
    }
    void runModal(Form&) override {}
    void processMessages() override {}
    ui::MenuItem* trackPopupMenu(Form&, ui::MenuItem&, ui::MenuItem*) override { return nullptr; }

private:
    bool ended_ = false;
};

// A drive held in memory whose every file is junk: 1,000 folders of 100 files, named so that
// the walk's order is far from sorted. It answers for any root.
class JunkDrive final : public platform::FileSystem {
public:
    static constexpr int kFolders = 1000;
    static constexpr int kFilesPerFolder = 100;

    platform::Status listFolder(const std::wstring& folder,
                                std::vector<platform::FolderEntry>& entries) override {
        entries.clear();
        const bool root = folder.size() <= 3;
        for (int i = 0; i < (root ? kFolders : kFilesPerFolder); ++i) {
            const int scrambled = (i * 7919) % (root ? kFolders : kFilesPerFolder);
            entries.push_back(
                root ? platform::FolderEntry{L"Folder " + std::to_wstring(scrambled), true}
                     : platform::FolderEntry{
                           L"file" + std::to_wstring(scrambled) + (i % 2 ? L".tmp" : L".log"),
                           false});
        }
        return platform::Status::Ok;
    }
    bool exists(const std::wstring&) override { return false; }
    bool isDirectory(const std::wstring&) override { return false; }
    platform::Status createFolder(const std::wstring&) override { return platform::Status::Failed; }
    platform::Status writeFile(const std::wstring&, std::string_view,
                               platform::WriteMode) override {
        return platform::Status::Failed;
    }
    platform::Status readFile(const std::wstring&, std::string&) override {
        return platform::Status::Failed;
    }
    platform::Status deleteFile(const std::wstring&) override { return platform::Status::Failed; }
    platform::Status openForDeletion(const std::wstring&,
                                     std::unique_ptr<platform::OpenedFile>&) override {
        return platform::Status::Failed;
    }
};

}  // namespace dustrel::bench
