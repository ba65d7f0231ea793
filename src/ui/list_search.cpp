#include "ui/list_search.h"

namespace dustrel::ui {

std::optional<std::size_t> findRow(const ListView& list, const RowSearch& search,
                                   const SameText& sameText) {
    const std::size_t count = list.rowCount();
    if (count == 0) {
        return std::nullopt;
    }
    std::size_t start = search.start < 0 ? 0 : static_cast<std::size_t>(search.start);
    if (start >= count) {
        start = search.wrap ? 0 : count;
    }
    const std::size_t steps = search.wrap ? count : count - start;
    for (std::size_t k = 0; k < steps; ++k) {
        const std::size_t i = (start + k) % count;
        std::wstring_view text = list.row(i).text;
        if (search.partial && text.size() > search.text.size()) {
            text = text.substr(0, search.text.size());
        }
        if (sameText(text, search.text)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace dustrel::ui
