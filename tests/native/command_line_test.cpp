#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace dustrel::platform {
namespace {

TEST(ArgumentsOf, SkipsTheProgramNameAndTheBlanksAfterItAndKeepsTheRestAsWritten) {
    EXPECT_EQ(argumentsOf(L"\"C:\\Program Files\\Dustrel\\Dustrel.exe\" /auto"), L"/auto");
    EXPECT_EQ(argumentsOf(L"Dustrel.exe \t  \"C:\\My Files\\a.txt\"  b "),
              L"\"C:\\My Files\\a.txt\"  b ");
    // A quote may close in the middle of the name; the name runs on to the next blank.
    EXPECT_EQ(argumentsOf(L"\"C:\\My Apps\"\\Dustrel.exe /auto"), L"/auto");
    EXPECT_EQ(argumentsOf(L""), L"");
    EXPECT_EQ(argumentsOf(L"\"C:\\Program Files\\Dustrel\\Dustrel.exe\"   "), L"");
    // An unclosed quote swallows the whole line into the name.
    EXPECT_EQ(argumentsOf(L"\"C:\\Program Files\\Dustrel.exe /auto"), L"");
}

}  // namespace
}  // namespace dustrel::platform
