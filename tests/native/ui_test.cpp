// The window model, and the rules the Win32 view only carries out: how siblings stack and group
// for the keyboard, type-ahead in a list, and which row a click on a list means.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/test_host.h"
#include "ui/control_order.h"
#include "ui/form.h"
#include "ui/list_picture.h"
#include "ui/list_search.h"
#include "ui/mouse.h"

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
    Button& cmdOnPage = form.add<Button>(group, "cmdOnPage", Rect{}, L"&Next");
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
    std::vector<std::size_t> checks;  // of the last Prop::Checks, as it was told
    void changed(Control& control, Prop what, std::size_t index) override {
        seen.emplace_back(what, index);
        checks = what == Prop::Checks ? static_cast<ListView&>(control).changedChecks() : checks;
    }
    void formChanged(Form&, Prop what) override { seen.emplace_back(what, 0); }
};

class UiModelTest : public ::testing::Test {
protected:
    testing::TestHost host;
    Recorder recorder;  // outlives the form, which may still notify it as it goes
    TestForm form{host};
    TestControls& c = form.ui();
    std::wstring rowTexts() {
        std::wstring texts;
        for (std::size_t i = 0; i < c.list.rowCount(); ++i) {
            texts += c.list.row(i).text;
        }
        return texts;
    }
};

// Each setter tells the view once when its value changes, and not when it is set again.
TEST_F(UiModelTest, SettersNotifyExactlyWhenTheValueChanges) {
    MenuItem& entry = form.addMenu("mnuTest", L"&Test").add("mnuEntry", L"&Entry");
    const Font bold{L"Verdana", 8.25, true};
    const Rect moved{1, 2, 3, 4};
    const struct {
        const char* name;
        Prop prop;
        std::function<void()> set;
    } cases[] = {
        {"caption", Prop::Caption, [&] { c.cmd.setCaption(L"&Stop"); }},
        {"enabled", Prop::Enabled, [&] { c.cmd.setEnabled(false); }},
        {"visible", Prop::Visible, [&] { c.cmd.setVisible(false); }},
        {"move", Prop::Rect, [&] { c.cmd.move(moved); }},
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
        {"all ticks", Prop::Checks, [&] { c.list.setAllChecked(true); }},
        {"default button", Prop::Default, [&] { c.cmd.setDefault(true); }},
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
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        recorder.seen.clear();
        k.set();
        k.set();
        EXPECT_EQ(recorder.seen, (Seen{{k.prop, 0}}));
    }
    // The bar refuses values outside its range and pulls its value into a new one.
    EXPECT_FALSE(c.bar.setValue(501) || c.bar.setValue(4) || c.bar.setMin(500));
    EXPECT_TRUE(c.bar.setValue(500) && c.bar.setMax(40) && c.bar.value() == 40);
    EXPECT_TRUE(c.bar.setMin(1) && c.bar.setMax(70) && c.bar.value() == 40);
    EXPECT_TRUE(c.bar.setMin(45) && c.bar.value() == 45);
    recorder.seen.clear();
    c.list.addRow(L"c");
    c.list.removeRows({0, 2});
    c.list.removeRow(1);  // no such row
    c.cbo.addItem(L"5 Days");
    c.cbo.clear();
    c.cbo.clear();
    c.txt.setMaxLength(1);
    c.txt.setText(L"ab");  // cut to the limit, as the edit box would
    EXPECT_EQ(recorder.seen, (Seen{{Prop::RowsAppended, 2},
                                   {Prop::Rows, 0},
                                   {Prop::Items, 0},
                                   {Prop::Items, 0},
                                   {Prop::Text, 0}}));
    EXPECT_EQ(rowTexts() + c.txt.text(), L"ba");
}

TEST(MouseDownButtonsTest, AreTheButtonAndTheSumOfTheKeysHeld) {
    EXPECT_EQ(mouseDownButtons(PressedButton::Left, {true, false, false}),
              (MouseDownButtons{1, 1}));
    EXPECT_EQ(mouseDownButtons(PressedButton::Right, {false, true, false}),
              (MouseDownButtons{2, 2}));
    EXPECT_EQ(mouseDownButtons(PressedButton::Middle, {false, false, true}),
              (MouseDownButtons{4, 4}));
}

TEST_F(UiModelTest, FormLoadsOnFirstTouchReloadsFreshAndUnloadCanBeCancelled) {
    TestForm f(host);  // not yet touched
    EXPECT_FALSE(f.loaded());
    EXPECT_EQ(f.ui().chk.value(), CheckBox::Checked);
    f.ui().txt.setText(L"typed");
    f.addMenu("mnuTest", L"&Test");
    f.ui().txt.setFocus();
    EXPECT_TRUE(f.unload());
    EXPECT_FALSE(f.loaded() || f.focusedControl() || f.visible());
    EXPECT_TRUE(f.unload());  // nothing left to unload
    // A new load starts from the layout again.
    EXPECT_TRUE(f.ui().txt.text().empty() && f.menus().empty());
    EXPECT_EQ(f.children().size(), form.children().size());
    EXPECT_EQ(f.loads, 2);

    f.show();
    f.cancelUnload = true;
    EXPECT_FALSE(f.unload());
    EXPECT_TRUE(f.loaded() && f.visible());
    f.cancelUnload = false;
    f.unloadAgainInside = true;
    f.setWindowState(WindowState::Minimized);
    EXPECT_TRUE(f.unload());
    EXPECT_FALSE(f.loaded() || f.windowState() != WindowState::Normal);
    EXPECT_EQ(f.unloads, 3);
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
    EXPECT_FALSE(wentOn || other.loaded());
}

// Code raises a control's event only when it changes the state; the user only on a shown,
// enabled control; list ticks from code are silent.
TEST_F(UiModelTest, EventsAreRaisedOnlyForChangesAndOnlyOnLiveControls) {
    MenuItem& menu = form.addMenu("mnuTest", L"&Test");
    MenuItem& entry = menu.add("mnuEntry", L"&Entry");
    MenuItem& separator = menu.addSeparator("mnuSep");
    std::string raised;
    c.chk.onClick = [&] { raised += "k"; };
    c.cbo.onClick = [&] { raised += "o"; };
    c.txt.onChange = [&] { raised += "t"; };
    c.cmd.onClick = entry.onClick = separator.onClick = [&] { raised += "b"; };
    c.list.onItemCheck = [&](std::size_t row) { raised += std::to_string(row); };
    for (OptionButton* opt : {&c.optA, &c.optB, &c.optOther}) {
        opt->onClick = [&raised, opt] { raised += opt->name(); };
    }
    c.chk.setValue(CheckBox::Checked);  // already checked by Form_Load
    c.chk.setValue(CheckBox::Unchecked);
    c.chk.setValue(CheckBox::Unchecked);
    c.chk.setValue(7);  // not a value: ignored
    c.chk.userClick();
    c.chk.setEnabled(false);
    c.chk.userClick();
    EXPECT_EQ(c.chk.value(), CheckBox::Checked);

    c.cbo.addItem(L"1 Day");
    c.cbo.addItem(L"5 Days");
    EXPECT_TRUE(c.cbo.setListIndex(1) && c.cbo.setListIndex(1) && !c.cbo.setListIndex(2));
    EXPECT_TRUE(c.cbo.setListIndex(0) && c.cbo.text() == L"1 Day");
    c.cbo.clear();
    EXPECT_EQ(c.cbo.listIndex(), -1);
    c.txt.setText(L"log");
    c.txt.setText(L"log");

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

    for (const wchar_t* path : {L"a", L"b", L"c"}) {
        c.list.addRow(path);
    }
    c.list.setChecked(0, true);
    c.list.setAllChecked(true);
    EXPECT_EQ(c.list.checkedCount(), 3u);
    c.list.setObserver(&recorder);
    c.list.userToggle(1);
    c.list.userToggle(3);  // no such row
    c.list.setChecked(3, true);
    EXPECT_FALSE(c.list.row(1).checked);
    EXPECT_EQ(recorder.seen, (Seen{{Prop::Row, 1}}));
    // Unticking all tells, while it is told, just the rows it unticked.
    c.list.setAllChecked(false);
    EXPECT_EQ(recorder.checks, (std::vector<std::size_t>{0, 2}));
    EXPECT_TRUE(c.list.changedChecks().empty());

    // Option buttons make one group per container; the view hears of the one that lost its dot.
    c.optOther.setValue(true);
    c.optA.setValue(true);
    c.optA.setValue(true);
    c.optA.setObserver(&recorder);
    c.optB.userClick();
    EXPECT_EQ(recorder.seen, (Seen{{Prop::Row, 1}, {Prop::Checks, 0}, {Prop::Value, 0}}));
    EXPECT_TRUE(!c.optA.value() && c.optB.value() && c.optOther.value());
    c.optB.setValue(false);  // clearing raises nothing
    EXPECT_EQ(raised, "kkootbb1optOtheroptAoptB");
}

// The pages are the group and page2, made in that order. Enter presses the focused button, else
// the first default one the user can see: cmdOnPage only while its page is in front.
TEST_F(UiModelTest, FrontPageFollowsZOrderAndEnterPressesADefaultButtonShown) {
    c.cmdOnPage.setDefault(true);
    c.cmd.setDefault(true);
    c.cmd.setVisible(false);
    EXPECT_EQ(form.frontPage(), &c.page2);
    EXPECT_EQ(enterButton(form, &c.txt), nullptr);
    c.group.zOrder(ZOrderPosition::Front);
    c.pic.zOrder(ZOrderPosition::Front);  // not a page: the shown page stays
    EXPECT_TRUE(form.isPageShown(c.group) && form.frontPage() == &c.group);
    EXPECT_EQ(enterButton(form, &c.txt), &c.cmdOnPage);
    c.cmd.setVisible(true);
    EXPECT_EQ(enterButton(form, &c.txt), &c.cmd);
    EXPECT_EQ(enterButton(form, &c.cmdOnPage), &c.cmdOnPage);
    c.page2.zOrder(ZOrderPosition::Front);
    c.page2.zOrder(ZOrderPosition::Back);  // uncovers the page in front before it
    EXPECT_EQ(form.frontPage(), &c.group);
    c.group.zOrder(ZOrderPosition::Back);
    EXPECT_EQ(form.frontPage(), &c.page2);
    c.page2.setVisible(false);
    EXPECT_EQ(form.frontPage(), &c.group);
}

TEST_F(UiModelTest, SortingAlternatesIgnoringCaseAndKeepsChecks) {
    for (const wchar_t* row : {L"b2", L"A4", L"c1", L"a3"}) {
        c.list.addRow(std::wstring(1, row[0]), {std::wstring(1, row[1])});
    }
    c.list.setChecked(2, true);  // c
    c.list.setSortOrder(SortOrder::Descending);
    EXPECT_EQ(rowTexts(), L"bAca");  // nothing moves until sorting is on
    c.list.setSorted(true);
    EXPECT_EQ(rowTexts(), L"cbAa");
    c.list.setSortOrder(SortOrder::Ascending);
    EXPECT_EQ(rowTexts(), L"Aabc");  // equal texts keep their order
    EXPECT_TRUE(c.list.row(3).checked);
    c.list.addRow(L"0");  // appended while sorted: stays last until the next sort
    EXPECT_EQ(rowTexts(), L"Aabc0");
    c.list.setSortKey(1);  // by the second column, which the last row leaves empty
    EXPECT_EQ(rowTexts(), L"0cbaA");
    c.list.setSortKey(2);  // a column no row fills: all equal
    EXPECT_EQ(rowTexts(), L"0cbaA");
}

TEST_F(UiModelTest, TypeAheadFindsTheFirstMatchingRowFromItsStart) {
    const auto same = [](std::wstring_view a, std::wstring_view b) { return a == b; };
    EXPECT_EQ(findRow(c.list, {L"", 0, true, true}, same), std::nullopt);
    for (const wchar_t* text : {L"alpha.tmp", L"Beta.log", L"beta.tmp", L"gamma"}) {
        c.list.addRow(text, {L"beta"});
    }
    const struct {
        RowSearch search;
        std::optional<std::size_t> expected;
    } cases[] = {
        {{L"Beta.log", 0, false, false}, 1},
        {{L"beta", 0, false, false}, std::nullopt},
        {{L"beta", 2, true, false}, 2},
        {{L"Beta", 0, true, false}, 1},
        {{L"alpha", 1, true, false}, std::nullopt},
        {{L"alpha", 1, true, true}, 0},
        {{L"beta", 9, true, true}, 2},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(findRow(c.list, k.search, same), k.expected)
            << ::testing::PrintToString(std::wstring(k.search.text)) << " from " << k.search.start;
    }
}

// A click or key names a position on the picture last painted. Whatever moved the rows since
// (a sort, a removal), it means the row drawn there, or none; never the row that moved into its
// place unseen.
TEST_F(UiModelTest, APositionMeansTheRowDrawnThereWhereverItMoved) {
    ListView& list = c.list;
    ListPicture picture;
    const auto paint = [&](std::size_t first, std::size_t last) {
        picture.beginPaint(list, first, last);
        for (std::size_t position = first; position <= last; ++position) {
            picture.drawn(list, position);
        }
        picture.endPaint();
    };
    // What positions 0 to 4 mean, "-" for nothing.
    const auto meant = [&] {
        std::wstring texts;
        for (std::size_t position = 0; position < 5; ++position) {
            const auto row = picture.rowAt(list, position);
            texts += row ? list.row(*row).text : L"-";
        }
        return texts;
    };
    const struct {
        const char* move;
        std::function<void()> act;
        const wchar_t* meant;  // positions 0 and 1 in view when last painted
        const wchar_t* repainted;
    } cases[] = {
        {"a row appended", [&] { list.addRow(L"e"); }, L"cadbe", L"cadbe"},
        {"sorted", [&] { list.setSorted(true); }, L"ca---", L"abcd-"},
        {"first row removed", [&] { list.removeRow(0); }, L"-a---", L"adb--"},
        {"all removed", [&] { list.clear(); }, L"-----", L"-----"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.move);
        list.setSorted(false);
        list.clear();
        for (const wchar_t* text : {L"c", L"a", L"d", L"b"}) {
            list.addRow(text, {}, text[0] == L'b' ? 0 : 1);
        }
        picture = ListPicture(list.orderGeneration());
        EXPECT_EQ(meant(), L"cadb-");  // nothing painted yet, nothing moved
        paint(3, 4);
        paint(0, 1);             // scrolled back to the top: rows 3 and 4 are out of sight
        picture.drawn(list, 2);  // asked for outside a paint: not on the screen
        k.act();
        EXPECT_EQ(meant(), k.meant);
        paint(2, 4);  // repainted, and scrolled: what the list shows now is what counts
        EXPECT_EQ(meant(), k.repainted);
    }
}

// Siblings a, b and c, in that tab order, given back to front by their letters; a is a label.
TEST_F(UiModelTest, StackingFollowsTabOrderButPutsTheFrontOfAnOverlapFirst) {
    Control* const abc[] = {&c.lbl, &c.pic, &c.cmd};
    const TabPosition tab = [&](const Control& control) {
        return static_cast<std::size_t>(std::ranges::find(abc, &control) - std::begin(abc));
    };
    const Rect box{0, 0, 100, 100}, overBox{50, 50, 100, 100}, right{200, 0, 100, 100};
    const Rect page{0, 0, 200, 200}, notice{10, 10, 50, 50};
    const struct {
        std::vector<Rect> rects;
        std::string backToFront, expected;  // top first
        const Control* named = nullptr;     // by the label: null for one in another container
    } cases[] = {
        // Apart siblings keep tab order, however stacked.
        {{box, right, {400, 0, 100, 100}}, "bca", "abc"},
        // Edges that only touch do not overlap.
        {{box, {100, 0, 100, 100}, {0, 100, 100, 100}}, "abc", "abc"},
        {{{100, 0, 100, 100}, box}, "ab", "ab"},
        {{{0, 100, 100, 100}, box}, "ab", "ab"},
        // Of two overlapping, the one in front comes first.
        {{box, overBox}, "ab", "ba"},
        // Only the covered one waits for what covers it.
        {{box, right, overBox}, "abc", "bca"},
        // A notice made first lies behind the pages until it is brought to the front.
        {{notice, page, page}, "abc", "cba"},
        {{notice, page, page}, "bca", "acb"},
        // A label naming a sibling stands just before it, where a screen reader looks for the
        // sibling's name; the others keep their order.
        {{box, right, {400, 0, 100, 100}}, "abc", "bac", &c.cmd},
    };
    for (const auto& k : cases) {
        c.lbl.setLabelFor(k.named != nullptr ? *k.named : c.optA);
        std::vector<const Control*> siblings;
        for (const char letter : k.backToFront) {
            abc[letter - 'a']->move(k.rects[letter - 'a']);
            siblings.push_back(abc[letter - 'a']);
        }
        std::string order;
        for (const Control* control : stackingOrder(siblings, labelsBeforeFields(tab))) {
            order += static_cast<char>('a' + tab(*control));
        }
        EXPECT_EQ(order, k.expected) << k.backToFront;
    }
}

// For the arrow keys a run of option buttons is one group.
TEST_F(UiModelTest, ARunOfOptionsIsOneGroup) {
    EXPECT_EQ(groupStarts({&c.optA, &c.optB, &c.lbl, &c.optOther, &c.optA}),
              (std::vector<bool>{true, false, true, true, false}));
    EXPECT_EQ(groupStarts({&c.lbl, &c.optA, &c.optB}), (std::vector<bool>{true, true, false}));
    EXPECT_TRUE(groupStarts({}).empty());
    // Tab enters a group at its selected option, else at its first.
    const TabPosition tab = [&](const Control& control) { return &control == &c.optA ? 0u : 1u; };
    EXPECT_EQ(optionTabStop({&c.lbl, &c.optB, &c.optA}, tab), &c.optA);
    c.optB.setValue(true);
    EXPECT_EQ(optionTabStop({&c.lbl, &c.optB, &c.optA}, tab), &c.optB);
    EXPECT_EQ(optionTabStop({&c.lbl}, tab), nullptr);
}

}  // namespace
}  // namespace dustrel::ui
