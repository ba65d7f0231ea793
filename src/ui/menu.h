#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dustrel::ui {

class Form;

// A menu or menu entry. Top-level entries of a form form its menu bar; an invisible top-level
// entry is not on the bar and serves as a pop-up menu.
class MenuItem {
public:
    MenuItem(Form& form, std::string name, std::wstring caption, bool separator = false);

    const std::string& name() const { return name_; }
    const std::wstring& caption() const { return caption_; }
    bool separator() const { return separator_; }
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }
    MenuItem& add(std::string name, std::wstring caption);
    MenuItem& addSeparator(std::string name);

    std::function<void()> onClick;
    // The user's choice; disabled or hidden entries ignore it.
    void click();

private:
    Form& form_;
    std::string name_;
    std::wstring caption_;
    bool separator_;
    bool visible_ = true;
    bool enabled_ = true;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace dustrel::ui
