#include "ui/list_picture.h"

namespace dustrel::ui {

void ListPicture::beginPaint(const ListView& list, std::size_t first, std::size_t last) {
    painting_ = true;
    order_ = list.orderGeneration();
    drawn_.erase(drawn_.begin(), drawn_.lower_bound(first));
    drawn_.erase(drawn_.upper_bound(last), drawn_.end());
}

void ListPicture::drawn(const ListView& list, std::size_t position) {
    if (!painting_) {
        return;
    }
    if (position < list.rowCount()) {
        drawn_[position] = list.row(position).id;
    } else {
        drawn_.erase(position);
    }
}

std::optional<std::size_t> ListPicture::rowAt(const ListView& list, std::size_t position) const {
    if (const auto it = drawn_.find(position); it != drawn_.end()) {
        return list.indexOf(it->second, position);
    }
    if (list.orderGeneration() != order_ || position >= list.rowCount()) {
        return std::nullopt;
    }
    return position;
}

}  // namespace dustrel::ui
