#include "scan/junk_categories.h"

namespace dustrel::scan {

namespace {

constexpr std::wstring_view kTemporary[] = {L"*.tmp", L"*._tmp", L"*.dmp", L"mscreate.dir"};
constexpr std::wstring_view kImageCaches[] = {L"thumbs.db"};
constexpr std::wstring_view kHelpCaches[] = {L"*.gid", L"*.fts", L"*.ftg"};
constexpr std::wstring_view kLogs[] = {L"*.log"};
constexpr std::wstring_view kDiagnostics[] = {L"modemst.txt", L"suhdlog.dat", L"*log.txt"};
constexpr std::wstring_view kBackups[] = {L"*.bak", L"*.old"};

}  // namespace

const std::array<JunkCategory, 6> kJunkCategories = {{
    {L"Temporary Files", kTemporary},
    {L"Image Caches", kImageCaches},
    {L"Help Files Caches", kHelpCaches},
    {L"Log Files", kLogs},
    {L"Diagnostics Files", kDiagnostics},
    {L"Backup Files", kBackups},
}};

}  // namespace dustrel::scan
