#pragma once
// The recurring parts of a clock diagram: a selector block listing a field's settings, and a
// multiplexer whose inputs are the settings of a field.

#include "Builder.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace quorvel::diagramgen {

inline constexpr int kRowPitch = 13; // distance of neighbouring clickable lines in a list
inline constexpr int kChoiceLength = 14;

struct Selector {
    int x = 0, y = 0, w = 0, h = 0;
    Point in;  // middle of the left edge
    Point out; // middle of the right edge
    std::vector<int> ids;
};

// A framed block: title lines (the first bold), then one clickable line per option with its
// label, filled column by column. The height follows from the number of rows.
Selector AddSelector(Builder& b, int x, int y, int w, const std::vector<std::string>& title,
                     const std::string& name, const std::vector<Option>& options, int columns = 1);

struct Mux {
    int x = 0, top = 0, w = 0, bottom = 0;
    std::vector<Point> inputs; // where the wire of each input arrives
    Point out;
    std::vector<int> ids;
};

// A multiplexer drawn as a trapezoid; each input ends in the clickable line of one option,
// labelled inside the trapezoid. `title` is written above it.
Mux AddMux(Builder& b, int x, int top, int w, int pitch, const std::vector<std::string>& title,
           const std::string& name, const std::vector<Option>& options);

// Connector segments through the given corners, painted red while any of `ids` is chosen
// (or, with `whenNoneChosen`, while none is).
void FollowPath(Builder& b, std::initializer_list<Point> corners, const std::vector<int>& ids,
                bool whenNoneChosen = false);

// Two lines at the bottom that tell a newcomer how to use the diagram.
void AddLegend(Builder& b, int y);

// A wire from `from` to `to` that ends in an arrow head pointing right (horizontal wires) or
// down (vertical ones).
void ArrowWire(Builder& b, Point from, Point to);

} // namespace quorvel::diagramgen

namespace quorvel::diagramgen {

// When a connector is red: while any of `ids` is chosen, or (whenNoneChosen) while none is.
struct Condition {
    std::vector<int> ids;
    bool whenNoneChosen = false;
};

// The lines of several lists in one list.
std::vector<int> Join(std::initializer_list<std::vector<int>> parts);

// A block that the signal on the horizontal line at `y` either passes through (a PLL) or
// bypasses, from `fromX` to `toX`. A connector is red for a plain "any chosen" or "none
// chosen" condition only, so each way of going through the block is a track of its own
// (`through`: one condition per track, each red exactly when the signal takes that way), and
// so is each way of bypassing it (`bypass`). The tracks enter the block at its left edge and
// leave it at its right edge; the bypass tracks run below `y`.
void BypassableBlock(Builder& b, int fromX, int toX, int y, int blockX, int blockY, int blockW,
                     int blockH, const std::vector<std::string>& title,
                     const std::vector<Condition>& through, const std::vector<Condition>& bypass);

} // namespace quorvel::diagramgen
