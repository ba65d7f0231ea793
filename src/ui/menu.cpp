#include "ui/menu.h"

#include "ui/form.h"

namespace dustrel::ui {

MenuItem::MenuItem(Form& form, std::string name, std::wstring caption, bool separator)
    : form_(form), name_(std::move(name)), caption_(std::move(caption)), separator_(separator) {}

void MenuItem::setVisible(bool visible) {
    if (changeValue(visible_, visible)) {
        form_.notify(Prop::Menus);
    }
}

void MenuItem::setEnabled(bool enabled) {
    if (changeValue(enabled_, enabled)) {
        form_.notify(Prop::Menus);
    }
}

MenuItem& MenuItem::add(std::string name, std::wstring caption) {
    items_.push_back(std::make_unique<MenuItem>(form_, std::move(name), std::move(caption)));
    return *items_.back();
}

MenuItem& MenuItem::addSeparator(std::string name) {
    items_.push_back(std::make_unique<MenuItem>(form_, std::move(name), L"-", true));
    return *items_.back();
}

void MenuItem::click() {
    if (visible_ && enabled_ && !separator_ && onClick) {
        // A copy: the handler may unload the form, and this entry with it.
        form_.host().raise(form_, std::function<void()>(onClick));
    }
}

}  // namespace dustrel::ui
