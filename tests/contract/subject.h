#pragma once

// The contract every implementation of the platform keeps. The cases in
// platform_contract_test.cpp are written once and run natively against the fakes
// (fake_subject.cpp) and under Wine against the real Win32Platform (win32_subject.cpp), so that
// what the fakes let the other tests assume is what Windows does.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/utf8.h"

namespace dustrel::contract {

// One implementation, and what the cases need to set up that its interfaces cannot.
class Subject {
public:
    virtual ~Subject() = default;

    virtual platform::Platform platform() = 0;
    // An empty folder to work in, named by a full path without a trailing backslash, and a
    // registry key under HKEY_CURRENT_USER; both no one else uses, and both gone afterwards.
    virtual std::wstring folder() = 0;
    virtual std::wstring key() = 0;
    // A file exactly as named, beside any twin whose name differs only in letter case.
    virtual void addTwin(const std::wstring& path, const std::string& bytes) = 0;
    // A folder link (a junction, or a symbolic link under Wine) that leads to `target`.
    virtual void addLink(const std::wstring& link, const std::wstring& target) = 0;
    // Another program opens the file sharing reading only, until the subject goes.
    virtual void holdOpen(const std::wstring& file) = 0;
};

std::unique_ptr<Subject> makeSubject();

class ContractTest : public ::testing::Test {
protected:
    std::wstring at(const std::wstring& name) const { return root_ + L"\\" + name; }
    // Makes each folder (its name ending in "\\") and file (holding its name) in the work folder.
    void add(const std::vector<std::wstring>& names) {
        for (const std::wstring& name : names) {
            EXPECT_EQ(name.ends_with(L'\\') ? p_.files.createFolder(at(name))
                                            : p_.files.writeFile(at(name), platform::toUtf8(name),
                                                                 platform::WriteMode::CreateNew),
                      platform::Status::Ok)
                << platform::toUtf8(name);
        }
    }

    std::unique_ptr<Subject> subject_ = makeSubject();
    platform::Platform p_ = subject_->platform();
    const std::wstring root_ = subject_->folder();
};

}  // namespace dustrel::contract
