#include "ui/controls.h"

#include "ui/form.h"

namespace dustrel::ui {

Frame::Frame(Container& parent, std::string name, Rect rect, std::wstring caption)
    : Captioned(parent, std::move(name), ControlKind::Frame, rect, std::move(caption)) {}

void Frame::setCaptionFont(const Font& font) {
    if (changeValue(captionFont_, font)) {
        notify(Prop::Font);
    }
}

void Frame::setForeColor(Color color) {
    if (changeValue(foreColor_, color)) {
        notify(Prop::Colors);
    }
}

void Frame::setBackColor(Color color) {
    if (changeValue(backColor_, color)) {
        notify(Prop::Colors);
    }
}

Label::Label(Container& parent, std::string name, Rect rect, std::wstring caption)
    : Captioned(parent, std::move(name), ControlKind::Label, rect, std::move(caption)) {}

void Label::setForeColor(Color color) {
    if (changeValue(foreColor_, color)) {
        notify(Prop::Colors);
    }
}

void Label::setTransparent(bool transparent) {
    if (changeValue(transparent_, transparent)) {
        notify(Prop::Colors);
    }
}

void Label::setMousePointer(MousePointer pointer) {
    if (changeValue(mousePointer_, pointer)) {
        notify(Prop::MousePointer);
    }
}

void Label::click() {
    if (enabled()) {
        raiseUserEvent(onClick);
    }
}

Button::Button(Container& parent, std::string name, Rect rect, std::wstring caption)
    : Captioned(parent, std::move(name), ControlKind::Button, rect, std::move(caption)) {}

void Button::click() {
    if (enabled() && visible()) {
        raiseUserEvent(onClick);
    }
}

void Button::setDefault(bool isDefault) {
    if (changeValue(default_, isDefault)) {
        notify(Prop::Default);
    }
}

CheckBox::CheckBox(Container& parent, std::string name, Rect rect, std::wstring caption)
    : Captioned(parent, std::move(name), ControlKind::CheckBox, rect, std::move(caption)) {}

void CheckBox::setValue(int value) {
    if (value < Unchecked || value > Grayed || !changeValue(value_, value)) {
        return;
    }
    notify(Prop::Value);
    if (onClick) {
        onClick();
    }
}

void CheckBox::userClick() {
    if (enabled()) {
        raiseUserEvent([this] { setValue(value_ == Checked ? Unchecked : Checked); });
    }
}

OptionButton::OptionButton(Container& parent, std::string name, Rect rect, std::wstring caption)
    : Captioned(parent, std::move(name), ControlKind::OptionButton, rect, std::move(caption)) {}

void OptionButton::setValue(bool value) {
    if (value == value_) {
        return;
    }
    if (!value) {
        value_ = false;
        notify(Prop::Value);
        return;
    }
    for (Control* sibling : parent().children()) {
        if (sibling != this && sibling->kind() == ControlKind::OptionButton) {
            auto* other = static_cast<OptionButton*>(sibling);
            if (other->value_) {
                other->value_ = false;
                other->notify(Prop::Value);
            }
        }
    }
    value_ = true;
    notify(Prop::Value);
    if (onClick) {
        onClick();
    }
}

ComboBox::ComboBox(Container& parent, std::string name, Rect rect)
    : Control(parent, std::move(name), ControlKind::ComboBox, rect) {}

void ComboBox::addItem(const std::wstring& item) {
    items_.push_back(item);
    notify(Prop::Items);
}

void ComboBox::clear() {
    if (items_.empty()) {
        return;
    }
    items_.clear();
    listIndex_ = settled_ = -1;
    notify(Prop::Items);
}

bool ComboBox::setListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) {
        return false;
    }
    settled_ = index;
    if (changeValue(listIndex_, index)) {
        notify(Prop::ListIndex);
        if (onClick) {
            onClick();
        }
    }
    return true;
}

void ComboBox::userBrowse(int index) {
    if (enabled() && index >= -1 && index < static_cast<int>(items_.size()) &&
        changeValue(listIndex_, index)) {
        notify(Prop::ListIndex);
    }
}

void ComboBox::userSettle() {
    if (enabled() && listIndex_ != settled_) {
        settled_ = listIndex_;
        raiseUserEvent(onClick);
    }
}

void ComboBox::userSelect(int index) {
    userBrowse(index);
    userSettle();
}

std::wstring ComboBox::text() const {
    return listIndex_ < 0 ? std::wstring() : items_[static_cast<std::size_t>(listIndex_)];
}

TextBox::TextBox(Container& parent, std::string name, Rect rect)
    : Control(parent, std::move(name), ControlKind::TextBox, rect) {}

void TextBox::setText(const std::wstring& text) {
    std::wstring limited = text;
    if (maxLength_ > 0 && limited.size() > static_cast<std::size_t>(maxLength_)) {
        limited.resize(static_cast<std::size_t>(maxLength_));
    }
    if (!changeValue(text_, std::move(limited))) {
        return;
    }
    notify(Prop::Text);
    if (onChange) {
        onChange();
    }
}

void TextBox::userEdit(const std::wstring& text) {
    raiseUserEvent([this, text] { setText(text); });
}

PictureBox::PictureBox(Container& parent, std::string name, Rect rect)
    : Control(parent, std::move(name), ControlKind::PictureBox, rect) {}

void PictureBox::setBackColor(Color color) {
    if (changeValue(backColor_, color)) {
        notify(Prop::Colors);
    }
}

void PictureBox::setImage(Image image) {
    if (changeValue(image_, image)) {
        notify(Prop::Image);
    }
}

void PictureBox::mouseDown(int button, int shift, double x, double y) {
    if (enabled() && onMouseDown) {
        raiseUserEvent(
            [handler = onMouseDown, button, shift, x, y] { handler(button, shift, x, y); });
    }
}

void PictureBox::trayEvent(TrayEvent event) {
    if (enabled() && onTrayEvent) {
        raiseUserEvent([handler = onTrayEvent, event] { handler(event); });
    }
}

ProgressBar::ProgressBar(Container& parent, std::string name, Rect rect)
    : Control(parent, std::move(name), ControlKind::ProgressBar, rect) {}

bool ProgressBar::setMin(double min) {
    if (min >= max_) {
        return false;
    }
    if (!changeValue(min_, min)) {
        return true;
    }
    if (value_ < min_) {
        value_ = min_;
    }
    notify(Prop::Range);
    return true;
}

bool ProgressBar::setMax(double max) {
    if (max <= min_) {
        return false;
    }
    if (!changeValue(max_, max)) {
        return true;
    }
    if (value_ > max_) {
        value_ = max_;
    }
    notify(Prop::Range);
    return true;
}

bool ProgressBar::setValue(double value) {
    if (value < min_ || value > max_) {
        return false;
    }
    if (changeValue(value_, value)) {
        notify(Prop::Value);
    }
    return true;
}

}  // namespace dustrel::ui
