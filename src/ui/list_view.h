#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace dustrel::ui {

struct ListColumn {
    std::wstring header;
    int width = 0;  // twips
};

struct ListRow {
    std::wstring text;
    std::vector<std::wstring> subItems;
    bool checked = false;
    // The program's own value for the row, never shown.
    std::uint64_t tag = 0;
    // Who the row is, wherever it moves; never given to another row of the same list.
    std::uint64_t id = 0;
};

enum class SortOrder { Ascending = 0, Descending = 1 };

// A list view in report view. Built for hundreds of thousands of rows: appending is amortised
// O(1), sorting O(n log n), and whole-list operations notify the view once.
class ListView : public Control {
public:
    ListView(Container& parent, std::string name, Rect rect, bool checkBoxes);

    bool checkBoxes() const { return checkBoxes_; }
    std::optional<Color> backColor() const { return backColor_; }
    void setBackColor(Color color);

    const std::vector<ListColumn>& columns() const { return columns_; }
    void addColumn(const std::wstring& header, int width);
    void setColumnWidth(std::size_t column, int width);

    std::size_t rowCount() const { return rows_.size(); }
    const ListRow& row(std::size_t index) const { return rows_[index]; }
    // Where the row with this id stands now, looked for first at `hint`; nothing once it is gone.
    std::optional<std::size_t> indexOf(std::uint64_t id, std::size_t hint) const;
    // Counts the changes that moved rows to other positions (a sort, a re-order, a removal);
    // rows appended at the end move none.
    std::uint64_t orderGeneration() const { return orderGeneration_; }
    // Rows are appended at the end, also while sorting is on; resort() or a header click puts
    // them in their place.
    std::size_t addRow(std::wstring text, std::vector<std::wstring> subItems = {},
                       std::uint64_t tag = 0);
    void removeRow(std::size_t index);
    // Removes every row whose index is listed, in one pass; indices in any order.
    void removeRows(std::vector<std::size_t> indices);
    void clear();
    // Puts the rows at the end of the list whose tags are `inTail` in the order `before` gives
    // their tags, rows of equal rank keeping their order.
    void orderTail(const std::function<bool(std::uint64_t tag)>& inTail,
                   const std::function<bool(std::uint64_t, std::uint64_t)>& before);

    // Code's ticks raise no ItemCheck.
    void setChecked(std::size_t index, bool checked);
    // One Prop::Checks for the rows whose tick changed, if any.
    void setAllChecked(bool checked);
    // The rows, ascending, of the change being told as Prop::Checks; empty at any other time.
    const std::vector<std::size_t>& changedChecks() const { return changedChecks_; }
    std::size_t checkedCount() const;
    // The user's tick (mouse or space bar): toggles the row and raises onItemCheck once.
    void userToggle(std::size_t index);
    void userColumnClick(std::size_t column);

    std::size_t sortKey() const { return sortKey_; }
    void setSortKey(std::size_t column);
    SortOrder sortOrder() const { return sortOrder_; }
    void setSortOrder(SortOrder order);
    bool sorted() const { return sorted_; }
    // Turning sorting on, or changing the key or order while it is on, re-orders the rows now.
    void setSorted(bool sorted);
    // While sorting is on, puts rows appended since the last sort in their place.
    void resort();

    std::function<void(std::size_t row)> onItemCheck;
    std::function<void(std::size_t column)> onColumnClick;
    // The tip of the row the pointer rests on, asked for as it comes up, so that rows need keep
    // none; unset or empty: no tip.
    std::function<std::wstring(const ListRow& row)> rowTip;

private:
    void sortRows();
    void rowsMoved();

    bool checkBoxes_;
    std::optional<Color> backColor_;
    std::vector<ListColumn> columns_;
    std::vector<ListRow> rows_;
    std::size_t sortKey_ = 0;
    SortOrder sortOrder_ = SortOrder::Ascending;
    bool sorted_ = false;
    std::uint64_t nextId_ = 1;
    std::uint64_t orderGeneration_ = 0;
    std::vector<std::size_t> changedChecks_;
};

}  // namespace dustrel::ui
