// Generates a synthetic tree shaped like a Windows system drive, for scan_bench to walk through
// a Wine drive letter. Everything follows from the seed, so two runs with the same options give
// the same tree. Files are empty: a scan looks at names only.
//
//   make_tree [--folders N] [--files N] [--seed N] <output folder>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "name_rules.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMaxDepth = 12;
// Made last, so that nothing random lands in them.
constexpr std::size_t kSpecialFolders = 3;
constexpr long kSpecialFiles = 12;
// Rows must stay clear of MAX_PATH, or the ANSI reference walk would lose them for a reason
// that has nothing to do with matching.
constexpr std::size_t kMaxFolderPath = 170;

int patternMatches(std::string_view name) {
    int count = 0;
    for (std::string_view pattern : dustrel::bench::kPatterns) {
        count += dustrel::bench::wildMatch(pattern, name) ? 1 : 0;
    }
    return count;
}

// True when a file system that also matches 8.3 short names would list this name for an
// extension pattern its long name misses: the short name keeps the first three letters of
// the extension ("report.tmpl" -> "REPORT~1.TMP").
bool shortNameOnlyMatch(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || patternMatches(name) > 0) {
        return false;
    }
    const std::string_view base = name.substr(0, dot);
    const std::string_view ext = name.substr(dot + 1);
    const bool valid83 =
        base.size() <= 8 && ext.size() <= 3 && base.find_first_of(". ") == std::string_view::npos;
    if (valid83) {
        return false;
    }
    const std::string shortName = "X~1." + std::string(ext.substr(0, 3));
    return patternMatches(shortName) > 0;
}

// UTF-16 length of a UTF-8 name (the tree's names are all in the basic plane).
std::size_t wideLength(std::string_view text) {
    std::size_t length = 0;
    for (const char c : text) {
        length += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return length;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

struct Folder {
    std::string path;  // relative, '/'-separated, empty for the root
    std::size_t windowsLength;
    int depth;
    int parent;
    std::set<std::string> taken;  // lower-cased: Windows sees one name per letter case
};

class TreeBuilder {
public:
    explicit TreeBuilder(std::uint64_t seed) : random_(seed) {
        folders_.push_back(Folder{"", 3, 0, -1, {}});  // "T:\"
    }

    std::uint64_t below(std::uint64_t n) { return random_() % n; }
    bool chance(int percent) { return below(100) < static_cast<std::uint64_t>(percent); }
    // One entry of a '|'-separated list.
    std::string pick(std::string_view list, std::size_t index = SIZE_MAX) {
        const std::size_t count =
            static_cast<std::size_t>(std::count(list.begin(), list.end(), '|'));
        index = index == SIZE_MAX ? below(count + 1) : index;
        for (; index > 0; --index) {
            list.remove_prefix(list.find('|') + 1);
        }
        return std::string(list.substr(0, list.find('|')));
    }

    std::size_t folderCount() const { return folders_.size() - 1; }
    const Folder& folder(std::size_t index) const { return folders_[index]; }

    // Adds a folder under `parent`; -1 when the name is taken or the path would be too long.
    int addFolder(int parent, const std::string& name) {
        Folder& up = folders_[parent];
        const std::size_t length = up.windowsLength + wideLength(name) + 1;
        if (up.depth >= kMaxDepth || length > kMaxFolderPath ||
            !up.taken.insert(lower(name)).second) {
            return -1;
        }
        const std::string path = up.path.empty() ? name : up.path + '/' + name;
        folders_.push_back(Folder{path, length, up.depth + 1, parent, {}});
        byPath_[path] = static_cast<int>(folders_.size() - 1);
        return static_cast<int>(folders_.size() - 1);
    }

    // Adds the folders of a relative path that are missing; returns the last one.
    int addPath(const std::string& path) {
        int at = 0;
        for (std::size_t end = 0; end != std::string::npos;) {
            end = path.find('/', end + 1);
            const std::string prefix = path.substr(0, end);
            const auto known = byPath_.find(prefix);
            at = known != byPath_.end() ? known->second
                                        : addFolder(at, prefix.substr(prefix.rfind('/') + 1));
        }
        return at;
    }

    bool claimFile(int folder, const std::string& name) {
        return folders_[folder].taken.insert(lower(name)).second;
    }

private:
    std::mt19937_64 random_;
    std::vector<Folder> folders_;
    std::map<std::string, int> byPath_;
};

// Word lists, '|'-separated.
constexpr std::string_view kWords =
    "Contoso|Fabrikam|Northwind Traders|Adventure Works|Litware|cache|data|bin|Resources|locales|"
    "en-US|plugins|Assets|Config|backup|x86|amd64|Common Files|Updates|Templates|"
    "Shared Components|Catalog|Settings|Media";
constexpr std::string_view kStems =
    "setup|install|report|error|debug|crash|session|update|memory|index|readme|license|driver|"
    "Changes|Profile|WER|cbs|netsetup|Backup of Notes|New Text Document";
constexpr std::string_view kExtensions =
    "dll|exe|txt|ini|dat|xml|png|jpg|sys|inf|cab|msi|htm|js|css|json|cfg|bin|pdf|doc|ico|gif|mui|"
    "manifest";
// Names near the junk patterns that a name match must leave alone.
constexpr std::string_view kDecoys =
    "catalog.txt2|x.tmp.txt|tmp.dat|thumbs.db.txt|mythumbs.db|suhdlog.dat2|modemst.txt1|log.txt~|"
    "report.tm|logtxt|bak|old|setup.lg|errorlog.txt.gz";
// Extensions whose 8.3 short form matches an extension pattern ("report.tmpl" -> REPORT~1.TMP).
constexpr std::string_view kShortDecoys = "tmpl|older|bakup|dmpx|logs|gidx|ftsx|oldest";

std::string varyCase(TreeBuilder& tree, std::string name) {
    const auto roll = tree.below(10);
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (roll < 2 || (roll == 2 && (i == 0 || name[i - 1] == '.'))) {
            name[i] = static_cast<char>(std::toupper(c));
        }
    }
    return name;
}

std::string numbered(TreeBuilder& tree, std::string_view stem) {
    return std::string(stem) + (tree.chance(60) ? std::to_string(tree.below(5000)) : "");
}

// Junk name shapes, '#' standing for a stem, and their shares in percent.
constexpr std::string_view kJunkShapes =
    "#.tmp|~#._tmp|#.dmp|mscreate.dir|Thumbs.db|Thumbs.DB|thumbs.db|#.gid|#.fts|#.ftg|#.log|"
    "modemst.txt|suhdlog.dat|SETUPLOG.TXT|#log.txt|log.txt.bak|#.bak|#.old";
constexpr std::array<int, 18> kJunkShares = {25, 3,  5, 2, 4, 3, 3, 3, 2,
                                             2,  23, 1, 1, 3, 5, 2, 6, 7};

std::string junkName(TreeBuilder& tree) {
    auto roll = static_cast<int>(tree.below(100));
    std::size_t shape = 0;
    while (roll >= kJunkShares[shape]) {
        roll -= kJunkShares[shape++];
    }
    std::string name = tree.pick(kJunkShapes, shape);
    if (const auto hash = name.find('#'); hash != std::string::npos) {
        name.replace(hash, 1, numbered(tree, tree.pick(kStems)));
    }
    return varyCase(tree, name);
}

std::string genericName(TreeBuilder& tree) {
    std::string stem = numbered(tree, tree.chance(30) ? tree.pick(kWords) : tree.pick(kStems));
    if (tree.chance(5)) {
        stem += " - Copy (" + std::to_string(tree.below(9) + 2) + ")";
    }
    return varyCase(tree, stem + "." + tree.pick(kExtensions));
}

struct Counts {
    std::size_t files = 0, junkRows = 0, junkFiles = 0, decoys = 0, shortDecoys = 0, nonAnsi = 0,
                nonAnsiRows = 0;
};

void note(Counts& counts, std::string_view name) {
    ++counts.files;
    const int matches = patternMatches(name);
    counts.junkRows += static_cast<std::size_t>(matches);
    counts.junkFiles += matches > 0 ? 1 : 0;
    counts.shortDecoys += shortNameOnlyMatch(name) ? 1 : 0;
    if (wideLength(name) != name.size()) {
        ++counts.nonAnsi;
    }
}

}  // namespace

int main(int argc, char** argv) {
    long folders = 20000, files = 200000;
    std::uint64_t seed = 1;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--folders" && hasValue) {
            folders = std::stol(argv[++i]);
        } else if (arg == "--files" && hasValue) {
            files = std::stol(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            seed = std::stoull(argv[++i]);
        } else if (out.empty() && !arg.starts_with("--")) {
            out = arg;
        } else {
            std::fprintf(stderr, "usage: make_tree [--folders N] [--files N] [--seed N] DIR\n");
            return 2;
        }
    }
    if (out.empty() || (fs::exists(out) && !fs::is_empty(out))) {
        std::fprintf(stderr, "make_tree: give a new or empty output folder\n");
        return 2;
    }

    TreeBuilder tree(seed);
    const char* users[] = {"Alice", "Bob Smith", "Public"};
    for (const char* user : users) {
        const std::string home = std::string("Users/") + user;
        for (const char* sub : {"/AppData/Local/Temp", "/AppData/Local/Microsoft/Windows",
                                "/AppData/Roaming", "/Documents", "/Pictures", "/Desktop"}) {
            tree.addPath(home + sub);
        }
    }
    for (const char* path :
         {"Windows/System32/drivers/etc", "Windows/System32/config", "Windows/SysWOW64",
          "Windows/Temp", "Windows/Logs/CBS", "Windows/Help", "Windows/Prefetch", "Windows/WinSxS",
          "Windows/Installer", "Program Files/Common Files", "Program Files (x86)",
          "ProgramData/Microsoft", "Users/Alice/Documents/RECYCLED"}) {
        tree.addPath(path);
    }
    // Folders named like matches, which are never rows.
    for (const char* path :
         {"Windows/Temp/old.bak", "Users/Alice/AppData/Local/Temp/session.tmp",
          "Windows/Logs/archive.log", "Users/Alice/Pictures/Thumbs.db",
          "Program Files/Legacy App.old", "Users/Bob Smith/Documents/report.tmpl"}) {
        tree.addPath(path);
    }

    Counts counts;
    std::vector<std::pair<int, std::string>> fileList;
    const auto addFile = [&](int folder, const std::string& name) {
        if (!tree.claimFile(folder, name)) {
            return false;
        }
        fileList.emplace_back(folder, name);
        note(counts, name);
        return true;
    };

    const std::size_t fixedFolders = tree.folderCount();
    for (std::size_t made = fixedFolders;
         made + kSpecialFolders < static_cast<std::size_t>(folders);) {
        int parent = static_cast<int>(tree.below(tree.folderCount() + 1));
        // Stepping up now and then makes the tree bushier than a plain random tree.
        if (parent > 0 && tree.chance(30)) {
            parent = tree.folder(parent).parent;
        }
        std::string name = tree.pick(kWords);
        if (tree.chance(40)) {
            name = varyCase(tree, numbered(tree, name));
        } else if (tree.chance(10)) {
            name = "{" + std::to_string(tree.below(1u << 30)) + "-4F89-11D3-9A0C-0305E82C3301}";
        }
        made += tree.addFolder(parent, name) >= 0 ? 1 : 0;
    }

    const int system32 = tree.addPath("Windows/System32");
    const auto folderCount = tree.folderCount();
    for (long i = 0; i + kSpecialFiles < files;) {
        const int folder = i % 33 == 5 ? system32 : static_cast<int>(tree.below(folderCount) + 1);
        std::string name;
        if (i % 50 == 0) {
            name = junkName(tree);
        } else if (i % 1000 == 1) {
            name =
                varyCase(tree, numbered(tree, tree.pick(kStems)) + "." + tree.pick(kShortDecoys));
        } else if (i % 200 == 3) {
            const std::string decoy = tree.pick(kDecoys);
            name = varyCase(tree, tree.chance(50) ? decoy : numbered(tree, "") + "_" + decoy);
        } else {
            name = genericName(tree);
        }
        if (addFile(folder, name)) {
            counts.decoys += i % 200 == 3 && patternMatches(name) == 0 ? 1 : 0;
            ++i;
        }
    }

    // Names beyond Windows-1252, whose ANSI forms carry '?'; junk in a folder named so, which
    // an ANSI walk cannot enter.
    const int russian = tree.addPath("Users/Alice/Documents/Документы");
    const int japanese = tree.addPath("Users/Bob Smith/Pictures/写真");
    addFile(tree.addPath("Users/Alice/Documents"), "Σημείωση.tmp");
    addFile(tree.addPath("Users/Alice/Documents"), "отчёт.log");
    addFile(tree.addPath("Users/Alice/AppData/Local/Temp"), "日本語.bak");
    addFile(tree.addPath("Windows/Temp"), "报告 2019.old");
    addFile(russian, "temp.tmp");
    addFile(russian, "Thumbs.db");
    addFile(russian, "письмо.txt");
    addFile(japanese, "thumbs.db");
    addFile(japanese, "画像.jpg");
    addFile(tree.addPath("Users/Alice/Documents"), "Café menu.log");
    // The root's Recycle Bin is never walked, so its junk makes no row.
    addFile(tree.addPath("RECYCLED"), "deleted.tmp");
    --counts.junkFiles;
    --counts.junkRows;
    addFile(tree.addPath("Users/Alice/Documents/RECYCLED"), "kept.tmp");

    std::size_t deepest = 0;
    for (std::size_t i = 1; i <= tree.folderCount(); ++i) {
        fs::create_directories(fs::path(out) / tree.folder(i).path);
        deepest = std::max<std::size_t>(deepest, static_cast<std::size_t>(tree.folder(i).depth));
    }
    std::size_t longest = 0;
    for (const auto& [folder, name] : fileList) {
        std::ofstream(fs::path(out) / tree.folder(folder).path / name);
        longest = std::max(longest, tree.folder(folder).windowsLength + wideLength(name));
        counts.nonAnsiRows +=
            wideLength(tree.folder(folder).path) != tree.folder(folder).path.size() ? 1 : 0;
    }

    std::printf("folders: %zu (deepest %zu levels)\nfiles: %zu (longest path %zu characters)\n",
                tree.folderCount(), deepest, counts.files, longest);
    std::printf("junk files: %zu, rows they make: %zu\n", counts.junkFiles, counts.junkRows);
    std::printf("decoys: %zu, of them matched only by an 8.3 short name: %zu\n",
                counts.decoys + counts.shortDecoys, counts.shortDecoys);
    std::printf("names beyond Windows-1252: %zu, files in folders named so: %zu\n", counts.nonAnsi,
                counts.nonAnsiRows);
    return 0;
}
