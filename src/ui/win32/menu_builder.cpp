#include "ui/win32/menu_builder.h"

namespace dustrel::ui::win32 {

HMENU MenuBuilder::buildBar(const std::vector<std::unique_ptr<MenuItem>>& menus) {
    items_.clear();
    HMENU bar = nullptr;
    for (const auto& menu : menus) {
        if (!menu->visible()) {
            continue;
        }
        if (bar == nullptr) {
            bar = CreateMenu();
            if (bar == nullptr) {
                return nullptr;
            }
        }
        appendEntry(bar, *menu, nullptr);
    }
    return bar;
}

HMENU MenuBuilder::buildPopup(const MenuItem& menu, const MenuItem* defaultItem) {
    items_.clear();
    HMENU popup = CreatePopupMenu();
    if (popup == nullptr) {
        return nullptr;
    }
    for (const auto& entry : menu.items()) {
        if (entry->visible()) {
            appendEntry(popup, *entry, defaultItem);
        }
    }
    return popup;
}

void MenuBuilder::appendEntry(HMENU menu, MenuItem& entry, const MenuItem* defaultItem) {
    if (entry.separator()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    const UINT state = entry.enabled() ? MF_ENABLED : MF_GRAYED;
    if (!entry.items().empty()) {
        HMENU sub = CreatePopupMenu();
        if (sub == nullptr) {
            return;
        }
        for (const auto& child : entry.items()) {
            if (child->visible()) {
                appendEntry(sub, *child, defaultItem);
            }
        }
        AppendMenuW(menu, MF_POPUP | MF_STRING | state, reinterpret_cast<UINT_PTR>(sub),
                    entry.caption().c_str());
        return;
    }
    const UINT id = firstId_ + static_cast<UINT>(items_.size());
    items_.push_back(&entry);
    AppendMenuW(menu, MF_STRING | state, id, entry.caption().c_str());
    if (&entry == defaultItem) {
        SetMenuDefaultItem(menu, id, FALSE);
    }
}

MenuItem* MenuBuilder::find(UINT id) const {
    if (id < firstId_ || id - firstId_ >= items_.size()) {
        return nullptr;
    }
    return items_[id - firstId_];
}

}  // namespace dustrel::ui::win32
