#pragma once

#include <windows.h>

#include <cstdint>

#include <commctrl.h>

#include <cstddef>
#include <deque>
#include <unordered_map>
#include <vector>

#include "ui/control_order.h"
#include "ui/form.h"
#include "ui/list_picture.h"
#include "ui/win32/menu_builder.h"
#include "ui/win32/owner_data_list.h"

namespace dustrel::ui::win32 {

class Win32Host;

// One loaded form mirrored into real windows: a top-level window and one child window per
// control. The model is the truth: the view writes what the model says and turns the user's
// input into the model's user actions, and never reads a window's state back as the answer.
//
// The view's work is spread over files by what it does: form_view.cpp (the top-level window
// and its messages), form_view_controls.cpp (making the controls' windows),
// form_view_updates.cpp (the model's changes, some held back), form_view_focus.cpp (stacking,
// focus and dialog navigation), form_view_paint.cpp (panels, group boxes, colours) and
// form_view_procs.cpp (the window procedures and the user's input).
class FormView final : public FormObserver, public ControlObserver {
public:
    // Builds the window tree hidden and attaches itself to the form and its controls.
    FormView(Win32Host& host, Form& form);
    ~FormView() override;
    FormView(const FormView&) = delete;
    FormView& operator=(const FormView&) = delete;

    static void registerClasses(HINSTANCE instance);

    const Form& form() const { return form_; }
    HWND hwnd() const { return hwnd_; }
    HWND windowOf(const Control& control) const;
    // True once the view no longer mirrors its form (the form unloaded or was abandoned).
    bool detached() const { return detached_; }
    // Window procedures of this view that are running now (nested through DoEvents and modal
    // loops); the view may only be freed when none is.
    int busy() const { return busy_; }

    // The form is unloading: stops observing it and destroys the windows.
    void detach();
    // The form may already be gone: destroys the windows without touching it.
    void abandon();

    // Applies updates that were held back because they came faster than the eye can follow.
    // Without `force`, only those whose pause is over.
    bool flush(bool force);

    void formChanged(Form& form, Prop what) override;
    void changed(Control& control, Prop what, std::size_t index) override;

private:
    // Changes kept for flush(), one bit each.
    enum Hold : unsigned {
        kHoldCaption = 1,
        kHoldProgress = 2,
        kHoldRows = 4,
        kHoldAppend = 8,
    };
    // Control ids stay clear of IDOK and IDCANCEL, which dialog navigation sends for Enter and
    // Escape, and below the menu ids.
    static constexpr int kFirstControlId = 100;
    static constexpr UINT_PTR kListSubclassId = 1;
    // Posted when a drop-down list closes, to settle on the entry the user picked in it once
    // the list has sent all it sends on closing (in no fixed order).
    static constexpr UINT kSettleChoiceMessage = WM_APP + 2;
    // Posted when the focus may have moved, to mark the button Enter presses once it has.
    static constexpr UINT kFocusMovedMessage = WM_APP + 3;

    struct Child {
        Control* control = nullptr;
        HWND hwnd = nullptr;
        int id = 0;
        std::size_t creation = 0;
        unsigned pending = 0;
        DWORD lastApplied = 0;
        // Whether rows appended to a list would come into view, as last asked, and when.
        bool newRowsInView = true;
        DWORD viewCheckedAt = 0;
        // What a list's window showed when last painted.
        ListPicture picture;
        bool settingText = false;
        // Whether the user picked an entry since a drop-down list was last opened.
        bool picked = false;
    };

    // Messages.
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK listViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR refData);
    LRESULT handleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handleFormMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    void windowDestroyed(HWND hwnd);
    void destroyWindows();

    // Building.
    void createFormWindow();
    void createChildWindows();
    Child& createChild(Control& control);
    void initChild(Child& child);
    void initListView(Child& child);

    // Lookups.
    Child* find(const Control* control);
    Child* find(HWND hwnd);
    HWND containerWindow(const Container& container);
    bool isPage(const Control& control) const;
    bool shouldShow(const Control& control) const;
    // The list view window of a child whose control is a list view.
    static OwnerDataList listOf(Child& child);

    // Mirroring the model.
    void applyRect(Child& child);
    void applyFont(Child& child);
    // After a container's font changed: every control without a font of its own follows it.
    void applyFonts();
    void applyVisible(Child& child);
    void applyCaption(Child& child);
    void applyValue(Child& child);
    void applyItems(Child& child);
    void applyText(Child& child);
    void applyColors(Child& child);
    void applyColumns(Child& child);
    void applyPending(Child& child);
    // Keeps a change for flush(), which the host calls whenever it looks at the queue.
    void hold(Child& child, unsigned what);
    bool applyIfDue(Child& child, DWORD now);
    std::uint32_t holdFor(Child& child, DWORD now);

    // Stacking, focus and dialog navigation.
    void arrange(const Container& container);
    void updateOptionTabStops(const Container& container);
    // The container's children that have windows, back to front.
    std::vector<const Control*> withWindows(const Container& container);
    TabPosition tabPosition();
    void updatePages();
    void rescueFocus(HWND from);
    void restoreFocus();
    void applyFocus(Child& child);
    bool usableFocus(HWND hwnd) const;
    // Visible and enabled, whether a tab stop or not: where code may put the focus.
    bool canFocus(HWND hwnd) const;
    HWND firstTabStop(HWND within) const;
    // Messages of the top-level window that move the focus; false for any other.
    bool handleNavigation(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Keyboard and screen-reader users (form_view_access.cpp).
    // The page now in front takes the focus on its first control.
    void focusFrontPage();
    const Button* enterButton();
    // Draws the button Enter presses as the default one, which is also how a screen reader
    // learns of it.
    void markEnterButton();
    // A control that may take the focus told it did, or lost it.
    void focusMayHaveMoved();
    // Tells accessibility clients that ticks of a list changed: row by row, or the whole list
    // once when more rows changed than it shows.
    void announceChecks(Child& child, const std::vector<std::size_t>& rows);
    void announceName(Child& child);

    // The top-level window.
    void centre();
    void applyFormSize();
    void applyFormVisible();
    void applyWindowState();
    void applyIcon();
    void rebuildMenuBar();
    void applyPointerNow();
    void dpiChanged(int dpi, const RECT& suggested);

    // Tips (form_view_tips.cpp).
    HWND tipWindow();
    // The tips' width at the window's DPI.
    void scaleTips();
    void applyToolTip(Child& child);

    // Input from the windows.
    void onCommand(WPARAM wParam, LPARAM lParam);
    void onComboCommand(Child& child, UINT code);
    // The user's selection of a drop-down list passed on to the model; settled, or only passed
    // over.
    void userChoice(Child& child, bool settled);
    LRESULT onNotify(NMHDR& header);
    bool onSetCursor(HWND under, UINT hitTest);
    void onMouseDown(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam);

    // Painting and colours.
    // The brush for a child's background, or null for the system's default.
    HBRUSH onControlColor(HDC dc, HWND control, bool button);
    void paintPanel(HWND panel, HDC dc, bool background);
    HBRUSH backgroundBrush(const Container& container);
    HBRUSH panelBrush(HWND panel);
    int px(int twips) const;

    Win32Host& host_;
    Form& form_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    bool detached_ = false;
    bool shownOnce_ = false;
    int busy_ = 0;
    HWND savedFocus_ = nullptr;
    // The controls' tips; owned by the form's window, made when the first tip is set.
    HWND tips_ = nullptr;
    const Frame* frontPage_ = nullptr;
    // Destroyed by the window with it; a bar replaced is destroyed here.
    UniqueMenu menuBar_;
    MenuBuilder menus_;
    std::deque<Child> children_;  // references stay valid as controls are added
    std::unordered_map<const Control*, std::size_t> byControl_;
    std::unordered_map<HWND, std::size_t> byWindow_;
};

}  // namespace dustrel::ui::win32
