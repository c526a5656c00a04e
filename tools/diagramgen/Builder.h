#pragma once
// Collects the parts of one diagram: painting primitives, clickable lines with their settings,
// connectors and value boxes. Identifiers, alternatives groups and box names are handed out
// here, so the diagram sources only speak of positions and meanings.

#include "Diagram.h"

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace quorvel::diagramgen {

struct Point {
    int x = 0;
    int y = 0;
};

// One choice of a configuration field or register bit-field.
struct Option {
    std::string label;       // text painted beside the clickable line
    std::uint32_t value = 0; // setting value or bit-field value
    double calcValue = 0;    // what the formulas see
    std::string comment;     // names the setting, e.g. "PLLPRE: N1 = 2"
    bool isDefault = false;
};

inline constexpr Rgb kSourceFill{255, 248, 214};
inline constexpr Rgb kSelectorFill{228, 238, 252};
inline constexpr Rgb kPllFill{224, 246, 224};
inline constexpr Rgb kNoteFill{242, 242, 242};

class Builder {
public:
    Builder(std::string name, std::string title, int width, int height);

    // Painting.
    void Text(int x, int y, int w, int h, std::string text, Align align = Align::Left,
              bool bold = false, int pixelSize = 11);
    // One line of text whose top-left corner is (x, y).
    void Label(int x, int y, std::string text, bool bold = false, int pixelSize = 11);
    void Fill(int x, int y, int w, int h, Rgb colour);
    void Wire(int x1, int y1, int x2, int y2);
    // Connected wire segments through the given corners.
    void Path(std::initializer_list<Point> corners);
    void Arrow(int x, int y, Direction direction);
    // A junction dot where wires branch.
    void Dot(int x, int y);
    void Frame(int x, int y, int w, int h);
    // A filled, framed rectangle with centred lines of text, the first one bold.
    void Block(int x, int y, int w, int h, const std::vector<std::string>& lines, Rgb fill);

    // A clickable line choosing `option` for `name`; returns the line's identifier.
    int Choice(const std::string& name, int x1, int y1, int x2, int y2, const Option& option);
    void Follow(int x1, int y1, int x2, int y2, std::vector<int> ids);
    void FollowNot(int x1, int y1, int x2, int y2, std::vector<int> ids);
    // A value box at (x, y); an empty expression makes an input box. Boxes are numbered
    // E0, E1, ... in the order they are added, which is also the order of calculation.
    // Returns the box's number.
    int Box(int x, int y, std::string expression, std::string quantity);

    // Data-sheet limits of the boxes, checked after every calculation.
    void Range(int box, std::string min, std::string max, std::string label,
               std::string condition = std::string());
    void Check(int box, std::string condition, std::string message);
    // Makes input box `box` set a register bit-field, for the numbers min..max.
    void Typed(int box, std::string name, int min, int max, std::string mapping,
               std::string comment);
    // Values written to `target`, in order, before (or after) the code writes `reg`.
    void Sequence(std::string reg, bool after, std::string target,
                  std::vector<std::uint32_t> values, std::string comment);

    const Diagram& Result() const { return diagram_; }

private:
    Diagram diagram_;
    std::map<std::string, int> altGroups_;
};

} // namespace quorvel::diagramgen
