#include "Diagrams.h"

namespace quorvel::diagramgen {

std::vector<Diagram> AllDiagrams() {
    return {Pic18K22Diagram(),  DsPic33fGpDiagram(), Pic32Mx7Diagram(),  Pic18K20Diagram(),
            Pic16F88xDiagram(), Pic16F193xDiagram(), Pic16F182xDiagram()};
}

} // namespace quorvel::diagramgen
