#include "diagram/DiagramIndex.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace quorvel {

namespace {

// A box covering more cells than this is offered to every query instead of being filed.
constexpr long long kMaxCellsPerBox = 32;

// The box a click must lie in to hit the segment (see HitTest).
PixelBox HitBox(const TLine_& line) {
    return {line.X1 - 3, line.Y1 - 3, line.X2 + 3, line.Y2 + 3};
}

int FloorShift(int v, int shift) {
    return v >> shift; // v is never negative here
}

template <typename Line>
LineTableIndex IndexTable(const std::vector<Line>& lines,
                          const std::vector<std::string>& valueNames) {
    LineTableIndex t;
    std::vector<PixelBox> boxes;
    boxes.reserve(lines.size());
    std::vector<GroupLists::Entry> links, alts, ids, values;
    links.reserve(lines.size());
    alts.reserve(lines.size());
    ids.reserve(lines.size());
    std::unordered_map<std::string_view, std::uint32_t> firstOfName;
    firstOfName.reserve(lines.size());
    t.NameOf.resize(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TLine_& line = lines[i];
        const auto item = static_cast<std::uint32_t>(i);
        boxes.push_back(HitBox(line));
        links.push_back({GroupKey(line.LinkGroup), item});
        alts.push_back({GroupKey(line.AltGroup), item});
        ids.push_back({line.Id, item});
        t.NameOf[i] = firstOfName.try_emplace(line.Name, item).first->second;
    }
    for (std::size_t v = 0; v < valueNames.size(); ++v) {
        const auto it = firstOfName.find(valueNames[v]);
        if (it != firstOfName.end())
            values.push_back({it->second, static_cast<std::uint32_t>(v)});
    }
    t.Hits = BoxGrid(boxes);
    t.Links = GroupLists(std::move(links));
    t.Alts = GroupLists(std::move(alts));
    t.Ids = GroupLists(std::move(ids));
    t.Values = GroupLists(std::move(values));
    return t;
}

template <typename Val> std::vector<std::string> NamesOf(const std::vector<Val>& vals) {
    std::vector<std::string> names;
    names.reserve(vals.size());
    for (const Val& v : vals)
        names.push_back(v.Name);
    return names;
}

} // namespace

PixelBox SegmentBox(int x1, int y1, int x2, int y2, int width) {
    const int pad = std::max(width, 1);
    return {std::min(x1, x2) - pad, std::min(y1, y2) - pad, std::max(x1, x2) + pad,
            std::max(y1, y2) + pad};
}

BoxGrid::BoxGrid(const std::vector<PixelBox>& boxes) {
    int left = 0, top = 0, right = -1, bottom = -1;
    std::size_t count = 0;
    for (const PixelBox& b : boxes) {
        if (b.Empty())
            continue;
        if (count++ == 0) {
            left = b.Left;
            top = b.Top;
            right = b.Right;
            bottom = b.Bottom;
        }
        left = std::min(left, b.Left);
        top = std::min(top, b.Top);
        right = std::max(right, b.Right);
        bottom = std::max(bottom, b.Bottom);
    }
    if (count == 0)
        return;
    left_ = left;
    top_ = top;
    // The smallest cells that keep the grid within about twice as many cells as boxes.
    const long long width = static_cast<long long>(right) - left + 1;
    const long long height = static_cast<long long>(bottom) - top + 1;
    const long long most = 2 * static_cast<long long>(count) + 16;
    while (((width >> shift_) + 1) * ((height >> shift_) + 1) > most)
        ++shift_;
    columns_ = static_cast<int>((width >> shift_) + 1);
    rows_ = static_cast<int>((height >> shift_) + 1);
    const std::size_t cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    start_.assign(cells + 1, 0);
    // Two passes: count the boxes of every cell, then file them, in increasing order.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::uint32_t> fill;
        if (pass == 1) {
            for (std::size_t c = 0; c < cells; ++c)
                start_[c + 1] += start_[c];
            items_.resize(start_[cells]);
            fill.assign(start_.begin(), start_.end() - 1);
        }
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const PixelBox& b = boxes[i];
            if (b.Empty())
                continue;
            const int c0 = FloorShift(b.Left - left_, shift_);
            const int c1 = FloorShift(b.Right - left_, shift_);
            const int r0 = FloorShift(b.Top - top_, shift_);
            const int r1 = FloorShift(b.Bottom - top_, shift_);
            if (static_cast<long long>(c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerBox) {
                if (pass == 0)
                    wide_.push_back(static_cast<std::uint32_t>(i));
                continue;
            }
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c) {
                    if (pass == 0)
                        ++start_[Cell(c, r) + 1];
                    else
                        items_[fill[Cell(c, r)]++] = static_cast<std::uint32_t>(i);
                }
        }
    }
}

void BoxGrid::AtPoint(int x, int y, std::vector<std::uint32_t>& out) const {
    out.clear();
    if (columns_ == 0 || x < left_ || y < top_)
        return;
    const long long c = (static_cast<long long>(x) - left_) >> shift_;
    const long long r = (static_cast<long long>(y) - top_) >> shift_;
    if (c >= columns_ || r >= rows_)
        return;
    const std::size_t cell = Cell(static_cast<int>(c), static_cast<int>(r));
    const auto first = items_.begin() + start_[cell];
    const auto last = items_.begin() + start_[cell + 1];
    std::merge(first, last, wide_.begin(), wide_.end(), std::back_inserter(out));
}

void BoxGrid::Meeting(const PixelBox& r, std::vector<std::uint32_t>& out) const {
    if (columns_ == 0 || r.Empty())
        return;
    out.insert(out.end(), wide_.begin(), wide_.end());
    const long long c0 = std::max(0LL, (static_cast<long long>(r.Left) - left_));
    const long long r0 = std::max(0LL, (static_cast<long long>(r.Top) - top_));
    const long long c1 = static_cast<long long>(r.Right) - left_;
    const long long r1 = static_cast<long long>(r.Bottom) - top_;
    if (c1 < 0 || r1 < 0)
        return;
    const int cFirst = static_cast<int>(c0 >> shift_);
    const int rFirst = static_cast<int>(r0 >> shift_);
    const int cLast = static_cast<int>(std::min<long long>(columns_ - 1, c1 >> shift_));
    const int rLast = static_cast<int>(std::min<long long>(rows_ - 1, r1 >> shift_));
    for (int row = rFirst; row <= rLast; ++row)
        for (int col = cFirst; col <= cLast; ++col) {
            const std::size_t cell = Cell(col, row);
            out.insert(out.end(), items_.begin() + start_[cell], items_.begin() + start_[cell + 1]);
        }
}

GroupLists::GroupLists(std::vector<Entry> entries) {
    std::erase_if(entries, [](const Entry& e) { return e.Key < 0; });
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.Key < b.Key; });
    // Sized once: a list grown by doubling takes an allocation per doubling.
    std::size_t keys = 0;
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys += i == 0 || entries[i].Key != entries[i - 1].Key;
    keys_.reserve(keys);
    start_.reserve(keys + 1);
    items_.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i == 0 || entries[i].Key != entries[i - 1].Key) {
            keys_.push_back(entries[i].Key);
            start_.push_back(static_cast<std::uint32_t>(items_.size()));
        } else if (entries[i].Item == items_.back()) {
            continue; // listed twice in a row: once
        }
        items_.push_back(entries[i].Item);
    }
    start_.push_back(static_cast<std::uint32_t>(items_.size()));
}

GroupLists::Range GroupLists::Of(std::int64_t key) const {
    const auto it = std::lower_bound(keys_.begin(), keys_.end(), key);
    if (it == keys_.end() || *it != key)
        return {};
    const auto k = static_cast<std::size_t>(it - keys_.begin());
    return {items_.data() + start_[k], items_.data() + start_[k + 1]};
}

DiagramIndex::DiagramIndex(const TModel& model)
    : Config(IndexTable(model.ConfigLines, NamesOf(model.CalcVals))),
      Register(IndexTable(model.RegisterLines, NamesOf(model.RegVals))),
      ConfigLines(model.ConfigLines.size()), RegisterLines(model.RegisterLines.size()),
      ExclGroups(model.ExclGroups.size()), Follows(model.FollowRules.size()),
      FollowNots(model.FollowNotRules.size()), CalcVals(model.CalcVals.size()),
      RegVals(model.RegVals.size()) {
    std::vector<GroupLists::Entry> excl;
    for (std::size_t g = 0; g < model.ExclGroups.size(); ++g)
        for (const std::uint16_t id : model.ExclGroups[g].Ids)
            excl.push_back({id, static_cast<std::uint32_t>(g)});
    ExclOfId = GroupLists(std::move(excl));
    std::vector<PixelBox> boxes;
    std::vector<GroupLists::Entry> ids;
    for (const auto* rules : {&model.FollowRules, &model.FollowNotRules})
        for (const TFollow_& rule : *rules) {
            const auto number = static_cast<std::uint32_t>(boxes.size());
            boxes.push_back(SegmentBox(rule.X1, rule.Y1, rule.X2, rule.Y2, 1));
            for (const std::uint16_t id : rule.Ids)
                ids.push_back({id, number});
        }
    Connectors = BoxGrid(boxes);
    ConnectorsOfId = GroupLists(std::move(ids));
}

bool DiagramIndex::Fits(const TModel& model) const {
    return ConfigLines == model.ConfigLines.size() && RegisterLines == model.RegisterLines.size() &&
           ExclGroups == model.ExclGroups.size() && Follows == model.FollowRules.size() &&
           FollowNots == model.FollowNotRules.size() && CalcVals == model.CalcVals.size() &&
           RegVals == model.RegVals.size() && model.ConfigLineMarked.size() == ConfigLines &&
           model.RegisterLineMarked.size() == RegisterLines;
}

} // namespace quorvel
