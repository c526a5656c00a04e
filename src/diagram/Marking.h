#pragma once
// Painting the diagram's selection marks: a chosen line is painted red, a line not chosen
// blue (configuration) or lime (register), and each FOLLOW / FOLLOW_NOT connector red or
// black after the marks of the lines it lists. Every routine keeps the line's flag in step
// with its paint, so state and picture never part.

#include "diagram/Model.h"
#include "util/Views.h"

#include <bitset>
#include <cstddef>

namespace quorvel {

class TDiagramMarking {
public:
    TDiagramMarking(TModel& model, DiagramSurface& surface) : model_(model), surface_(surface) {}

    // Index arguments must be valid positions of their table.
    void MarkLine(std::size_t i);
    void UnmarkLine(std::size_t i);
    void MarkLineRegister(std::size_t i);
    void UnmarkLineRegister(std::size_t i);
    void UnmarkAllLines();
    void UnmarkAllLineRegisters();
    // Unmarks every configuration line, then every register line, with this identifier.
    void UnmarkById(std::uint16_t id);
    // A FOLLOW connector is red when at least one listed line is marked, else black.
    void DrawFollows();
    // A FOLLOW_NOT connector is red when no listed line is marked, else black.
    void DrawFollowNots();

    static constexpr int kLineWidth = 2;
    static constexpr int kConnectorWidth = 1;

private:
    void Paint(const TLine_& line, Rgb colour);
    // The identifiers of every marked line of both tables.
    std::bitset<65536> MarkedIds() const;

    TModel& model_;
    DiagramSurface& surface_;
};

} // namespace quorvel
