#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"

namespace dustrel::ui {

// A control's place in the tab order: the view's order of making its windows.
using TabPosition = std::function<std::size_t(const Control&)>;

// The order, top first, in which siblings given back to front (as a container holds them) are
// stacked. It is the tab order, except that of two overlapping siblings the one nearer the front
// comes first: one list decides both which of them is drawn on top and where Tab goes next.
std::vector<const Control*> stackingOrder(const std::vector<const Control*>& backToFront,
                                          const TabPosition& tabPosition);

// The window order's positions: the tab order, except that a label naming a field comes just
// before that field, where a screen reader looks for the field's name (Label::setLabelFor).
// Labels take no focus, so the focusable controls keep their order.
TabPosition labelsBeforeFields(TabPosition tabPosition);

// The button Enter presses: the focused push button, else the first default button that is
// shown (it and its containers visible, on the front page if on a page); null when none.
const Button* enterButton(const Form& form, const Control* focused);

// For each control of a stacking order, whether it starts a group for the arrow keys: a run of
// option buttons is one group, and every other control starts one of its own.
std::vector<bool> groupStarts(const std::vector<const Control*>& order);

// The option button among `siblings` at which Tab enters their group: the selected one, else
// the first in tab order; null when there is none.
const OptionButton* optionTabStop(const std::vector<const Control*>& siblings,
                                  const TabPosition& tabPosition);

}  // namespace dustrel::ui
