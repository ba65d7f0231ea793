// The Win32 view against real windows: real clicks and keys reach the model's handlers, and
// the model's changes reach the windows.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/win32_real_window.h"
#include "ui/form.h"
#include "ui/win32/dpi.h"
#include "ui/win32/geometry.h"
#include "ui/win32/tray_icon.h"
#include "ui/win32/win32_host.h"

namespace dustrel::ui::win32 {
namespace {

// What the form's handlers heard, in order.
std::string g_heard;
void hear(const std::string& what) {
    g_heard += (g_heard.empty() ? "" : " ") + what;
}

struct ViewControls {
    explicit ViewControls(Form& form) : f(form) {
        for (Frame* page : {&page1, &page2}) {
            page->setBackColor(Color{2, 51, 94});
            f.addPage(*page);
        }
        page1.zOrder(ZOrderPosition::Front);
        picNotice.setVisible(false);
        lblInfo.setForeColor(Color{255, 199, 6});
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
        const std::pair<std::function<void()>*, const char*> events[] = {
            {&cmdGo.onClick, "cmdGo"},      {&chkOn.onClick, "chkOn"},
            {&optB.onClick, "optB"},        {&cboKind.onClick, "cboKind"},
            {&txtName.onChange, "txtName"}, {&lblInfo.onClick, "lblInfo"},
            {&mnuOpen.onClick, "mnuOpen"},  {&mnuShow.onClick, "mnuShow"}};
        for (auto [event, name] : events) {
            *event = [name] { hear(name); };
        }
        lstItems.onItemCheck = [](std::size_t row) { hear("check " + std::to_string(row)); };
        picNotice.onTrayEvent = [](TrayEvent e) { hear("tray " + std::to_string(int(e))); };
        picNotice.onMouseDown = [this](int button, int shift, double x, double y) {
            const double twips = f.host().twipsPerPixelX();
            hear("mouse " + std::to_string(button) + " " + std::to_string(shift) + " " +
                 std::to_string(std::lround(x / twips)) + " " +
                 std::to_string(std::lround(y / twips)));
        };
    }

    Form& f;
    PictureBox& picNotice = f.add<PictureBox>(f, "picNotice", Rect{4335, 3032, 5500, 550});
    Frame& page1 = f.add<Frame>(f, "Page1", Rect{2880, 120, 8530, 6375});
    Frame& page2 = f.add<Frame>(f, "Page2", Rect{2880, 120, 8530, 6375});
    Button& cmdGo = f.add<Button>(page1, "cmdGo", Rect{120, 120, 1215, 375}, L"&Go");
    CheckBox& chkOn = f.add<CheckBox>(page1, "chkOn", Rect{120, 600, 2000, 300}, L"&On");
    OptionButton& optA = f.add<OptionButton>(page1, "optA", Rect{120, 960, 2000, 300}, L"Opt &A");
    OptionButton& optB = f.add<OptionButton>(page1, "optB", Rect{120, 1320, 2000, 300}, L"Opt &B");
    TextBox& txtName = f.add<TextBox>(page1, "txtName", Rect{2400, 120, 2000, 300});
    ComboBox& cboKind = f.add<ComboBox>(page1, "cboKind", Rect{2400, 600, 2000, 300});
    ListView& lstItems = f.add<ListView>(page1, "lstItems", Rect{120, 1800, 8055, 2000}, true);
    Label& lblInfo = f.add<Label>(page1, "lblInfo", Rect{100, 3900, 4000, 240}, L"Ready");
    ProgressBar& bar = f.add<ProgressBar>(page1, "bar", Rect{120, 4700, 8055, 270});
    Frame& fraGroup = f.add<Frame>(page1, "fraGroup", Rect{4600, 120, 3600, 1500}, L"Options");
    CheckBox& chkIn = f.add<CheckBox>(fraGroup, "chkIn", Rect{240, 360, 2000, 300}, L"In");
    Button& cmdOther = f.add<Button>(page2, "cmdOther", Rect{120, 120, 1215, 375}, L"O&ther");
    MenuItem& mnuFile = f.addMenu("mnuFile", L"&File");
    MenuItem& mnuOpen = mnuFile.add("mnuOpen", L"&Open");
    MenuItem& mnuHidden = mnuFile.add("mnuHidden", L"&Hidden");
    MenuItem& mnuPopUp = f.addMenu("mnuPopUp", L"PopUp");
    MenuItem& mnuShow = mnuPopUp.add("mnuShow", L"Show");
};

class ViewForm : public FormOf<ViewControls> {
public:
    explicit ViewForm(UiHost& host, std::string name = "frmView") : FormOf(host, std::move(name)) {
        setClientSize(11535, 6615);
        setFont(Font{L"Verdana", 8.25, false});
    }

    int cancelUnload = 0;

protected:
    void Form_Unload(int& cancel) override {
        hear("Unload");
        cancel = cancelUnload;
    }
};

std::wstring textOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

// One input, from the user or the shell, to one control of a fresh form: what the code did
// first, the message, its key or mouse keys; what the model heard and its state; and where.
// For a list or a combo box's open list, `at` is {row, kOnBox or kOnName}.
constexpr LONG kOnBox = -1, kOnName = -2;
struct Input {
    const char *control, *before;
    UINT message;
    WPARAM key;
    const char *heard, *state;
    POINT at{};
};

class Win32ViewTest : public ::testing::Test {
protected:
    void SetUp() override { reload(); }
    void TearDown() override {
        form.unload();
        // Leave nothing behind for the next test on this thread.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void reload() {
        form.cancelUnload = 0;
        form.unload();
        form.show();
        pump();
        g_heard.clear();
    }
    void pump() {
        for (int i = 0; i < 3; ++i) {
            host.doEvents();
        }
    }
    // Keys go through the queue, as typed ones do, so the dialog navigation sees them.
    void key(const Control& target, UINT key) {
        const HWND window = hwnd(target);
        SetFocus(window);
        PostMessageW(window, WM_KEYDOWN, key, 1);
        if (key == VK_RETURN || key == VK_SPACE || (key >= 'A' && key <= 'Z')) {
            PostMessageW(window, WM_CHAR, key == VK_RETURN ? L'\r' : towlower(key), 1);
        }
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
        pump();
    }

    void press(HWND window, UINT down, WPARAM keys, POINT at) {
        PostMessageW(window, down, keys, MAKELPARAM(at.x, at.y));
        PostMessageW(window, down + 1, 0, MAKELPARAM(at.x, at.y));
    }

    void apply(const Input& in) {
        ViewControls& u = c();
        Control* target = form.find(in.control);  // none for the form and its menus
        const std::string before = in.before;
        HWND window = target != nullptr ? hwnd(*target) : host.windowOf(form);
        if (target != nullptr) {
            target->setEnabled(before != "disabled");
            target->setVisible(true);
        }
        form.cancelUnload = before == "refuses";
        form.setClosesOnEscape(before == "closes on Escape");
        RECT r{};
        if (before == "browsed") {
            key(u.cboKind, VK_DOWN);
        } else if (before == "grayed") {
            u.chkOn.setValue(CheckBox::Grayed);
        } else if (before == "text set") {
            u.txtName.setText(L"x");  // its echo is no typing, but what the user types next is
        } else if (before.starts_with("row 2")) {
            u.lstItems.setChecked(2, before == "row 2 ticked");
            ListView_SetItemState(window, 2, LVIS_FOCUSED, LVIS_FOCUSED);
        } else if (before == "dropped") {  // the list open, for a pick
            SetFocus(window);
            SendMessageW(window, CB_SHOWDROPDOWN, TRUE, 0);
            COMBOBOXINFO info{};
            info.cbSize = sizeof(info);
            GetComboBoxInfo(window, &info);
            window = info.hwndList;
            SendMessageW(window, LB_GETITEMRECT, in.at.x, reinterpret_cast<LPARAM>(&r));
        } else if (before.ends_with("unseen")) {
            // Painted, then re-ordered with no paint before the input: by a sort that a click
            // on the header asks for, or by a removal.
            u.lstItems.onColumnClick = [&u](std::size_t) {
                u.lstItems.setSortOrder(SortOrder::Descending);
                u.lstItems.setSorted(true);
            };
            ListView_SetItemState(window, 0, LVIS_FOCUSED, LVIS_FOCUSED);
            SetFocus(window);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            const HWND header = ListView_GetHeader(window);
            Header_GetItemRect(header, 0, &r);
            if (before == "sorted unseen") {
                press(header, WM_LBUTTONDOWN, MK_LBUTTON, {r.left + 20, r.bottom / 2});
            } else {
                u.lstItems.removeRow(0);
            }
        }
        if (in.at.y < 0 && before != "dropped") {
            ListView_GetItemRect(window, in.at.x, &r, LVIR_LABEL);
        }
        // On a row: its check box lies left of its label.
        const POINT at = in.at.y >= 0 ? in.at
                                      : POINT{in.at.y == kOnName ? r.left + 10 : r.left - 8,
                                              (r.top + r.bottom) / 2};
        if (in.message == TrayIcon::kMessage) {
            (void)host.addTrayIcon(u.picNotice, L"Dustrel");
            if (before == "icon removed") {
                host.removeTrayIcon(u.picNotice);
            } else if (before == "form unloaded") {
                form.unload();
            }
            PostMessageW(host.trayWindow(), TrayIcon::kMessage, 1, in.key);
        } else if (in.message == WM_KEYDOWN) {
            key(*target, in.key);
        } else if (in.message == WM_SETTEXT) {
            SetWindowTextW(window, L"ab");
        } else if (in.message == WM_CLOSE || in.message == BM_CLICK) {
            SendMessageW(window, in.message, 0, 0);
        } else if (in.message == WM_COMMAND) {
            SendMessageW(window, WM_COMMAND, GetMenuItemID(GetSubMenu(GetMenu(window), 0), 0), 0);
        } else {
            press(window, in.message, in.key, at);
        }
        pump();
    }

    // The model's values, once the windows are seen to show the same.
    std::string state() {
        if (!form.loaded()) {
            return "unloaded";
        }
        ViewControls& u = c();
        const auto ask = [&](const Control& control, UINT message, WPARAM row = 0) {
            return SendMessageW(hwnd(control), message, row, LVIS_STATEIMAGEMASK);
        };
        std::string model = std::to_string(u.chkOn.value()) + (u.optA.value() ? "A" : "") +
                            (u.optB.value() ? "B" : "") + std::to_string(u.cboKind.listIndex()) +
                            " ",
                    shown = std::to_string(ask(u.chkOn, BM_GETCHECK)) +
                            (ask(u.optA, BM_GETCHECK) ? "A" : "") +
                            (ask(u.optB, BM_GETCHECK) ? "B" : "") +
                            std::to_string(ask(u.cboKind, CB_GETCURSEL)) + " ";
        for (std::size_t row = 0; row < u.lstItems.rowCount(); ++row) {
            model += u.lstItems.row(row).checked ? "1" : "0";
            shown += std::to_string((ask(u.lstItems, LVM_GETITEMSTATE, row) >> 12) - 1);
        }
        EXPECT_EQ(shown, model);
        EXPECT_EQ(textOf(hwnd(u.txtName)), u.txtName.text());
        return model + " " +
               std::to_string(ListView_GetNextItem(hwnd(u.lstItems), -1, LVNI_SELECTED)) + " '" +
               std::string(u.txtName.text().begin(), u.txtName.text().end()) + "'";
    }

    HWND hwnd(const Control& control) const { return host.windowOf(control); }
    ViewControls& c() { return form.ui(); }

    Win32Host host;
    ViewForm form{host};
};

// The state: On's value, the selected option and Kind's index; the ticks; the selected row;
// the text.
constexpr const char *kAsLoaded = "0A0 000 -1 ''", *kRow2Ticked = "0A0 001 -1 ''";
constexpr WPARAM kLeft = MK_LBUTTON, kShiftRight = MK_RBUTTON | MK_SHIFT;
constexpr UINT kTray = TrayIcon::kMessage;

TEST_F(Win32ViewTest, UserInputReachesTheModelOnceAndTheWindowsShowItsAnswer) {
    // clang-format off
    const Input inputs[] = {
        {"cmdGo", "", BM_CLICK, 0, "cmdGo", kAsLoaded},
        {"cmdGo", "", WM_KEYDOWN, VK_RETURN, "cmdGo", kAsLoaded},
        {"cmdGo", "disabled", BM_CLICK, 0, "", kAsLoaded},
        {"chkOn", "", BM_CLICK, 0, "chkOn", "1A0 000 -1 ''"},
        {"chkOn", "grayed", BM_CLICK, 0, "chkOn chkOn", "1A0 000 -1 ''"},
        {"chkOn", "disabled", BM_CLICK, 0, "", kAsLoaded},
        {"optB", "", BM_CLICK, 0, "optB", "0B0 000 -1 ''"},
        {"txtName", "", WM_SETTEXT, 0, "txtName", "0A0 000 -1 'ab'"},
        {"txtName", "text set", WM_SETTEXT, 0, "txtName txtName", "0A0 000 -1 'ab'"},
        // The arrow keys on the closed list pass over entries: it is settled on by Enter, by
        // moving on, or by a pick from the open list.
        {"cboKind", "", WM_KEYDOWN, VK_DOWN, "", "0A1 000 -1 ''"},
        {"cboKind", "browsed", WM_KEYDOWN, VK_RETURN, "cboKind", "0A1 000 -1 ''"},
        // Tab goes on into the list, which marks its first row to be ticked by Space.
        {"cboKind", "browsed", WM_KEYDOWN, VK_TAB, "cboKind", "0A1 000 0 ''"},
        {"cboKind", "browsed", WM_KEYDOWN, VK_UP, "", kAsLoaded},
        {"cboKind", "dropped", WM_LBUTTONDOWN, kLeft, "cboKind", "0A1 000 -1 ''", {1, kOnName}},
        {"lstItems", "", WM_LBUTTONDOWN, kLeft, "check 1", "0A0 010 -1 ''", {1, kOnBox}},
        {"lstItems", "", WM_LBUTTONDOWN, kLeft, "", "0A0 000 2 ''", {2, kOnName}},
        {"lstItems", "row 2", WM_KEYDOWN, VK_SPACE, "check 2", kRow2Ticked},
        {"lstItems", "row 2 ticked", WM_KEYDOWN, VK_SPACE, "check 2", kAsLoaded},
        {"lstItems", "", WM_KEYDOWN, 'G', "", "0A0 000 2 ''"},  // finds gamma
        // A tick lands on the row drawn where the user pointed, alpha, or on none; never on the
        // row that moved into its place unseen.
        {"lstItems", "sorted unseen", WM_LBUTTONDOWN, kLeft, "check 2", kRow2Ticked, {0, kOnBox}},
        {"lstItems", "sorted unseen", WM_KEYDOWN, VK_SPACE, "check 2", kRow2Ticked},
        {"lstItems", "removed unseen", WM_LBUTTONDOWN, kLeft, "", "0A0 00 -1 ''", {0, kOnBox}},
        {"picNotice", "", WM_RBUTTONDOWN, kShiftRight, "mouse 2 1 10 20", kAsLoaded, {10, 20}},
        {"lblInfo", "", WM_LBUTTONDOWN, kLeft, "lblInfo", kAsLoaded, {5, 5}},
        {"mnuOpen", "", WM_COMMAND, 0, "mnuOpen", kAsLoaded},
        {"cmdGo", "", WM_KEYDOWN, VK_ESCAPE, "", kAsLoaded},
        {"cmdGo", "closes on Escape", WM_KEYDOWN, VK_ESCAPE, "Unload", "unloaded"},
        {"frmView", "refuses", WM_CLOSE, 0, "Unload", kAsLoaded},
        {"frmView", "", WM_CLOSE, 0, "Unload", "unloaded"},
        // What the shell posts for the mouse over the icon: only releases and double clicks
        // count, and nothing once the icon is gone, or its form with it.
        {"picNotice", "", kTray, WM_LBUTTONUP, "tray 0", kAsLoaded},
        {"picNotice", "", kTray, WM_LBUTTONDBLCLK, "tray 1", kAsLoaded},
        {"picNotice", "", kTray, WM_RBUTTONUP, "tray 2", kAsLoaded},
        {"picNotice", "", kTray, WM_LBUTTONDOWN, "", kAsLoaded},
        {"picNotice", "", kTray, WM_MOUSEMOVE, "", kAsLoaded},
        {"picNotice", "icon removed", kTray, WM_LBUTTONDBLCLK, "", kAsLoaded},
        {"picNotice", "form unloaded", kTray, WM_LBUTTONDBLCLK, "Unload", "unloaded"},
    };
    // clang-format on
    for (const Input& in : inputs) {
        SCOPED_TRACE(std::string(in.control) + " " + in.before + " " + std::to_string(in.message) +
                     " " + std::to_string(in.key));
        reload();
        const HWND window = host.windowOf(form);
        apply(in);
        EXPECT_EQ(g_heard, in.heard);
        EXPECT_EQ(state(), in.state);
        EXPECT_EQ(IsWindow(window) != FALSE, form.loaded());  // an unloaded form's window goes
    }
}

TEST_F(Win32ViewTest, KeyboardAndFocusFollowTheTabOrderAndTheFrontPageAndForm) {
    ViewControls& u = c();
    // A group is entered at its selected button; a captioned frame is gone through.
    const std::pair<Control*, Control*> moves[] = {
        {&u.cmdGo, &u.chkOn}, {&u.chkOn, &u.optA}, {&u.optA, &u.txtName}, {&u.lstItems, &u.chkIn}};
    for (auto [from, to] : moves) {
        key(*from, VK_TAB);
        EXPECT_EQ(GetFocus(), hwnd(*to)) << from->name();
    }
    u.optB.setValue(true);
    key(u.chkOn, VK_TAB);
    EXPECT_EQ(GetFocus(), hwnd(u.optB));

    // Only the front page shows, and the keyboard goes on in it; a hidden page is never in front.
    EXPECT_FALSE(IsWindowVisible(hwnd(u.page2)));
    u.page2.zOrder(ZOrderPosition::Front);
    EXPECT_FALSE(IsWindowVisible(hwnd(u.cmdGo)));
    EXPECT_TRUE(IsWindowVisible(hwnd(u.cmdOther)));
    u.page2.setVisible(false);
    EXPECT_TRUE(IsWindowVisible(hwnd(u.page1)));

    // Created first, the notice leads in tab order, but lies behind the pages until it is
    // brought to the front.
    EXPECT_EQ(GetWindow(hwnd(u.picNotice), GW_HWNDNEXT), nullptr);
    u.picNotice.zOrder(ZOrderPosition::Front);
    EXPECT_EQ(GetWindow(host.windowOf(form), GW_CHILD), hwnd(u.picNotice));
    u.picNotice.zOrder(ZOrderPosition::Back);
    EXPECT_EQ(GetWindow(hwnd(u.picNotice), GW_HWNDNEXT), nullptr);

    // Focus given by code lands without taking activation.
    const HWND window = host.windowOf(form);
    SetForegroundWindow(window);
    ASSERT_EQ(GetActiveWindow(), window);
    u.txtName.setText(L"typed");
    u.txtName.setFocus();
    EXPECT_EQ(GetFocus(), hwnd(u.txtName));
    EXPECT_EQ(SendMessageW(hwnd(u.txtName), EM_GETSEL, 0, 0), MAKELRESULT(0, 5));  // typed over

    // A form not yet shown takes the focus when it is, even on a control out of the tab order
    // (an option button that is not the selected one).
    ViewForm other(host, "frmOther");
    other.ui().optB.setFocus();
    EXPECT_EQ(GetFocus(), hwnd(u.txtName));
    other.show();
    pump();
    ASSERT_EQ(GetActiveWindow(), host.windowOf(other));
    EXPECT_EQ(GetFocus(), host.windowOf(other.ui().optB));

    // Code in the form behind does not take the user away from the one in front.
    u.chkOn.setFocus();
    EXPECT_EQ(GetActiveWindow(), host.windowOf(other));
    SetActiveWindow(window);
    pump();
    EXPECT_EQ(GetFocus(), hwnd(u.chkOn));
    other.unload();
}

// Each kind of window mirrors what the model sets. Edges are converted from twips, not sizes:
// 100 + 4000 twips end at 273 px at 96 DPI, although 100 alone is 7 px and 4000 alone 267.
TEST_F(Win32ViewTest, EachKindOfWindowMirrorsTheModel) {
    ViewControls& u = c();
    const bool at96 = systemDpi() == 96;
    form.setCaption(L"Renamed");
    EXPECT_EQ(textOf(host.windowOf(form)), L"Renamed");
    RECT r{};
    GetClientRect(host.windowOf(form), &r);  // the menu bar takes nothing from it
    EXPECT_TRUE(!at96 || (r.right == 769 && r.bottom == 441)) << r.right << "x" << r.bottom;
    for (Control* control : std::initializer_list<Control*>{
             &u.fraGroup, &u.lblInfo, &u.cmdGo, &u.chkOn, &u.optB, &u.cboKind, &u.txtName,
             &u.picNotice, &u.bar, &u.lstItems}) {
        SCOPED_TRACE(control->name());
        const HWND w = hwnd(*control);
        auto* captioned = dynamic_cast<Captioned*>(control);
        control->setEnabled(false);
        control->setVisible(false);
        EXPECT_EQ(std::pair(IsWindowEnabled(w), IsWindowVisible(w)), std::pair(FALSE, FALSE));
        control->setEnabled(true);
        control->setVisible(true);
        UpdateWindow(w);
        if (captioned != nullptr) {
            captioned->setCaption(L"&New");
        }
        // A group is repainted with its caption, by which a screen reader names it.
        EXPECT_TRUE(control->kind() != ControlKind::Frame || GetUpdateRect(w, nullptr, FALSE));
        control->move(Rect{100, 300, 4000, 240});
        control->setFont(Font{L"Courier New", 12, true});
        host.refresh(form);
        EXPECT_EQ(std::pair(IsWindowEnabled(w), IsWindowVisible(w)), std::pair(TRUE, TRUE));
        EXPECT_TRUE(captioned == nullptr || textOf(w) == L"&New");
        GetWindowRect(w, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(!at96 || (r.left == 7 && r.top == 20 && r.right == 273))
            << r.left << " " << r.right;
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)), sizeof font, &font);
        const ControlKind kind = control->kind();
        if (kind != ControlKind::Frame && kind != ControlKind::PictureBox &&
            kind != ControlKind::ProgressBar) {
            EXPECT_EQ(std::wstring(font.lfFaceName) + (font.lfWeight == FW_BOLD ? L" bold" : L""),
                      L"Courier New bold");
        }
    }

    // A burst of changes may be held back; refresh shows the last one. The owner-data list reads
    // its rows, and their cells, from the model.
    u.lblInfo.setCaption(L"Searching");
    u.lblInfo.setCaption(L"Searching C:\\");
    ASSERT_TRUE(u.bar.setMin(1) && u.bar.setMax(300));
    for (int v = 1; v <= 150; ++v) {
        u.bar.setValue(v + 0.6);
    }
    for (int i = 0; i < 5000; ++i) {
        u.lstItems.addRow(L"C:\\file" + std::to_wstring(i));
    }
    host.refresh(form);
    const HWND bar = hwnd(u.bar), list = hwnd(u.lstItems);
    EXPECT_EQ(textOf(hwnd(u.lblInfo)), L"Searching C:\\");
    EXPECT_EQ((std::vector<LRESULT>{
                  SendMessageW(bar, PBM_GETPOS, 0, 0), SendMessageW(bar, PBM_GETRANGE, TRUE, 0),
                  SendMessageW(bar, PBM_GETRANGE, FALSE, 0), ListView_GetItemCount(list)}),
              (std::vector<LRESULT>{151, 1, 300, 5003}));
    wchar_t text[64] = {}, cell[64] = {};
    ListView_GetItemText(list, 5002, 0, text, 64);
    ListView_GetItemText(list, 0, 1, cell, 64);
    EXPECT_EQ(std::wstring(text) + L"|" + cell, L"C:\\file4999|1 KB");
    for (int column : {0, 1}) {
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT | LVCF_SUBITEM;  // which cells the column asks for
        header.pszText = text;
        header.cchTextMax = 64;
        ASSERT_TRUE(ListView_GetColumn(list, column, &header));
        EXPECT_EQ(text + std::to_wstring(header.iSubItem), column == 0 ? L"Name0" : L"Size1");
    }
    u.lstItems.clear();
    host.refresh(form);
    EXPECT_EQ(ListView_GetItemCount(list), 0);

    // Labels paint in their colour on the page's, a picture box its image over its back colour, and
    // the window shows the program's own icon.
    HDC dc = GetDC(hwnd(u.page1));
    LOGBRUSH fill{};
    GetObjectW(reinterpret_cast<HBRUSH>(SendMessageW(hwnd(u.page1), WM_CTLCOLORSTATIC,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(hwnd(u.lblInfo)))),
               sizeof(fill), &fill);
    EXPECT_EQ(std::pair(fill.lbColor, GetTextColor(dc)),
              std::pair(RGB(2, 51, 94), RGB(255, 199, 6)));
    ReleaseDC(hwnd(u.page1), dc);

    RECT box{};
    GetClientRect(hwnd(u.picNotice), &box);
    const HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, box.right, box.bottom));
    ReleaseDC(nullptr, screen);
    u.picNotice.setBackColor(Color{1, 2, 3});
    for (Image image : {Image::None, Image::SidePanel}) {
        u.picNotice.setImage(image);
        SendMessageW(hwnd(u.picNotice), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_ERASEBKGND);
        EXPECT_EQ(GetPixel(dc, box.right / 2, box.bottom / 2) == RGB(1, 2, 3),
                  image == Image::None);
    }
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);

    form.setIcon(Image::AppIcon);
    const auto icon = SendMessageW(host.windowOf(form), WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(icon, 0);
    EXPECT_NE(icon, reinterpret_cast<LRESULT>(LoadIconW(nullptr, IDI_APPLICATION)));
}

TEST_F(Win32ViewTest, PointerFollowsTheFormAndTheLinkLabels) {
    ViewControls& u = c();
    using enum MousePointer;
    // clang-format off
    const struct { MousePointer form, label; Control* under; const wchar_t* cursor; } cases[] = {
        {Hourglass, Hand, &u.lblInfo, IDC_WAIT}, {Default, Hand, &u.lblInfo, IDC_HAND},
        {Default, Hand, &u.cmdGo, IDC_ARROW},    {Hand, Default, &u.cmdGo, IDC_HAND},
    };
    // clang-format on
    for (const auto& test : cases) {
        form.setMousePointer(test.form);
        u.lblInfo.setMousePointer(test.label);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        SendMessageW(hwnd(*test.under), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd(*test.under)),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, test.cursor)) << test.under->name();
    }
}

// A message box is shown over the form with the buttons and icon asked for; a modal form holds
// the others until hidden; a menu holds its visible entries, and a pop-up one reads the keys
// waiting in the queue in its own loop.
TEST_F(Win32ViewTest, BoxesModalFormsAndMenusRunLoopsOfTheirOwn) {
    using enum MessageBoxButtons;
    using enum MessageBoxIcon;
    // clang-format off
    const struct { MessageBoxStyle style; const wchar_t *buttons, *icon; int clicked;
                   MessageBoxAnswer answer; } cases[] = {
        {{Ok, None}, L" [OK]", nullptr, IDOK, MessageBoxAnswer::Ok},
        {{Ok, Stop}, L" [OK]", IDI_HAND, IDOK, MessageBoxAnswer::Ok},
        {{Ok, Information}, L" [OK]", IDI_ASTERISK, IDOK, MessageBoxAnswer::Ok},
        {{YesNo, Warning}, L" [Yes] [No]", IDI_EXCLAMATION, IDYES, MessageBoxAnswer::Yes},
        {{YesNo, Question}, L" [Yes] [No]", IDI_QUESTION, IDNO, MessageBoxAnswer::No},
    };
    // clang-format on
    const HWND window = host.windowOf(form);
    testing::MessageBoxes boxes;
    for (const auto& test : cases) {
        boxes.answer = test.clicked;
        EXPECT_EQ(host.messageBox(L"Look now?", L"Dustrel", test.style), test.answer);
        EXPECT_EQ(boxes.look, L"Dustrel: Look now?" + std::wstring(test.buttons));
        EXPECT_EQ(boxes.owner, window);
        EXPECT_EQ(boxes.icon, test.icon != nullptr ? LoadIconW(nullptr, test.icon) : nullptr);
    }
    // With no window of the program under it, a box comes to the front by itself.
    EXPECT_EQ(Win32Host::messageBoxType({}, nullptr) & MB_SETFOREGROUND, UINT{MB_SETFOREGROUND});
    EXPECT_EQ(Win32Host::messageBoxType({}, window) & MB_SETFOREGROUND, 0U);

    ViewForm modal(host, "frmModal");
    bool mainEnabled = true;
    modal.ui().cmdGo.onClick = [&] {
        mainEnabled = IsWindowEnabled(window) != FALSE;
        modal.hide();
    };
    PostMessageW(host.windowOf(modal.ui().cmdGo), BM_CLICK, 0, 0);
    host.showModal(modal);
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_TRUE(modal.loaded() && !IsWindowVisible(host.windowOf(modal)));
    modal.unload();
    g_heard.clear();

    ASSERT_EQ(GetMenuItemCount(GetMenu(window)), 1);  // the pop-up menu is not on the bar
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(window), 0)), 1);
    c().mnuHidden.setVisible(true);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(window), 0)), 2);
    PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
    host.popupMenu(form, c().mnuPopUp, &c().mnuShow);
    EXPECT_EQ(g_heard, "mnuShow");
}

// On a monitor of another scale the window takes the place the system suggests, and everything in
// it is laid out again from its twips at that scale.
TEST_F(Win32ViewTest, AChangeOfDpiLaysEverythingOutAgain) {
    const HWND window = host.windowOf(form);
    const int dpi = systemDpi() * 5 / 4;  // the window still fits the test screen
    RECT r{40, 30, 940, 730}, client{};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
    GetWindowRect(window, &r);
    GetClientRect(window, &client);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, client.right, client.bottom}),
              (std::vector<LONG>{40, 30, twipsToPixels(11535, dpi), twipsToPixels(6615, dpi)}));
    for (Control* control : form.controls()) {
        const HWND w = hwnd(*control);
        GetWindowRect(w, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
        const PixelRect want = toPixels(control->rect(), dpi);
        const bool combo = control->kind() == ControlKind::ComboBox;  // its height is the font's
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left,
                                     combo ? want.height : r.bottom - r.top}),
                  (std::vector<LONG>{want.left, want.top, want.width, want.height}))
            << control->name();
    }
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd(c().cmdGo), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, fontHeight(8.25, dpi));
    EXPECT_EQ(ListView_GetColumnWidth(hwnd(c().lstItems), 0), twipsToPixels(4000, dpi));
}

// The taskbar may refuse the icon at log-on: it is tried again until it takes it or the tries are
// up, and again whenever a taskbar starts.
TEST_F(Win32ViewTest, ARefusedTrayIconIsTriedAgain) {
    int adds = 0;
    TrayIcon tray(host, GetModuleHandleW(nullptr), nullptr,
                  [&](DWORD what, NOTIFYICONDATAW*) { return BOOL{what != NIM_ADD || ++adds > 5}; },
                  {10, 3});
    const auto addsAfterAWhile = [&] {
        for (int i = 0; i < 12; ++i) {
            Sleep(10);
            pump();
        }
        return adds;
    };
    EXPECT_FALSE(tray.add(c().picNotice, L"Dustrel"));
    EXPECT_EQ(addsAfterAWhile(), 4);  // three more tries, all refused
    SendMessageW(tray.window(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(addsAfterAWhile(), 6);  // refused once more, then taken, and tried no more
}

// DoEvents runs what is pending and keeps a quit for the main loop. The end of the session
// ends the program without its handlers; then nothing more is handled, and the caller is told
// to give up.
TEST_F(Win32ViewTest, DoEventsAndTheEndOfTheSession) {
    const HWND window = host.windowOf(form), go = hwnd(c().cmdGo);
    PostMessageW(go, BM_CLICK, 0, 0);
    PostQuitMessage(7);
    host.doEvents();
    EXPECT_EQ(g_heard, "cmdGo");
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);

    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);  // cancelled after all
    EXPECT_FALSE(host.ended() || PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(host.ended());  // else the loop below would wait for ever
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    PostMessageW(go, BM_CLICK, 0, 0);
    EXPECT_THROW(host.doEvents(), ui::HandlerAbandoned);
    EXPECT_EQ(g_heard, "cmdGo");  // no Unload, no second click
    EXPECT_EQ(runMessageLoop(host), 0);
}

}  // namespace
}  // namespace dustrel::ui::win32
