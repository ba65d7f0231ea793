#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/types.h"

namespace dustrel::ui {

class Control;
class Form;

enum class ControlKind {
    Frame,
    Label,
    Button,
    CheckBox,
    OptionButton,
    ComboBox,
    TextBox,
    PictureBox,
    ProgressBar,
    ListView,
};

// Implemented by the view; the model calls it after every change of state.
class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void changed(Control& control, Prop what, std::size_t index) = 0;
};

// A control or form that holds other controls. Children are kept in z-order, back to front.
class Container {
public:
    virtual ~Container() = default;

    const std::vector<Control*>& children() const { return children_; }
    // The font children use unless they set their own.
    virtual Font font() const = 0;
    virtual Form& owningForm() = 0;

private:
    friend class Control;
    friend class Form;
    std::vector<Control*> children_;
};

enum class ZOrderPosition { Front, Back };

class Control {
public:
    Control(Container& parent, std::string name, ControlKind kind, Rect rect);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    Container& parent() const { return *parent_; }
    Form& form() const { return parent_->owningForm(); }
    // Index within a control array, or -1.
    int index() const { return index_; }
    void setIndex(int index) { index_ = index; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // Controls that can never be seen stay out of the tab order.
    bool tabStop() const { return tabStop_; }
    void setTabStop(bool tabStop) { tabStop_ = tabStop; }
    const Rect& rect() const { return rect_; }
    void move(const Rect& rect);
    Font font() const { return font_ ? *font_ : parent_->font(); }
    bool hasOwnFont() const { return font_.has_value(); }
    void setFont(const Font& font);
    void zOrder(ZOrderPosition position);
    // Moves the input focus here (the form remembers it while it is hidden).
    void setFocus();
    // Position among the parent's children, 0 at the back.
    std::size_t zIndex() const;

    // Shown while the pointer rests on the control; none when empty.
    const std::wstring& toolTipText() const { return toolTipText_; }
    void setToolTipText(const std::wstring& text);

    void setObserver(ControlObserver* observer) { observer_ = observer; }
    ControlObserver* observer() const { return observer_; }

protected:
    void notify(Prop what, std::size_t index = 0);
    // Runs a handler for the user's action on this control. The handler may unload the form,
    // and with it this control and its handler members: it is handed over as a copy.
    void raiseUserEvent(std::function<void()> handler);

private:
    Container* parent_;
    std::string name_;
    ControlKind kind_;
    int index_ = -1;
    bool enabled_ = true;
    bool visible_ = true;
    bool tabStop_ = true;
    Rect rect_;
    std::optional<Font> font_;
    std::wstring toolTipText_;
    ControlObserver* observer_ = nullptr;
};

// A control that shows a caption of its own ("&" marks its access key).
class Captioned : public Control {
public:
    Captioned(Container& parent, std::string name, ControlKind kind, Rect rect,
              std::wstring caption);

    const std::wstring& caption() const { return caption_; }
    void setCaption(const std::wstring& caption);

private:
    std::wstring caption_;
};

}  // namespace dustrel::ui
