#pragma once
// Drawing the diagram's selection marks from the state: a chosen line is painted red, a line
// not chosen blue (configuration) or lime (register), and each FOLLOW / FOLLOW_NOT connector
// red or black after the marks of the lines it lists.

#include "diagram/Configuration.h"
#include "util/Views.h"

#include <vector>

namespace quorvel {

inline constexpr int kLineWidth = 2;
inline constexpr int kConnectorWidth = 1;

// Paints the segments a step changed, in their order.
void PaintChanges(const Configuration& state, const std::vector<Paint>& paints,
                  DiagramSurface& surface);

// Paints every line in the colour of its mark, then every connector: the whole picture of
// the state over a freshly loaded bitmap.
void PaintWhole(const Configuration& state, DiagramSurface& surface);

// A FOLLOW connector is red when at least one listed line is marked, else black; a
// FOLLOW_NOT connector is red when no listed line is marked, else black.
void PaintConnectors(const Configuration& state, DiagramSurface& surface);

} // namespace quorvel
