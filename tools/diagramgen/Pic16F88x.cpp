// Clock diagram of the PIC16F882/883/884/886/887 devices.
//
// Signal path: FOSC chooses the external oscillator mode or the internal oscillator (INTOSC,
// INTOSCIO); the internal block divides the 8 MHz HFINTOSC by the IRCF postscaler or runs
// from the 31 kHz LFINTOSC. SCS switches the system clock to the internal block whatever
// FOSC says. There is no PLL; one instruction takes four clocks.

#include "Blocks.h"
#include "Diagrams.h"

#include <string>

namespace quorvel::diagramgen {

namespace {

// The formulas see 1 for the two internal modes, 0 for the external ones.
std::vector<Option> FoscOptions() {
    return {
        {"LP", 0x0, 0, "FOSC: LP crystal"},
        {"XT", 0x1, 0, "FOSC: XT crystal"},
        {"HS", 0x2, 0, "FOSC: HS crystal"},
        {"EC", 0x3, 0, "FOSC: external clock on OSC1"},
        {"INTOSCIO", 0x4, 1, "FOSC: internal oscillator, OSC1 and OSC2 as port pins"},
        {"INTOSC", 0x5, 1, "FOSC: internal oscillator, CLKOUT on OSC2"},
        {"RCIO", 0x6, 0, "FOSC: external RC, OSC2 as port pin"},
        {"RC", 0x7, 0, "FOSC: external RC, CLKOUT on OSC2", true},
    };
}

std::vector<Option> IrcfOptions() {
    return {
        {"111: 8 MHz", 7, 8, "IRCF: HFINTOSC, 8 MHz"},
        {"110: 4 MHz", 6, 4, "IRCF: HFINTOSC / 2, 4 MHz", true},
        {"101: 2 MHz", 5, 2, "IRCF: HFINTOSC / 4, 2 MHz"},
        {"100: 1 MHz", 4, 1, "IRCF: HFINTOSC / 8, 1 MHz"},
        {"011: 500 kHz", 3, 0.5, "IRCF: HFINTOSC / 16, 500 kHz"},
        {"010: 250 kHz", 2, 0.25, "IRCF: HFINTOSC / 32, 250 kHz"},
        {"001: 125 kHz", 1, 0.125, "IRCF: HFINTOSC / 64, 125 kHz"},
        {"000: 31 kHz", 0, 0.031, "IRCF: LFINTOSC, 31 kHz"},
    };
}

} // namespace

Diagram Pic16F88xDiagram() {
    Builder b("PIC16F88x",
              "Clock system of the PIC16F882, PIC16F883, PIC16F884, PIC16F886 and "
              "PIC16F887 devices",
              740, 760);
    b.Label(10, 6, "PIC16F882/883/884/886/887 clock system", true, 14);

    b.Block(15, 45, 120, 40, {"External osc.", "OSC1 / OSC2"}, kSourceFill);
    b.Text(10, 92, 66, 22, "Crystal/EC", Align::Right);

    const std::vector<Option> fosc = FoscOptions();
    const Selector foscBlock =
        AddSelector(b, 175, 40, 230, {"FOSC<2:0> oscillator", "(CONFIG1)"}, "FOSC", fosc, 2);
    std::vector<int> external, internal;
    for (std::size_t i = 0; i < fosc.size(); ++i)
        (fosc[i].calcValue == 1 ? internal : external).push_back(foscBlock.ids[i]);
    FollowPath(b, {{136, 65}, {172, 65}}, external);
    b.Arrow(174, 65, Direction::Right);

    // System clock select: the clock FOSC chooses, or the internal block.
    const int pathY = foscBlock.out.y;
    const Mux scs = AddMux(
        b, 600, pathY - 10, 36, 30, {"SCS", "(OSCCON<0>)"}, "OSCCON<0>",
        {{"0", 0, 0, "SCS: clock chosen by FOSC", true}, {"1", 1, 1, "SCS: internal oscillator"}});
    b.Wire(foscBlock.out.x, pathY, scs.inputs[0].x, pathY);

    // Internal oscillator block.
    b.Frame(12, 250, 533, 260);
    b.Label(18, 253, "Internal oscillator block", true);
    b.Block(25, 280, 130, 40, {"HFINTOSC", "8 MHz"}, kSourceFill);
    b.Block(25, 420, 130, 40, {"LFINTOSC", "31 kHz"}, kSourceFill);
    ArrowWire(b, {155, 300}, {369, 300});
    b.Path({{155, 440}, {330, 440}, {330, 400}});
    ArrowWire(b, {330, 400}, {369, 400});
    const Selector ircf = AddSelector(b, 370, 270, 170, {"IRCF<2:0> frequency", "(OSCCON<6:4>)"},
                                      "OSCCON<6:4>", IrcfOptions());
    b.Path({{ircf.out.x, ircf.out.y}, {570, ircf.out.y}, {570, scs.inputs[1].y}, scs.inputs[1]});
    FollowPath(b, {{560, ircf.out.y - 1}, {560, 230}, {160, 230}, {160, 110}, {172, 110}},
               internal);
    b.Arrow(174, 110, Direction::Right);

    // Other clock options.
    AddSelector(b, 15, 540, 200, {"FCMEN (CONFIG1)", "fail-safe clock monitor"}, "FCMEN",
                {{"ON", 0x800, 1, "FCMEN: fail-safe clock monitor on", true},
                 {"OFF", 0x000, 0, "FCMEN: fail-safe clock monitor off"}});
    AddSelector(b, 230, 540, 200, {"IESO (CONFIG1)", "two-speed start-up"}, "IESO",
                {{"ON", 0x400, 1, "IESO: internal/external switchover on", true},
                 {"OFF", 0x000, 0, "IESO: internal/external switchover off"}});

    // Frequencies, in calculation order, each from the sources.
    const std::string fint = "OSCCON<6:4>";
    const std::string fsys = "ifthen(OSCCON<0>, " + fint + ", ifthen(FOSC, " + fint + ", E0))";
    b.Box(80, 92, "", "Fosc1");
    b.Box(548, 330, fint, "INTOSC");
    b.Text(548, 353, 60, 14, "INTOSC");
    const int outY = scs.out.y;
    ArrowWire(b, scs.out, {679, outY});
    const int foscBox = b.Box(680, outY - 11, fsys, "Fosc");
    b.Text(680, outY - 27, 50, 14, "Fosc", Align::Center, true);
    b.Wire(705, outY + 12, 705, outY + 22);
    b.Block(680, outY + 22, 50, 22, {"/ 4"}, kSelectorFill);
    ArrowWire(b, {705, outY + 44}, {705, outY + 55});
    const int fcyBox = b.Box(680, outY + 56, "sum(" + fsys + ") / 4", "Fcy");
    b.Text(680, outY + 80, 50, 14, "Fcy", Align::Center, true);

    // Data-sheet limits: DC to 20 MHz, one instruction in 200 ns at the fastest.
    b.Range(foscBox, "", "20", "Fosc at most 20 MHz");
    b.Range(fcyBox, "", "5", "Fcy at most 5 MIPS");

    AddLegend(b, 700);
    return b.Result();
}

} // namespace quorvel::diagramgen
