#pragma once
// The diagram's selection rules, on the state alone: a left click chooses the lines it hits;
// link groups mark companions, alternatives groups and EXCL groups unmark lines, and the
// chosen values go to the calculation and code tables. Every rule records what it changed
// (the segments to paint again, the labels) and draws nothing itself. The middle and right
// buttons store a pair of points and copy them for authors of descriptions.

#include "diagram/Configuration.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

enum class MouseButton { Left, Middle, Right, Other };

// True when (x, y) lies in the segment's bounding box grown by 3 pixels on every side.
bool HitTest(int x, int y, int x1, int y1, int x2, int y2);

// A line of one of the two tables.
struct LineRef {
    bool Register = false;
    std::size_t Index = 0;
    friend bool operator==(const LineRef&, const LineRef&) = default;
};

// The lines a left click at (x, y) chooses, in table order: every configuration line it hits
// or, when it hits none, every register line it hits.
std::vector<LineRef> LinesAt(const TModel& model, int x, int y);
// The same through the state's index when it has one.
std::vector<LineRef> LinesAt(const Configuration& state, int x, int y);

// Chooses one line as a left click on it does: marks it and its link group, unmarks the rest
// of its alternatives group and the lines sharing an EXCL group with it, updates the value
// (configuration line: the calculation variable and the setting label; register line: the
// register choice) and asks for the connectors to be painted again.
void ChooseLine(Configuration& state, LineRef line, Changes& changes);

// Sets a line's chosen flag and records its segment for painting.
void SetLineMark(Configuration& state, LineRef line, bool marked, Changes& changes);
// Unmarks every line of one table, in table order.
void UnmarkAllLines(Configuration& state, bool registerTable, Changes& changes);
// Unmarks every configuration line, then every register line, with this identifier.
void UnmarkById(Configuration& state, std::uint16_t id, Changes& changes);
// Unmarks every line whose identifier shares an EXCL group with id.
void ApplyExclGroups(Configuration& state, std::uint16_t id, Changes& changes);

// Shows the description of the setting `value` of field `name` in the setting label of that
// name; nothing changes when the device has no such setting.
void ShowSettingLabel(Configuration& state, const std::string& name, std::uint32_t value,
                      Changes& changes);
// Empties the setting labels (the even ones, 2..40).
void ClearSettingLabels(Configuration& state, Changes& changes);

// The Clear commands: unmarks the chosen lines of the configuration table, of the register
// table or both; clearing configuration empties the setting labels, clearing registers drops
// the register choices; the connectors are painted again.
void ClearChoices(Configuration& state, bool configuration, bool registers, Changes& changes);

// The middle button stores the first point, the right button the second and copies both.
void StoreFirstPoint(Configuration& state, int x, int y);
void StoreSecondPoint(Configuration& state, int x, int y, Changes& changes);
// The text a right click puts on the clipboard: "x1, y1, x2, y2, ".
std::string PointsText(const Configuration& state);

} // namespace quorvel
