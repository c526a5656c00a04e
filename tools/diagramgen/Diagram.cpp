#include "Diagram.h"

#include "util/NumberText.h"

#include <algorithm>
#include <map>
#include <set>

namespace quorvel::diagramgen {

namespace {

// The program hit-tests a line in its segment grown by 3 pixels; keeping 8 pixels between
// segments leaves a click on one line from ever selecting its neighbour.
constexpr int kMinLineGap = 8;
// Coordinates the program's hit test can handle without wrapping.
constexpr int kMinCoordinate = 3;
constexpr int kMaxCoordinate = 65532;

struct Rect {
    int x1, y1, x2, y2;
};

// Pixels of empty space between two rectangles (0 when they touch or overlap).
int Gap(const Rect& a, const Rect& b) {
    const int dx = std::max(0, std::max(a.x1, b.x1) - std::min(a.x2, b.x2));
    const int dy = std::max(0, std::max(a.y1, b.y1) - std::min(a.y2, b.y2));
    return std::max(dx, dy);
}

std::string Where(const ClickLine& l) {
    return l.name + " (" + l.comment + ") at " + std::to_string(l.x1) + "," + std::to_string(l.y1);
}

bool Straight(int x1, int y1, int x2, int y2) {
    return (x1 == x2 || y1 == y2) && x1 <= x2 && y1 <= y2;
}

bool Inside(const Diagram& d, int x, int y) {
    return x >= 0 && y >= 0 && x < d.width && y < d.height;
}

// "REG<hi:lo>" or "REG<bit>" with bit numbers 0..31, hi not below lo.
bool RegisterBits(const std::string& name, int& hi, int& lo) {
    const std::size_t open = name.find('<');
    if (open == 0 || open == std::string::npos || name.back() != '>')
        return false;
    const std::string bits = name.substr(open + 1, name.size() - open - 2);
    const std::size_t colon = bits.find(':');
    const auto high = ParseInteger(bits.substr(0, colon));
    const auto low = ParseInteger(colon == std::string::npos ? bits : bits.substr(colon + 1));
    if (!high || !low || *high < *low || *low < 0 || *high > 31)
        return false;
    hi = static_cast<int>(*high);
    lo = static_cast<int>(*low);
    return true;
}

void CheckLines(const Diagram& d, std::vector<std::string>& problems) {
    std::map<std::string, int> defaults;
    std::set<std::string> configNames;
    for (const ClickLine& l : d.lines) {
        defaults.try_emplace(l.name, 0);
        if (l.isDefault)
            ++defaults[l.name];
        if (!l.IsRegister())
            configNames.insert(l.name);
        if (!Straight(l.x1, l.y1, l.x2, l.y2))
            problems.push_back("line is not a straight top-left to bottom-right segment: " +
                               Where(l));
        if (std::min(l.x1, l.y1) < kMinCoordinate || std::max(l.x2, l.y2) > kMaxCoordinate ||
            !Inside(d, l.x2, l.y2))
            problems.push_back("line lies outside the picture: " + Where(l));
        if (l.comment.empty())
            problems.push_back("line without comment: " + Where(l));
        if (l.IsRegister()) {
            int hi = 0, lo = 0;
            if (!RegisterBits(l.name, hi, lo))
                problems.push_back("malformed register bit-field name: " + Where(l));
            else if (hi - lo < 31 && l.value >> (hi - lo + 1) != 0)
                problems.push_back("value does not fit its bit-field: " + Where(l));
        } else if (l.value > 2147483647u) {
            problems.push_back("setting value beyond 2147483647: " + Where(l));
        }
    }
    for (const auto& [name, count] : defaults)
        if (count != 1)
            problems.push_back(name + " needs exactly one default line, has " +
                               std::to_string(count));
    if (configNames.size() > 20)
        problems.push_back("more than 20 configuration fields: only 20 get labels");

    for (std::size_t i = 0; i < d.lines.size(); ++i)
        for (std::size_t j = i + 1; j < d.lines.size(); ++j) {
            const ClickLine& a = d.lines[i];
            const ClickLine& b = d.lines[j];
            if (Gap({a.x1, a.y1, a.x2, a.y2}, {b.x1, b.y1, b.x2, b.y2}) < kMinLineGap)
                problems.push_back("lines too close: " + Where(a) + " and " + Where(b));
        }
}

void CheckFollows(const Diagram& d, std::vector<std::string>& problems) {
    std::set<int> ids;
    for (const ClickLine& l : d.lines)
        ids.insert(l.id);
    for (const FollowRule& f : d.follows) {
        const std::string where =
            "connector at " + std::to_string(f.x1) + "," + std::to_string(f.y1);
        if (!Straight(f.x1, f.y1, f.x2, f.y2) || !Inside(d, f.x1, f.y1) || !Inside(d, f.x2, f.y2))
            problems.push_back(where + " is not a straight segment inside the picture");
        if (f.ids.empty())
            problems.push_back(where + " follows no line");
        for (int id : f.ids)
            if (ids.count(id) == 0)
                problems.push_back(where + " follows the unknown line " + std::to_string(id));
    }
}

void CheckBoxes(const Diagram& d, std::vector<std::string>& problems) {
    if (d.boxes.size() > 31)
        problems.push_back("more than 31 value boxes");
    for (std::size_t i = 0; i < d.boxes.size(); ++i) {
        const ValueBox& box = d.boxes[i];
        const Rect r{box.x, box.y, box.x + kValueBoxWidth, box.y + kValueBoxHeight};
        const std::string where = "value box " + box.name;
        if (box.x < 0 || box.y < 0 || r.x2 > d.width || r.y2 > d.height)
            problems.push_back(where + " lies outside the picture");
        if (box.quantity.empty() || box.quantity.find(' ') != std::string::npos)
            problems.push_back(where + " needs a one-word quantity");
        if (box.expression.find("//") != std::string::npos)
            problems.push_back(where + ": \"//\" would start a comment");
        for (std::size_t j = i + 1; j < d.boxes.size(); ++j) {
            const ValueBox& other = d.boxes[j];
            if (Gap(r, {other.x, other.y, other.x + kValueBoxWidth, other.y + kValueBoxHeight}) < 2)
                problems.push_back(where + " overlaps " + other.name);
        }
        for (const ClickLine& l : d.lines)
            if (Gap(r, {l.x1, l.y1, l.x2, l.y2}) < 5)
                problems.push_back(where + " covers " + Where(l));
    }
}

void CheckLimits(const Diagram& d, std::vector<std::string>& problems) {
    const auto known = [&](int box) {
        return box >= 0 && static_cast<std::size_t>(box) < d.boxes.size();
    };
    for (const Limit& l : d.limits) {
        const std::string where =
            std::string(l.isCheck ? "check" : "range") + " of box E" + std::to_string(l.box);
        if (!known(l.box))
            problems.push_back(where + " names no value box");
        if (l.condition.find("//") != std::string::npos || l.text.empty())
            problems.push_back(where + " needs a condition without \"//\" and a text");
        if (!l.isCheck && l.min.empty() && l.max.empty())
            problems.push_back(where + " has no bound");
    }
    for (const TypedField& t : d.typed) {
        const std::string where = "typed field " + t.name;
        if (!known(t.box) || !d.boxes[static_cast<std::size_t>(t.box)].expression.empty())
            problems.push_back(where + " needs an input box");
        bool hasLines = false;
        for (const ClickLine& l : d.lines)
            hasLines = hasLines || l.name == t.name;
        if (!hasLines)
            problems.push_back(where + " has no register lines");
        if (t.min > t.max || t.mapping.find("//") != std::string::npos)
            problems.push_back(where + " needs a range and a formula without \"//\"");
    }
}

} // namespace

std::vector<std::string> FindProblems(const Diagram& d) {
    std::vector<std::string> problems;
    if (d.width <= 0 || d.height <= 0 || d.width > kMaxWidth || d.height > kMaxHeight)
        problems.push_back("picture size must lie within " + std::to_string(kMaxWidth) + " x " +
                           std::to_string(kMaxHeight));
    CheckLines(d, problems);
    CheckFollows(d, problems);
    CheckBoxes(d, problems);
    CheckLimits(d, problems);
    return problems;
}

} // namespace quorvel::diagramgen
