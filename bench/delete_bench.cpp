// Times Delete of many ticked files, each in a folder of its own a few levels down as in a
// cache: through the main window shown on a display (the rows ticked as Check All leaves them,
// a click on &Delete posted as the button's own, the clock stopped once the deleted-files page
// has painted), against the shell's permanent delete of the same paths in one operation, as
// Delete handed them over before it deleted by handle. The two take turns in one run; the
// files are made again before each, outside the clock. Each run splits the window's time into
// the file system's calls for the files, those for the log, and the rest (servicing the window,
// the lists). --profile then times the by-handle deletion step by step, without a window.
//
//   delete_bench FOLDER [--files N] [--runs N] [--profile]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_window.h"
#include "clean/deletion_log.h"
#include "clean/exact_deletion.h"

namespace {

using dustrel::bench::median;
using dustrel::bench::now;
using dustrel::bench::Program;

// FOLDER\Cache\Cache 07\Sub 13\Item 07650\page07650.tmp: 1,000 files to a top folder, 50 to
// each of its subfolders, one to a leaf folder.
std::vector<std::wstring> treePaths(const std::wstring& folder, int files) {
    std::vector<std::wstring> paths;
    wchar_t path[MAX_PATH];
    for (int i = 0; i < files; ++i) {
        swprintf(path, MAX_PATH, L"%lsCache\\Cache %02d\\Sub %02d\\Item %05d\\page%05d.tmp",
                 folder.c_str(), i / 1000, i / 50 % 20, i, i);
        paths.emplace_back(path);
    }
    return paths;
}

void makeFolders(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) {
        for (std::size_t end = path.find(L'\\', 3); end != std::wstring::npos;
             end = path.find(L'\\', end + 1)) {
            CreateDirectoryW(path.substr(0, end).c_str(), nullptr);  // most are there already
        }
    }
}

bool makeFiles(const std::vector<std::wstring>& paths) {
    const std::string content(256, 'x');
    for (const std::wstring& path : paths) {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (file == INVALID_HANDLE_VALUE ||
            !WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr)) {
            std::printf("cannot write %s (error %lu)\n", dustrel::bench::utf8(path).c_str(),
                        GetLastError());
            return false;
        }
        CloseHandle(file);
    }
    return true;
}

std::size_t filesLeft(const std::vector<std::wstring>& paths) {
    std::size_t left = 0;
    for (const std::wstring& path : paths) {
        left += GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
    }
    return left;
}

// The lines of the deletion logs in the program's log folder, which are then removed.
std::size_t takeLogLines(Program& program) {
    const std::wstring folder = dustrel::clean::logFolderPath(program.system) + L"\\";
    std::size_t lines = 0;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"Dustrel-*.log").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        const std::wstring log = folder + data.cFileName;
        std::string text;
        (void)program.platform.files.readFile(log, text);
        for (std::size_t at = text.find("\r\n"); at != std::string::npos;
             at = text.find("\r\n", at + 2)) {
            ++lines;
        }
        DeleteFileW(log.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return lines;
}

// Runs `work`, adding the seconds it took to `into`.
template <typename Work>
auto timed(double& into, const Work& work) {
    const double start = now();
    const auto result = work();
    into += now() - start;
    return result;
}

// The real file system, with the time spent in what Delete asks of it added up.
class TimedFiles final : public dustrel::platform::FileSystem {
public:
    double files = 0;  // opening, checking and deleting the ticked files
    double log = 0;    // everything else Delete asks for: the log's folder and its lines

    dustrel::platform::Status listFolder(
        const std::wstring& folder, std::vector<dustrel::platform::FolderEntry>& entries) override {
        return real_.listFolder(folder, entries);
    }
    bool exists(const std::wstring& path) override {
        return timed(log, [&] { return real_.exists(path); });
    }
    bool isDirectory(const std::wstring& path) override {
        return timed(log, [&] { return real_.isDirectory(path); });
    }
    dustrel::platform::Status createFolder(const std::wstring& path) override {
        return timed(log, [&] { return real_.createFolder(path); });
    }
    dustrel::platform::Status writeFile(const std::wstring& path, std::string_view bytes,
                                        dustrel::platform::WriteMode mode) override {
        return timed(log, [&] { return real_.writeFile(path, bytes, mode); });
    }
    dustrel::platform::Status readFile(const std::wstring& path, std::string& bytes) override {
        return real_.readFile(path, bytes);
    }
    dustrel::platform::Status deleteFile(const std::wstring& path) override {
        return timed(files, [&] { return real_.deleteFile(path); });
    }
    dustrel::platform::Status openForDeletion(
        const std::wstring& path, std::unique_ptr<dustrel::platform::OpenedFile>& file) override {
        const auto status = timed(files, [&] { return real_.openForDeletion(path, file); });
        if (file) {
            file = std::make_unique<Opened>(std::move(file), files);
        }
        return status;
    }

private:
    class Opened final : public dustrel::platform::OpenedFile {
    public:
        Opened(std::unique_ptr<OpenedFile> real, double& into)
            : real_(std::move(real)), into_(into) {}
        ~Opened() override {
            timed(into_, [this] {
                real_.reset();  // the folders held, and the file when it was not deleted
                return 0;
            });
        }
        dustrel::platform::Status describe(dustrel::platform::OpenedFacts& facts) override {
            return timed(into_, [&] { return real_->describe(facts); });
        }
        dustrel::platform::Status deleteNow() override {
            return timed(into_, [&] { return real_->deleteNow(); });
        }

    private:
        std::unique_ptr<OpenedFile> real_;
        double& into_;
    };

    dustrel::platform::win32::Win32FileSystem real_;
};

struct WindowDelete {
    double handler = 0;  // from the click's post until the handler returned
    double shown = 0;    // until the deleted-files page had painted
    double files = 0;    // of the handler's time, in the file system for the files
    double log = 0;      // and for the log
};

WindowDelete deleteInWindow(Program& program, TimedFiles& timed,
                            const std::vector<std::wstring>& paths) {
    auto& c = program.form.ui();
    c.ListFiles.clear();
    c.lstFilesDelete.clear();
    for (const std::wstring& path : paths) {
        c.ListFiles.addRow(path);
    }
    c.ListFiles.setAllChecked(true);
    c.cmdDelete.setEnabled(true);
    program.form.showPage(c.Frame3);
    program.pumpUntilIdle();
    WindowDelete took;
    timed.files = timed.log = 0;
    const double start = now();
    took.handler = program.click(c.cmdDelete);
    took.files = timed.files;
    took.log = timed.log;
    program.pumpUntilIdle();
    took.shown = now() - start;
    return took;
}

// --- where the by-handle deletion's time goes ---------------------------------------------------

// The steps of the Win32 file system's deletion by handle, one by one, each timed.
struct Steps {
    double folders = 0;  // opening and checking each folder of the path, and closing it after
    double open = 0;
    double tag = 0;
    double finalPath = 0;
    double dispose = 0;  // basic information, disposition, close
};

void deleteInSteps(const std::wstring& path, Steps& steps) {
    constexpr DWORD kFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    double at = now();
    const auto lap = [&at](double& into) {
        const double t = now();
        into += t - at;
        at = t;
    };
    std::vector<HANDLE> held;
    std::wstring exact = L"\\\\?\\" + path.substr(0, 3);
    std::size_t start = 3;
    for (std::size_t end; (end = path.find(L'\\', start)) != std::wstring::npos; start = end + 1) {
        exact.append(path, start, end - start);
        const HANDLE folder = CreateFileW(exact.c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShare,
                                          nullptr, OPEN_EXISTING, kFlags, nullptr);
        FILE_ATTRIBUTE_TAG_INFO info{};
        GetFileInformationByHandleEx(folder, FileAttributeTagInfo, &info, sizeof info);
        held.push_back(folder);
        exact += L'\\';
    }
    exact.append(path, start);
    lap(steps.folders);
    const HANDLE file = CreateFileW(
        exact.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, kShare,
        nullptr, OPEN_EXISTING, kFlags, nullptr);
    lap(steps.open);
    FILE_ATTRIBUTE_TAG_INFO info{};
    GetFileInformationByHandleEx(file, FileAttributeTagInfo, &info, sizeof info);
    lap(steps.tag);
    wchar_t final[MAX_PATH + 16];
    GetFinalPathNameByHandleW(file, final, MAX_PATH + 16, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    lap(steps.finalPath);
    FILE_BASIC_INFO basic{};
    GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic);
    FILE_DISPOSITION_INFO disposition{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(file);
    lap(steps.dispose);
    for (const HANDLE folder : held) {
        CloseHandle(folder);
    }
    lap(steps.folders);
}

void profile(Program& program, TimedFiles& timed, const std::vector<std::wstring>& paths) {
    std::printf("profile, without a window, the ways taking turns file by file:\n");
    const auto perFile = [](const char* what, double seconds, std::size_t files) {
        std::printf("  %-50s %7.1f us a file\n", what, seconds * 1e6 / double(files));
    };
    if (!makeFiles(paths)) {
        return;
    }
    double plain = 0, exact = 0;
    Steps steps;
    std::size_t count[3] = {};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const double start = now();
        switch (i % 3) {
            case 0:
                DeleteFileW(paths[i].c_str());
                plain += now() - start;
                break;
            case 1:
                (void)dustrel::clean::deleteExactly(program.platform.files, paths[i]);
                exact += now() - start;
                break;
            default:
                deleteInSteps(paths[i], steps);
        }
        ++count[i % 3];
    }
    if (const std::size_t left = filesLeft(paths); left != 0) {
        std::printf("  %zu files left\n", left);
    }
    perFile("DeleteFileW", plain, count[0]);
    perFile("deleteExactly (open, check, delete; no log)", exact, count[1]);
    const auto folders = std::count(paths[0].begin(), paths[0].end(), L'\\') - 1;
    std::printf("  its steps, one by one (%td folders held for each file):\n", folders);
    perFile("  the folders: open, tag information, close", steps.folders, count[2]);
    perFile("  the file: open", steps.open, count[2]);
    perFile("  the file: tag information", steps.tag, count[2]);
    perFile("  the file: GetFinalPathNameByHandleW", steps.finalPath, count[2]);
    perFile("  the file: basic information, disposition, close", steps.dispose, count[2]);

    // The log alone, nothing deleted: as Delete writes it, and through one handle kept open.
    double reopened = 0, kept = 0;
    {
        dustrel::clean::DeletionLog log(program.context.platform, L"Dustrel-bench.log");
        const std::wstring keptPath =
            dustrel::clean::logFolderPath(program.system) + L"\\Dustrel-kept.log";
        const HANDLE keptLog = CreateFileW(keptPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        for (const std::wstring& path : paths) {
            double start = now();
            log.add(path);
            reopened += now() - start;
            start = now();
            const std::string line = dustrel::bench::utf8(path) + "\r\n";
            DWORD written = 0;
            WriteFile(keptLog, line.data(), DWORD(line.size()), &written, nullptr);
            kept += now() - start;
        }
        CloseHandle(keptLog);
    }
    takeLogLines(program);
    perFile("log line, the log opened for each (as today)", reopened, paths.size());
    perFile("log line, through one handle kept open", kept, paths.size());

    // Delete's own handler without a window: the same work, nothing to service.
    dustrel::bench::NullHost host;
    const dustrel::platform::Platform& real = program.context.platform;
    dustrel::app::AppContext context{
        {timed, real.shell, real.registry, real.system, real.clock, real.locale}, {}};
    dustrel::app::FrmMain headless(host, context);
    headless.load();
    auto& c = headless.ui();
    for (const std::wstring& path : paths) {
        c.ListFiles.addRow(path);
    }
    c.ListFiles.setAllChecked(true);
    if (!makeFiles(paths)) {
        return;
    }
    timed.files = timed.log = 0;
    const double start = now();
    headless.cmdDelete_Click();
    const double took = now() - start;
    takeLogLines(program);
    std::printf(
        "  Delete's handler without a window: %.3f s: files %.3f s, log %.3f s, the rest %.3f s "
        "(%zu listed as deleted)\n",
        took, timed.files, timed.log, took - timed.files - timed.log, c.lstFilesDelete.rowCount());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring folder;
    int runs = 3, files = 20000;
    bool profiling = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc) {
            runs = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--files" && i + 1 < argc) {
            files = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--profile") {
            profiling = true;
        } else if (folder.empty() && arg.size() >= 3 && arg[1] == L':') {
            folder = arg.back() == L'\\' ? arg : arg + L"\\";
        } else {
            std::fprintf(stderr, "usage: delete_bench FOLDER [--files N] [--runs N] [--profile]\n");
            return 2;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "delete_bench: name a folder to work in, e.g. U:\\\n");
        return 2;
    }
    dustrel::bench::answerBoxesOnThisThread();
    const std::vector<std::wstring> paths = treePaths(folder, files);
    double start = now();
    makeFolders(paths);
    if (!makeFiles(paths)) {
        return 1;
    }
    std::printf("%d files in as many folders under %sCache, made in %.2f s\n", files,
                dustrel::bench::utf8(folder).c_str(), now() - start);
    std::fflush(stdout);

    TimedFiles timed;
    Program program(&timed);
    takeLogLines(program);  // logs a run cut short left behind
    std::vector<double> window, shell;
    WindowDelete last;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        // Odd runs start with the shell, so that neither always finds the caches as the
        // other left them.
        for (int turn = 0; turn < 2; ++turn) {
            if (!makeFiles(paths)) {
                return 1;
            }
            const int boxesBefore = dustrel::bench::boxes.shown;
            if ((turn + run) % 2 == 0) {
                last = deleteInWindow(program, timed, paths);
                window.push_back(last.shown);
                const std::size_t listed = program.form.ui().lstFilesDelete.rowCount();
                const std::size_t logged = takeLogLines(program);
                // The log's six lines before the paths: title, date, time, an empty line,
                // "Files Deleted are:", an empty line.
                if (listed != paths.size() || logged != paths.size() + 6) {
                    std::printf("  window: %zu files listed as deleted, %zu log lines\n", listed,
                                logged);
                    ++failures;
                }
            } else {
                start = now();
                const auto status = program.platform.shell.deleteFiles(paths, false);
                shell.push_back(now() - start);
                if (!dustrel::platform::ok(status)) {
                    std::printf("  shell: the operation failed\n");
                    ++failures;
                }
            }
            if (dustrel::bench::boxes.shown != boxesBefore) {
                std::printf("  a box showed: %s\n",
                            dustrel::bench::utf8(dustrel::bench::boxes.lastText).c_str());
                ++failures;
            }
            if (const std::size_t left = filesLeft(paths); left != 0) {
                std::printf("  %zu files left\n", left);
                ++failures;
            }
        }
        std::printf(
            "run %d: by handle through the window %.3f s (handler %.3f s: files %.3f s, log "
            "%.3f s, the rest %.3f s), shell %.3f s\n",
            run + 1, window.back(), last.handler, last.files, last.log,
            last.handler - last.files - last.log, shell.back());
        std::fflush(stdout);
    }
    dustrel::bench::report("by handle", window);
    dustrel::bench::report("shell", shell);
    const double ratio = median(window) / median(shell);
    std::printf("by handle/shell: %.2f (%.1f us a file against %.1f us), %s 1.2\n", ratio,
                median(window) * 1e6 / files, median(shell) * 1e6 / files,
                ratio <= 1.2 ? "within" : "above");
    std::fflush(stdout);
    if (profiling) {
        profile(program, timed, paths);
    }
    return failures == 0 ? 0 : 1;
}
