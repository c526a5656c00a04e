// Clock diagram of the PIC18F2xK20 / PIC18F4xK20 devices.
//
// Signal path: FOSC chooses the primary clock: an external oscillator, the HS crystal through
// the 4x PLL (HSPLL), or the internal oscillator block (INTIO67, INTIO7). In the internal
// modes PLLEN puts the 4x PLL behind the block when it runs at 8 or 16 MHz. SCS then chooses
// between the primary clock, the Timer1 oscillator and the internal block. One instruction
// takes four clocks.

#include "Blocks.h"
#include "Diagrams.h"

#include <string>

namespace quorvel::diagramgen {

namespace {

// The formulas see the setting value of FOSC: 6 is HSPLL, 8 and 9 the internal block.
std::vector<Option> FoscOptions() {
    return {
        {"LP", 0x00, 0, "FOSC: LP crystal"},
        {"XT", 0x01, 1, "FOSC: XT crystal"},
        {"HS", 0x02, 2, "FOSC: HS crystal"},
        {"HSPLL", 0x06, 6, "FOSC: HS crystal through the 4x PLL"},
        {"RC", 0x03, 3, "FOSC: external RC, CLKOUT on RA6"},
        {"RCIO6", 0x07, 7, "FOSC: external RC, RA6 as port pin", true},
        {"EC", 0x04, 4, "FOSC: external clock, CLKOUT on RA6"},
        {"ECIO6", 0x05, 5, "FOSC: external clock, RA6 as port pin"},
        {"INTIO67", 0x08, 8, "FOSC: internal oscillator block, RA6 and RA7 as port pins"},
        {"INTIO7", 0x09, 9, "FOSC: internal oscillator block, CLKOUT on RA6"},
    };
}

// IRCF 000 gives 31 kHz, from LFINTOSC or divided from HFINTOSC as INTSRC chooses; its
// value for the formulas is 0 and the formula for INTOSC fills in the frequency.
std::vector<Option> IrcfOptions() {
    return {
        {"111: 16 MHz", 7, 16, "IRCF: HFINTOSC, 16 MHz"},
        {"110: 8 MHz", 6, 8, "IRCF: HFINTOSC / 2, 8 MHz"},
        {"101: 4 MHz", 5, 4, "IRCF: HFINTOSC / 4, 4 MHz"},
        {"100: 2 MHz", 4, 2, "IRCF: HFINTOSC / 8, 2 MHz"},
        {"011: 1 MHz", 3, 1, "IRCF: HFINTOSC / 16, 1 MHz", true},
        {"010: 500 kHz", 2, 0.5, "IRCF: HFINTOSC / 32, 500 kHz"},
        {"001: 250 kHz", 1, 0.25, "IRCF: HFINTOSC / 64, 250 kHz"},
        {"000: 31 kHz", 0, 0, "IRCF: 31 kHz"},
    };
}

} // namespace

Diagram Pic18K20Diagram() {
    Builder b("PIC18FxxK20", "Clock system of the PIC18F2xK20 and PIC18F4xK20 devices", 740, 860);
    b.Label(10, 6, "PIC18F2xK20 / PIC18F4xK20 clock system", true, 14);

    // Primary oscillator.
    b.Block(15, 45, 120, 40, {"Primary osc.", "OSC1 / OSC2"}, kSourceFill);
    b.Text(10, 92, 66, 22, "Crystal/EC", Align::Right);

    // Oscillator mode: the primary clock comes from the external pins or the internal block.
    const std::vector<Option> fosc = FoscOptions();
    const Selector foscBlock =
        AddSelector(b, 175, 40, 210, {"FOSC<3:0> oscillator mode", "(CONFIG1H)"}, "FOSC", fosc, 2);
    std::vector<int> external, internal;
    int hspll = 0;
    for (std::size_t i = 0; i < fosc.size(); ++i) {
        (fosc[i].calcValue > 7 ? internal : external).push_back(foscBlock.ids[i]);
        if (fosc[i].calcValue == 6)
            hspll = foscBlock.ids[i];
    }
    FollowPath(b, {{136, 65}, {172, 65}}, external);
    b.Arrow(174, 65, Direction::Right);

    const int pathY = foscBlock.out.y;
    const Selector pllen = AddSelector(
        b, 400, 150, 150, {"PLLEN (OSCTUNE<6>)", "4x PLL for HFINTOSC"}, "OSCTUNE<6>",
        {{"0: off", 0, 0, "PLLEN: 4x PLL off", true}, {"1: 4x PLL", 1, 1, "PLLEN: 4x PLL on"}});
    b.Text(400, 222, 190, 12, "HSPLL: HS crystal of 4 to 16 MHz x 4;", Align::Left, false, 9);
    b.Text(400, 234, 190, 12, "PLLEN: internal block at 8 or 16 MHz", Align::Left, false, 9);

    // System clock select: primary clock, Timer1 oscillator or internal block.
    const Mux scs = AddMux(b, 640, pathY - 10, 36, 24, {"SCS<1:0>", "(OSCCON<1:0>)"}, "OSCCON<1:0>",
                           {{"00", 0, 0, "SCS: primary clock chosen by FOSC", true},
                            {"01", 1, 1, "SCS: Timer1 oscillator"},
                            {"1x", 2, 2, "SCS: internal oscillator block"}});
    b.Wire(548, pathY, scs.inputs[0].x, pathY);
    b.Block(455, 262, 110, 36, {"T1OSC", "32.768 kHz"}, kSourceFill);
    b.Path({{565, 280}, {590, 280}, {590, scs.inputs[1].y}, scs.inputs[1]});

    // Internal oscillator block.
    b.Frame(12, 322, 533, 300);
    b.Label(18, 325, "Internal oscillator block", true);
    b.Block(25, 345, 130, 40, {"HFINTOSC", "16 MHz"}, kSourceFill);
    AddSelector(
        b, 25, 392, 130, {"HFOFST", "(CONFIG3H)"}, "HFOFST",
        {{"ON: fast start", 0x08, 1, "HFOFST: HFINTOSC starts without delay", true},
         {"OFF: wait stable", 0x00, 0, "HFOFST: system clock held until HFINTOSC is stable"}});
    b.Block(25, 550, 130, 40, {"LFINTOSC", "31 kHz"}, kSourceFill);
    ArrowWire(b, {155, 365}, {369, 365});
    const Selector intsrc =
        AddSelector(b, 185, 545, 160, {"INTSRC (OSCTUNE<7>)"}, "OSCTUNE<7>",
                    {{"0: LFINTOSC", 0, 0, "INTSRC: 31 kHz from LFINTOSC", true},
                     {"1: HFINTOSC / 512", 1, 1, "INTSRC: 31.25 kHz divided from HFINTOSC"}});
    ArrowWire(b, {155, 570}, {184, 570});
    b.Path({{intsrc.out.x, 570}, {364, 570}, {364, 462}});
    ArrowWire(b, {364, 462}, {369, 462});
    const Selector ircf = AddSelector(b, 370, 340, 170, {"IRCF<2:0> frequency", "(OSCCON<6:4>)"},
                                      "OSCCON<6:4>", IrcfOptions());
    b.Wire(ircf.out.x, ircf.out.y, 600, ircf.out.y);
    b.Path({{600, ircf.out.y}, {600, scs.inputs[2].y}, scs.inputs[2]});
    FollowPath(b, {{560, ircf.out.y - 1}, {560, 300}, {160, 300}, {160, 150}, {172, 150}},
               internal);
    b.Arrow(174, 150, Direction::Right);

    // 4x PLL or direct: HSPLL, or an internal mode with PLLEN on and the block at 8 or 16 MHz.
    const std::vector<int> ircfHigh = {ircf.ids[0], ircf.ids[1]};
    const std::vector<int> ircfLow(ircf.ids.begin() + 2, ircf.ids.end());
    b.Wire(foscBlock.out.x, pathY, 446, pathY);
    BypassableBlock(b, 446, 548, pathY, 470, 55, 56, 30, {"4x PLL"},
                    {{{hspll}}, {Join({external, {pllen.ids[0]}, ircfLow}), true}},
                    {{Join({{hspll}, internal}), true},
                     {{hspll, pllen.ids[1]}, true},
                     {Join({{hspll}, ircfHigh}), true}});

    // Other clock options.
    AddSelector(b, 15, 650, 200, {"FCMEN (CONFIG1H)", "fail-safe clock monitor"}, "FCMEN",
                {{"OFF", 0x00, 0, "FCMEN: fail-safe clock monitor off", true},
                 {"ON", 0x40, 1, "FCMEN: fail-safe clock monitor on"}});
    AddSelector(b, 230, 650, 200, {"IESO (CONFIG1H)", "two-speed start-up"}, "IESO",
                {{"OFF", 0x00, 0, "IESO: oscillator switchover off", true},
                 {"ON", 0x80, 1, "IESO: oscillator switchover on"}});

    // Frequencies, in calculation order, each from the sources (a box's value read back by a
    // later formula is its rounded text).
    const std::string intosc =
        "ifthen(OSCCON<6:4> = 0, ifthen(OSCTUNE<7>, 0.03125, 0.031), OSCCON<6:4>)";
    const std::string fpri = "ifthen(FOSC > 7, " + intosc + ", E0)";
    const std::string fpll = "sum(" + fpri +
                             ") * ifthen(FOSC = 6, 4, ifthen(FOSC > 7, ifthen(OSCTUNE<6>, "
                             "ifthen(OSCCON<6:4> > 5, 4, 1), 1), 1))";
    const std::string fsys =
        "ifthen(OSCCON<1:0> = 0, " + fpll + ", ifthen(OSCCON<1:0> = 1, 0.032768, " + intosc + "))";
    b.Box(80, 92, "", "Fposc");
    b.Box(548, 420, intosc, "INTOSC");
    b.Text(548, 443, 60, 14, "INTOSC");
    const int fpriBox = b.Box(392, 78, fpri, "Fpri");
    b.Text(392, 62, 50, 14, "Fpri", Align::Center);
    const int fpllBox = b.Box(552, 78, fpll, "Fpll");
    b.Text(552, 62, 50, 14, "Fpll", Align::Center);
    const int foscBox = b.Box(686, 117, fsys, "Fosc");
    b.Text(686, 100, 50, 14, "Fosc", Align::Center, true);
    b.Wire(711, 140, 711, 150);
    b.Block(686, 150, 50, 22, {"/ 4"}, kSelectorFill);
    ArrowWire(b, {711, 172}, {711, 183});
    const int fcyBox = b.Box(686, 184, "sum(" + fsys + ") / 4", "Fcy");
    b.Text(686, 208, 50, 14, "Fcy", Align::Center, true);

    // Data-sheet limits: HSPLL takes a 4 to 16 MHz crystal, PLLEN the internal block at 8 or
    // 16 MHz only, while SCS chooses the primary clock; at most 64 MHz, 16 MIPS.
    b.Range(fpriBox, "4", "16", "PLL input range 4 to 16 MHz", "(FOSC = 6) & (OSCCON<1:0> = 0)");
    b.Check(fpllBox, "ifthen((FOSC > 7) & OSCTUNE<6> & (OSCCON<1:0> = 0), OSCCON<6:4> > 5, 1)",
            "the 4x PLL takes the internal oscillator only at 8 or 16 MHz");
    b.Range(foscBox, "", "64", "Fosc at most 64 MHz");
    b.Range(fcyBox, "", "16", "Fcy at most 16 MIPS");

    AddLegend(b, 800);
    return b.Result();
}

} // namespace quorvel::diagramgen
