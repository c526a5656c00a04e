#include "Builder.h"

#include <utility>

namespace quorvel::diagramgen {

Builder::Builder(std::string name, std::string title, int width, int height) {
    diagram_.name = std::move(name);
    diagram_.title = std::move(title);
    diagram_.width = width;
    diagram_.height = height;
}

void Builder::Text(int x, int y, int w, int h, std::string text, Align align, bool bold,
                   int pixelSize) {
    diagram_.texts.push_back({x, y, w, h, std::move(text), align, bold, pixelSize});
}

void Builder::Label(int x, int y, std::string text, bool bold, int pixelSize) {
    Text(x, y, diagram_.width - x - 2, pixelSize + 4, std::move(text), Align::Left, bold,
         pixelSize);
}

void Builder::Fill(int x, int y, int w, int h, Rgb colour) {
    diagram_.fills.push_back({x, y, w, h, colour});
}

void Builder::Wire(int x1, int y1, int x2, int y2) {
    diagram_.wires.push_back({x1, y1, x2, y2});
}

void Builder::Path(std::initializer_list<Point> corners) {
    const Point* previous = nullptr;
    for (const Point& p : corners) {
        if (previous)
            Wire(previous->x, previous->y, p.x, p.y);
        previous = &p;
    }
}

void Builder::Arrow(int x, int y, Direction direction) {
    diagram_.arrows.push_back({x, y, direction});
}

void Builder::Dot(int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        Wire(x - 1, y + dy, x + 1, y + dy);
}

void Builder::Frame(int x, int y, int w, int h) {
    Wire(x, y, x + w, y);
    Wire(x, y + h, x + w, y + h);
    Wire(x, y, x, y + h);
    Wire(x + w, y, x + w, y + h);
}

void Builder::Block(int x, int y, int w, int h, const std::vector<std::string>& lines, Rgb fill) {
    Fill(x, y, w, h, fill);
    Frame(x, y, w, h);
    const int lineHeight = 14;
    int top = y + (h - lineHeight * static_cast<int>(lines.size())) / 2;
    bool first = true;
    for (const std::string& line : lines) {
        Text(x + 2, top, w - 3, lineHeight, line, Align::Center, first);
        top += lineHeight;
        first = false;
    }
}

int Builder::Choice(const std::string& name, int x1, int y1, int x2, int y2, const Option& option) {
    // Every field gets its own alternatives group: choosing one setting un-chooses the rest.
    const auto group = altGroups_.try_emplace(name, static_cast<int>(altGroups_.size())).first;
    ClickLine line;
    line.name = name;
    line.id = static_cast<int>(diagram_.lines.size()) + 1;
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
    line.altGroup = group->second;
    line.value = option.value;
    line.calcValue = option.calcValue;
    line.comment = option.comment;
    line.isDefault = option.isDefault;
    diagram_.lines.push_back(line);
    return line.id;
}

void Builder::Follow(int x1, int y1, int x2, int y2, std::vector<int> ids) {
    diagram_.follows.push_back({false, x1, y1, x2, y2, std::move(ids)});
}

void Builder::FollowNot(int x1, int y1, int x2, int y2, std::vector<int> ids) {
    diagram_.follows.push_back({true, x1, y1, x2, y2, std::move(ids)});
}

int Builder::Box(int x, int y, std::string expression, std::string quantity) {
    ValueBox box;
    box.x = x;
    box.y = y;
    box.name = "E" + std::to_string(diagram_.boxes.size());
    box.expression = std::move(expression);
    box.quantity = std::move(quantity);
    diagram_.boxes.push_back(std::move(box));
    return static_cast<int>(diagram_.boxes.size()) - 1;
}

void Builder::Range(int box, std::string min, std::string max, std::string label,
                    std::string condition) {
    diagram_.limits.push_back(
        {false, box, std::move(min), std::move(max), std::move(condition), std::move(label)});
}

void Builder::Check(int box, std::string condition, std::string message) {
    diagram_.limits.push_back({true, box, {}, {}, std::move(condition), std::move(message)});
}

void Builder::Typed(int box, std::string name, int min, int max, std::string mapping,
                    std::string comment) {
    diagram_.typed.push_back(
        {box, std::move(name), min, max, std::move(mapping), std::move(comment)});
}

void Builder::Sequence(std::string reg, bool after, std::string target,
                       std::vector<std::uint32_t> values, std::string comment) {
    diagram_.sequences.push_back(
        {std::move(reg), after, std::move(target), std::move(values), std::move(comment)});
}

} // namespace quorvel::diagramgen
