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
    if (enabled_ != enabled) {
        enabled_ = enabled;
        notify(Prop::Enabled);
    }
}

void Control::setVisible(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        notify(Prop::Visible);
    }
}

void Control::move(const Rect& rect) {
    if (!(rect_ == rect)) {
        rect_ = rect;
        notify(Prop::Rect);
    }
}

void Control::setFont(const Font& font) {
    font_ = font;
    notify(Prop::Font);
}

void Control::zOrder(ZOrderPosition position) {
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end()) {
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

std::size_t Control::zIndex() const {
    const auto& siblings = parent_->children_;
    return static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), this) -
                                    siblings.begin());
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
