#pragma once

#include <gtest/gtest.h>

#include <string>

namespace dustrel::testing {

// A name no other test run uses at the same time.
std::wstring uniqueName();

// Removes a folder with everything in it, read-only files too.
void removeTree(const std::wstring& folder);

// A fresh folder under the temporary folder, removed with everything in it afterwards. Files are
// made and looked at with the bare API, so that a fault in the code under test cannot hide in the
// set-up or the checks.
class TempTreeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring at(const std::wstring& name) const { return root_ + L"\\" + name; }

    static void makeFile(const std::wstring& path, const std::string& bytes = {});
    // Under Wine: the Unix path of a Windows path, and a shell script run on the Unix side
    // (for names and links the Win32 functions cannot make). Empty, and false, elsewhere.
    static std::string unixPath(const std::wstring& path);
    static bool runUnixScript(const std::string& script);
    static bool present(const std::wstring& path);
    // The file's bytes, or "<unreadable>".
    static std::string bytesOf(const std::wstring& path);

    std::wstring root_;
};

}  // namespace dustrel::testing
