#include "contract/subject.h"
#include "platform/path_text.h"
#include "support/fake_platform.h"

namespace dustrel::contract {
namespace {

class FakeSubject final : public Subject {
public:
    FakeSubject() { fakes_.files.addFolder(folder()); }

    platform::Platform platform() override { return fakes_.platform(); }
    std::wstring folder() override { return L"C:\\Work"; }
    std::wstring key() override { return L"Software\\DustrelTest\\Contract"; }
    void addTwin(const std::wstring& path, const std::string& bytes) override {
        fakes_.files.makeCaseSensitive(platform::folderOf(path));
        fakes_.files.addFile(path, bytes);
    }
    void addLink(const std::wstring& link, const std::wstring& target) override {
        fakes_.files.addLink(link, target);
    }
    void holdOpen(const std::wstring& file) override { fakes_.files.lock(file); }

private:
    testing::FakePlatform fakes_;
};

}  // namespace

std::unique_ptr<Subject> makeSubject() {
    return std::make_unique<FakeSubject>();
}

}  // namespace dustrel::contract
