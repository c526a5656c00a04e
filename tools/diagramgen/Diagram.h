#pragma once
// One clock diagram as the generator knows it: what is painted (frames, wires, text) and what
// the program reads back from the description file (clickable lines, connectors, value
// boxes). The bitmap and the description are both produced from this one record, so their
// coordinates cannot drift apart.

#include "util/Views.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::diagramgen {

enum class Align { Left, Center, Right };

struct TextItem {
    int x = 0, y = 0, w = 0, h = 0; // the text is placed inside this rectangle
    std::string text;
    Align align = Align::Left;
    bool bold = false;
    int pixelSize = 11;
};

struct FillItem {
    int x = 0, y = 0, w = 0, h = 0;
    Rgb colour;
};

// A plain 1-pixel wire or outline segment.
struct WireItem {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

enum class Direction { Right, Left, Down, Up };

// A small filled arrow head whose tip lies at (x, y).
struct ArrowItem {
    int x = 0, y = 0;
    Direction direction = Direction::Right;
};

// One clickable segment: a configuration setting or a register bit-field value.
struct ClickLine {
    std::string name; // field name, or "REGISTER<hi:lo>" for a register line
    int id = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int altGroup = -1;
    int linkGroup = -1;
    std::uint32_t value = 0; // setting value (shifted) or bit-field value (unshifted)
    double calcValue = 0;    // what the formulas see when the line is chosen
    std::string comment;     // without the leading "//"
    bool isDefault = false;  // written first among the lines of its name

    bool IsRegister() const { return name.find('<') != std::string::npos; }
};

// A connector painted red while any (FOLLOW) or none (FOLLOW_NOT) of its lines is chosen.
struct FollowRule {
    bool whenNoneChosen = false;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::vector<int> ids;
};

// Writes a register needs around its writes on the chip (a SEQUENCE line of the description):
// each value is written to `target` in order, before or after the register's writes.
struct WriteSequence {
    std::string reg;
    bool after = false;
    std::string target;
    std::vector<std::uint32_t> values;
    std::string comment; // without the leading "//"
};

// A value box: an input box when the expression is empty.
struct ValueBox {
    int x = 0, y = 0;
    std::string name; // "E" + number
    std::string expression;
    std::string quantity; // one word naming what the box shows
};

// A data-sheet limit: a RANGE of one box (bounds as written, empty for none) where the
// condition holds, or a CHECK, a condition that must hold, with its message.
struct Limit {
    bool isCheck = false;
    int box = 0;
    std::string min, max;
    std::string condition;
    std::string text; // RANGE: the label; CHECK: the message
};

// A register bit-field typed into an input box: its legal numbers and the field value of each.
struct TypedField {
    int box = 0;
    std::string name; // "REGISTER<hi:lo>"
    int min = 0, max = 0;
    std::string mapping; // the field value, a formula of the box variable
    std::string comment; // the code comment; the typed number follows it
};

inline constexpr int kValueBoxWidth = 50;
inline constexpr int kValueBoxHeight = 22;
inline constexpr int kMaxWidth = 740;
inline constexpr int kMaxHeight = 880;

struct Diagram {
    std::string name;  // base of "Quorvel_<name>.bmp" and "Quorvel_<name>_lines.txt"
    std::string title; // first comment line of the description
    int width = 0;
    int height = 0;
    std::vector<FillItem> fills;
    std::vector<TextItem> texts;
    std::vector<WireItem> wires;
    std::vector<ArrowItem> arrows;
    std::vector<ClickLine> lines; // in creation order
    std::vector<FollowRule> follows;
    std::vector<ValueBox> boxes;
    std::vector<Limit> limits;
    std::vector<TypedField> typed;
    std::vector<WriteSequence> sequences;
};

// Everything that would make the description unusable or the picture misleading: segments
// that are not horizontal or vertical, out of range or too close to each other, value boxes
// off the picture or over a clickable line, too many boxes or field names, names without a
// default line. Empty when the diagram is sound.
std::vector<std::string> FindProblems(const Diagram& diagram);

} // namespace quorvel::diagramgen
