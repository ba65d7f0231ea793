#include "ui/list_view.h"

#include <algorithm>
#include <cwctype>
#include <iterator>

namespace dustrel::ui {

namespace {

// Paths are mostly ASCII, and a sort of 100,000 of them compares millions of characters.
std::wint_t lowerCase(wchar_t c) {
    if (static_cast<unsigned long>(c) < 0x80) {
        return (c >= L'A' && c <= L'Z') ? static_cast<std::wint_t>(c + (L'a' - L'A'))
                                        : static_cast<std::wint_t>(c);
    }
    return std::towlower(static_cast<std::wint_t>(c));
}

// Letter case is ignored, as the list control's own sort does.
int compareText(const std::wstring& a, const std::wstring& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) {
            continue;
        }
        const auto ca = lowerCase(a[i]);
        const auto cb = lowerCase(b[i]);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

const std::wstring& cellText(const ListRow& row, std::size_t column) {
    static const std::wstring empty;
    if (column == 0) {
        return row.text;
    }
    return column - 1 < row.subItems.size() ? row.subItems[column - 1] : empty;
}

}  // namespace

ListView::ListView(Container& parent, std::string name, Rect rect, bool checkBoxes)
    : Control(parent, std::move(name), ControlKind::ListView, rect), checkBoxes_(checkBoxes) {}

void ListView::setBackColor(Color color) {
    if (changeValue(backColor_, color)) {
        notify(Prop::Colors);
    }
}

void ListView::addColumn(const std::wstring& header, int width) {
    columns_.push_back({header, width});
    notify(Prop::Columns);
}

void ListView::setColumnWidth(std::size_t column, int width) {
    if (column < columns_.size() && changeValue(columns_[column].width, width)) {
        notify(Prop::Columns);
    }
}

std::size_t ListView::addRow(std::wstring text, std::vector<std::wstring> subItems,
                             std::uint64_t tag) {
    rows_.push_back({std::move(text), std::move(subItems), false, tag, nextId_++});
    notify(Prop::RowsAppended, rows_.size() - 1);
    return rows_.size() - 1;
}

std::optional<std::size_t> ListView::indexOf(std::uint64_t id, std::size_t hint) const {
    if (hint < rows_.size() && rows_[hint].id == id) {
        return hint;
    }
    const auto it =
        std::find_if(rows_.begin(), rows_.end(), [id](const ListRow& row) { return row.id == id; });
    if (it == rows_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - rows_.begin());
}

void ListView::rowsMoved() {
    ++orderGeneration_;
    notify(Prop::Rows);
}

void ListView::removeRow(std::size_t index) {
    if (index < rows_.size()) {
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
        rowsMoved();
    }
}

void ListView::removeRows(std::vector<std::size_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::size_t next = 0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (next < indices.size() && indices[next] == i) {
            ++next;
            continue;
        }
        if (kept != i) {
            rows_[kept] = std::move(rows_[i]);
        }
        ++kept;
    }
    if (kept != rows_.size()) {
        rows_.resize(kept);
        rowsMoved();
    }
}

void ListView::clear() {
    if (!rows_.empty()) {
        rows_.clear();
        rows_.shrink_to_fit();
        rowsMoved();
    }
}

void ListView::orderTail(const std::function<bool(std::uint64_t tag)>& inTail,
                         const std::function<bool(std::uint64_t, std::uint64_t)>& before) {
    auto first = rows_.end();
    while (first != rows_.begin() && inTail(std::prev(first)->tag)) {
        --first;
    }
    const auto byTag = [&before](const ListRow& a, const ListRow& b) {
        return before(a.tag, b.tag);
    };
    if (!std::is_sorted(first, rows_.end(), byTag)) {
        std::stable_sort(first, rows_.end(), byTag);
        rowsMoved();
    }
}

void ListView::setChecked(std::size_t index, bool checked) {
    if (index < rows_.size() && changeValue(rows_[index].checked, checked)) {
        notify(Prop::Row, index);
    }
}

void ListView::setAllChecked(bool checked) {
    changedChecks_.clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (changeValue(rows_[i].checked, checked)) {
            changedChecks_.push_back(i);
        }
    }
    if (!changedChecks_.empty()) {
        notify(Prop::Checks);
    }
    changedChecks_.clear();
    changedChecks_.shrink_to_fit();
}

std::size_t ListView::checkedCount() const {
    return static_cast<std::size_t>(
        std::count_if(rows_.begin(), rows_.end(), [](const ListRow& r) { return r.checked; }));
}

void ListView::userToggle(std::size_t index) {
    if (!checkBoxes_ || !enabled() || index >= rows_.size()) {
        return;
    }
    raiseUserEvent([this, index, handler = onItemCheck] {
        rows_[index].checked = !rows_[index].checked;
        notify(Prop::Row, index);
        if (handler) {
            handler(index);
        }
    });
}

void ListView::userColumnClick(std::size_t column) {
    if (enabled() && onColumnClick) {
        raiseUserEvent([handler = onColumnClick, column] { handler(column); });
    }
}

void ListView::setSortKey(std::size_t column) {
    if (sortKey_ != column) {
        sortKey_ = column;
        if (sorted_) {
            sortRows();
        }
    }
}

void ListView::setSortOrder(SortOrder order) {
    if (sortOrder_ != order) {
        sortOrder_ = order;
        if (sorted_) {
            sortRows();
        }
    }
}

void ListView::setSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_) {
        sortRows();
    }
}

void ListView::resort() {
    if (sorted_) {
        sortRows();
    }
}

void ListView::sortRows() {
    const std::size_t key = sortKey_;
    const bool descending = sortOrder_ == SortOrder::Descending;
    const auto before = [key, descending](const ListRow& a, const ListRow& b) {
        const int c = compareText(cellText(a, key), cellText(b, key));
        return descending ? c > 0 : c < 0;
    };
    // A second header click's work, or a sort of rows already in order, is spared.
    if (std::is_sorted(rows_.begin(), rows_.end(), before)) {
        return;
    }
    std::stable_sort(rows_.begin(), rows_.end(), before);
    rowsMoved();
}

}  // namespace dustrel::ui
