#pragma once
// Worked examples from the data sheets of the sample devices, as click sequences on the
// shipped diagrams. The core, the window and the command line are all checked against them.

#include <string>
#include <utility>
#include <vector>

namespace quorvel::test {

struct SampleScenario {
    const char* Name;
    const char* Device;
    std::vector<std::pair<int, int>> Clicks; // left clicks, in order
    const char* Input;                       // typed into input box 0 (then Enter), or null
    std::vector<std::string> Boxes;          // texts of the shown boxes 0, 1, ...
    std::vector<std::string> Code;           // the Code command's lines
};

inline const std::vector<std::string> kPic18DefaultCode = {
    "OSCCON := (OSCCON and (not 112)) or 48; // IRCF: HFINTOSC / 16, 1 MHz",
    "OSCCON := (OSCCON and (not 3)); // SCS: primary clock chosen by FOSC",
    "OSCCON2 := (OSCCON2 and (not 16)); // MFIOSEL: 500, 250, 31.25 kHz from HFINTOSC",
    "OSCTUNE := (OSCTUNE and (not 128)); // INTSRC: 31 kHz from LFINTOSC",
    "OSCTUNE := (OSCTUNE and (not 64)); // PLLEN: 4x PLL off",
};

inline const std::vector<std::string> kDsPicDefaultCode = {
    "CLKDIV := (CLKDIV and (not 28672)) or 12288; // DOZE: CPU clock = Fcy / 8",
    "CLKDIV := (CLKDIV and (not 2048)); // DOZEN: CPU clock = Fcy",
    "CLKDIV := (CLKDIV and (not 1792)); // FRCDIV: FRC / 1",
    "CLKDIV := (CLKDIV and (not 192)) or 64; // PLLPOST: N2 = 4",
    "CLKDIV := (CLKDIV and (not 31)); // PLLPRE: N1 = 2",
    "PLLFBD := (PLLFBD and (not 511)) or 48; // PLLDIV: M = 50",
};

// The default code with some lines replaced (by their index).
inline std::vector<std::string> WithLines(std::vector<std::string> code,
                                          const std::vector<std::pair<int, std::string>>& lines) {
    for (const auto& [index, line] : lines)
        code[static_cast<std::size_t>(index)] = line;
    return code;
}

inline const std::vector<SampleScenario>& SampleScenarios() {
    static const std::vector<SampleScenario> scenarios = {
        {"Pic18Defaults",
         "PIC18F45K22",
         {},
         nullptr,
         {"4 Mhz", "1 Mhz", "4 Mhz", "4 Mhz", "4 Mhz", "1 Mhz"},
         kPic18DefaultCode},
        {"Pic18Internal64MHz",
         "PIC18F45K22",
         {{189, 158}, {384, 380}, {414, 217}},
         nullptr,
         {"4 Mhz", "16 Mhz", "16 Mhz", "64 Mhz", "64 Mhz", "16 Mhz"},
         WithLines(kPic18DefaultCode,
                   {{0, "OSCCON := (OSCCON and (not 112)) or 112; // IRCF: HFINTOSC, 16 MHz"},
                    {4, "OSCTUNE := (OSCTUNE and (not 64)) or 64; // PLLEN: 4x PLL on"}})},
        {"Pic18Internal32MHz",
         "PIC18F45K22",
         {{189, 158}, {384, 393}, {414, 217}},
         nullptr,
         {"4 Mhz", "8 Mhz", "8 Mhz", "32 Mhz", "32 Mhz", "8 Mhz"},
         WithLines(kPic18DefaultCode,
                   {{0, "OSCCON := (OSCCON and (not 112)) or 96; // IRCF: HFINTOSC / 2, 8 MHz"},
                    {4, "OSCTUNE := (OSCTUNE and (not 64)) or 64; // PLLEN: 4x PLL on"}})},
        {"Pic18Crystal16MHzWithPll",
         "PIC18F45K22",
         {{189, 106}, {414, 159}},
         "16",
         {"16", "1 Mhz", "16 Mhz", "64 Mhz", "64 Mhz", "16 Mhz"},
         kPic18DefaultCode},
        {"Pic18Crystal8MHz",
         "PIC18F45K22",
         {{189, 106}},
         "8",
         {"8", "1 Mhz", "8 Mhz", "8 Mhz", "8 Mhz", "2 Mhz"},
         kPic18DefaultCode},
        {"Pic18Internal31kHz",
         "PIC18F45K22",
         {{628, 152}, {384, 471}},
         nullptr,
         {"4 Mhz", "0.031 Mhz", "4 Mhz", "4 Mhz", "0.031 Mhz", "0.008 Mhz"},
         WithLines(
             kPic18DefaultCode,
             {{0, "OSCCON := (OSCCON and (not 112)); // IRCF: 31.25 kHz"},
              {1, "OSCCON := (OSCCON and (not 3)) or 2; // SCS: internal oscillator block"}})},

        {"DsPicDefaults",
         "dsPIC33FJ128GP802",
         {},
         nullptr,
         {"4 Mhz", "7.37 Mhz", "0 Mhz", "0 Mhz", "0 Mhz", "0 Mhz", "7.37 Mhz", "3.685 Mhz",
          "3.685 Mhz"},
         kDsPicDefaultCode},
        {"DsPicCrystal8MHzTo80MHz",
         "dsPIC33FJ128GP802",
         {{588, 370}, {29, 191}, {516, 119}, {614, 250}},
         "8",
         {"8", "7.37 Mhz", "8 Mhz", "4 Mhz", "160 Mhz", "80 Mhz", "80 Mhz", "40 Mhz", "40 Mhz"},
         WithLines(kDsPicDefaultCode,
                   {{3, "CLKDIV := (CLKDIV and (not 192)); // PLLPOST: N2 = 2"},
                    {5, "PLLFBD := (PLLFBD and (not 511)) or 38; // PLLDIV: M = 40"}})},
        {"DsPicFrcWithPll",
         "dsPIC33FJ128GP802",
         {{588, 394}, {516, 158}, {614, 250}},
         nullptr,
         {"4 Mhz", "7.37 Mhz", "7.37 Mhz", "3.685 Mhz", "158.455 Mhz", "79.228 Mhz", "79.228 Mhz",
          "39.614 Mhz", "39.614 Mhz"},
         WithLines(kDsPicDefaultCode,
                   {{3, "CLKDIV := (CLKDIV and (not 192)); // PLLPOST: N2 = 2"},
                    {5, "PLLFBD := (PLLFBD and (not 511)) or 41; // PLLDIV: M = 43"}})},
        {"DsPicCrystal10MHz",
         "dsPIC33FJ128GP802",
         {{588, 370}, {29, 204}, {474, 158}, {614, 250}},
         "10",
         {"10", "7.37 Mhz", "10 Mhz", "5 Mhz", "160 Mhz", "80 Mhz", "80 Mhz", "40 Mhz", "40 Mhz"},
         WithLines(kDsPicDefaultCode,
                   {{3, "CLKDIV := (CLKDIV and (not 192)); // PLLPOST: N2 = 2"},
                    {5, "PLLFBD := (PLLFBD and (not 511)) or 30; // PLLDIV: M = 32"}})},
        {"DsPicDoze",
         "dsPIC33FJ128GP802",
         {{588, 394}, {516, 158}, {614, 250}, {444, 751}, {444, 666}},
         nullptr,
         {"4 Mhz", "7.37 Mhz", "7.37 Mhz", "3.685 Mhz", "158.455 Mhz", "79.228 Mhz", "79.228 Mhz",
          "39.614 Mhz", "9.903 Mhz"},
         WithLines(kDsPicDefaultCode,
                   {{0, "CLKDIV := (CLKDIV and (not 28672)) or 8192; // DOZE: CPU clock = Fcy / 4"},
                    {1, "CLKDIV := (CLKDIV and (not 2048)) or 2048; // DOZEN: CPU clock = Fcy / "
                        "DOZE"},
                    {3, "CLKDIV := (CLKDIV and (not 192)); // PLLPOST: N2 = 2"},
                    {5, "PLLFBD := (PLLFBD and (not 511)) or 41; // PLLDIV: M = 43"}})},

        {"Pic32Defaults",
         "PIC32MX795F512L",
         {},
         nullptr,
         {"4 Mhz", "8 Mhz", "0 Mhz", "0 Mhz", "0 Mhz", "0 Mhz", "4 Mhz", "0.5 Mhz", "0 Mhz",
          "0 Mhz"},
         {"OSCCON := (OSCCON and (not 117440512)) or 16777216; // FRCDIV: FRC / 2"}},
        {"Pic32Crystal8MHzTo80MHz",
         "PIC32MX795F512L",
         {{588, 370}, {29, 204}, {239, 103}, {525, 103}, {614, 250}},
         "8",
         {"8", "8 Mhz", "8 Mhz", "4 Mhz", "80 Mhz", "80 Mhz", "80 Mhz", "10 Mhz", "0.667 Mhz",
          "8 Mhz"},
         {"OSCCON := (OSCCON and (not 117440512)) or 16777216; // FRCDIV: FRC / 2"}},
        {"Pic32FullSpeedBusAndUsb",
         "PIC32MX795F512L",
         {{588, 370},
          {29, 204},
          {239, 103},
          {525, 103},
          {614, 250},
          {574, 615},
          {39, 623},
          {294, 684}},
         "8",
         {"8", "8 Mhz", "8 Mhz", "4 Mhz", "80 Mhz", "80 Mhz", "80 Mhz", "80 Mhz", "4 Mhz",
          "48 Mhz"},
         {"OSCCON := (OSCCON and (not 117440512)) or 16777216; // FRCDIV: FRC / 2"}},
        {"Pic32FrcWithPll",
         "PIC32MX795F512L",
         {{588, 394}, {239, 103}, {525, 103}, {614, 250}, {574, 628}},
         nullptr,
         {"4 Mhz", "8 Mhz", "8 Mhz", "4 Mhz", "80 Mhz", "80 Mhz", "80 Mhz", "40 Mhz", "0 Mhz",
          "0 Mhz"},
         {"OSCCON := (OSCCON and (not 117440512)) or 16777216; // FRCDIV: FRC / 2"}},
        {"Pic32Crystal60MHz",
         "PIC32MX795F512L",
         {{588, 370}, {29, 204}, {239, 103}, {454, 90}, {614, 250}},
         "8",
         {"8", "8 Mhz", "8 Mhz", "4 Mhz", "60 Mhz", "60 Mhz", "60 Mhz", "7.5 Mhz", "0.667 Mhz",
          "8 Mhz"},
         {"OSCCON := (OSCCON and (not 117440512)) or 16777216; // FRCDIV: FRC / 2"}},
        {"Pic32FrcDividedByOne",
         "PIC32MX795F512L",
         {{219, 516}},
         nullptr,
         {"4 Mhz", "8 Mhz", "0 Mhz", "0 Mhz", "0 Mhz", "0 Mhz", "8 Mhz", "1 Mhz", "0 Mhz", "0 Mhz"},
         {"OSCCON := (OSCCON and (not 117440512)); // FRCDIV: FRC / 1"}},
    };
    return scenarios;
}

} // namespace quorvel::test
