#include "Blocks.h"

#include <algorithm>

namespace quorvel::diagramgen {

Selector AddSelector(Builder& b, int x, int y, int w, const std::vector<std::string>& title,
                     const std::string& name, const std::vector<Option>& options, int columns) {
    const int count = static_cast<int>(options.size());
    columns = std::clamp(columns, 1, std::max(1, count));
    const int rows = (count + columns - 1) / columns;
    const int titleHeight = 14 * static_cast<int>(title.size());
    const int h = titleHeight + 10 + rows * kRowPitch;
    Selector s;
    s.x = x;
    s.y = y;
    s.w = w;
    s.h = h;
    s.in = {x, y + h / 2};
    s.out = {x + w, y + h / 2};

    b.Fill(x, y, w, h, kSelectorFill);
    b.Frame(x, y, w, h);
    int top = y + 3;
    bool first = true;
    for (const std::string& line : title) {
        b.Text(x + 2, top, w - 3, 14, line, Align::Center, first);
        top += 14;
        first = false;
    }
    const int columnWidth = (w - 8) / columns;
    for (int i = 0; i < count; ++i) {
        const int column = i / rows;
        const int row = i % rows;
        const int lx = x + 7 + column * columnWidth;
        const int ly = y + titleHeight + 12 + row * kRowPitch;
        s.ids.push_back(b.Choice(name, lx, ly, lx + kChoiceLength, ly, options[i]));
        b.Text(lx + kChoiceLength + 4, ly - 7, columnWidth - kChoiceLength - 5, 14,
               options[i].label);
    }
    return s;
}

Mux AddMux(Builder& b, int x, int top, int w, int pitch, const std::vector<std::string>& title,
           const std::string& name, const std::vector<Option>& options) {
    const int count = static_cast<int>(options.size());
    Mux m;
    m.x = x;
    m.top = top;
    m.w = w;
    m.bottom = top + 20 + (count - 1) * pitch;
    const int inset = std::min(12, (m.bottom - top) / 4);
    b.Wire(x, top, x, m.bottom);
    b.Wire(x + w, top + inset, x + w, m.bottom - inset);
    b.Wire(x, top, x + w, top + inset);
    b.Wire(x, m.bottom, x + w, m.bottom - inset);
    m.out = {x + w, (top + m.bottom) / 2};

    int titleTop = top - 14 * static_cast<int>(title.size()) - 2;
    bool first = true;
    for (const std::string& line : title) {
        b.Text(x - 30, titleTop, w + 60, 14, line, Align::Center, first);
        titleTop += 14;
        first = false;
    }
    const int segment = 20;
    for (int i = 0; i < count; ++i) {
        const int y = top + 10 + i * pitch;
        m.ids.push_back(b.Choice(name, x - segment - 1, y, x - 2, y, options[i]));
        m.inputs.push_back({x - segment - 2, y});
        b.Text(x + 3, y - 7, w - 5, 14, options[i].label, Align::Left, false, 10);
    }
    return m;
}

void FollowPath(Builder& b, std::initializer_list<Point> corners, const std::vector<int>& ids,
                bool whenNoneChosen) {
    const Point* previous = nullptr;
    for (const Point& p : corners) {
        if (previous) {
            // The description wants every segment from its top-left to its bottom-right end.
            const int x1 = std::min(previous->x, p.x), x2 = std::max(previous->x, p.x);
            const int y1 = std::min(previous->y, p.y), y2 = std::max(previous->y, p.y);
            if (whenNoneChosen)
                b.FollowNot(x1, y1, x2, y2, ids);
            else
                b.Follow(x1, y1, x2, y2, ids);
        }
        previous = &p;
    }
}

void AddLegend(Builder& b, int y) {
    b.Label(15, y,
            "Click a blue (configuration) or green (register) line to choose it; the chosen "
            "line turns red.");
    b.Label(15, y + 16,
            "Type the crystal or external clock frequency in MHz into the yellow box and "
            "press Enter.");
}

void ArrowWire(Builder& b, Point from, Point to) {
    b.Wire(from.x, from.y, to.x, to.y);
    if (from.y == to.y)
        b.Arrow(to.x, to.y, to.x >= from.x ? Direction::Right : Direction::Left);
    else
        b.Arrow(to.x, to.y, to.y >= from.y ? Direction::Down : Direction::Up);
}

} // namespace quorvel::diagramgen

namespace quorvel::diagramgen {

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

void BypassableBlock(Builder& b, int fromX, int toX, int y, int blockX, int blockY, int blockW,
                     int blockH, const std::vector<std::string>& title,
                     const std::vector<Condition>& through, const std::vector<Condition>& bypass) {
    constexpr int kTrackGap = 3;
    b.Block(blockX, blockY, blockW, blockH, title, kPllFill);
    const int n = static_cast<int>(through.size());
    const int rowGap = std::max(2, std::min(4, (blockH - 8) / std::max(1, n)));
    const int firstRow = blockY + (blockH - rowGap * (n - 1)) / 2;
    for (int t = 0; t < n; ++t) {
        const int inX = fromX + kTrackGap * t;
        const int outX = toX - kTrackGap * t;
        const int row = firstRow + rowGap * t;
        FollowPath(b, {{inX, y - 1}, {inX, row}, {blockX - 1, row}}, through[t].ids,
                   through[t].whenNoneChosen);
        FollowPath(b, {{blockX + blockW + 1, row}, {outX, row}, {outX, y - 1}}, through[t].ids,
                   through[t].whenNoneChosen);
    }
    const int m = static_cast<int>(bypass.size());
    const int left = fromX + kTrackGap * n;
    const int right = toX - kTrackGap * n;
    b.Wire(fromX, y, left, y);
    b.Wire(right, y, toX, y);
    b.Wire(left, y, left, y + kTrackGap * (m - 1));
    b.Wire(right, y, right, y + kTrackGap * (m - 1));
    for (int k = 0; k < m; ++k)
        FollowPath(b, {{left + 1, y + kTrackGap * k}, {right - 1, y + kTrackGap * k}},
                   bypass[k].ids, bypass[k].whenNoneChosen);
}

} // namespace quorvel::diagramgen
