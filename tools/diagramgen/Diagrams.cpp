#include "Diagrams.h"

namespace quorvel::diagramgen {

std::vector<Diagram> AllDiagrams() {
    return {Pic18K22Diagram(), DsPic33fGpDiagram(), Pic32Mx7Diagram()};
}

} // namespace quorvel::diagramgen
