#pragma once
// Writes the "_lines.txt" description of a diagram.

#include "Diagram.h"

#include <string>

namespace quorvel::diagramgen {

// The description text: configuration lines grouped by field (the default line of each field
// first, since the program chooses the first line of every name on loading), then register
// lines grouped the same way, the connectors and the value boxes in calculation order.
std::string WriteDescription(const Diagram& diagram);

} // namespace quorvel::diagramgen
