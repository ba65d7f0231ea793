#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_host.h"
#include "ui/form.h"
#include "ui/update_pace.h"

namespace dustrel::ui {
namespace {

struct TestControls {
    explicit TestControls(Form& f)
        : group(f.add<Frame>(f, "group", Rect{0, 0, 2000, 2000})),
          optA(f.add<OptionButton>(group, "optA", Rect{}, L"A")),
          optB(f.add<OptionButton>(group, "optB", Rect{}, L"B")),
          optOther(f.add<OptionButton>(f, "optOther", Rect{}, L"Other")),
          chk(f.add<CheckBox>(f, "chk", Rect{}, L"Check")),
          cbo(f.add<ComboBox>(f, "cbo", Rect{})),
          txt(f.add<TextBox>(f, "txt", Rect{})),
          cmd(f.add<Button>(f, "cmd", Rect{}, L"&Go")),
          bar(f.add<ProgressBar>(f, "bar", Rect{})),
          list(f.add<ListView>(f, "list", Rect{}, true)),
          lbl(f.add<Label>(f, "lbl", Rect{})),
          pic(f.add<PictureBox>(f, "pic", Rect{})),
          page2(f.add<Frame>(f, "page2", Rect{})) {
        f.addPage(group);
        f.addPage(page2);
    }

    Frame& group;
    OptionButton& optA;
    OptionButton& optB;
    OptionButton& optOther;
    CheckBox& chk;
    ComboBox& cbo;
    TextBox& txt;
    Button& cmd;
    ProgressBar& bar;
    ListView& list;
    Label& lbl;
    PictureBox& pic;
    Frame& page2;
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

struct Recorder : ControlObserver {
    std::vector<std::pair<Prop, std::size_t>> seen;
    void changed(Control&, Prop what, std::size_t index) override {
        seen.emplace_back(what, index);
    }
};

struct FormRecorder : FormObserver {
    std::vector<Prop> seen;
    void formChanged(Form&, Prop what) override { seen.push_back(what); }
};

class UiModelTest : public ::testing::Test {
protected:
    testing::TestHost host;
    TestForm form{host};
};

// Each setter tells the view once when its value changes, and not when it is set again.
TEST_F(UiModelTest, SettersNotifyExactlyWhenTheValueChanges) {
    auto& c = form.ui();
    struct Case {
        const char* name;
        Control* control;  // null for the form itself
        Prop prop;
        std::function<void()> set;
    };
    MenuItem& entry = form.addMenu("mnuTest", L"&Test").add("mnuEntry", L"&Entry");
    const Font bold{L"Verdana", 8.25, true};
    const Case cases[] = {
        {"caption", &c.cmd, Prop::Caption, [&] { c.cmd.setCaption(L"&Stop"); }},
        {"enabled", &c.cmd, Prop::Enabled, [&] { c.cmd.setEnabled(false); }},
        {"visible", &c.cmd, Prop::Visible, [&] { c.cmd.setVisible(false); }},
        {"move", &c.cmd, Prop::Rect,
         [&] {
             c.cmd.move({1, 2, 3, 4});
         }},
        {"font", &c.cmd, Prop::Font, [&] { c.cmd.setFont(bold); }},
        {"z-order", &c.optA, Prop::ZOrder, [&] { c.optA.zOrder(ZOrderPosition::Front); }},
        {"frame caption font", &c.group, Prop::Font, [&] { c.group.setCaptionFont(bold); }},
        {"frame fore colour", &c.group, Prop::Colors, [&] { c.group.setForeColor(kAmber); }},
        {"frame back colour", &c.group, Prop::Colors, [&] { c.group.setBackColor(kPageBlue); }},
        {"label colour", &c.lbl, Prop::Colors, [&] { c.lbl.setForeColor(kWhite); }},
        {"label opaque", &c.lbl, Prop::Colors, [&] { c.lbl.setTransparent(false); }},
        {"label pointer", &c.lbl, Prop::MousePointer,
         [&] { c.lbl.setMousePointer(MousePointer::Hand); }},
        {"picture colour", &c.pic, Prop::Colors, [&] { c.pic.setBackColor(kWhite); }},
        {"picture image", &c.pic, Prop::Image, [&] { c.pic.setImage(Image::SidePanel); }},
        {"list colour", &c.list, Prop::Colors, [&] { c.list.setBackColor(kAmber); }},
        {"bar max", &c.bar, Prop::Range, [&] { EXPECT_TRUE(c.bar.setMax(500)); }},
        {"bar min", &c.bar, Prop::Range, [&] { EXPECT_TRUE(c.bar.setMin(5)); }},
        {"bar value", &c.bar, Prop::Value, [&] { EXPECT_TRUE(c.bar.setValue(50)); }},
        {"text", &c.txt, Prop::Text, [&] { c.txt.setText(L"log"); }},
        {"check box", &c.chk, Prop::Value, [&] { c.chk.setValue(CheckBox::Unchecked); }},
        {"option", &c.optB, Prop::Value, [&] { c.optB.setValue(true); }},
        {"combo choice", &c.cbo, Prop::ListIndex, [&] { c.cbo.setListIndex(0); }},
        {"row tick", &c.list, Prop::Row, [&] { c.list.setChecked(0, true); }},
        {"all ticks", &c.list, Prop::Rows, [&] { c.list.setAllChecked(true); }},
        {"form caption", nullptr, Prop::Caption, [&] { form.setCaption(L"Dustrel"); }},
        {"form icon", nullptr, Prop::Icon, [&] { form.setIcon(Image::AppIcon); }},
        {"form size", nullptr, Prop::Rect, [&] { form.setClientSize(9000, 7000); }},
        {"form height", nullptr, Prop::Rect, [&] { form.setClientSize(9000, 6000); }},
        {"form font", nullptr, Prop::Font, [&] { form.setFont(bold); }},
        {"menu enabled", nullptr, Prop::Menus, [&] { entry.setEnabled(false); }},
        {"menu visible", nullptr, Prop::Menus, [&] { entry.setVisible(false); }},
        {"form colour", nullptr, Prop::Colors, [&] { form.setBackColor(kPageBlue); }},
        {"form state", nullptr, Prop::WindowState,
         [&] { form.setWindowState(WindowState::Minimized); }},
        {"form pointer", nullptr, Prop::MousePointer,
         [&] { form.setMousePointer(MousePointer::Hourglass); }},
    };
    c.cbo.addItem(L"1 Day");
    c.list.addRow(L"a");
    c.list.addRow(L"b");
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Recorder controls;
        FormRecorder forms;
        if (test.control != nullptr) {
            test.control->setObserver(&controls);
        }
        form.setObserver(&forms);
        test.set();
        test.set();
        if (test.control != nullptr) {
            test.control->setObserver(nullptr);
            EXPECT_EQ(controls.seen, (std::vector<std::pair<Prop, std::size_t>>{{test.prop, 0}}));
        } else {
            EXPECT_EQ(forms.seen, std::vector<Prop>{test.prop});
        }
        form.setObserver(nullptr);
    }
}

TEST_F(UiModelTest, FormLoadsOnFirstTouchAndReloadsFresh) {
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(form.ui().chk.value(), CheckBox::Checked);
    form.ui().txt.setText(L"typed");
    form.addMenu("mnuTest", L"&Test");
    EXPECT_EQ(form.loads, 1);

    EXPECT_TRUE(form.unload());
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(form.ui().txt.text(), L"");  // a new load starts from the layout again
    EXPECT_TRUE(form.menus().empty());
    EXPECT_EQ(form.loads, 2);
}

TEST_F(UiModelTest, UnloadCanBeCancelledAndSurvivesReentry) {
    form.show();
    form.cancelUnload = true;
    EXPECT_FALSE(form.unload());
    EXPECT_TRUE(form.loaded());
    EXPECT_TRUE(form.visible());

    form.cancelUnload = false;
    form.unloadAgainInside = true;
    EXPECT_TRUE(form.unload());
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(form.unloads, 2);

    // Loaded again, as it was laid out, it unloads again; a form destroyed while loaded lets
    // its view go first.
    form.unloadAgainInside = false;
    form.load();
    form.setWindowState(WindowState::Minimized);
    EXPECT_TRUE(form.unload());
    EXPECT_EQ(form.windowState(), WindowState::Normal);
    EXPECT_EQ(form.unloads, 3);
    struct UnloadCounter : testing::TestHost {
        int unloading = 0;
        void formUnloading(Form&) override { ++unloading; }
    } counter;
    {
        TestForm doomed(counter);
        doomed.load();
    }
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

    // A handler that fails otherwise leaves no trace for the waits that come after it.
    EXPECT_THROW(host.raise(form, [] { throw std::runtime_error("broken"); }), std::runtime_error);
    other.ui().txt.setText(L"touched outside any handler");
    other.unload();
    EXPECT_NO_THROW((void)host.messageBox(L"after", L"Dustrel"));
}

TEST_F(UiModelTest, CodeRaisesClickOnlyWhenStateChanges) {
    auto& c = form.ui();
    int chkClicks = 0;
    int cboClicks = 0;
    int txtChanges = 0;
    c.chk.onClick = [&] { ++chkClicks; };
    c.cbo.onClick = [&] { ++cboClicks; };
    c.txt.onChange = [&] { ++txtChanges; };

    c.chk.setValue(CheckBox::Checked);  // already checked by Form_Load
    c.chk.setValue(CheckBox::Unchecked);
    c.chk.setValue(CheckBox::Unchecked);
    c.chk.setValue(7);  // not a value: ignored
    EXPECT_EQ(chkClicks, 1);
    c.chk.userClick();
    EXPECT_EQ(c.chk.value(), CheckBox::Checked);
    c.chk.setEnabled(false);
    c.chk.userClick();
    EXPECT_EQ(c.chk.value(), CheckBox::Checked);
    EXPECT_EQ(chkClicks, 2);

    c.cbo.addItem(L"1 Day");
    c.cbo.addItem(L"5 Days");
    EXPECT_TRUE(c.cbo.setListIndex(1));
    EXPECT_TRUE(c.cbo.setListIndex(1));
    EXPECT_FALSE(c.cbo.setListIndex(2));
    EXPECT_EQ(cboClicks, 1);
    EXPECT_EQ(c.cbo.text(), L"5 Days");
    EXPECT_TRUE(c.cbo.setListIndex(0));
    EXPECT_EQ(c.cbo.text(), L"1 Day");
    c.cbo.clear();
    EXPECT_EQ(c.cbo.listIndex(), -1);

    c.txt.setText(L"log");
    c.txt.setText(L"log");
    EXPECT_EQ(txtChanges, 1);
}

TEST_F(UiModelTest, OptionButtonsFormOneGroupPerContainer) {
    auto& c = form.ui();
    std::vector<std::string> clicks;
    for (OptionButton* opt : {&c.optA, &c.optB, &c.optOther}) {
        opt->onClick = [&clicks, opt] { clicks.push_back(opt->name()); };
    }
    c.optOther.setValue(true);
    c.optA.setValue(true);
    c.optA.setValue(true);
    Recorder cleared;  // the window must hear of the button that lost its dot
    c.optA.setObserver(&cleared);
    c.optB.userClick();
    c.optA.setObserver(nullptr);
    EXPECT_EQ(cleared.seen, (std::vector<std::pair<Prop, std::size_t>>{{Prop::Value, 0}}));
    EXPECT_FALSE(c.optA.value());
    EXPECT_TRUE(c.optB.value());
    EXPECT_TRUE(c.optOther.value());  // another container, another group
    c.optB.setValue(false);           // clearing raises nothing
    EXPECT_EQ(clicks, (std::vector<std::string>{"optOther", "optA", "optB"}));
}

// The pages are the group and page2, made in that order.
TEST_F(UiModelTest, FrontPageFollowsZOrder) {
    auto& c = form.ui();
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
    auto& list = form.ui().list;
    Recorder recorder;
    list.setObserver(&recorder);
    std::vector<std::size_t> checked;
    list.onItemCheck = [&](std::size_t row) { checked.push_back(row); };
    for (const wchar_t* path : {L"C:\\a.tmp", L"C:\\b.tmp", L"C:\\c.tmp"}) {
        list.addRow(path);
    }
    list.setChecked(0, true);
    list.setAllChecked(true);
    EXPECT_TRUE(checked.empty());
    EXPECT_EQ(list.checkedCount(), 3u);

    list.userToggle(1);
    EXPECT_FALSE(list.row(1).checked);
    EXPECT_EQ(checked, std::vector<std::size_t>{1});
    EXPECT_EQ(recorder.seen.back(), std::make_pair(Prop::Row, std::size_t{1}));
    list.userToggle(9);  // no such row
    EXPECT_EQ(checked.size(), 1u);
    list.setObserver(nullptr);
}

TEST_F(UiModelTest, SortingAlternatesIgnoringCaseAndKeepsChecks) {
    auto& list = form.ui().list;
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
    EXPECT_EQ(list.row(4).text, L"C:\\0.log");
    list.setSortKey(2);  // a column no row fills: all equal
    EXPECT_EQ(order(), L"Aabc0");
    list.removeRow(list.rowCount());
    EXPECT_EQ(list.rowCount(), 5u);
}

TEST_F(UiModelTest, ProgressBarRefusesValuesOutsideItsRange) {
    auto& bar = form.ui().bar;
    EXPECT_TRUE(bar.setMin(1));
    EXPECT_TRUE(bar.setMax(100));
    EXPECT_EQ(bar.value(), 1);  // pulled into the new range
    EXPECT_TRUE(bar.setValue(100));
    EXPECT_FALSE(bar.setValue(101));
    EXPECT_FALSE(bar.setMin(100));
    EXPECT_TRUE(bar.setMax(200));
    EXPECT_EQ(bar.value(), 100);
    EXPECT_TRUE(bar.setMax(50));
    EXPECT_EQ(bar.value(), 50);
}

TEST_F(UiModelTest, DisabledOrHiddenButtonsAndMenusIgnoreClicks) {
    auto& cmd = form.ui().cmd;
    int clicks = 0;
    cmd.onClick = [&] { ++clicks; };
    cmd.click();
    cmd.setEnabled(false);
    cmd.click();
    cmd.setEnabled(true);
    cmd.setVisible(false);
    cmd.click();
    EXPECT_EQ(clicks, 1);

    MenuItem& menu = form.addMenu("mnuTest", L"&Test");
    MenuItem& entry = menu.add("mnuEntry", L"&Entry");
    MenuItem& separator = menu.addSeparator("mnuSep");
    int chosen = 0;
    entry.onClick = separator.onClick = [&] { ++chosen; };
    entry.click();
    separator.click();
    entry.setVisible(false);
    entry.click();
    EXPECT_EQ(chosen, 1);
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
    // The bar and the labels move at least ten times a second; a click waits well under 100 ms.
    EXPECT_LT(kRepaintEveryMs, 100u);
    EXPECT_LE(kServiceEveryMs, 20u);
}

}  // namespace
}  // namespace dustrel::ui
