#include "util/KivLists.h"

namespace quorvel {

void TIntegerList::Add(std::int32_t value) {
    ++count_;
    if (count_ >= capacity_) {
        capacity_ += capacity_ / 4;
        Items.resize(static_cast<std::size_t>(capacity_), 0);
    }
    Items[static_cast<std::size_t>(count_ - 1)] = value;
}

std::int32_t TIntegerList::Get(std::int32_t index) const {
    if (index < 0 || index >= capacity_)
        return 0;
    return Items[static_cast<std::size_t>(index)];
}

} // namespace quorvel
