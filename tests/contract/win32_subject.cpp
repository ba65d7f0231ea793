#include <windows.h>

#include <algorithm>
#include <vector>

#include "contract/subject.h"
#include "platform/utf8.h"
#include "platform/win32/win32_platform.h"
#include "support/win32_temp_tree.h"

namespace dustrel::contract {
namespace {

class Win32Subject final : public Subject {
public:
    ~Win32Subject() override {
        for (const HANDLE held : held_) {
            CloseHandle(held);
        }
        // From the Unix side, which removes twins, links and folders deeper than MAX_PATH alike.
        EXPECT_TRUE(testing::runUnix("rm -rf " + unix(folder_)));
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        // The shared parent goes too once no other run is using it.
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\DustrelTest");
    }

    platform::Platform platform() override { return real_.platform(); }
    std::wstring folder() override { return folder_; }
    std::wstring key() override { return key_; }
    void addTwin(const std::wstring& path, const std::string& bytes) override {
        const std::string file = unix(path);
        EXPECT_TRUE(testing::runUnix("mkdir -p \"$(dirname " + file + ")\" && printf %s '" + bytes +
                                     "' > " + file));
    }
    void addLink(const std::wstring& link, const std::wstring& target) override {
        EXPECT_TRUE(testing::runUnix("ln -s " + unix(target) + " " + unix(link)));
    }
    void holdOpen(const std::wstring& file) override {
        held_.push_back(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_NE(held_.back(), INVALID_HANDLE_VALUE);
    }

private:
    // Quoted for the shell; the folder's own Unix name, so that what is below need not exist.
    std::string unix(const std::wstring& path) const {
        std::string below = platform::toUtf8(std::wstring_view(path).substr(folder_.size()));
        std::replace(below.begin(), below.end(), '\\', '/');
        return std::string(1, '\'').append(testing::unixPath(folder_)) + below + "'";
    }

    platform::win32::Win32Platform real_;
    const std::wstring folder_ = testing::makeTempFolder(L"DustrelContract.");
    const std::wstring key_ = L"Software\\DustrelTest\\" + testing::uniqueName();
    std::vector<HANDLE> held_;
};

}  // namespace

std::unique_ptr<Subject> makeSubject() {
    return std::make_unique<Win32Subject>();
}

}  // namespace dustrel::contract
