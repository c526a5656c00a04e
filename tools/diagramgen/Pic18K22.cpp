// Clock diagram of the PIC18F2xK22 / PIC18F4xK22 devices.
//
// Signal path: the primary clock (external oscillator in the mode FOSC chooses, or the
// internal oscillator block for INTIO67 / INTIO7) runs through the 4x PLL when PLLCFG or
// PLLEN enables it and the source can use it (HS and EC modes, or the internal block at 8 or
// 16 MHz); SCS then chooses between that primary clock, the secondary oscillator and the
// internal block. One instruction takes four clocks.

#include "Blocks.h"
#include "Diagrams.h"

#include <string>

namespace quorvel::diagramgen {

namespace {

// What FOSC means to the formulas: where the primary clock comes from.
constexpr double kInternal = 0;  // internal oscillator block
constexpr double kPllSource = 1; // HS or EC: the 4x PLL can use it
constexpr double kOther = 2;     // LP, XT, RC: no PLL

std::vector<Option> FoscOptions() {
    return {
        {"LP", 0x00, kOther, "FOSC: LP crystal"},
        {"XT", 0x01, kOther, "FOSC: XT crystal"},
        {"HSMP", 0x03, kPllSource, "FOSC: HS crystal, medium power, 4 to 16 MHz"},
        {"HSHP", 0x02, kPllSource, "FOSC: HS crystal, high power, above 16 MHz"},
        {"RC", 0x06, kOther, "FOSC: external RC, CLKOUT on OSC2"},
        {"RCIO6", 0x07, kOther, "FOSC: external RC, RA6 as port pin"},
        {"INTIO67", 0x08, kInternal, "FOSC: internal oscillator block, RA6 and RA7 as port pins"},
        {"ECLP", 0x0C, kPllSource, "FOSC: external clock below 500 kHz, CLKOUT on OSC2"},
        {"ECLPIO6", 0x0D, kPllSource, "FOSC: external clock below 500 kHz, RA6 as port pin"},
        {"ECMP", 0x0A, kPllSource, "FOSC: external clock 500 kHz to 16 MHz, CLKOUT on OSC2"},
        {"ECMPIO6", 0x0B, kPllSource, "FOSC: external clock 500 kHz to 16 MHz, RA6 as port pin"},
        {"ECHP", 0x04, kPllSource, "FOSC: external clock above 16 MHz, CLKOUT on OSC2"},
        {"ECHPIO6", 0x05, kPllSource, "FOSC: external clock above 16 MHz, RA6 as port pin", true},
        {"INTIO7", 0x09, kInternal, "FOSC: internal oscillator block, CLKOUT on RA6"},
    };
}

std::vector<Option> IrcfOptions() {
    return {
        {"111: 16 MHz", 7, 16, "IRCF: HFINTOSC, 16 MHz"},
        {"110: 8 MHz", 6, 8, "IRCF: HFINTOSC / 2, 8 MHz"},
        {"101: 4 MHz", 5, 4, "IRCF: HFINTOSC / 4, 4 MHz"},
        {"100: 2 MHz", 4, 2, "IRCF: HFINTOSC / 8, 2 MHz"},
        {"011: 1 MHz", 3, 1, "IRCF: HFINTOSC / 16, 1 MHz", true},
        {"010: 500 kHz", 2, 0.5, "IRCF: 500 kHz"},
        {"001: 250 kHz", 1, 0.25, "IRCF: 250 kHz"},
        {"000: 31.25 kHz", 0, 0.03125, "IRCF: 31.25 kHz"},
    };
}

} // namespace

Diagram Pic18K22Diagram() {
    Builder b("PIC18FxxK22", "Clock system of the PIC18F2xK22 and PIC18F4xK22 devices", 740, 860);
    b.Label(10, 6, "PIC18F2xK22 / PIC18F4xK22 clock system", true, 14);

    // Primary oscillator and its enable.
    b.Block(15, 45, 120, 40, {"Primary osc.", "OSC1 / OSC2"}, kSourceFill);
    b.Text(10, 92, 66, 22, "Crystal/EC", Align::Right);
    AddSelector(
        b, 15, 125, 130, {"PRICLKEN", "(CONFIG1H)"}, "PRICLKEN",
        {{"ON: always on", 0x20, 1, "PRICLKEN: primary clock always enabled", true},
         {"OFF: software", 0x00, 0, "PRICLKEN: primary clock can be disabled by software"}});

    // Oscillator mode: the primary clock comes from the external pins or the internal block.
    const std::vector<Option> fosc = FoscOptions();
    const Selector foscBlock =
        AddSelector(b, 175, 40, 210, {"FOSC<3:0> oscillator mode", "(CONFIG1H)"}, "FOSC", fosc, 2);
    std::vector<int> external;
    std::vector<int> internal;
    for (std::size_t i = 0; i < fosc.size(); ++i)
        (fosc[i].calcValue == kInternal ? internal : external).push_back(foscBlock.ids[i]);
    FollowPath(b, {{136, 65}, {172, 65}}, external);
    b.Arrow(174, 65, Direction::Right);

    // 4x PLL or direct.
    const int pathY = foscBlock.out.y;
    const Selector pllcfg =
        AddSelector(b, 400, 120, 150, {"PLLCFG (CONFIG1H)"}, "PLLCFG",
                    {{"OFF: direct", 0x00, 0, "PLLCFG: oscillator used directly", true},
                     {"ON: 4x PLL", 0x10, 1, "PLLCFG: 4x PLL always on"}});
    const Selector pllen = AddSelector(
        b, 400, 178, 150, {"PLLEN (OSCTUNE<6>)"}, "OSCTUNE<6>",
        {{"0: off", 0, 0, "PLLEN: 4x PLL off", true}, {"1: 4x PLL", 1, 1, "PLLEN: 4x PLL on"}});
    b.Text(400, 232, 180, 12, "The 4x PLL takes HS, EC, or INTOSC", Align::Left, false, 9);
    b.Text(400, 244, 180, 12, "at 8 or 16 MHz; input 4 to 16 MHz", Align::Left, false, 9);

    // System clock select: primary clock, secondary oscillator or internal block.
    const Mux scs = AddMux(b, 640, pathY - 10, 36, 24, {"SCS<1:0>", "(OSCCON<1:0>)"}, "OSCCON<1:0>",
                           {{"00", 0, 0, "SCS: primary clock chosen by FOSC", true},
                            {"01", 1, 1, "SCS: secondary oscillator"},
                            {"1x", 2, 2, "SCS: internal oscillator block"}});
    b.Wire(548, pathY, scs.inputs[0].x, pathY);
    b.Block(455, 262, 110, 36, {"SOSC", "32.768 kHz"}, kSourceFill);
    b.Path({{565, 280}, {590, 280}, {590, scs.inputs[1].y}, scs.inputs[1]});

    // Internal oscillator block.
    b.Frame(12, 322, 533, 300);
    b.Label(18, 325, "Internal oscillator block", true);
    b.Block(25, 345, 130, 40, {"HFINTOSC", "16 MHz"}, kSourceFill);
    AddSelector(b, 25, 392, 130, {"HFOFST", "(CONFIG3H)"}, "HFOFST",
                {{"ON: fast start", 0x08, 1, "HFOFST: HFINTOSC starts without delay", true},
                 {"OFF: wait stable", 0x00, 0, "HFOFST: HFINTOSC waits until stable"}});
    b.Block(25, 470, 130, 40, {"MFINTOSC", "500 kHz"}, kSourceFill);
    b.Block(25, 550, 130, 40, {"LFINTOSC", "31 kHz"}, kSourceFill);
    ArrowWire(b, {155, 365}, {369, 365});
    const Selector mfiosel =
        AddSelector(b, 185, 465, 160, {"MFIOSEL (OSCCON2<4>)"}, "OSCCON2<4>",
                    {{"0: from HFINTOSC", 0, 0, "MFIOSEL: 500, 250, 31.25 kHz from HFINTOSC", true},
                     {"1: from MFINTOSC", 1, 1, "MFIOSEL: 500, 250, 31.25 kHz from MFINTOSC"}});
    ArrowWire(b, {155, 490}, {184, 490});
    b.Path({{mfiosel.out.x, 490}, {358, 490}, {358, 440}});
    ArrowWire(b, {358, 440}, {369, 440});
    const Selector intsrc =
        AddSelector(b, 185, 545, 160, {"INTSRC (OSCTUNE<7>)"}, "OSCTUNE<7>",
                    {{"0: LFINTOSC", 0, 0, "INTSRC: 31 kHz from LFINTOSC", true},
                     {"1: HF/MF INTOSC", 1, 1, "INTSRC: 31.25 kHz divided from HFINTOSC"}});
    ArrowWire(b, {155, 570}, {184, 570});
    b.Path({{intsrc.out.x, 570}, {364, 570}, {364, 462}});
    ArrowWire(b, {364, 462}, {369, 462});
    const Selector ircf = AddSelector(b, 370, 340, 170, {"IRCF<2:0> frequency", "(OSCCON<6:4>)"},
                                      "OSCCON<6:4>", IrcfOptions());
    b.Wire(ircf.out.x, ircf.out.y, 600, ircf.out.y);
    b.Path({{600, ircf.out.y}, {600, scs.inputs[2].y}, scs.inputs[2]});
    std::vector<int> other;     // LP, XT, RC: never through the PLL
    std::vector<int> pllSource; // HS, EC
    for (std::size_t i = 0; i < fosc.size(); ++i)
        if (fosc[i].calcValue == kOther)
            other.push_back(foscBlock.ids[i]);
        else if (fosc[i].calcValue == kPllSource)
            pllSource.push_back(foscBlock.ids[i]);
    const std::vector<int> ircfHigh = {ircf.ids[0], ircf.ids[1]}; // 16 and 8 MHz
    const std::vector<int> ircfLow(ircf.ids.begin() + 2, ircf.ids.end());
    // The PLL engages with PLLCFG or PLLEN on, and HS/EC or the internal block at 8 or
    // 16 MHz; otherwise the clock goes direct.
    b.Wire(foscBlock.out.x, pathY, 446, pathY);
    BypassableBlock(b, 446, 548, pathY, 470, 55, 56, 30, {"4x PLL"},
                    {{Join({{pllcfg.ids[0]}, other, internal}), true},
                     {Join({{pllen.ids[0]}, other, internal}), true},
                     {Join({{pllcfg.ids[0]}, other, pllSource, ircfLow}), true},
                     {Join({{pllen.ids[0]}, other, pllSource, ircfLow}), true}},
                    {{{pllcfg.ids[1], pllen.ids[1]}, true},
                     {other},
                     {Join({pllSource, other, ircfHigh}), true}});
    FollowPath(b, {{560, ircf.out.y - 1}, {560, 300}, {160, 300}, {160, 150}, {172, 150}},
               internal);
    b.Arrow(174, 150, Direction::Right);

    // Other clock options.
    AddSelector(b, 15, 650, 200, {"FCMEN (CONFIG1H)", "fail-safe clock monitor"}, "FCMEN",
                {{"OFF", 0x00, 0, "FCMEN: fail-safe clock monitor off", true},
                 {"ON", 0x40, 1, "FCMEN: fail-safe clock monitor on"}});
    AddSelector(b, 230, 650, 200, {"IESO (CONFIG1H)", "two-speed start-up"}, "IESO",
                {{"OFF", 0x00, 0, "IESO: oscillator switchover off", true},
                 {"ON", 0x80, 1, "IESO: oscillator switchover on"}});

    // Frequencies, in calculation order. Every formula starts from the sources: a box's
    // value read back by a later formula is its rounded text.
    const std::string intosc = "OSCCON<6:4>";
    const std::string fpri = "ifthen(FOSC = 0, " + intosc + ", E0)";
    const std::string fpll = "sum(" + fpri +
                             ") * ifthen((PLLCFG | OSCTUNE<6>) & ifthen(FOSC = 0, " + intosc +
                             " > 7, FOSC = 1), 4, 1)";
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

    // Data-sheet limits. The 4x PLL is asked for by PLLCFG or PLLEN and is in the path while
    // SCS chooses the primary clock; it engages only for HS and EC sources and for the
    // internal oscillator at 8 or 16 MHz, and takes 4 to 16 MHz from an HS or EC source.
    const std::string pllAsked = "(PLLCFG | OSCTUNE<6>) & (OSCCON<1:0> = 0)";
    b.Range(fpriBox, "4", "16", "PLL input range 4 to 16 MHz", pllAsked + " & (FOSC = 1)");
    b.Check(fpllBox, "ifthen(" + pllAsked + ", ifthen(FOSC = 0, E1 > 7, FOSC = 1), 1)",
            "the 4x PLL engages only for HS or EC, or the internal oscillator at 8 or 16 MHz");
    b.Range(foscBox, "", "64", "Fosc at most 64 MHz");
    b.Range(fcyBox, "", "16", "Fcy at most 16 MIPS");

    AddLegend(b, 800);
    return b.Result();
}

} // namespace quorvel::diagramgen
