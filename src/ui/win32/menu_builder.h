#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/menu.h"
#include "ui/win32/gdi_handles.h"

namespace dustrel::ui::win32 {

// Builds real menus from the model's entries and maps the command ids it hands out back to
// the entries. Hidden entries are left out; an entry with entries of its own becomes a
// submenu. Ids run from `firstId`, so that menus and controls never share one.
class MenuBuilder {
public:
    explicit MenuBuilder(UINT firstId) : firstId_(firstId) {}

    // The menu bar of the visible top-level menus; empty when none is visible.
    UniqueMenu buildBar(const std::vector<std::unique_ptr<MenuItem>>& menus);
    // A pop-up of the entries of `menu`; `defaultItem` (if one of them) is drawn bold.
    UniqueMenu buildPopup(const MenuItem& menu, const MenuItem* defaultItem);
    // The entry for a command id, or null.
    MenuItem* find(UINT id) const;
    void clear() { items_.clear(); }

private:
    void appendEntry(HMENU menu, MenuItem& entry, const MenuItem* defaultItem);

    UINT firstId_;
    std::vector<MenuItem*> items_;
};

}  // namespace dustrel::ui::win32
