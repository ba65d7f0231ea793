#include "ui/control.h"

#include <algorithm>

#include "ui/form.h"

namespace dustrel::ui {

Control::Control(Container& parent, std::string name, ControlKind kind, Rect rect)
    : parent_(&parent), name_(std::move(name)), kind_(kind), rect_(rect) {
    parent_->children_.push_back(this);
}

// The owning form destroys all of its controls together, containers included, so a control
// never reaches back into its parent here.
Control::~Control() = default;

void Control::setEnabled(bool enabled) {
    if (changeValue(enabled_, enabled)) {
        notify(Prop::Enabled);
    }
}

void Control::setVisible(bool visible) {
    if (changeValue(visible_, visible)) {
        notify(Prop::Visible);
    }
}

void Control::move(const Rect& rect) {
    if (changeValue(rect_, rect)) {
        notify(Prop::Rect);
    }
}

void Control::setFont(const Font& font) {
    if (changeValue(font_, std::optional<Font>(font))) {
        notify(Prop::Font);
    }
}

void Control::zOrder(ZOrderPosition position) {
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end()) {
        return;
    }
    const bool already =
        position == ZOrderPosition::Front ? it == siblings.end() - 1 : it == siblings.begin();
    if (already) {
        return;
    }
    siblings.erase(it);
    if (position == ZOrderPosition::Front) {
        siblings.push_back(this);
    } else {
        siblings.insert(siblings.begin(), this);
    }
    notify(Prop::ZOrder);
}

void Control::setFocus() {
    form().focusRequested(*this);
    notify(Prop::Focus);
}

void Control::setToolTipText(const std::wstring& text) {
    if (changeValue(toolTipText_, text)) {
        notify(Prop::ToolTipText);
    }
}

std::size_t Control::zIndex() const {
    const auto& siblings = parent_->children_;
    return static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), this) -
                                    siblings.begin());
}

Captioned::Captioned(Container& parent, std::string name, ControlKind kind, Rect rect,
                     std::wstring caption)
    : Control(parent, std::move(name), kind, rect), caption_(std::move(caption)) {}

void Captioned::setCaption(const std::wstring& caption) {
    if (changeValue(caption_, caption)) {
        notify(Prop::Caption);
    }
}

void Control::raiseUserEvent(std::function<void()> handler) {
    Form& owner = form();
    owner.host().raise(owner, handler);
}

void Control::notify(Prop what, std::size_t index) {
    if (observer_ != nullptr) {
        observer_->changed(*this, what, index);
    }
}

}  // namespace dustrel::ui
