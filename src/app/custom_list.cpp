#include "app/custom_list.h"

#include "settings/custom_entry.h"

namespace dustrel::app {

CustomList parseCustomList(const std::wstring& value) {
    CustomList list;
    std::wstring collected;
    for (const wchar_t c : value) {
        if (c == L'#') {
            list.entries.push_back(collected);
            collected.clear();
        } else {
            collected += c;
        }
    }
    const std::size_t count = list.entries.size();
    list.entries.emplace_back();
    list.names.resize(count + 1);
    list.extensions.resize(count + 1);
    for (std::size_t j = 0; j < count; ++j) {
        const std::wstring& entry = list.entries[j];
        const std::size_t mark = entry.find(L'?');
        if (mark == std::wstring::npos) {
            continue;
        }
        list.names[j] = entry.substr(0, mark);
        list.extensions[j] = entry.substr(mark + 1);
        // A store written by hand or by another program may hold "*" or "", whose pattern
        // would list every file of the disk.
        if (settings::checkCustomEntry(list.names[j], list.extensions[j]) ==
            settings::CustomEntryFault::None) {
            list.rowEntries.push_back(j);
        }
    }
    return list;
}

}  // namespace dustrel::app
