#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_host.h"
#include "ui/form.h"
#include "ui/update_pace.h"

namespace dustrel::ui {
namespace {

struct TestControls {
    explicit TestControls(Form& f) : form(f) {
        f.addPage(group);
        f.addPage(page2);
    }
    Form& form;
    Frame& group = form.add<Frame>(form, "group", Rect{0, 0, 2000, 2000});
    OptionButton& optA = form.add<OptionButton>(group, "optA", Rect{}, L"A");
    OptionButton& optB = form.add<OptionButton>(group, "optB", Rect{}, L"B");
    OptionButton& optOther = form.add<OptionButton>(form, "optOther", Rect{}, L"Other");
    CheckBox& chk = form.add<CheckBox>(form, "chk", Rect{}, L"Check");
    ComboBox& cbo = form.add<ComboBox>(form, "cbo", Rect{});
    TextBox& txt = form.add<TextBox>(form, "txt", Rect{});
    Button& cmd = form.add<Button>(form, "cmd", Rect{}, L"&Go");
    ProgressBar& bar = form.add<ProgressBar>(form, "bar", Rect{});
    ListView& list = form.add<ListView>(form, "list", Rect{}, true);
    Label& lbl = form.add<Label>(form, "lbl", Rect{});
    PictureBox& pic = form.add<PictureBox>(form, "pic", Rect{});
    Frame& page2 = form.add<Frame>(form, "page2", Rect{});
};

class TestForm : public FormOf<TestControls> {
public:
    explicit TestForm(UiHost& host) : FormOf(host, "frmTest") {}
    int loads = 0;
    int unloads = 0;
    bool cancelUnload = false;
    bool unloadAgainInside = false;

protected:
    void Form_Load() override {
        ++loads;
        ui().chk.setValue(CheckBox::Checked);  // touching a control while loading must not recurse
    }
    void Form_Unload(int& cancel) override {
        ++unloads;
        if (unloadAgainInside) {
            unload();
        }
        cancel = cancelUnload ? 1 : 0;
    }
};

using Seen = std::vector<std::pair<Prop, std::size_t>>;

struct Recorder : ControlObserver, FormObserver {
    Seen seen;
    void changed(Control&, Prop what, std::size_t index) override {
        seen.emplace_back(what, index);
    }
    void formChanged(Form&, Prop what) override { seen.emplace_back(what, 0); }
};

class UiModelTest : public ::testing::Test {
protected:
    testing::TestHost host;
    Recorder recorder;  // outlives the form, which may still notify it as it goes
    TestForm form{host};
    TestControls& c = form.ui();
};

// Each setter tells the view once when its value changes, and not when it is set again.
TEST_F(UiModelTest, SettersNotifyExactlyWhenTheValueChanges) {
    struct Case {
        const char* name;
        Prop prop;
        std::function<void()> set;
    };
    MenuItem& entry = form.addMenu("mnuTest", L"&Test").add("mnuEntry", L"&Entry");
    const Font bold{L"Verdana", 8.25, true};
    const Case cases[] = {
        {"caption", Prop::Caption, [&] { c.cmd.setCaption(L"&Stop"); }},
        {"enabled", Prop::Enabled, [&] { c.cmd.setEnabled(false); }},
        {"visible", Prop::Visible, [&] { c.cmd.setVisible(false); }},
        {"move", Prop::Rect,
         [&] {
             c.cmd.move(Rect{1, 2, 3, 4});
         }},
        {"font", Prop::Font, [&] { c.cmd.setFont(bold); }},
        {"z-order", Prop::ZOrder, [&] { c.optA.zOrder(ZOrderPosition::Front); }},
        {"frame caption font", Prop::Font, [&] { c.group.setCaptionFont(bold); }},
        {"frame fore colour", Prop::Colors, [&] { c.group.setForeColor(kAmber); }},
        {"frame back colour", Prop::Colors, [&] { c.group.setBackColor(kPageBlue); }},
        {"label colour", Prop::Colors, [&] { c.lbl.setForeColor(kWhite); }},
        {"label opaque", Prop::Colors, [&] { c.lbl.setTransparent(false); }},
        {"label pointer", Prop::MousePointer, [&] { c.lbl.setMousePointer(MousePointer::Hand); }},
        {"picture colour", Prop::Colors, [&] { c.pic.setBackColor(kWhite); }},
        {"picture image", Prop::Image, [&] { c.pic.setImage(Image::SidePanel); }},
        {"list colour", Prop::Colors, [&] { c.list.setBackColor(kAmber); }},
        {"bar max", Prop::Range, [&] { EXPECT_TRUE(c.bar.setMax(500)); }},
        {"bar min", Prop::Range, [&] { EXPECT_TRUE(c.bar.setMin(5)); }},
        {"bar value", Prop::Value, [&] { EXPECT_TRUE(c.bar.setValue(50)); }},
        {"text", Prop::Text, [&] { c.txt.setText(L"log"); }},
        {"check box", Prop::Value, [&] { c.chk.setValue(CheckBox::Unchecked); }},
        {"option", Prop::Value, [&] { c.optB.setValue(true); }},
        {"option cleared", Prop::Value, [&] { c.optB.setValue(false); }},
        {"combo choice", Prop::ListIndex, [&] { c.cbo.setListIndex(0); }},
        {"combo choice taken back", Prop::ListIndex, [&] { EXPECT_TRUE(c.cbo.setListIndex(-1)); }},
        {"row tick", Prop::Row, [&] { c.list.setChecked(0, true); }},
        {"all ticks", Prop::Rows, [&] { c.list.setAllChecked(true); }},
        {"form caption", Prop::Caption, [&] { form.setCaption(L"Dustrel"); }},
        {"form icon", Prop::Icon, [&] { form.setIcon(Image::AppIcon); }},
        {"form size", Prop::Rect, [&] { form.setClientSize(9000, 7000); }},
        {"form height", Prop::Rect, [&] { form.setClientSize(9000, 6000); }},
        {"form font", Prop::Font, [&] { form.setFont(bold); }},
        {"menu enabled", Prop::Menus, [&] { entry.setEnabled(false); }},
        {"menu visible", Prop::Menus, [&] { entry.setVisible(false); }},
        {"form colour", Prop::Colors, [&] { form.setBackColor(kPageBlue); }},
        {"form state", Prop::WindowState, [&] { form.setWindowState(WindowState::Minimized); }},
        {"form pointer", Prop::MousePointer,
         [&] { form.setMousePointer(MousePointer::Hourglass); }},
    };
    c.cbo.addItem(L"1 Day");
    c.list.addRow(L"a");
    c.list.addRow(L"b");
    // The whole form listens: one change is told once, by whatever it changed.
    form.setObserver(&recorder);
    for (Control* control : form.controls()) {
        control->setObserver(&recorder);
    }
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        recorder.seen.clear();
        test.set();
        EXPECT_EQ(recorder.seen, (Seen{{test.prop, 0}}));
        test.set();
        EXPECT_EQ(recorder.seen, (Seen{{test.prop, 0}}));
    }
    recorder.seen.clear();
    c.list.addRow(L"c");
    c.list.removeRows({0, 2});
    EXPECT_EQ(recorder.seen, (Seen{{Prop::RowsAppended, 2}, {Prop::Rows, 0}}));
}

TEST_F(UiModelTest, FormLoadsOnFirstTouchReloadsFreshAndUnloadCanBeCancelled) {
    TestForm f(host);  // not yet touched
    EXPECT_FALSE(f.loaded());
    EXPECT_EQ(f.ui().chk.value(), CheckBox::Checked);
    f.ui().txt.setText(L"typed");
    f.addMenu("mnuTest", L"&Test");
    f.ui().txt.setFocus();
    EXPECT_EQ(f.loads, 1);
    EXPECT_TRUE(f.unload());
    EXPECT_FALSE(f.loaded());
    EXPECT_EQ(f.focusedControl(), nullptr);
    EXPECT_TRUE(f.unload());  // nothing left to unload
    EXPECT_FALSE(f.visible());
    EXPECT_EQ(f.ui().txt.text(), L"");  // a new load starts from the layout again
    EXPECT_TRUE(f.menus().empty());
    EXPECT_EQ(f.loads, 2);

    f.show();
    f.cancelUnload = true;
    EXPECT_FALSE(f.unload());
    EXPECT_TRUE(f.loaded());
    EXPECT_TRUE(f.visible());
    f.cancelUnload = false;
    f.unloadAgainInside = true;
    EXPECT_TRUE(f.unload());
    EXPECT_FALSE(f.loaded());
    EXPECT_EQ(f.unloads, 3);

    f.unloadAgainInside = false;
    f.load();
    f.setWindowState(WindowState::Minimized);
    EXPECT_TRUE(f.unload());
    EXPECT_EQ(f.windowState(), WindowState::Normal);
    EXPECT_EQ(f.unloads, 4);
    // A form destroyed while loaded lets its view go first.
    struct UnloadCounter : testing::TestHost {
        int unloading = 0;
        void formUnloading(Form&) override { ++unloading; }
    } counter;
    std::make_unique<TestForm>(counter)->load();
    EXPECT_EQ(counter.unloading, 1);
}

// A handler that reached a form's controls goes no further once a wait returns with that form
// unloaded under it.
TEST_F(UiModelTest, AWaitAbandonsAHandlerWhoseFormWentUnderIt) {
    TestForm other(host);
    bool wentOn = false;
    host.onMessageBox = [&](const testing::MessageBoxCall&) { other.unload(); };
    host.raise(form, [&] {
        other.ui().txt.setText(L"held");
        (void)host.messageBox(L"wait", L"Dustrel");
        wentOn = true;
    });
    EXPECT_FALSE(wentOn);
    EXPECT_FALSE(other.loaded());
}

TEST_F(UiModelTest, CodeRaisesClickOnlyWhenStateChanges) {
    int clicks = 0;
    c.chk.onClick = c.cbo.onClick = c.txt.onChange = [&] { ++clicks; };
    c.chk.setValue(CheckBox::Checked);  // already checked by Form_Load
    c.chk.setValue(CheckBox::Unchecked);
    c.chk.setValue(CheckBox::Unchecked);
    c.chk.setValue(7);  // not a value: ignored
    EXPECT_EQ(clicks, 1);
    c.chk.userClick();
    EXPECT_EQ(c.chk.value(), CheckBox::Checked);
    c.chk.setEnabled(false);
    c.chk.userClick();
    EXPECT_EQ(c.chk.value(), CheckBox::Checked);
    EXPECT_EQ(clicks, 2);

    c.cbo.addItem(L"1 Day");
    c.cbo.addItem(L"5 Days");
    EXPECT_TRUE(c.cbo.setListIndex(1));
    EXPECT_TRUE(c.cbo.setListIndex(1));
    EXPECT_FALSE(c.cbo.setListIndex(2));
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(c.cbo.text(), L"5 Days");
    EXPECT_TRUE(c.cbo.setListIndex(0));
    EXPECT_EQ(c.cbo.text(), L"1 Day");
    c.cbo.clear();
    EXPECT_EQ(c.cbo.listIndex(), -1);

    clicks = 0;
    c.txt.setText(L"log");
    c.txt.setText(L"log");
    EXPECT_EQ(clicks, 1);
}

TEST_F(UiModelTest, OptionButtonsFormOneGroupPerContainer) {
    std::vector<std::string> clicks;
    for (OptionButton* opt : {&c.optA, &c.optB, &c.optOther}) {
        opt->onClick = [&clicks, opt] { clicks.push_back(opt->name()); };
    }
    c.optOther.setValue(true);
    c.optA.setValue(true);
    c.optA.setValue(true);
    c.optA.setObserver(&recorder);  // the window must hear of the button that lost its dot
    c.optB.userClick();
    EXPECT_EQ(recorder.seen, (Seen{{Prop::Value, 0}}));
    EXPECT_FALSE(c.optA.value());
    EXPECT_TRUE(c.optB.value());
    EXPECT_TRUE(c.optOther.value());  // another container, another group
    c.optB.setValue(false);           // clearing raises nothing
    EXPECT_EQ(clicks, (std::vector<std::string>{"optOther", "optA", "optB"}));
}

// The pages are the group and page2, made in that order.
TEST_F(UiModelTest, FrontPageFollowsZOrder) {
    EXPECT_EQ(form.frontPage(), &c.page2);
    c.group.zOrder(ZOrderPosition::Front);
    EXPECT_TRUE(form.isPageShown(c.group));
    c.pic.zOrder(ZOrderPosition::Front);  // not a page: the shown page stays
    EXPECT_EQ(form.frontPage(), &c.group);
    c.page2.zOrder(ZOrderPosition::Front);
    c.page2.zOrder(ZOrderPosition::Back);  // uncovers the page in front before it
    EXPECT_EQ(form.frontPage(), &c.group);
    c.group.zOrder(ZOrderPosition::Back);
    EXPECT_EQ(form.frontPage(), &c.page2);
    c.page2.setVisible(false);
    EXPECT_EQ(form.frontPage(), &c.group);
}

TEST_F(UiModelTest, ListChecksFromCodeAreSilentAndUserChecksRaiseOnce) {
    c.list.setObserver(&recorder);
    std::vector<std::size_t> checked;
    c.list.onItemCheck = [&](std::size_t row) { checked.push_back(row); };
    for (const wchar_t* path : {L"C:\\a.tmp", L"C:\\b.tmp", L"C:\\c.tmp"}) {
        c.list.addRow(path);
    }
    c.list.setChecked(0, true);
    c.list.setAllChecked(true);
    EXPECT_TRUE(checked.empty());
    EXPECT_EQ(c.list.checkedCount(), 3u);
    c.list.userToggle(1);
    EXPECT_FALSE(c.list.row(1).checked);
    EXPECT_EQ(checked, std::vector<std::size_t>{1});
    EXPECT_EQ(recorder.seen.back(), std::make_pair(Prop::Row, std::size_t{1}));
    c.list.userToggle(3);  // no such row
    c.list.setChecked(3, true);
    EXPECT_EQ(checked.size(), 1u);
    EXPECT_EQ(recorder.seen.back(), std::make_pair(Prop::Row, std::size_t{1}));
}

TEST_F(UiModelTest, SortingAlternatesIgnoringCaseAndKeepsChecks) {
    ListView& list = c.list;
    for (const wchar_t* path : {L"C:\\b.log", L"C:\\A.log", L"C:\\c.log", L"C:\\a.LOG"}) {
        list.addRow(path, {L"size"});
    }
    list.setChecked(2, true);  // c.log
    auto order = [&] {
        std::wstring joined;
        for (std::size_t i = 0; i < list.rowCount(); ++i) {
            joined += list.row(i).text.substr(3, 1);
        }
        return joined;
    };
    list.setSortOrder(SortOrder::Descending);
    EXPECT_EQ(order(), L"bAca");  // nothing moves until sorting is on
    list.setSorted(true);
    EXPECT_EQ(order(), L"cbAa");
    list.setSortOrder(SortOrder::Ascending);
    EXPECT_EQ(order(), L"Aabc");  // equal texts keep their order
    EXPECT_TRUE(list.row(3).checked);
    list.addRow(L"C:\\0.log");  // appended while sorted: stays last until the next sort
    list.setSortKey(2);         // a column no row fills: all equal
    EXPECT_EQ(order(), L"Aabc0");
    list.removeRow(list.rowCount());
    EXPECT_EQ(list.rowCount(), 5u);
}

TEST_F(UiModelTest, ProgressBarRefusesValuesOutsideItsRange) {
    EXPECT_TRUE(c.bar.setMin(1));
    EXPECT_TRUE(c.bar.setMax(100));
    EXPECT_EQ(c.bar.value(), 1);  // pulled into the new range
    EXPECT_TRUE(c.bar.setValue(100));
    EXPECT_FALSE(c.bar.setValue(101));
    EXPECT_FALSE(c.bar.setMin(100));
    EXPECT_TRUE(c.bar.setMax(200));
    EXPECT_EQ(c.bar.value(), 100);
    EXPECT_TRUE(c.bar.setMax(50));
    EXPECT_EQ(c.bar.value(), 50);
}

TEST_F(UiModelTest, DisabledOrHiddenButtonsAndMenusIgnoreClicks) {
    MenuItem& menu = form.addMenu("mnuTest", L"&Test");
    MenuItem& entry = menu.add("mnuEntry", L"&Entry");
    MenuItem& separator = menu.addSeparator("mnuSep");
    int clicks = 0;
    c.cmd.onClick = entry.onClick = separator.onClick = [&] { ++clicks; };
    c.cmd.click();
    c.cmd.setEnabled(false);
    c.cmd.click();
    c.cmd.setEnabled(true);
    c.cmd.setVisible(false);
    c.cmd.click();
    entry.click();
    separator.click();
    entry.setVisible(false);
    entry.click();
    EXPECT_EQ(clicks, 2);
}

// Changes reach a window a dozen times a second, rows out of view only every few seconds, and
// the tick may wrap in between.
TEST(UpdatePaceTest, ChangesAreDueByTheClockWhateverItsWrap) {
    EXPECT_FALSE(dueAgain(1000, 1000 + kRepaintEveryMs - 1, kRepaintEveryMs));
    EXPECT_TRUE(dueAgain(1000, 1000 + kRepaintEveryMs, kRepaintEveryMs));
    EXPECT_TRUE(dueAgain(0xFFFFFFF0u, kRepaintEveryMs, kRepaintEveryMs));
    EXPECT_FALSE(dueAgain(0xFFFFFFF0u, 5, kRepaintEveryMs));
    EXPECT_EQ(holdFor(true, false), kUnseenRowsEveryMs);
    EXPECT_EQ(holdFor(true, true), kRepaintEveryMs);
    EXPECT_EQ(holdFor(false, false), kRepaintEveryMs);
}

}  // namespace
}  // namespace dustrel::ui
