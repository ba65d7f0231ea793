#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace dustrel::ui {

// A container frame. Without a caption it is a plain panel (the wizard's pages); with one it is
// drawn as a group box: an etched border with the caption at its top.
class Frame : public Captioned, public Container {
public:
    Frame(Container& parent, std::string name, Rect rect, std::wstring caption = {});

    // The caption's own font; the frame's controls go on taking font(). Unset: font().
    Font captionFont() const { return captionFont_ ? *captionFont_ : font(); }
    void setCaptionFont(const Font& font);
    // Unset: the system's text colour. Used for the caption.
    std::optional<Color> foreColor() const { return foreColor_; }
    void setForeColor(Color color);
    std::optional<Color> backColor() const { return backColor_; }
    void setBackColor(Color color);
    Font font() const override { return Control::font(); }
    Form& owningForm() override { return form(); }

private:
    std::optional<Font> captionFont_;
    std::optional<Color> foreColor_;
    std::optional<Color> backColor_;
};

class Label : public Captioned {
public:
    Label(Container& parent, std::string name, Rect rect, std::wstring caption = {});

    // Unset: the system's text colour.
    std::optional<Color> foreColor() const { return foreColor_; }
    void setForeColor(Color color);
    // Transparent labels show their container's background.
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    MousePointer mousePointer() const { return mousePointer_; }
    void setMousePointer(MousePointer pointer);

    std::function<void()> onClick;
    void click();

    // The field this label names: it stands just before the field in the window order, where a
    // screen reader looks for a field's name. A sibling of the label, or null.
    const Control* labelFor() const { return labelFor_; }
    void setLabelFor(const Control& field) { labelFor_ = &field; }
    // Tells listeners (a screen reader) to read the label again, as a change of caption does.
    void announce() { notify(Prop::Announce); }

private:
    std::optional<Color> foreColor_;
    const Control* labelFor_ = nullptr;
    bool transparent_ = true;
    MousePointer mousePointer_ = MousePointer::Default;
};

class Button : public Captioned {
public:
    Button(Container& parent, std::string name, Rect rect, std::wstring caption);

    std::function<void()> onClick;
    // A press of the button, by the user or by code. Disabled or hidden buttons ignore it.
    void click();

    // Enter presses a default button while it is shown and no other button has the focus.
    bool isDefault() const { return default_; }
    void setDefault(bool isDefault);

private:
    bool default_ = false;
};

class CheckBox : public Captioned {
public:
    enum Value { Unchecked = 0, Checked = 1, Grayed = 2 };
    CheckBox(Container& parent, std::string name, Rect rect, std::wstring caption);

    int value() const { return value_; }
    // Raises onClick when the value changes, from code as from the user.
    void setValue(int value);
    // The user's click: toggles between unchecked and checked.
    void userClick();

    std::function<void()> onClick;

private:
    int value_ = Unchecked;
};

// Option buttons with the same parent form one group.
class OptionButton : public Captioned {
public:
    OptionButton(Container& parent, std::string name, Rect rect, std::wstring caption);

    bool value() const { return value_; }
    // Selecting clears the rest of the group and raises onClick when the selection changes;
    // clearing raises nothing.
    void setValue(bool value);
    void userClick() {
        if (enabled()) {
            raiseUserEvent([this] { setValue(true); });
        }
    }

    std::function<void()> onClick;

private:
    bool value_ = false;
};

// A drop-down list: the user picks one of its items, typing nothing.
class ComboBox : public Control {
public:
    ComboBox(Container& parent, std::string name, Rect rect);

    const std::vector<std::wstring>& items() const { return items_; }
    void addItem(const std::wstring& item);
    void clear();
    int listIndex() const { return listIndex_; }
    // Raises onClick when the selection changes; false (nothing changed) when out of range.
    bool setListIndex(int index);
    // The user passes over an entry on the way to another (the arrow keys on the closed list):
    // the selection moves, and onClick waits for the user to settle.
    void userBrowse(int index);
    // The user settles on the selection (picks it from the open list, presses Enter, leaves the
    // list or closes its window): raises onClick if it is not the one last settled on.
    void userSettle();
    // The user's pick from the open list: a move and a settle.
    void userSelect(int index);
    // The selected item's text, or empty.
    std::wstring text() const;

    std::function<void()> onClick;

private:
    std::vector<std::wstring> items_;
    int listIndex_ = -1;
    // The selection onClick last ran for, or code made.
    int settled_ = -1;
};

class TextBox : public Control {
public:
    TextBox(Container& parent, std::string name, Rect rect);

    const std::wstring& text() const { return text_; }
    // Raises onChange when the text changes, from code as from the user.
    void setText(const std::wstring& text);
    // The user's typing.
    void userEdit(const std::wstring& text);
    int maxLength() const { return maxLength_; }
    void setMaxLength(int length) { maxLength_ = length; }

    std::function<void()> onChange;

private:
    std::wstring text_;
    int maxLength_ = 0;
};

enum MouseButton { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

class PictureBox : public Control, public Container {
public:
    PictureBox(Container& parent, std::string name, Rect rect);

    std::optional<Color> backColor() const { return backColor_; }
    void setBackColor(Color color);
    Image image() const { return image_; }
    void setImage(Image image);
    Font font() const override { return Control::font(); }
    Form& owningForm() override { return form(); }

    // x and y in twips.
    std::function<void(int button, int shift, double x, double y)> onMouseDown;
    void mouseDown(int button, int shift, double x, double y);
    // The notification-area icon this picture box stands for was clicked (UiHost::addTrayIcon).
    std::function<void(TrayEvent event)> onTrayEvent;
    void trayEvent(TrayEvent event);

private:
    std::optional<Color> backColor_;
    Image image_ = Image::None;
};

class ProgressBar : public Control {
public:
    ProgressBar(Container& parent, std::string name, Rect rect);

    double min() const { return min_; }
    double max() const { return max_; }
    double value() const { return value_; }
    // Each setter refuses (returns false, changes nothing) a value that would make the range
    // empty or put the value outside it. A new range pulls the value into it.
    bool setMin(double min);
    bool setMax(double max);
    bool setValue(double value);

private:
    double min_ = 0;
    double max_ = 100;
    double value_ = 0;
};

}  // namespace dustrel::ui
