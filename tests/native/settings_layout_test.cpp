#include <gtest/gtest.h>

#include "native/app_fixture.h"
#include "settings/frm_custom_ext.h"

namespace dustrel::testing {
namespace {

std::vector<std::string> tabOrder(const ui::Form& form) {
    std::vector<std::string> names;
    for (const ui::Control* control : form.controls()) {
        names.push_back(control->name());
    }
    return names;
}

// Controls inside a frame are written in the window's font, not in the frame caption's.
void expectWindowFontInside(const ui::Form& form, const ui::Frame& frame) {
    for (const ui::Control* control : form.controls()) {
        if (&control->parent() == &frame && control->name() != "Label3" &&
            control->name() != "cboLogFiles") {
            EXPECT_EQ(control->font(), form.font()) << control->name();
        }
    }
}

TEST_F(AppTest, SettingsWindowIsLaidOutAsDesigned) {
    auto& window = form.frmSettings();
    auto& s = window.ui();
    EXPECT_EQ(window.caption(), L"Dustrel v1.0");
    EXPECT_EQ(window.clientWidth(), 5055);
    EXPECT_EQ(window.clientHeight(), 2940);
    EXPECT_EQ(
        tabOrder(window),
        (std::vector<std::string>{"picHook", "chkSysTray", "Frame1", "cmdLogFiles", "fraSettings1",
                                  "optDontRun", "optRun", "cboLogFiles", "Label1", "Command1"}));
    EXPECT_TRUE(window.closesOnEscape());
    EXPECT_FALSE(form.closesOnEscape());
    EXPECT_EQ(s.Frame1.caption(), L"Settings");
    EXPECT_EQ(s.Frame1.captionFont(), (ui::Font{L"Verdana", 9.75, true}));
    EXPECT_EQ(s.Frame1.foreColor(), (ui::Color{4, 64, 115}));
    EXPECT_EQ(s.fraSettings1.caption(), L"Start Up Options");
    EXPECT_EQ(s.cboLogFiles.font(), (ui::Font{L"Verdana", 9.75, false}));
    EXPECT_FALSE(s.picHook.visible());
    EXPECT_FALSE(s.chkSysTray.visible());
    expectWindowFontInside(window, s.Frame1);
    expectWindowFontInside(window, s.fraSettings1);
}

TEST_F(AppTest, CustomExtensionWindowIsLaidOutAsDesigned) {
    auto& window = form.frmCustomExt();
    auto& x = window.ui();
    EXPECT_EQ(window.caption(), L"Dustrel v1.0");
    EXPECT_EQ(window.clientWidth(), 5055);
    EXPECT_EQ(window.clientHeight(), 2940);
    // From the name box to Add, then to the extension box.
    EXPECT_EQ(tabOrder(window),
              (std::vector<std::string>{"Frame1", "txtExtType", "cmdAdd", "txtCustom", "Label3",
                                        "Label2", "Label1"}));
    EXPECT_TRUE(window.closesOnEscape());
    EXPECT_EQ(x.Frame1.caption(), L"Add Custom Extension");
    EXPECT_EQ(x.Label3.font(), (ui::Font{L"Verdana", 8.25, true}));
    expectWindowFontInside(window, x.Frame1);
}

}  // namespace
}  // namespace dustrel::testing
