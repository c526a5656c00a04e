#pragma once
// Where the diagram's lines and connectors lie and which lines share a name, a group or an
// identifier, built once a description is loaded. With it a click and its rules look only at
// the lines concerned, and a repaint only at the connectors near what changed, instead of
// walking every table: loading and clicking stay linear in the number of lines.

#include "diagram/Model.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel {

// A rectangle of pixels, bounds included; empty when Left > Right or Top > Bottom.
struct PixelBox {
    int Left = 0, Top = 0, Right = -1, Bottom = -1;
    bool Empty() const { return Left > Right || Top > Bottom; }
    bool Contains(int x, int y) const { return Left <= x && x <= Right && Top <= y && y <= Bottom; }
    bool Meets(const PixelBox& b) const {
        return Left <= b.Right && b.Left <= Right && Top <= b.Bottom && b.Top <= Bottom;
    }
};

// Boxes filed by the cells of a grid they cover. A box covering many cells is kept aside and
// offered to every query, so the grid stays about as large as the number of boxes.
class BoxGrid {
public:
    BoxGrid() = default;
    explicit BoxGrid(const std::vector<PixelBox>& boxes);

    // The boxes that may contain (x, y), each once, in increasing order.
    void AtPoint(int x, int y, std::vector<std::uint32_t>& out) const;
    // Appends the boxes that may meet r, in no order and possibly more than once.
    void Meeting(const PixelBox& r, std::vector<std::uint32_t>& out) const;

private:
    std::size_t Cell(int column, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(column);
    }

    int left_ = 0, top_ = 0;
    int shift_ = 0; // cells are 2^shift_ pixels square
    int columns_ = 0, rows_ = 0;
    std::vector<std::uint32_t> start_; // the boxes of cell c: items_[start_[c] .. start_[c+1])
    std::vector<std::uint32_t> items_;
    std::vector<std::uint32_t> wide_;
};

// Lists of numbers grouped by a key, each list in the order given, without repeats.
class GroupLists {
public:
    struct Entry {
        std::int64_t Key;
        std::uint32_t Item;
    };
    // Entries with a negative key belong to no list.
    explicit GroupLists(std::vector<Entry> entries = {});

    struct Range {
        const std::uint32_t* First = nullptr;
        const std::uint32_t* Last = nullptr;
        const std::uint32_t* begin() const { return First; }
        const std::uint32_t* end() const { return Last; }
        bool empty() const { return First == Last; }
    };
    // The list of `key`, empty when there is none.
    Range Of(std::int64_t key) const;

private:
    std::vector<std::int64_t> keys_; // sorted, distinct
    std::vector<std::uint32_t> start_;
    std::vector<std::uint32_t> items_;
};

// The key of a LinkGroup or AltGroup in GroupLists: -1 (no group) stays out of every list.
inline std::int64_t GroupKey(std::int32_t group) {
    return group == -1 ? -1 : std::int64_t{group} + (std::int64_t{1} << 32);
}

// The index of one table of lines.
struct LineTableIndex {
    BoxGrid Hits;     // the boxes HitTest catches clicks in
    GroupLists Links; // lines by LinkGroup
    GroupLists Alts;  // lines by AltGroup
    GroupLists Ids;   // lines by Id
    // Per line: the CalcVals (configuration) or RegVals (register) entries of exactly its
    // name, listed under the position of the first line of that name (NameOf).
    std::vector<std::uint32_t> NameOf;
    GroupLists Values;
};

struct DiagramIndex {
    LineTableIndex Config;
    LineTableIndex Register;
    GroupLists ExclOfId; // the EXCL groups listing an identifier, once each
    // Connectors numbered as they are painted: FollowRules, then FollowNotRules.
    BoxGrid Connectors; // the pixels a connector paints may cover, grown by the pen width
    GroupLists ConnectorsOfId;

    // The sizes of the tables it was built from.
    std::size_t ConfigLines = 0, RegisterLines = 0, ExclGroups = 0, Follows = 0, FollowNots = 0,
                CalcVals = 0, RegVals = 0;

    explicit DiagramIndex(const TModel& model);
    // True when model's tables have the sizes the index was built for. Loading replaces the
    // tables wholesale; the index is built again after each load.
    bool Fits(const TModel& model) const;

    const LineTableIndex& Table(bool registerTable) const {
        return registerTable ? Register : Config;
    }
};

// The pixels a segment painted with a pen of `width` may cover.
PixelBox SegmentBox(int x1, int y1, int x2, int y2, int width);

} // namespace quorvel
