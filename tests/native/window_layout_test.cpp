// What a user sees of the three windows as they open: every control they can reach inside its
// frame or window, none covering another, the keyboard's path through them, and the texts.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "native/app_fixture.h"
#include "platform/program_info.h"
#include "settings/frm_custom_ext.h"

namespace dustrel::testing {
namespace {

using Names = std::vector<std::string>;

// Sharing at least a pixel (15 twips) each way.
bool overlap(const ui::Rect& a, const ui::Rect& b) {
    const int across = std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
    const int down = std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
    return across >= 15 && down >= 15;
}

bool takesFocus(ui::ControlKind kind) {
    using enum ui::ControlKind;
    return kind != Frame && kind != Label && kind != PictureBox && kind != ProgressBar;
}

// Checks the rules every window keeps and returns its tab order.
Names checkWindow(const ui::Form& window) {
    SCOPED_TRACE(window.name());
    EXPECT_EQ(window.caption(), L"Dustrel v1.0");
    Names tabOrder;
    for (const ui::Control* control : window.controls()) {
        const auto* frame = dynamic_cast<const ui::Frame*>(&control->parent());
        const ui::Rect box = frame != nullptr
                                 ? ui::Rect{0, 0, frame->rect().width, frame->rect().height}
                                 : ui::Rect{0, 0, window.clientWidth(), window.clientHeight()};
        const ui::Rect& r = control->rect();
        const bool inside = r.left >= box.left && r.top >= box.top &&
                            r.left + r.width <= box.width && r.top + r.height <= box.height;
        if (control->tabStop()) {
            EXPECT_TRUE(inside) << control->name();
        }
        if (control->tabStop() && takesFocus(control->kind())) {
            tabOrder.push_back(control->name() +
                               (control->index() >= 0 ? std::to_string(control->index()) : ""));
        }
        // Frames hold their controls in the window's font, whatever their caption's.
        if (!control->hasOwnFont() && (frame == nullptr || !frame->hasOwnFont())) {
            EXPECT_EQ(control->font(), window.font()) << control->name();
        }
        for (const ui::Control* other : control->parent().children()) {
            if (other != control && control->visible() && other->visible() &&
                control->kind() != ui::ControlKind::Frame &&
                other->kind() != ui::ControlKind::Frame) {
                EXPECT_FALSE(overlap(r, other->rect())) << control->name() << " " << other->name();
            }
        }
    }
    return tabOrder;
}

TEST_F(AppTest, WindowsKeepTheirControlsApartInsideThemInTabOrder) {
    auto& c = start();
    form.frmCustomExt().load();
    // Page by page: the side panel, About, deleted files, results, categories, drives.
    EXPECT_EQ(checkWindow(form),
              (Names{"cmdSettings", "cmdAddCustomExt", "cmdExit0", "cmdOK",     "lstFilesDelete",
                     "cmdBack2",    "cmdExitReboot",   "cmdExit2", "ListFiles", "cmdCheck",
                     "cmdClear",    "cmdStopScan",     "cmdBack",  "cmdDelete", "lstOptions",
                     "cmdCheckAll", "cmdClearAll",     "cmdBack1", "cmdNext1",  "ListDrive",
                     "cmdNext"}));
    EXPECT_EQ(checkWindow(form.frmSettings()),
              (Names{"cmdLogFiles", "optDontRun", "optRun", "cboLogFiles", "Command1"}));
    // The tray's hook and the tray choice are never seen.
    EXPECT_FALSE(form.frmSettings().ui().picHook.visible());
    EXPECT_FALSE(form.frmSettings().ui().chkSysTray.visible());
    // From the name box to Add, then to the extension box.
    EXPECT_EQ(checkWindow(form.frmCustomExt()), (Names{"txtExtType", "cmdAdd", "txtCustom"}));
    EXPECT_EQ(form.frontPage(), &c.Frame2);
    for (ui::Frame* page : form.pages()) {
        EXPECT_EQ(page->rect(), c.Frame2.rect()) << page->name();
    }
    EXPECT_TRUE(form.frmSettings().closesOnEscape());
    EXPECT_TRUE(form.frmCustomExt().closesOnEscape());
    EXPECT_FALSE(form.closesOnEscape());
}

// The hidden update entry still works; the links open their pages on the vendor's site.
TEST_F(AppTest, MenuBarOffersNeitherSettingsNorUpdateAndLinksOpenTheirPages) {
    auto& c = start();
    std::vector<std::wstring> bar;
    for (const auto& menu : form.menus()) {
        if (!menu->visible()) {
            continue;
        }
        bar.push_back(menu->caption());
        for (const auto& entry : menu->items()) {
            if (entry->visible()) {
                bar.push_back(L"  " + entry->caption());
            }
        }
    }
    EXPECT_EQ(bar, (std::vector<std::wstring>{L"&File", L"  &Exit", L"&Help", L"  &Online Help",
                                              L"  &Visit Us Online", L"  &About Software"}));
    EXPECT_EQ(c.mnuPopUP.items().size(), 2u);

    c.Label8.click();
    c.Label10.click();
    c.mnuOnline.click();
    c.mnuVisit.click();
    form.mnuUpdate_Click();
    const std::wstring site = platform::kVendorSite;
    EXPECT_EQ(fakes.shell.opened(),
              (std::vector<std::wstring>{site + L"/", site + L"/contact-dustrel.html",
                                         site + L"/dustrel-help", site + L"/",
                                         site + L"/download-dustrel.html"}));
    EXPECT_NE(c.Label8.caption().find(site), std::wstring::npos);
}

}  // namespace
}  // namespace dustrel::testing
