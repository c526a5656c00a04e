// Clock diagrams of the enhanced mid-range PIC16F1 devices with the 32 MHz internal clock:
// PIC16F193x and PIC16F182x/1847 share the oscillator module and its registers.
//
// Signal path: FOSC chooses the external oscillator mode or the internal oscillator block
// (INTOSC); the 4x PLL, switched on by PLLEN in CONFIG2 or by SPLLEN, multiplies an external
// clock, or the internal block at 8 MHz (IRCF = 1110, 32 MHz). SCS then chooses between that
// clock, the Timer1 oscillator and the internal block. One instruction takes four clocks.

#include "Blocks.h"
#include "Diagrams.h"

#include <string>

namespace quorvel::diagramgen {

namespace {

// The formulas see the setting value of FOSC: 4 is INTOSC, 0 LP and 3 EXTRC.
std::vector<Option> FoscOptions() {
    return {
        {"LP", 0x0, 0, "FOSC: LP crystal"},
        {"XT", 0x1, 1, "FOSC: XT crystal"},
        {"HS", 0x2, 2, "FOSC: HS crystal"},
        {"EXTRC", 0x3, 3, "FOSC: external RC on CLKIN"},
        {"INTOSC", 0x4, 4, "FOSC: internal oscillator block, CLKIN as port pin"},
        {"ECL", 0x5, 5, "FOSC: external clock, low power, up to 0.5 MHz"},
        {"ECM", 0x6, 6, "FOSC: external clock, medium power, 0.5 to 4 MHz"},
        {"ECH", 0x7, 7, "FOSC: external clock, high power, 4 to 32 MHz", true},
    };
}

// IRCF<3:0>: the value for the formulas is the frequency in MHz; 8 MHz comes only from 1110.
std::vector<Option> IrcfOptions() {
    return {
        {"1111: 16 MHz", 15, 16, "IRCF: HFINTOSC, 16 MHz"},
        {"1110: 8 MHz", 14, 8, "IRCF: HFINTOSC / 2, 8 MHz (32 MHz with the 4x PLL)"},
        {"1101: 4 MHz", 13, 4, "IRCF: HFINTOSC / 4, 4 MHz"},
        {"1100: 2 MHz", 12, 2, "IRCF: HFINTOSC / 8, 2 MHz"},
        {"1011: 1 MHz", 11, 1, "IRCF: HFINTOSC / 16, 1 MHz"},
        {"1010: 500 kHz HF", 10, 0.5, "IRCF: HFINTOSC / 32, 500 kHz"},
        {"1001: 250 kHz HF", 9, 0.25, "IRCF: HFINTOSC / 64, 250 kHz"},
        {"1000: 125 kHz HF", 8, 0.125, "IRCF: HFINTOSC / 128, 125 kHz"},
        {"0111: 500 kHz MF", 7, 0.5, "IRCF: MFINTOSC, 500 kHz", true},
        {"0110: 250 kHz MF", 6, 0.25, "IRCF: MFINTOSC / 2, 250 kHz"},
        {"0101: 125 kHz MF", 5, 0.125, "IRCF: MFINTOSC / 4, 125 kHz"},
        {"0100: 62.5 kHz MF", 4, 0.0625, "IRCF: MFINTOSC / 8, 62.5 kHz"},
        {"0011: 31.25 kHz HF", 3, 0.03125, "IRCF: HFINTOSC / 512, 31.25 kHz"},
        {"0010: 31.25 kHz MF", 2, 0.03125, "IRCF: MFINTOSC / 16, 31.25 kHz"},
        {"000x: 31 kHz LF", 0, 0.031, "IRCF: LFINTOSC, 31 kHz"},
    };
}

Diagram Pic16F1Diagram(const std::string& name, const std::string& devices) {
    Builder b(name, "Clock system of the " + devices + " devices", 740, 860);
    b.Label(10, 6, devices + " clock system", true, 14);

    b.Block(15, 45, 120, 40, {"External osc.", "OSC1 / OSC2"}, kSourceFill);
    b.Text(10, 92, 66, 22, "Crystal/EC", Align::Right);

    const std::vector<Option> fosc = FoscOptions();
    const Selector foscBlock =
        AddSelector(b, 175, 40, 210, {"FOSC<2:0> oscillator", "(CONFIG1)"}, "FOSC", fosc, 2);
    std::vector<int> external, noPll; // noPll: LP and EXTRC
    int intosc = 0;
    for (std::size_t i = 0; i < fosc.size(); ++i) {
        if (fosc[i].value == 4) {
            intosc = foscBlock.ids[i];
            continue;
        }
        external.push_back(foscBlock.ids[i]);
        if (fosc[i].value == 0 || fosc[i].value == 3)
            noPll.push_back(foscBlock.ids[i]);
    }
    FollowPath(b, {{136, 65}, {172, 65}}, external);
    b.Arrow(174, 65, Direction::Right);

    const int pathY = foscBlock.out.y;
    const Selector pllen =
        AddSelector(b, 400, 120, 150, {"PLLEN (CONFIG2)"}, "PLLEN",
                    {{"ON: 4x PLL on", 0x100, 1, "PLLEN: 4x PLL always on", true},
                     {"OFF: by SPLLEN", 0x000, 0, "PLLEN: 4x PLL under SPLLEN"}});
    const Selector spllen = AddSelector(
        b, 400, 178, 150, {"SPLLEN (OSCCON<7>)"}, "OSCCON<7>",
        {{"0: off", 0, 0, "SPLLEN: 4x PLL off", true}, {"1: 4x PLL", 1, 1, "SPLLEN: 4x PLL on"}});
    b.Text(400, 232, 190, 12, "The 4x PLL takes XT, HS, EC, or", Align::Left, false, 9);
    b.Text(400, 244, 190, 12, "INTOSC at 8 MHz; input 4 to 8 MHz", Align::Left, false, 9);

    const Mux scs = AddMux(b, 640, pathY - 10, 36, 24, {"SCS<1:0>", "(OSCCON<1:0>)"}, "OSCCON<1:0>",
                           {{"00", 0, 0, "SCS: clock chosen by FOSC", true},
                            {"01", 1, 1, "SCS: Timer1 oscillator"},
                            {"1x", 2, 2, "SCS: internal oscillator block"}});
    b.Wire(548, pathY, scs.inputs[0].x, pathY);
    b.Block(455, 262, 110, 36, {"T1OSC", "32.768 kHz"}, kSourceFill);
    b.Path({{565, 280}, {590, 280}, {590, scs.inputs[1].y}, scs.inputs[1]});

    // Internal oscillator block.
    b.Frame(12, 322, 533, 300);
    b.Label(18, 325, "Internal oscillator block", true);
    b.Block(25, 350, 130, 40, {"HFINTOSC", "16 MHz"}, kSourceFill);
    b.Block(25, 430, 130, 40, {"MFINTOSC", "500 kHz"}, kSourceFill);
    b.Block(25, 510, 130, 40, {"LFINTOSC", "31 kHz"}, kSourceFill);
    ArrowWire(b, {155, 370}, {239, 370});
    ArrowWire(b, {155, 450}, {239, 450});
    b.Path({{155, 530}, {200, 530}, {200, 470}});
    ArrowWire(b, {200, 470}, {239, 470});
    const std::vector<Option> ircfOptions = IrcfOptions();
    const Selector ircf = AddSelector(b, 240, 340, 300, {"IRCF<3:0> frequency", "(OSCCON<6:3>)"},
                                      "OSCCON<6:3>", ircfOptions, 2);
    b.Wire(ircf.out.x, ircf.out.y, 600, ircf.out.y);
    b.Path({{600, ircf.out.y}, {600, scs.inputs[2].y}, scs.inputs[2]});
    FollowPath(b, {{560, ircf.out.y - 1}, {560, 300}, {160, 300}, {160, 110}, {172, 110}},
               {intosc});
    b.Arrow(174, 110, Direction::Right);

    // 4x PLL or direct.
    std::vector<int> notEight; // every IRCF choice but 1110
    int eight = 0;
    for (std::size_t i = 0; i < ircfOptions.size(); ++i) {
        if (ircfOptions[i].value == 14)
            eight = ircf.ids[i];
        else
            notEight.push_back(ircf.ids[i]);
    }
    b.Wire(foscBlock.out.x, pathY, 446, pathY);
    BypassableBlock(
        b, 446, 548, pathY, 470, 40, 56, 30, {"4x PLL"},
        {{Join({{pllen.ids[1]}, noPll, {intosc}}), true},
         {Join({{spllen.ids[0]}, noPll, {intosc}}), true},
         {Join({{pllen.ids[1]}, external, notEight}), true},
         {Join({{spllen.ids[0]}, external, notEight}), true}},
        {{{pllen.ids[0], spllen.ids[1]}, true}, {noPll}, {Join({external, {eight}}), true}});

    // Other clock options.
    AddSelector(b, 15, 650, 160, {"CLKOUTEN (CONFIG1)"}, "CLKOUTEN",
                {{"OFF: no CLKOUT", 0x800, 0, "CLKOUTEN: no clock output", true},
                 {"ON: Fosc/4 out", 0x000, 1, "CLKOUTEN: Fosc / 4 on the CLKOUT pin"}});
    AddSelector(b, 190, 650, 170, {"FCMEN (CONFIG1)", "fail-safe clock monitor"}, "FCMEN",
                {{"ON", 0x2000, 1, "FCMEN: fail-safe clock monitor on", true},
                 {"OFF", 0x0000, 0, "FCMEN: fail-safe clock monitor off"}});
    AddSelector(b, 375, 650, 170, {"IESO (CONFIG1)", "two-speed start-up"}, "IESO",
                {{"ON", 0x1000, 1, "IESO: two-speed start-up on", true},
                 {"OFF", 0x0000, 0, "IESO: two-speed start-up off"}});

    // Frequencies, in calculation order, each from the sources (a box's value read back by a
    // later formula is its rounded text).
    const std::string fint = "OSCCON<6:3>";
    const std::string fpri = "ifthen(FOSC = 4, " + fint + ", E0)";
    const std::string fpll = "sum(" + fpri +
                             ") * ifthen(PLLEN | OSCCON<7>, ifthen(FOSC = 4, ifthen(" + fint +
                             " = 8, 4, 1), ifthen(FOSC = 0, 1, ifthen(FOSC = 3, 1, 4))), 1)";
    const std::string fsys =
        "ifthen(OSCCON<1:0> = 0, " + fpll + ", ifthen(OSCCON<1:0> = 1, 0.032768, " + fint + "))";
    b.Box(80, 92, "", "Fosc1");
    b.Box(548, 400, fint, "INTOSC");
    b.Text(548, 423, 60, 14, "INTOSC");
    const int fpriBox = b.Box(392, 55, fpri, "Fpri");
    b.Text(392, 40, 50, 14, "Fpri", Align::Center);
    const int fpllBox = b.Box(552, 55, fpll, "Fpll");
    b.Text(552, 40, 50, 14, "Fpll", Align::Center);
    const int foscBox = b.Box(686, 117, fsys, "Fosc");
    b.Text(686, 100, 50, 14, "Fosc", Align::Center, true);
    b.Wire(711, 140, 711, 150);
    b.Block(686, 150, 50, 22, {"/ 4"}, kSelectorFill);
    ArrowWire(b, {711, 172}, {711, 183});
    const int fcyBox = b.Box(686, 184, "sum(" + fsys + ") / 4", "Fcy");
    b.Text(686, 208, 50, 14, "Fcy", Align::Center, true);

    // Data-sheet limits: the 4x PLL (PLLEN or SPLLEN, SCS on the primary clock) takes 4 to
    // 8 MHz from an external clock or crystal other than LP and RC, and the internal block
    // only at 8 MHz; at most 32 MHz, 8 MIPS.
    const std::string pllAsked = "(PLLEN | OSCCON<7>) & (OSCCON<1:0> = 0)";
    const std::string pllSource = "not((FOSC = 0) | (FOSC = 3) | (FOSC = 4))";
    b.Range(fpriBox, "4", "8", "PLL input range 4 to 8 MHz", pllAsked + " & " + pllSource);
    b.Check(fpllBox,
            "ifthen(" + pllAsked + ", ifthen(FOSC = 4, " + fint + " = 8, " + pllSource + "), 1)",
            "the 4x PLL engages only for an external clock or crystal other than LP and RC, "
            "or the internal oscillator at 8 MHz");
    b.Range(foscBox, "", "32", "Fosc at most 32 MHz");
    b.Range(fcyBox, "", "8", "Fcy at most 8 MIPS");

    AddLegend(b, 800);
    return b.Result();
}

} // namespace

Diagram Pic16F193xDiagram() {
    return Pic16F1Diagram("PIC16F193x", "PIC16F1933/1934/1936/1937/1938/1939");
}

Diagram Pic16F182xDiagram() {
    return Pic16F1Diagram("PIC16F182x", "PIC16F1823/1824/1825/1826/1827/1828/1829/1847");
}

} // namespace quorvel::diagramgen
