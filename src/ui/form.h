#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/control.h"
#include "ui/controls.h"
#include "ui/list_view.h"
#include "ui/menu.h"
#include "ui/ui_host.h"

namespace dustrel::ui {

enum class WindowState { Normal, Minimized };

class FormObserver {
public:
    virtual ~FormObserver() = default;
    virtual void formChanged(Form& form, Prop what) = 0;
};

// A window. Its controls exist only while it is loaded; code that touches a control of a form
// that is not loaded loads it first (see FormOf::ui()).
class Form : public Container {
public:
    Form(UiHost& host, std::string name);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    UiHost& host() const { return host_; }

    const std::wstring& caption() const { return caption_; }
    void setCaption(const std::wstring& caption);
    Image icon() const { return icon_; }
    void setIcon(Image icon);
    // Client area in twips.
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    void setClientSize(int width, int height);
    bool centered() const { return centered_; }
    void setCentered(bool centered) { centered_ = centered; }
    // A dialog closes on Escape as it does with its close box; the main window does not.
    bool closesOnEscape() const { return closesOnEscape_; }
    void setClosesOnEscape(bool closes) { closesOnEscape_ = closes; }
    bool hasMinimizeBox() const { return minimizeBox_; }
    void setMinimizeBox(bool box) { minimizeBox_ = box; }
    Font font() const override { return font_; }
    void setFont(const Font& font);
    Form& owningForm() override { return *this; }
    std::optional<Color> backColor() const { return backColor_; }
    void setBackColor(Color color);

    WindowState windowState() const { return windowState_; }
    void setWindowState(WindowState state);
    bool visible() const { return visible_; }
    void show();
    void hide();
    MousePointer mousePointer() const { return mousePointer_; }
    void setMousePointer(MousePointer pointer);

    // The control code last gave the focus to, if any.
    Control* focusedControl() const { return focused_; }

    bool loaded() const { return loaded_; }
    // Counts the loads, so that code holding controls can tell a form loaded afresh.
    std::uint64_t loadCount() const { return loadCount_; }
    // Creates the controls, lets the host build the window, then runs Form_Load. A program that
    // has ended loads nothing.
    void load();
    // Runs Form_Unload; unless it cancels, the window and controls go. Returns false if cancelled.
    bool unload();
    // The user's close box (or Alt+F4, or Escape in a dialog): unloads the form.
    void closeBox();

    // Every control in creation order, which is also the tab order.
    const std::vector<Control*>& controls() const { return controls_; }
    Control* find(const std::string& name, int index = -1) const;
    // Top-level menus; visible ones form the menu bar.
    const std::vector<std::unique_ptr<MenuItem>>& menus() const { return menus_; }
    MenuItem& addMenu(std::string name, std::wstring caption);

    // Page frames share one place; the one at the front among them is the one shown.
    void addPage(Frame& page) { pages_.push_back(&page); }
    const std::vector<Frame*>& pages() const { return pages_; }
    Frame* frontPage() const;
    bool isPageShown(const Frame& page) const { return frontPage() == &page; }

    void setObserver(FormObserver* observer) { observer_ = observer; }
    FormObserver* observer() const { return observer_; }
    void notify(Prop what);
    void focusRequested(Control& control) { focused_ = &control; }

    // Builds a control owned by this form.
    template <class T, class... Args>
    T& add(Container& parent, Args&&... args) {
        auto control = std::make_unique<T>(parent, std::forward<Args>(args)...);
        T& ref = *control;
        controls_.push_back(&ref);
        owned_.push_back(std::move(control));
        return ref;
    }

protected:
    virtual void Form_Load() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }
    virtual void createControls() = 0;
    // The derived form drops its references to the controls before they are destroyed.
    virtual void releaseControls() = 0;

private:
    friend class Control;

    UiHost& host_;
    std::string name_;
    std::wstring caption_;
    Image icon_ = Image::None;
    int clientWidth_ = 4800;
    int clientHeight_ = 3600;
    bool centered_ = true;
    bool minimizeBox_ = true;
    bool closesOnEscape_ = false;
    Font font_;
    std::optional<Color> backColor_;
    WindowState windowState_ = WindowState::Normal;
    bool visible_ = false;
    MousePointer mousePointer_ = MousePointer::Default;
    bool loaded_ = false;
    std::uint64_t loadCount_ = 0;
    bool loading_ = false;
    bool showWhenLoaded_ = false;
    bool unloading_ = false;
    std::vector<Control*> controls_;
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<std::unique_ptr<MenuItem>> menus_;
    std::vector<Frame*> pages_;
    FormObserver* observer_ = nullptr;
    Control* focused_ = nullptr;
};

// A form whose controls are a struct `Controls` built on load: `Controls(Form&)` lays them out.
// ui() is the one way to reach them, so touching a control loads the form first.
template <class Controls>
class FormOf : public Form {
public:
    using Form::Form;

    Controls& ui() {
        if (!loaded()) {
            load();
            if (!loaded()) {
                // The program has ended, or the form unloaded itself while loading.
                throw HandlerAbandoned();
            }
        }
        host().touched(*this);
        return *ui_;
    }

protected:
    void createControls() override { ui_ = std::make_unique<Controls>(*this); }
    void releaseControls() override { ui_.reset(); }

    std::unique_ptr<Controls> ui_;
};

}  // namespace dustrel::ui
