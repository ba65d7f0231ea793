#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "support/fake_platform.h"
#include "support/test_host.h"

namespace dustrel::app {
namespace {

class FrmMainLayoutTest : public ::testing::Test {
protected:
    testing::TestHost host;
    testing::FakePlatform fakes;
    AppContext context{fakes.platform(), {}};
    FrmMain form{host, context};
};

TEST_F(FrmMainLayoutTest, OpensOnTheDrivePageWithActionsDisabled) {
    auto& c = form.ui();
    EXPECT_EQ(form.caption(), L"Dustrel v1.0");
    EXPECT_EQ(form.clientWidth(), 11535);
    EXPECT_EQ(form.clientHeight(), 6615);
    EXPECT_EQ(form.frontPage(), &c.Frame2);
    EXPECT_FALSE(c.cmdNext.enabled());
    EXPECT_FALSE(c.cmdDelete.enabled());
    EXPECT_FALSE(c.cmdRecycle.enabled());
    EXPECT_FALSE(c.cmdRecycle.visible());
    EXPECT_FALSE(c.picMessage.visible());
    for (ui::Frame* page : form.pages()) {
        EXPECT_EQ(page->rect(), (ui::Rect{2880, 120, 8530, 6375})) << page->name();
    }
}

TEST_F(FrmMainLayoutTest, MenuBarOffersNeitherSettingsNorUpdate) {
    auto& c = form.ui();
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
}

TEST_F(FrmMainLayoutTest, HiddenExitButtonsLieBelowTheirPages) {
    auto& c = form.ui();
    for (int i : {1, 2}) {
        const auto& exit = *c.cmdExit[static_cast<std::size_t>(i)];
        EXPECT_EQ(exit.index(), i);
        EXPECT_GT(exit.rect().top, c.Frame3.rect().height);
        EXPECT_FALSE(exit.tabStop());
    }
}

}  // namespace
}  // namespace dustrel::app
