#pragma once
// The clock diagrams shipped with the program, one source function each.

#include "Diagram.h"

#include <vector>

namespace quorvel::diagramgen {

// PIC18F2xK22 / PIC18F4xK22: primary oscillator modes, 4x PLL, internal oscillator block.
Diagram Pic18K22Diagram();
// dsPIC33FJ GP X02/X04: FRC, primary oscillator, PLL with N1, M and N2, doze.
Diagram DsPic33fGpDiagram();
// PIC32MX5xx/6xx/7xx: PLL dividers in the configuration words, peripheral bus divider, USB PLL.
Diagram Pic32Mx7Diagram();

std::vector<Diagram> AllDiagrams();

} // namespace quorvel::diagramgen
