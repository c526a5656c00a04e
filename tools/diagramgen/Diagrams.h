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

// PIC18F2xK20 / PIC18F4xK20: HSPLL, internal block with the 4x PLL at 8 or 16 MHz.
Diagram Pic18K20Diagram();
// PIC16F882/883/884/886/887: oscillator modes, 8 MHz internal block with postscaler.
Diagram Pic16F88xDiagram();
// PIC16F193x and PIC16F182x/1847: 32 MHz internal clock through the 4x PLL.
Diagram Pic16F193xDiagram();
Diagram Pic16F182xDiagram();

std::vector<Diagram> AllDiagrams();

} // namespace quorvel::diagramgen
