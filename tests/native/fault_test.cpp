// What an exception nothing expected does: one report, then the program's own way out.

#include <memory>
#include <stdexcept>

#include "clean/program_exit.h"
#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

const std::wstring kStopped = L"An unexpected error stopped Dustrel";

TEST(FaultMessageTest, SaysWhatTheExceptionSaysAsFarAsItCanBeRead) {
    const struct {
        std::exception_ptr error;
        std::wstring text;
    } cases[] = {
        {std::make_exception_ptr(std::runtime_error("disk on fire")), kStopped + L": disk on fire"},
        {std::make_exception_ptr(std::runtime_error("")), kStopped + L"."},
        {std::make_exception_ptr(42), kStopped + L"."},
        {std::make_exception_ptr(std::runtime_error("caf\xC3\xA9\n\x7F~")),
         kStopped + L": caf????~"},
        {std::make_exception_ptr(std::runtime_error(std::string(500, 'x'))),
         kStopped + L": " + std::wstring(400, L'x')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::faultMessage(c.error), c.text);
    }
}

// A host outlives the program's exit it was given: a fault after that still ends the program.
TEST(FaultExitTest, EndsTheProgramWhenNoExitIsLeftToRun) {
    TestHost host;
    host.faultExpected = true;
    int farewells = 0;
    std::make_unique<clean::ProgramExit>(host, [&farewells] { ++farewells; }).reset();
    host.fault(std::make_exception_ptr(std::runtime_error("late")));
    EXPECT_EQ(host.endProgramCalls, 1);
    EXPECT_EQ(farewells, 0);
}

class FaultTest : public AppTest {
protected:
    void SetUp() override {
        start();
        host.faultExpected = true;
    }
    void fail() { throw std::runtime_error("boom"); }
    const ui::MessageBoxStyle kStopBox{ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop};
};

// Reported once, whatever else fails or is tried while the box is up; then every window goes
// as the program's exits take them, without the thank-you page, and nothing runs any more.
TEST_F(FaultTest, IsReportedOnceThenTheProgramEndsAsItsExitsEndIt) {
    bool ranDuringReport = false;
    host.onMessageBox = [&](const MessageBoxCall&) {
        host.barrier([] { throw std::logic_error("second"); });  // a window's own fault
        act([&] { ranDuringReport = true; });
        form.ui().cmdExit[0]->click();
    };
    bool wentOn = false;
    act([&] {
        form.frmSettings().ui();
        // Raised directly by the handler: the handler that raised it goes no further either.
        act([this] { fail(); });
        wentOn = true;
    });

    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, kStopped + L": boom");
    EXPECT_EQ(host.messageBoxes[0].caption, L"Dustrel");
    EXPECT_EQ(host.messageBoxes[0].style, kStopBox);
    EXPECT_FALSE(ranDuringReport || wentOn);
    EXPECT_FALSE(form.loaded() || form.frmSettings().loaded());
    EXPECT_EQ(host.endProgramCalls, 1);
    EXPECT_EQ(thankYouPages(), 0);
    act([&] { wentOn = true; });
    EXPECT_FALSE(wentOn);
}

// A Delete stops at the fault, whether its own work fails or a handler run from its look at
// the queue: the log names exactly the files gone, and the rest stay.
class DeleteFaultTest : public FaultTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DeleteFaultTest, LeavesTheLogOfTheFilesGoneComplete) {
    const bool inOwnWork = GetParam();
    auto& c = form.ui();
    fakes.files.addFile(L"C:\\Program Files\\Dustrel\\Dustrel.exe", "MZ");
    const std::vector<std::wstring> paths = {L"C:\\1.tmp", L"C:\\2.tmp", L"C:\\3.tmp",
                                             L"C:\\4.tmp"};
    for (const std::wstring& path : paths) {
        fakes.files.addFile(path, "data");
        c.ListFiles.setChecked(c.ListFiles.addRow(path), true);
    }
    int looks = 0;
    host.onDoEvents = [&] {
        if (++looks == 3 && !inOwnWork) {
            act([this] { fail(); });
        }
    };
    fakes.files.duringDeletion = [&](const std::wstring& path, bool) {
        if (inOwnWork && path == paths[2]) {
            fail();
        }
    };
    c.cmdDelete.setEnabled(true);
    c.cmdDelete.click();

    EXPECT_EQ(host.messageTexts(), std::vector<std::wstring>{kStopped + L": boom"});
    EXPECT_FALSE(fakes.files.exists(paths[0]) || fakes.files.exists(paths[1]));
    EXPECT_TRUE(fakes.files.exists(paths[2]) && fakes.files.exists(paths[3]));
    EXPECT_EQ(
        fakes.files.contents(L"C:\\Program Files\\Dustrel\\log files\\Dustrel-06152024-1200.log"),
        "\xEF\xBB\xBF"
        "Dustrel\r\n15/06/2024\r\n12:00:00\r\n\r\nFiles Deleted are:\r\n\r\n"
        "C:\\1.tmp\r\nC:\\2.tmp\r\n");
    EXPECT_FALSE(form.loaded());
}

INSTANTIATE_TEST_SUITE_P(InItsOwnWorkOrAHandlerItRan, DeleteFaultTest, ::testing::Bool());

}  // namespace
}  // namespace dustrel::testing
