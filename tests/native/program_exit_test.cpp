#include <gtest/gtest.h>

#include <functional>

#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

struct ExitPath {
    const char* name;
    std::function<void(app::FrmMain&)> take;
};

class ProgramExitTest : public AppTest, public ::testing::WithParamInterface<ExitPath> {};

TEST_P(ProgramExitTest, UnloadsEveryWindowOpensTheThankYouPageOnceAndEnds) {
    auto& c = start();
    // The other two windows are loaded, as after a visit to each.
    form.frmCustomExt().load();
    form.showPage(c.Frame1);
    GetParam().take(form);
    EXPECT_EQ(thankYouPages(), 1);
    EXPECT_EQ(host.endProgramCalls, 1);
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(form.frmSettings().loaded());
    EXPECT_FALSE(form.frmCustomExt().loaded());
    EXPECT_TRUE(form.programExit().ended());
}

INSTANTIATE_TEST_SUITE_P(
    EveryPath, ProgramExitTest,
    ::testing::Values(
        ExitPath{"ExitButton", [](app::FrmMain& f) { f.ui().cmdExit[0]->click(); }},
        ExitPath{"HiddenExitButton", [](app::FrmMain& f) { f.cmdExit_Click(1); }},
        ExitPath{"FileMenuExit", [](app::FrmMain& f) { f.ui().mnuExit.click(); }},
        ExitPath{"CloseBox", [](app::FrmMain& f) { f.unload(); }},
        ExitPath{"ExitWithoutReboot", [](app::FrmMain& f) { f.ui().cmdExit2.click(); }},
        ExitPath{"TrayMenuExit", [](app::FrmMain& f) { f.mnuExit1_Click(); }},
        ExitPath{"UnloadingEveryWindow", [](app::FrmMain& f) { f.programExit().UnloadAllForms(); }},
        ExitPath{"ExitTwice",
                 [](app::FrmMain& f) {
                     f.programExit().ExitProgram();
                     f.programExit().ExitProgram();
                 }}),
    [](const ::testing::TestParamInfo<ExitPath>& info) { return info.param.name; });

TEST_F(AppTest, ExitWithRebootAsksForARestartAndStaysWhenRefused) {
    auto& c = start();
    form.showPage(c.Frame1);
    fakes.system.restartAnswer = platform::Status::AccessDenied;
    c.cmdExitReboot.click();
    EXPECT_EQ(fakes.system.restartRequests, 1);
    EXPECT_EQ(thankYouPages(), 0);
    EXPECT_EQ(host.endProgramCalls, 0);
    EXPECT_TRUE(form.loaded());
    EXPECT_EQ(form.frontPage(), &c.Frame1);
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
}  // namespace dustrel::testing
