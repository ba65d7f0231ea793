#include "ui/control_order.h"

#include <algorithm>

namespace dustrel::ui {

namespace {

bool overlaps(const Rect& a, const Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

bool isOption(const Control* control) {
    return control->kind() == ControlKind::OptionButton;
}

// Whether the user can see the control: only the front page of the pages is shown.
bool shown(const Form& form, const Control& control) {
    const Control* front = form.frontPage();
    const auto& pages = form.pages();
    for (const Control* at = &control; at != nullptr;
         at = dynamic_cast<const Control*>(&at->parent())) {
        const bool behind = at != front && std::find(pages.begin(), pages.end(), at) != pages.end();
        if (!at->visible() || behind) {
            return false;
        }
    }
    return true;
}

}  // namespace

TabPosition labelsBeforeFields(TabPosition tabPosition) {
    return [tabPosition = std::move(tabPosition)](const Control& control) {
        if (control.kind() == ControlKind::Label) {
            const Control* field = static_cast<const Label&>(control).labelFor();
            if (field != nullptr && &field->parent() == &control.parent()) {
                return 2 * tabPosition(*field);
            }
        }
        return 2 * tabPosition(control) + 1;
    };
}

const Button* enterButton(const Form& form, const Control* focused) {
    if (focused != nullptr && focused->kind() == ControlKind::Button) {
        return static_cast<const Button*>(focused);
    }
    for (const Control* control : form.controls()) {
        if (control->kind() == ControlKind::Button &&
            static_cast<const Button*>(control)->isDefault() && shown(form, *control)) {
            return static_cast<const Button*>(control);
        }
    }
    return nullptr;
}

std::vector<const Control*> stackingOrder(const std::vector<const Control*>& backToFront,
                                          const TabPosition& tabPosition) {
    const std::size_t n = backToFront.size();
    std::vector<bool> placed(n, false);
    std::vector<const Control*> order;
    order.reserve(n);
    // Each round takes the earliest in tab order of those no unplaced sibling in front covers;
    // the frontmost unplaced one is never covered, so every round takes one.
    for (std::size_t round = 0; round < n; ++round) {
        std::size_t best = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (placed[i] ||
                (best != n && tabPosition(*backToFront[i]) >= tabPosition(*backToFront[best]))) {
                continue;
            }
            bool covered = false;
            for (std::size_t j = i + 1; j < n && !covered; ++j) {
                covered = !placed[j] && overlaps(backToFront[i]->rect(), backToFront[j]->rect());
            }
            if (!covered) {
                best = i;
            }
        }
        placed[best] = true;
        order.push_back(backToFront[best]);
    }
    return order;
}

std::vector<bool> groupStarts(const std::vector<const Control*>& order) {
    std::vector<bool> starts;
    starts.reserve(order.size());
    bool previousOption = false;
    for (const Control* control : order) {
        const bool option = isOption(control);
        starts.push_back(!(option && previousOption));
        previousOption = option;
    }
    return starts;
}

const OptionButton* optionTabStop(const std::vector<const Control*>& siblings,
                                  const TabPosition& tabPosition) {
    std::vector<const Control*> options;
    std::copy_if(siblings.begin(), siblings.end(), std::back_inserter(options), isOption);
    if (options.empty()) {
        return nullptr;
    }
    std::sort(options.begin(), options.end(), [&](const Control* a, const Control* b) {
        return tabPosition(*a) < tabPosition(*b);
    });
    const auto selected = std::find_if(options.begin(), options.end(), [](const Control* option) {
        return static_cast<const OptionButton*>(option)->value();
    });
    return static_cast<const OptionButton*>(selected != options.end() ? *selected
                                                                      : options.front());
}

}  // namespace dustrel::ui
