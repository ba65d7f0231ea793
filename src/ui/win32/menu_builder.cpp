#include "ui/win32/menu_builder.h"

namespace dustrel::ui::win32 {

UniqueMenu MenuBuilder::buildBar(const std::vector<std::unique_ptr<MenuItem>>& menus) {
    items_.clear();
    UniqueMenu bar;
    for (const auto& menu : menus) {
        if (!menu->visible()) {
            continue;
        }
        if (!bar.valid()) {
            bar = UniqueMenu(CreateMenu());
            if (!bar.valid()) {
                return bar;
            }
        }
        appendEntry(bar.get(), *menu, nullptr);
    }
    return bar;
}

UniqueMenu MenuBuilder::buildPopup(const MenuItem& menu, const MenuItem* defaultItem) {
    items_.clear();
    UniqueMenu popup(CreatePopupMenu());
    if (!popup.valid()) {
        return popup;
    }
    for (const auto& entry : menu.items()) {
        if (entry->visible()) {
            appendEntry(popup.get(), *entry, defaultItem);
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
        UniqueMenu sub(CreatePopupMenu());
        if (!sub.valid()) {
            return;
        }
        for (const auto& child : entry.items()) {
            if (child->visible()) {
                appendEntry(sub.get(), *child, defaultItem);
            }
        }
        if (AppendMenuW(menu, MF_POPUP | MF_STRING | state, reinterpret_cast<UINT_PTR>(sub.get()),
                        entry.caption().c_str())) {
            sub.release();  // destroyed with the menu it is in from now on
        }
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
