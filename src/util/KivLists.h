#pragma once
// A minimal growable list of 32-bit integers: append and read by index, nothing else.

#include <cstdint>
#include <vector>

namespace quorvel {

class TIntegerList {
public:
    TIntegerList() : Items(10, 0) {}

    // Appends a value; the storage grows by a quarter while one free slot is still left.
    void Add(std::int32_t value);
    // The entry at a 0-based index; 0 for any index outside the storage.
    std::int32_t Get(std::int32_t index) const;
    std::int32_t Count() const { return count_; }
    std::int32_t Capacity() const { return capacity_; }

private:
    std::vector<std::int32_t> Items;
    std::int32_t count_ = 0;
    std::int32_t capacity_ = 10;
};

} // namespace quorvel
