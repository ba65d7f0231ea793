// The rules the Win32 view only carries out: how siblings stack and take the keyboard, where Tab
// enters an option group, type-ahead in a list, which row a click on a list means, and what a
// MouseDown handler is told.

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>
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

struct Sibling {
    std::string name;
    Rect rect;
    bool option = false;
};

// A loaded form whose controls are made from a table, in its order (which is the tab order).
class SiblingsForm final : public Form {
public:
    SiblingsForm(UiHost& host, std::vector<Sibling> siblings)
        : Form(host, "frmSiblings"), siblings_(std::move(siblings)) {
        load();
    }

    Control& operator[](const std::string& name) const { return *find(name); }
    std::vector<const Control*> backToFront() const {
        return {children().begin(), children().end()};
    }
    TabPosition tabPosition() const {
        return [this](const Control& control) {
            return static_cast<std::size_t>(
                std::find(controls().begin(), controls().end(), &control) - controls().begin());
        };
    }

protected:
    void createControls() override {
        for (const Sibling& s : siblings_) {
            if (s.option) {
                add<OptionButton>(*this, s.name, s.rect, L"");
            } else {
                add<Label>(*this, s.name, s.rect);
            }
        }
    }
    void releaseControls() override {}

private:
    std::vector<Sibling> siblings_;
};

std::vector<std::string> namesOf(const std::vector<const Control*>& controls) {
    std::vector<std::string> names;
    for (const Control* control : controls) {
        names.push_back(control->name());
    }
    return names;
}

const Rect kBox{0, 0, 100, 100};
const Rect kOverBox{50, 50, 100, 100};
const Rect kPage{0, 0, 200, 200};
const Rect kNotice{10, 10, 50, 50};

TEST(StackingOrderTest, FollowsTabOrderButPutsTheFrontOfAnOverlapFirst) {
    struct Case {
        std::vector<Sibling> siblings;
        std::vector<std::string> broughtToFront;
        std::vector<std::string> expected;  // top first
    };
    const Rect right{200, 0, 100, 100};
    const Case cases[] = {
        // Apart siblings keep tab order, however stacked.
        {{{"a", kBox}, {"b", right}, {"c", {400, 0, 100, 100}}}, {"a"}, {"a", "b", "c"}},
        // Edges that only touch do not overlap.
        {{{"a", kBox}, {"b", {100, 0, 100, 100}}, {"c", {0, 100, 100, 100}}}, {}, {"a", "b", "c"}},
        // Of two overlapping, the one in front comes first, also once brought there.
        {{{"a", kBox}, {"b", kOverBox}}, {}, {"b", "a"}},
        {{{"a", kBox}, {"b", kOverBox}}, {"a"}, {"a", "b"}},
        // Only the covered one waits for what covers it.
        {{{"a", kBox}, {"b", right}, {"c", kOverBox}}, {}, {"b", "c", "a"}},
        // A notice made first lies behind the pages until it is brought to the front.
        {{{"notice", kNotice}, {"page1", kPage}, {"page2", kPage}},
         {},
         {"page2", "page1", "notice"}},
        {{{"notice", kNotice}, {"page1", kPage}, {"page2", kPage}},
         {"notice"},
         {"notice", "page2", "page1"}},
    };
    testing::TestHost host;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        SiblingsForm form(host, cases[i].siblings);
        for (const std::string& name : cases[i].broughtToFront) {
            form[name].zOrder(ZOrderPosition::Front);
        }
        EXPECT_EQ(namesOf(stackingOrder(form.backToFront(), form.tabPosition())),
                  cases[i].expected);
    }
}

// A run of option buttons is one group; Tab enters it at the selected button, else at the
// first in tab order, whatever their stacking.
TEST(OptionGroupTest, ARunIsOneGroupEnteredAtItsSelectedButton) {
    testing::TestHost host;
    SiblingsForm form(host, {{"label", kBox},
                             {"opt1", kBox, true},
                             {"opt2", kBox, true},
                             {"opt3", kBox, true},
                             {"label2", kBox},
                             {"opt4", kBox, true}});
    const auto order = [&](std::initializer_list<const char*> names) {
        std::vector<const Control*> controls;
        for (const char* name : names) {
            controls.push_back(&form[name]);
        }
        return controls;
    };
    EXPECT_EQ(groupStarts(order({"opt1", "opt2", "label", "opt3", "opt4"})),
              (std::vector<bool>{true, false, true, true, false}));
    EXPECT_EQ(groupStarts(order({"label", "opt1", "opt2", "opt3"})),
              (std::vector<bool>{true, true, false, false}));
    EXPECT_TRUE(groupStarts({}).empty());

    const auto stop = [&] { return optionTabStop(form.backToFront(), form.tabPosition()); };
    form["opt3"].zOrder(ZOrderPosition::Back);
    form["opt2"].zOrder(ZOrderPosition::Back);  // opt1 is in front of both, and first in tab order
    EXPECT_EQ(stop(), &form["opt1"]);
    static_cast<OptionButton&>(form["opt2"]).setValue(true);
    EXPECT_EQ(stop(), &form["opt2"]);
    SiblingsForm none(host, {{"label", kBox}});
    EXPECT_EQ(optionTabStop(none.backToFront(), none.tabPosition()), nullptr);
}

struct OneList {
    explicit OneList(Form& f) : list(f.add<ListView>(f, "list", Rect{}, true)) {}
    ListView& list;
};

class ListForm : public FormOf<OneList> {
public:
    using FormOf::FormOf;
};

TEST(FindRowTest, FindsTheFirstMatchingRowFromTheStart) {
    const auto same = [](std::wstring_view a, std::wstring_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
            return std::towlower(static_cast<std::wint_t>(x)) ==
                   std::towlower(static_cast<std::wint_t>(y));
        });
    };
    testing::TestHost host;
    ListForm form(host, "frmList");
    ListView& list = form.ui().list;
    EXPECT_EQ(findRow(list, {L"", 0, true, true}, same), std::nullopt);
    for (const wchar_t* text : {L"alpha.tmp", L"Beta.log", L"beta.tmp", L"gamma"}) {
        list.addRow(text, {L"beta"});
    }
    const struct {
        RowSearch search;
        std::optional<std::size_t> expected;
    } cases[] = {
        {{L"BETA.LOG", 0, false, false}, 1},  // letter case ignored
        {{L"beta", 0, false, false}, std::nullopt},
        {{L"beta", 0, true, false}, 1},
        {{L"beta", 2, true, false}, 2},
        {{L"alpha", 1, true, false}, std::nullopt},
        {{L"alpha", 1, true, true}, 0},
        {{L"gamma", 9, true, false}, std::nullopt},
        {{L"beta", 9, true, true}, 1},
        {{L"beta", -5, true, false}, 1},
        {{L"gammas", 0, true, true}, std::nullopt},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(k.search.text)) + " from " +
                     std::to_string(k.search.start));
        EXPECT_EQ(findRow(list, k.search, same), k.expected);
    }
}

// A click or key names a position on the picture last painted. Whatever moved the rows since
// (a sort, the end of a drive's walk, a removal), it means the row drawn there, or none; never
// the row that moved into its place unseen.
TEST(ListPictureTest, APositionMeansTheRowDrawnThereWhereverItMoved) {
    testing::TestHost host;
    ListForm form(host, "frmList");
    ListView& list = form.ui().list;
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
        {"none", [] {}, L"cadb-", L"cadb-"},
        {"a row appended", [&] { list.addRow(L"e"); }, L"cadbe", L"cadbe"},
        {"sorted", [&] { list.setSorted(true); }, L"ca---", L"abcd-"},
        {"the tail ordered by tag",
         [&] { list.orderTail([](std::uint64_t) { return true; }, std::less<>()); }, L"ca---",
         L"bcad-"},
        {"first row removed", [&] { list.removeRow(0); }, L"-a---", L"adb--"},
        {"rows removed",
         [&] {
             list.removeRows({0, 1});
         },
         L"-----", L"db---"},
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

TEST(MouseDownButtonsTest, PacksTheButtonAndTheHeldKeys) {
    const struct {
        PressedButton pressed;
        HeldKeys held;
        MouseDownButtons expected;
    } cases[] = {
        {PressedButton::Left, {}, {kLeftButton, 0}},
        {PressedButton::Right, {true, false, false}, {kRightButton, 1}},
        {PressedButton::Middle, {false, true, false}, {kMiddleButton, 2}},
        {PressedButton::Left, {false, false, true}, {kLeftButton, 4}},
        {PressedButton::Right, {true, true, true}, {kRightButton, 7}},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(mouseDownButtons(k.pressed, k.held), k.expected) << k.expected.shift;
    }
}

}  // namespace
}  // namespace dustrel::ui
