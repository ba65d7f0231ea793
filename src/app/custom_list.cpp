#include "app/custom_list.h"

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
        list.rowEntries.push_back(j);
    }
    return list;
}

}  // namespace dustrel::app
