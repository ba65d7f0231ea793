// The Win32 view against real windows: real clicks and keys reach the model's handlers, and
// the model's changes reach the windows.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/win32/dpi.h"
#include "ui/win32/tray_icon.h"
#include "ui/win32/win32_host.h"

namespace dustrel::ui::win32 {
namespace {

constexpr Color kPageColor{2, 51, 94};
constexpr Color kAmberText{255, 199, 6};

struct ViewControls {
    explicit ViewControls(Form& f)
        : picNotice(f.add<PictureBox>(f, "picNotice", Rect{4335, 3032, 5500, 550})),
          page1(f.add<Frame>(f, "Page1", Rect{2880, 120, 8530, 6375})),
          page2(f.add<Frame>(f, "Page2", Rect{2880, 120, 8530, 6375})),
          cmdGo(f.add<Button>(page1, "cmdGo", Rect{120, 120, 1215, 375}, L"&Go")),
          chkOn(f.add<CheckBox>(page1, "chkOn", Rect{120, 600, 2000, 300}, L"&On")),
          optA(f.add<OptionButton>(page1, "optA", Rect{120, 960, 2000, 300}, L"Option &A")),
          optB(f.add<OptionButton>(page1, "optB", Rect{120, 1320, 2000, 300}, L"Option &B")),
          txtName(f.add<TextBox>(page1, "txtName", Rect{2400, 120, 2000, 300})),
          cboKind(f.add<ComboBox>(page1, "cboKind", Rect{2400, 600, 2000, 300})),
          lstItems(f.add<ListView>(page1, "lstItems", Rect{120, 1800, 8055, 2000}, true)),
          lblInfo(f.add<Label>(page1, "lblInfo", Rect{120, 3900, 4000, 240}, L"Ready")),
          lblLeft(f.add<Label>(page1, "lblLeft", Rect{100, 4300, 100, 240}, L"L")),
          lblRight(f.add<Label>(page1, "lblRight", Rect{200, 4300, 500, 240}, L"R")),
          bar(f.add<ProgressBar>(page1, "bar", Rect{120, 4700, 8055, 270})),
          fraGroup(f.add<Frame>(page1, "fraGroup", Rect{4600, 120, 3600, 1500}, L"Options")),
          chkInGroup(f.add<CheckBox>(fraGroup, "chkInGroup", Rect{240, 360, 2000, 300}, L"In")),
          cmdOther(f.add<Button>(page2, "cmdOther", Rect{120, 120, 1215, 375}, L"O&ther")),
          picHook(f.add<PictureBox>(f, "picHook", Rect{0, 0, 0, 0})),
          mnuFile(f.addMenu("mnuFile", L"&File")),
          mnuOpen(mnuFile.add("mnuOpen", L"&Open")),
          mnuHidden(mnuFile.add("mnuHidden", L"&Hidden")),
          mnuPopUp(f.addMenu("mnuPopUp", L"PopUp")),
          mnuShow(mnuPopUp.add("mnuShow", L"Show")),
          mnuQuit(mnuPopUp.add("mnuQuit", L"Exit")) {
        page1.setBackColor(kPageColor);
        page2.setBackColor(kPageColor);
        f.addPage(page1);
        f.addPage(page2);
        page1.zOrder(ZOrderPosition::Front);
        picNotice.setVisible(false);
        picHook.setVisible(false);
        lblInfo.setForeColor(kAmberText);
        lblInfo.setFont(Font{L"Verdana", 9.75, true});
        fraGroup.setForeColor(kAmberText);
        fraGroup.setCaptionFont(Font{L"Verdana", 9.75, true});
        optA.setValue(true);
        cboKind.addItem(L"First");
        cboKind.addItem(L"Second");
        cboKind.setListIndex(0);
        lstItems.addColumn(L"Name", 4000);
        lstItems.addColumn(L"Size", 2000);
        for (const wchar_t* name : {L"alpha.tmp", L"beta.tmp", L"gamma.tmp"}) {
            lstItems.addRow(name, {L"1 KB"});
        }
        mnuHidden.setVisible(false);
        mnuPopUp.setVisible(false);
    }

    PictureBox& picNotice;
    Frame& page1;
    Frame& page2;
    Button& cmdGo;
    CheckBox& chkOn;
    OptionButton& optA;
    OptionButton& optB;
    TextBox& txtName;
    ComboBox& cboKind;
    ListView& lstItems;
    Label& lblInfo;
    Label& lblLeft;
    Label& lblRight;
    ProgressBar& bar;
    Frame& fraGroup;
    CheckBox& chkInGroup;
    Button& cmdOther;
    PictureBox& picHook;
    MenuItem& mnuFile;
    MenuItem& mnuOpen;
    MenuItem& mnuHidden;
    MenuItem& mnuPopUp;
    MenuItem& mnuShow;
    MenuItem& mnuQuit;
};

class ViewForm : public FormOf<ViewControls> {
public:
    explicit ViewForm(UiHost& host, std::string name = "frmView") : FormOf(host, std::move(name)) {
        setCaption(L"View test");
        setClientSize(11535, 6615);
        setFont(Font{L"Verdana", 8.25, false});
    }

    int unloadCalls = 0;
    int cancelUnload = 0;

protected:
    void Form_Unload(int& cancel) override {
        ++unloadCalls;
        cancel = cancelUnload;
    }
};

std::wstring textOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

RECT rectInParent(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Whether `upper` comes before `lower` among their parent's children, i.e. lies above it.
bool isAbove(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == lower) {
            return true;
        }
    }
    return false;
}

// A point on the check box of `row`, found by the list's own hit test.
POINT checkBoxPoint(HWND list, int row) {
    RECT bounds{};
    ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
    const int y = (bounds.top + bounds.bottom) / 2;
    int first = -1;
    int last = -1;
    for (int x = bounds.left; x < bounds.left + 60; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = {x, y};
        if (ListView_SubItemHitTest(list, &hit) == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    return {(first + last) / 2, y};
}

int stateImage(HWND list, int row) {
    return static_cast<int>(ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) >> 12);
}

class Win32ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        pump();
    }

    void TearDown() override {
        if (form.loaded()) {
            form.unload();
        }
        // Leave nothing behind for the next test on this thread.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    void pump() {
        for (int i = 0; i < 3; ++i) {
            host.doEvents();
        }
    }

    // Keys go through the queue, as typed ones do, so the dialog navigation sees them.
    void postKey(HWND target, UINT key, wchar_t character = 0) {
        PostMessageW(target, WM_KEYDOWN, key, 1);
        if (character != 0) {
            PostMessageW(target, WM_CHAR, character, 1);
        }
        PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        pump();
    }

    HWND hwnd(const Control& control) const { return host.windowOf(control); }

    Win32Host host;
    ViewForm form{host};
    ViewControls& c = form.ui();
};

TEST_F(Win32ViewTest, ButtonClicksRaiseClickOnceAndDisabledButtonsNone) {
    int clicks = 0;
    c.cmdGo.onClick = [&] { ++clicks; };

    SendMessageW(hwnd(c.cmdGo), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(clicks, 1);

    // Enter presses the focused push button.
    SetFocus(hwnd(c.cmdGo));
    postKey(hwnd(c.cmdGo), VK_RETURN, L'\r');
    EXPECT_EQ(clicks, 2);

    c.cmdGo.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(hwnd(c.cmdGo)));
    SendMessageW(hwnd(c.cmdGo), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(clicks, 2);
}

TEST_F(Win32ViewTest, CheckBoxAndOptionClicksGoThroughTheModel) {
    int boxClicks = 0;
    int optionClicks = 0;
    c.chkOn.onClick = [&] { ++boxClicks; };
    c.optB.onClick = [&] { ++optionClicks; };

    SendMessageW(hwnd(c.chkOn), BM_CLICK, 0, 0);
    EXPECT_EQ(c.chkOn.value(), CheckBox::Checked);
    EXPECT_EQ(SendMessageW(hwnd(c.chkOn), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(boxClicks, 1);

    c.chkOn.setValue(CheckBox::Grayed);
    EXPECT_EQ(SendMessageW(hwnd(c.chkOn), BM_GETCHECK, 0, 0), BST_INDETERMINATE);

    SendMessageW(hwnd(c.optB), BM_CLICK, 0, 0);
    EXPECT_TRUE(c.optB.value());
    EXPECT_FALSE(c.optA.value());
    EXPECT_EQ(optionClicks, 1);
    EXPECT_EQ(SendMessageW(hwnd(c.optB), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(hwnd(c.optA), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Tab reaches the group at its selected button.
    EXPECT_TRUE(GetWindowLongW(hwnd(c.optB), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongW(hwnd(c.optA), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongW(hwnd(c.optA), GWL_STYLE) & WS_GROUP);
    EXPECT_FALSE(GetWindowLongW(hwnd(c.optB), GWL_STYLE) & WS_GROUP);

    c.chkOn.setEnabled(false);
    SendMessageW(hwnd(c.chkOn), BM_CLICK, 0, 0);
    EXPECT_EQ(boxClicks, 2);  // the Grayed value was set by code, which raises Click too
    EXPECT_EQ(c.chkOn.value(), CheckBox::Grayed);
}

TEST_F(Win32ViewTest, MouseOnARowsCheckBoxTicksItOnce) {
    const HWND list = hwnd(c.lstItems);
    std::vector<std::size_t> checks;
    c.lstItems.onItemCheck = [&](std::size_t row) { checks.push_back(row); };
    ASSERT_EQ(stateImage(list, 1), 1);

    const POINT box = checkBoxPoint(list, 1);
    ASSERT_GE(box.x, 0) << "no check box found by hit test";
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    pump();

    EXPECT_EQ(checks, std::vector<std::size_t>{1});
    EXPECT_TRUE(c.lstItems.row(1).checked);
    EXPECT_FALSE(c.lstItems.row(0).checked);
    EXPECT_EQ(stateImage(list, 1), 2);

    // A click on the row's text selects it and ticks nothing.
    RECT label{};
    ListView_GetItemRect(list, 2, &label, LVIR_LABEL);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label.left + 10, label.top + 3));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(label.left + 10, label.top + 3));
    pump();
    EXPECT_EQ(checks.size(), 1u);
    EXPECT_FALSE(c.lstItems.row(2).checked);

    // Ticks by code raise nothing but show.
    c.lstItems.setChecked(0, true);
    EXPECT_EQ(checks.size(), 1u);
    EXPECT_EQ(stateImage(list, 0), 2);
}

TEST_F(Win32ViewTest, SpaceBarTicksTheFocusedRowOnce) {
    const HWND list = hwnd(c.lstItems);
    std::vector<std::size_t> checks;
    c.lstItems.onItemCheck = [&](std::size_t row) { checks.push_back(row); };

    SetFocus(list);
    ListView_SetItemState(list, 2, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    postKey(list, VK_SPACE, L' ');
    EXPECT_EQ(checks, std::vector<std::size_t>{2});
    EXPECT_TRUE(c.lstItems.row(2).checked);

    postKey(list, VK_SPACE, L' ');
    EXPECT_EQ(checks, (std::vector<std::size_t>{2, 2}));
    EXPECT_FALSE(c.lstItems.row(2).checked);
}

TEST_F(Win32ViewTest, ModelChangesReachTheWindows) {
    form.setCaption(L"Renamed");
    EXPECT_EQ(textOf(host.windowOf(form)), L"Renamed");
    c.cmdGo.setCaption(L"&Run");
    EXPECT_EQ(textOf(hwnd(c.cmdGo)), L"&Run");
    c.lblInfo.setCaption(L"Searching");
    c.lblInfo.setCaption(L"Searching C:\\");
    host.refresh(form);
    EXPECT_EQ(textOf(hwnd(c.lblInfo)), L"Searching C:\\");

    c.txtName.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(hwnd(c.txtName)));
    c.lblInfo.setVisible(false);
    EXPECT_FALSE(IsWindowVisible(hwnd(c.lblInfo)));
    c.picNotice.setVisible(true);
    EXPECT_TRUE(IsWindowVisible(hwnd(c.picNotice)));

    // A burst of changes may be held back; refresh shows the last one.
    ASSERT_TRUE(c.bar.setMin(1));
    ASSERT_TRUE(c.bar.setMax(300));
    for (int v = 1; v <= 150; ++v) {
        c.bar.setValue(v + 0.6);
    }
    host.refresh(form);
    EXPECT_EQ(SendMessageW(hwnd(c.bar), PBM_GETPOS, 0, 0), 151);
    EXPECT_EQ(SendMessageW(hwnd(c.bar), PBM_GETRANGE, TRUE, 0), 1);
    EXPECT_EQ(SendMessageW(hwnd(c.bar), PBM_GETRANGE, FALSE, 0), 300);

    for (int i = 0; i < 5000; ++i) {
        c.lstItems.addRow(L"C:\\file" + std::to_wstring(i));
    }
    host.refresh(form);
    EXPECT_EQ(ListView_GetItemCount(hwnd(c.lstItems)), 5003);
    wchar_t text[64] = {};
    ListView_GetItemText(hwnd(c.lstItems), 5002, 0, text, 64);
    EXPECT_STREQ(text, L"C:\\file4999");
    ListView_GetItemText(hwnd(c.lstItems), 0, 1, text, 64);
    EXPECT_STREQ(text, L"1 KB");
    c.lstItems.removeRows({0, 1});
    c.lstItems.clear();
    host.refresh(form);
    EXPECT_EQ(ListView_GetItemCount(hwnd(c.lstItems)), 0);
}

TEST_F(Win32ViewTest, TextAndComboInputUpdateTheModelWithoutEcho) {
    int changes = 0;
    c.txtName.onChange = [&] { ++changes; };
    c.txtName.setText(L"abc");
    EXPECT_EQ(textOf(hwnd(c.txtName)), L"abc");
    EXPECT_EQ(changes, 1);

    // What the user types: the edit control reports the change.
    SetWindowTextW(hwnd(c.txtName), L"abcd");
    EXPECT_EQ(c.txtName.text(), L"abcd");
    EXPECT_EQ(changes, 2);

    int picks = 0;
    c.cboKind.onClick = [&] { ++picks; };
    SetFocus(hwnd(c.cboKind));
    postKey(hwnd(c.cboKind), VK_DOWN);
    EXPECT_EQ(c.cboKind.listIndex(), 1);
    EXPECT_EQ(picks, 1);
    c.cboKind.setListIndex(0);
    EXPECT_EQ(SendMessageW(hwnd(c.cboKind), CB_GETCURSEL, 0, 0), 0);
}

TEST_F(Win32ViewTest, OnlyTheFrontPageIsShownAndReachable) {
    EXPECT_TRUE(IsWindowVisible(hwnd(c.page1)));
    EXPECT_FALSE(IsWindowVisible(hwnd(c.page2)));

    SetFocus(hwnd(c.cmdGo));
    c.page2.zOrder(ZOrderPosition::Front);
    EXPECT_FALSE(IsWindowVisible(hwnd(c.page1)));
    EXPECT_TRUE(IsWindowVisible(hwnd(c.page2)));
    EXPECT_TRUE(IsWindowVisible(hwnd(c.cmdOther)));
    EXPECT_FALSE(IsWindowVisible(hwnd(c.cmdGo)));
    if (GetActiveWindow() == host.windowOf(form)) {
        // The keyboard goes on in the page now in front.
        EXPECT_EQ(GetFocus(), hwnd(c.cmdOther));
    }

    c.page2.setVisible(false);  // a hidden page is never in front
    EXPECT_TRUE(IsWindowVisible(hwnd(c.page1)));
    EXPECT_FALSE(IsWindowVisible(hwnd(c.page2)));
}

TEST_F(Win32ViewTest, OverlappingSiblingsFollowTheModelsZOrder) {
    // Created first, the notice leads in tab order, but it lies behind the pages until it is
    // brought to the front.
    EXPECT_TRUE(isAbove(hwnd(c.page1), hwnd(c.picNotice)));
    c.picNotice.zOrder(ZOrderPosition::Front);
    EXPECT_TRUE(isAbove(hwnd(c.picNotice), hwnd(c.page1)));
    EXPECT_TRUE(isAbove(hwnd(c.picNotice), hwnd(c.page2)));
    c.picNotice.zOrder(ZOrderPosition::Back);
    EXPECT_TRUE(isAbove(hwnd(c.page1), hwnd(c.picNotice)));
}

TEST_F(Win32ViewTest, TabFollowsCreationOrder) {
    SetFocus(hwnd(c.cmdGo));
    postKey(hwnd(c.cmdGo), VK_TAB);
    EXPECT_EQ(GetFocus(), hwnd(c.chkOn));
    postKey(hwnd(c.chkOn), VK_TAB);
    EXPECT_EQ(GetFocus(), hwnd(c.optA));
    postKey(hwnd(c.optA), VK_TAB);
    EXPECT_EQ(GetFocus(), hwnd(c.txtName));
}

TEST_F(Win32ViewTest, LayoutIsConvertedFromTwipsByEdges) {
    if (systemDpi() != 96) {
        GTEST_SKIP() << "the layout figures are for 96 DPI";
    }
    RECT client{};
    GetClientRect(host.windowOf(form), &client);
    EXPECT_EQ(client.right, 769);
    EXPECT_EQ(client.bottom, 441);

    // 100 + 100 twips end where the neighbour at 200 begins (13.33 px), although each of the
    // two hundreds alone is 6.67 px.
    const RECT left = rectInParent(hwnd(c.lblLeft));
    const RECT right = rectInParent(hwnd(c.lblRight));
    EXPECT_EQ(left.left, 7);
    EXPECT_EQ(left.right, right.left);
    EXPECT_EQ(right.left, 13);

    const RECT page = rectInParent(hwnd(c.page1));
    EXPECT_EQ(page.left, 192);
    EXPECT_EQ(page.right - page.left, 569);

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd(c.cmdGo), WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    EXPECT_EQ(font.lfHeight, -11);  // 8.25 pt
    EXPECT_STREQ(font.lfFaceName, L"Verdana");
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd(c.lblInfo), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -13);  // 9.75 pt
    EXPECT_EQ(font.lfWeight, FW_BOLD);
}

TEST_F(Win32ViewTest, CaptionedFrameIsAGroupBoxAroundItsControls) {
    const HWND frame = hwnd(c.fraGroup);
    EXPECT_EQ(textOf(frame), L"Options");  // what a screen reader names the group by
    // The border takes no room from the frame's controls, nor the keyboard's way into them.
    EXPECT_EQ(rectInParent(hwnd(c.chkInGroup)).left, MulDiv(240, systemDpi(), 1440));
    EXPECT_EQ(rectInParent(hwnd(c.chkInGroup)).top, MulDiv(360, systemDpi(), 1440));
    SetFocus(hwnd(c.lstItems));
    postKey(hwnd(c.lstItems), VK_TAB);
    EXPECT_EQ(GetFocus(), hwnd(c.chkInGroup));

    // The top line of the etched border runs through the middle of the caption, which breaks
    // it and is drawn in the frame's colour.
    RECT box{};
    GetClientRect(frame, &box);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, box.right, box.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(frame, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const auto at96 = [](int pixels) { return MulDiv(pixels, systemDpi(), 96); };
    int top = 0;
    while (top < box.bottom / 2 && GetPixel(dc, box.right - 8, top) != shadow) {
        ++top;
    }
    EXPECT_GT(top, at96(4));
    EXPECT_LT(top, at96(12));
    EXPECT_EQ(GetPixel(dc, 2, top), shadow);
    EXPECT_EQ(GetPixel(dc, 0, box.bottom / 2), shadow);
    int captionPixels = 0;
    for (int x = at96(14); x < at96(40); ++x) {
        EXPECT_NE(GetPixel(dc, x, top), shadow) << "x " << x;
        for (int y = 0; y < 2 * top; ++y) {
            captionPixels += GetPixel(dc, x, y) == RGB(255, 199, 6) ? 1 : 0;
        }
    }
    EXPECT_GT(captionPixels, 10);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);

    UpdateWindow(frame);
    c.fraGroup.setCaption(L"Choices");
    EXPECT_EQ(textOf(frame), L"Choices");
    EXPECT_TRUE(GetUpdateRect(frame, nullptr, FALSE));
}

TEST_F(Win32ViewTest, LabelsPaintInTheModelsColours) {
    HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(hwnd(c.page1), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(hwnd(c.lblInfo))));
    LOGBRUSH fill{};
    ASSERT_NE(GetObjectW(brush, sizeof(fill), &fill), 0);
    EXPECT_EQ(fill.lbColor, RGB(2, 51, 94));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 199, 6));
    DeleteDC(dc);
}

TEST_F(Win32ViewTest, EscapeClosesOnlyAFormThatAsksForIt) {
    const HWND button = hwnd(c.cmdGo);
    SetFocus(button);
    postKey(button, VK_ESCAPE);
    EXPECT_EQ(form.unloadCalls, 0);

    form.setClosesOnEscape(true);
    SetFocus(button);
    postKey(button, VK_ESCAPE);
    EXPECT_EQ(form.unloadCalls, 1);
    EXPECT_FALSE(form.loaded());
}

TEST_F(Win32ViewTest, ClosingTheWindowLeavesTheDecisionToTheModel) {
    const HWND window = host.windowOf(form);
    form.cancelUnload = 1;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(form.unloadCalls, 1);
    EXPECT_TRUE(form.loaded());
    EXPECT_TRUE(IsWindowVisible(window));

    form.cancelUnload = 0;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(IsWindowVisible(window));
    pump();
    EXPECT_FALSE(IsWindow(window));

    // Loaded again, the form gets new windows.
    form.show();
    EXPECT_TRUE(IsWindowVisible(host.windowOf(form)));
    EXPECT_NE(host.windowOf(form.ui().cmdGo), nullptr);
}

TEST_F(Win32ViewTest, MenuBarHoldsTheVisibleEntriesAndRaisesClick) {
    const HWND window = host.windowOf(form);
    int opened = 0;
    c.mnuOpen.onClick = [&] { ++opened; };

    HMENU bar = GetMenu(window);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 1);  // the pop-up menu is not on the bar
    wchar_t caption[64] = {};
    GetMenuStringW(bar, 0, caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"&File");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 1);
    SendMessageW(window, WM_COMMAND, GetMenuItemID(file, 0), 0);
    EXPECT_EQ(opened, 1);

    c.mnuHidden.setVisible(true);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(window), 0)), 2);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, MulDiv(6615, systemDpi(), 1440));
}

TEST_F(Win32ViewTest, PopupMenuClicksTheChosenEntry) {
    int shown = 0;
    c.mnuShow.onClick = [&] { ++shown; };
    // Keys waiting in the queue are read by the menu's own loop.
    const HWND window = host.windowOf(form);
    PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
    host.popupMenu(form, c.mnuPopUp, &c.mnuShow);
    EXPECT_EQ(shown, 1);
}

TEST_F(Win32ViewTest, NotificationIconReportsItsClicksAsTrayEvents) {
    std::vector<TrayEvent> events;
    c.picHook.onTrayEvent = [&](TrayEvent event) { events.push_back(event); };
    (void)host.addTrayIcon(c.picHook, L"Dustrel");
    // What the shell posts for the mouse over the icon; only releases and double clicks count.
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                         WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONUP}) {
        PostMessageW(host.trayWindow(), TrayIcon::kMessage, 1, message);
    }
    pump();
    EXPECT_EQ(events, (std::vector<TrayEvent>{TrayEvent::Click, TrayEvent::DoubleClick,
                                              TrayEvent::RightClick}));

    // Once the icon is gone, or its form with it, nothing reaches the hook.
    host.removeTrayIcon(c.picHook);
    PostMessageW(host.trayWindow(), TrayIcon::kMessage, 1, WM_LBUTTONDBLCLK);
    pump();
    (void)host.addTrayIcon(c.picHook, L"Dustrel");
    form.unload();
    PostMessageW(host.trayWindow(), TrayIcon::kMessage, 1, WM_LBUTTONDBLCLK);
    pump();
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(Win32ViewTest, HourglassShowsWhileTheFormSaysSo) {
    const HWND button = hwnd(c.cmdGo);
    const auto setCursorFor = [&] {
        SendMessageW(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    form.setMousePointer(MousePointer::Hourglass);
    setCursorFor();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    form.setMousePointer(MousePointer::Default);
    setCursorFor();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(Win32ViewTest, FocusGivenByCodeLandsWithoutTakingActivation) {
    const HWND window = host.windowOf(form);
    SetForegroundWindow(window);
    ASSERT_EQ(GetActiveWindow(), window);
    c.txtName.setText(L"typed");
    c.txtName.setFocus();
    EXPECT_EQ(GetFocus(), hwnd(c.txtName));
    EXPECT_EQ(SendMessageW(hwnd(c.txtName), EM_GETSEL, 0, 0), MAKELRESULT(0, 5));  // typed over

    // A form not yet shown takes the focus when it is, even on a control out of the tab order
    // (an option button that is not the selected one).
    ViewForm other(host, "frmOther");
    other.ui().optB.setFocus();
    EXPECT_EQ(GetFocus(), hwnd(c.txtName));
    other.show();
    pump();
    ASSERT_EQ(GetActiveWindow(), host.windowOf(other));
    EXPECT_EQ(GetFocus(), host.windowOf(other.ui().optB));

    // Code in the form behind does not take the user away from the one in front.
    c.chkOn.setFocus();
    EXPECT_EQ(GetActiveWindow(), host.windowOf(other));
    SetActiveWindow(window);
    pump();
    EXPECT_EQ(GetFocus(), hwnd(c.chkOn));
    other.unload();
}

// --- the host's loops ----------------------------------------------------------------------

HWND g_boxOwner = nullptr;
std::wstring g_boxCaption;
std::wstring g_boxText;
int g_boxAnswer = IDOK;
// The buttons the box had (IDOK, IDYES, IDNO), and its icon.
std::vector<int> g_boxButtons;
HICON g_boxIcon = nullptr;

LRESULT CALLBACK answerMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t name[32] = {};
        GetClassNameW(box, name, 32);
        if (std::wstring(name) == L"#32770") {
            g_boxOwner = GetWindow(box, GW_OWNER);
            g_boxCaption = textOf(box);
            g_boxText = textOf(GetDlgItem(box, 0xFFFF));
            g_boxButtons.clear();
            for (int id : {IDOK, IDYES, IDNO}) {
                if (GetDlgItem(box, id) != nullptr) {
                    g_boxButtons.push_back(id);
                }
            }
            g_boxIcon = nullptr;
            for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                const LONG style = GetWindowLongW(child, GWL_STYLE);
                if ((style & SS_TYPEMASK) == SS_ICON && (style & WS_VISIBLE) != 0) {
                    g_boxIcon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
                }
            }
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(g_boxAnswer), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Win32ViewTest, MessageBoxIsShownOverTheFormAndAnswered) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, answerMessageBox, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    g_boxAnswer = IDNO;
    const MessageBoxAnswer answer = host.messageBox(
        L"A newer version may be out. Look now?", L"Dustrel",
        (ui::MessageBoxStyle{ui::MessageBoxButtons::YesNo, ui::MessageBoxIcon::Warning}));
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(answer, ui::MessageBoxAnswer::No);
    EXPECT_EQ(g_boxCaption, L"Dustrel");
    EXPECT_EQ(g_boxText, L"A newer version may be out. Look now?");
    EXPECT_EQ(g_boxOwner, host.windowOf(form));
}

TEST_F(Win32ViewTest, MessageBoxShowsTheButtonsAndIconAskedFor) {
    struct Case {
        MessageBoxStyle style;
        std::vector<int> buttons;
        const wchar_t* icon;  // null for none
        int clicked;
        MessageBoxAnswer answer;
    };
    const Case cases[] = {
        {{MessageBoxButtons::Ok, MessageBoxIcon::None},
         {IDOK},
         nullptr,
         IDOK,
         MessageBoxAnswer::Ok},
        {{MessageBoxButtons::Ok, MessageBoxIcon::Stop},
         {IDOK},
         IDI_HAND,
         IDOK,
         MessageBoxAnswer::Ok},
        {{MessageBoxButtons::Ok, MessageBoxIcon::Information},
         {IDOK},
         IDI_ASTERISK,
         IDOK,
         MessageBoxAnswer::Ok},
        {{MessageBoxButtons::YesNo, MessageBoxIcon::Warning},
         {IDYES, IDNO},
         IDI_EXCLAMATION,
         IDYES,
         MessageBoxAnswer::Yes},
        {{MessageBoxButtons::YesNo, MessageBoxIcon::Question},
         {IDYES, IDNO},
         IDI_QUESTION,
         IDNO,
         MessageBoxAnswer::No},
    };
    HHOOK hook = SetWindowsHookExW(WH_CBT, answerMessageBox, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    for (const Case& test : cases) {
        g_boxAnswer = test.clicked;
        g_boxIcon = nullptr;
        EXPECT_EQ(host.messageBox(L"text", L"Dustrel", test.style), test.answer);
        EXPECT_EQ(g_boxButtons, test.buttons);
        EXPECT_EQ(g_boxIcon, test.icon != nullptr ? LoadIconW(nullptr, test.icon) : nullptr);
    }
    UnhookWindowsHookEx(hook);
}

ViewForm* g_modal = nullptr;
HWND g_mainWindow = nullptr;
bool g_mainEnabledDuringModal = true;

void CALLBACK closeModal(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_mainEnabledDuringModal = IsWindowEnabled(g_mainWindow) != FALSE;
    g_modal->hide();
}

TEST_F(Win32ViewTest, ModalFormHoldsTheOthersUntilHidden) {
    ViewForm modal(host, "frmModal");
    g_modal = &modal;
    g_mainWindow = host.windowOf(form);
    SetTimer(nullptr, 0, 50, closeModal);

    host.showModal(modal);

    EXPECT_FALSE(g_mainEnabledDuringModal);
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
    EXPECT_TRUE(modal.loaded());
    EXPECT_FALSE(IsWindowVisible(host.windowOf(modal)));
    modal.unload();
}

TEST_F(Win32ViewTest, DoEventsRunsWhatIsPendingAndKeepsTheQuitForTheMainLoop) {
    int clicks = 0;
    c.cmdGo.onClick = [&] { ++clicks; };
    PostMessageW(hwnd(c.cmdGo), BM_CLICK, 0, 0);
    PostQuitMessage(7);
    host.doEvents();
    EXPECT_EQ(clicks, 1);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);

    // Once the program ends, nothing more is handled, and the caller is told to give up.
    host.endProgram();
    PostMessageW(hwnd(c.cmdGo), BM_CLICK, 0, 0);
    EXPECT_THROW(host.doEvents(), ui::HandlerAbandoned);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(runMessageLoop(host), 0);
}

TEST_F(Win32ViewTest, EndOfTheSessionEndsTheProgramWithoutItsHandlers) {
    const HWND window = host.windowOf(form);
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);  // cancelled after all
    EXPECT_FALSE(host.ended());
    MSG msg{};
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(host.ended());  // else the loop below would wait for ever
    EXPECT_EQ(form.unloadCalls, 0);
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(runMessageLoop(host), 0);
}

}  // namespace
}  // namespace dustrel::ui::win32
