// Clock diagram of the dsPIC33FJ GP X02/X04 devices.
//
// Signal path: the PLL takes FRC (FNOSC = FRCPLL) or the primary oscillator (PRIPLL),
// divides it by N1 (PLLPRE), multiplies it by M (PLLDIV) and divides the VCO output by N2
// (PLLPOST). FNOSC chooses the oscillator; one instruction cycle takes two clocks, and DOZE
// can slow the CPU below the peripheral clock.

#include "Blocks.h"
#include "Diagrams.h"

#include <string>

namespace quorvel::diagramgen {

namespace {

std::vector<Option> PllpreOptions() {
    std::vector<Option> options;
    for (int code = 0; code <= 31; ++code) {
        const std::string n1 = std::to_string(code + 2);
        options.push_back({n1, static_cast<std::uint32_t>(code), static_cast<double>(code + 2),
                           "PLLPRE: N1 = " + n1, code == 0});
    }
    return options;
}

// PLLDIV offers M = 2..513; these values reach the usual system clocks from the usual
// crystals and from FRC, with the reference between 0.8 and 8 MHz and the VCO within
// 100..200 MHz.
std::vector<Option> PlldivOptions() {
    const int values[] = {20, 24, 25, 26, 28, 30, 32, 34, 35, 36, 38, 40, 41, 42, 43, 44,
                          45, 46, 48, 50, 52, 54, 56, 58, 60, 62, 64, 68, 70, 72, 76, 80};
    std::vector<Option> options;
    for (int m : values) {
        const std::string text = std::to_string(m);
        options.push_back({text, static_cast<std::uint32_t>(m - 2), static_cast<double>(m),
                           "PLLDIV: M = " + text, m == 50});
    }
    return options;
}

std::vector<Option> DivisorOptions(const std::string& field, const char* what,
                                   const std::vector<int>& divisors, int defaultCode) {
    std::vector<Option> options;
    for (std::size_t code = 0; code < divisors.size(); ++code) {
        std::string bits;
        for (int bit = 2; bit >= 0; --bit)
            bits += ((code >> bit) & 1u) ? '1' : '0';
        const std::string ratio = std::to_string(divisors[code]);
        options.push_back({bits + ": / " + ratio, static_cast<std::uint32_t>(code),
                           static_cast<double>(divisors[code]), field + ": " + what + " / " + ratio,
                           static_cast<int>(code) == defaultCode});
    }
    return options;
}

} // namespace

Diagram DsPic33fGpDiagram() {
    Builder b("dsPIC33FJxxGP", "Clock system of the dsPIC33FJ GP X02 and X04 devices", 740, 880);
    b.Label(10, 6, "dsPIC33FJ GP X02 / X04 clock system", true, 14);

    // Oscillator choice. The inputs are ordered so that wires from the PLL, the primary
    // oscillator and FRC reach them without crossing.
    const Mux fnosc = AddMux(b, 600, 360, 58, 24, {"FNOSC", "(FOSCSEL)"}, "FNOSC",
                             {{"PRIPLL", 3, 3, "FNOSC: primary oscillator with PLL"},
                              {"FRCPLL", 1, 1, "FNOSC: FRC with PLL"},
                              {"PRI", 2, 2, "FNOSC: primary oscillator"},
                              {"FRC", 0, 0, "FNOSC: FRC"},
                              {"FRC/16", 6, 6, "FNOSC: FRC divided by 16"},
                              {"FRCDIVN", 7, 7, "FNOSC: FRC divided by FRCDIV", true},
                              {"SOSC", 4, 4, "FNOSC: secondary oscillator"},
                              {"LPRC", 5, 5, "FNOSC: low-power RC"}});
    const int priPll = fnosc.ids[0];
    const int frcPll = fnosc.ids[1];

    // Primary oscillator.
    b.Block(15, 45, 120, 40, {"Primary osc.", "OSC1 / OSC2"}, kSourceFill);
    b.Text(10, 92, 66, 22, "Crystal/EC", Align::Right);
    AddSelector(b, 15, 125, 130, {"POSCMD", "(FOSC)"}, "POSCMD",
                {{"NONE: off", 3, 3, "POSCMD: primary oscillator off", true},
                 {"EC: ext. clock", 0, 0, "POSCMD: external clock"},
                 {"XT: crystal", 1, 1, "POSCMD: XT crystal"},
                 {"HS: crystal", 2, 2, "POSCMD: HS crystal"}});
    b.Path({{135, 65}, {166, 65}, {166, fnosc.inputs[2].y}, fnosc.inputs[2]});
    b.Dot(166, 65);

    // Internal fast RC oscillator and its dividers.
    b.Block(15, 240, 120, 40, {"FRC", "7.37 MHz"}, kSourceFill);
    b.Text(10, 287, 66, 22, "FRC", Align::Right);
    b.Path({{135, 260}, {150, 260}, {150, 605}, {199, 605}});
    b.Arrow(199, 605, Direction::Right);
    b.Dot(150, 260);
    b.Wire(150, fnosc.inputs[3].y, fnosc.inputs[3].x, fnosc.inputs[3].y);
    b.Dot(150, fnosc.inputs[3].y);
    ArrowWire(b, {150, fnosc.inputs[4].y}, {399, fnosc.inputs[4].y});
    b.Dot(150, fnosc.inputs[4].y);
    b.Block(400, fnosc.inputs[4].y - 10, 40, 20, {"/ 16"}, kSelectorFill);
    b.Wire(440, fnosc.inputs[4].y, fnosc.inputs[4].x, fnosc.inputs[4].y);
    const Selector frcdiv =
        AddSelector(b, 200, 560, 210, {"FRCDIV: FRC divider", "(CLKDIV<10:8>)"}, "CLKDIV<10:8>",
                    DivisorOptions("FRCDIV", "FRC", {1, 2, 4, 8, 16, 32, 64, 256}, 0), 2);
    b.Path({{frcdiv.out.x, frcdiv.out.y},
            {455, frcdiv.out.y},
            {455, fnosc.inputs[5].y},
            fnosc.inputs[5]});

    // Low-frequency sources.
    b.Block(465, fnosc.inputs[6].y - 10, 110, 20, {"SOSC 32.768 kHz"}, kSourceFill);
    b.Block(465, fnosc.inputs[7].y - 10, 110, 20, {"LPRC 32.768 kHz"}, kSourceFill);

    // PLL: source, N1, M, N2.
    b.Wire(180, 60, 180, 130);
    b.Wire(200, 72, 200, 118);
    b.Wire(180, 60, 200, 72);
    b.Wire(180, 130, 200, 118);
    b.Text(182, 68, 20, 14, "P", Align::Left, false, 10);
    b.Text(182, 108, 20, 14, "F", Align::Left, false, 10);
    FollowPath(b, {{167, 75}, {178, 75}}, {priPll});
    b.Dot(166, 75);
    FollowPath(b, {{150, 259}, {150, 115}, {178, 115}}, {frcPll});
    b.Wire(200, 95, 224, 95);
    b.Arrow(224, 95, Direction::Right);
    const Selector n1 = AddSelector(b, 225, 40, 176, {"PLLPRE: N1", "(CLKDIV<4:0>)"}, "CLKDIV<4:0>",
                                    PllpreOptions(), 4);
    ArrowWire(b, {n1.x + n1.w, 111}, {459, 111});
    const Selector m = AddSelector(b, 460, 40, 176, {"PLLDIV: M", "(PLLFBD<8:0>)"}, "PLLFBD<8:0>",
                                   PlldivOptions(), 4);
    b.Path({{m.x + m.w, 111}, {705, 111}, {705, 196}});
    b.Arrow(705, 209, Direction::Down);
    b.Wire(705, 196, 705, 209);
    const Selector n2 =
        AddSelector(b, 600, 210, 130, {"PLLPOST: N2", "(CLKDIV<7:6>)"}, "CLKDIV<7:6>",
                    {{"00: N2 = 2", 0, 2, "PLLPOST: N2 = 2"},
                     {"01: N2 = 4", 1, 4, "PLLPOST: N2 = 4", true},
                     {"11: N2 = 8", 3, 8, "PLLPOST: N2 = 8"}});
    const int pllOutX = 665;
    b.Path({{pllOutX, n2.y + n2.h},
            {pllOutX, 320},
            {565, 320},
            {565, fnosc.inputs[1].y},
            fnosc.inputs[1]});
    b.Wire(565, fnosc.inputs[0].y, fnosc.inputs[0].x, fnosc.inputs[0].y);
    b.Dot(565, fnosc.inputs[0].y);
    b.Label(240, 190, "Fref 0.8 to 8 MHz, Fvco 100 to 200 MHz, Fosc up to 80 MHz", false, 10);

    // Instruction clock and doze.
    const int outY = fnosc.out.y;
    ArrowWire(b, fnosc.out, {679, outY});
    b.Wire(705, outY + 12, 705, 480);
    b.Block(680, 480, 50, 22, {"/ 2"}, kSelectorFill);
    ArrowWire(b, {705, 502}, {705, 513});
    const Selector doze =
        AddSelector(b, 430, 600, 200, {"DOZE: CPU clock", "(CLKDIV<14:12>)"}, "CLKDIV<14:12>",
                    DivisorOptions("DOZE", "CPU clock = Fcy", {1, 2, 4, 8, 16, 32, 64, 128}, 3), 2);
    const Selector dozen =
        AddSelector(b, 430, 712, 200, {"DOZEN (CLKDIV<11>)"}, "CLKDIV<11>",
                    {{"0: CPU at Fcy", 0, 0, "DOZEN: CPU clock = Fcy", true},
                     {"1: DOZE applies", 1, 1, "DOZEN: CPU clock = Fcy / DOZE"}});
    const std::vector<int> dozing = {dozen.ids[1]};
    b.Wire(705, 537, 705, 575);
    b.Dot(705, 575);
    FollowPath(b, {{704, 575}, {530, 575}, {530, 597}}, dozing);
    b.Arrow(530, 599, Direction::Down);
    FollowPath(b, {{doze.out.x + 1, doze.out.y}, {677, doze.out.y}}, dozing);
    b.Arrow(679, doze.out.y, Direction::Right);
    FollowPath(b, {{705, 576}, {705, 633}}, dozing, true);

    // Other clock options.
    AddSelector(b, 15, 680, 190, {"IESO (FOSCSEL)", "two-speed start-up"}, "IESO",
                {{"ON: start on FRC", 0x80, 1, "IESO: start on FRC, then switch", true},
                 {"OFF", 0x00, 0, "IESO: start on the chosen oscillator"}});
    AddSelector(b, 215, 680, 200, {"OSCIOFNC (FOSC)", "OSC2 pin"}, "OSCIOFNC",
                {{"OFF: clock output", 0x04, 1, "OSCIOFNC: clock output on OSC2", true},
                 {"ON: port pin", 0x00, 0, "OSCIOFNC: OSC2 is a port pin"}});
    AddSelector(b, 15, 760, 400, {"FCKSM (FOSC)", "clock switching and fail-safe monitor"}, "FCKSM",
                {{"CSDCMD: both off", 0x80, 2, "FCKSM: switching and monitor off", true},
                 {"CSECMD: switching on, monitor off", 0x40, 1, "FCKSM: switching on, monitor off"},
                 {"CSECME: both on", 0x00, 0, "FCKSM: switching and monitor on"}});

    // Frequencies, in calculation order. Every formula starts from the sources: a box's
    // value read back by a later formula is its rounded text, which is off by up to 4 % at
    // the slow clocks.
    const std::string pri = "ifthen(POSCMD = 3, 0, E0)";
    const std::string fin = "ifthen(FNOSC = 1, 7.37, " + pri + ")";
    const std::string fref = "sum(" + fin + ") / CLKDIV<4:0>";
    const std::string fvco = fref + " * PLLFBD<8:0>";
    const std::string fpll = fvco + " / CLKDIV<7:6>";
    const std::string fosc = "select(FNOSC, 7.37, " + fpll + ", " + pri + ", " + fpll +
                             ", 0.032768, 0.032768, 7.37 / 16, 7.37 / CLKDIV<10:8>)";
    const std::string fcy = "sum(" + fosc + ") / 2";
    b.Box(80, 92, "", "Fposc");
    b.Box(80, 287, "7.37", "Ffrc");
    b.Box(170, 140, fin, "Fin");
    b.Text(170, 162, 50, 14, "Fin", Align::Center);
    const int frefBox = b.Box(405, 85, fref, "Fref");
    b.Text(405, 70, 50, 14, "Fref", Align::Center);
    const int fvcoBox = b.Box(645, 85, fvco, "Fvco");
    b.Text(645, 70, 50, 14, "Fvco", Align::Center);
    b.Box(675, 300, fpll, "Fpll");
    b.Text(675, 323, 50, 14, "Fpll", Align::Center);
    const int foscBox = b.Box(680, outY - 11, fosc, "Fosc");
    b.Text(680, outY - 27, 50, 14, "Fosc", Align::Center, true);
    const int fcyBox = b.Box(680, 514, fcy, "Fcy");
    b.Text(620, 518, 56, 14, "Fcy", Align::Right, true);
    b.Box(680, 634, "ifthen(CLKDIV<11>, " + fcy + " / CLKDIV<14:12>, " + fcy + ")", "Fcpu");
    b.Text(680, 657, 50, 14, "CPU", Align::Center, true);

    // Every M and N1 the registers hold can be typed; the lines above offer the common ones.
    const int typedM = b.Box(540, 206, "", "M");
    b.Text(462, 210, 76, 14, "or type M:", Align::Right);
    const int typedN1 = b.Box(320, 206, "", "N1");
    b.Text(227, 210, 91, 14, "or type N1:", Align::Right);
    b.Typed(typedM, "PLLFBD<8:0>", 2, 513, "E" + std::to_string(typedM) + " - 2", "PLLDIV: M =");
    b.Typed(typedN1, "CLKDIV<4:0>", 2, 33, "E" + std::to_string(typedN1) + " - 2", "PLLPRE: N1 =");

    // Data-sheet limits; the reference and VCO ranges hold while the PLL is in the path.
    const std::string pllInUse = "(FNOSC = 1) | (FNOSC = 3)";
    b.Range(frefBox, "0.8", "8", "PLL input range 0.8 to 8 MHz", pllInUse);
    b.Range(fvcoBox, "100", "200", "PLL output range 100 to 200 MHz", pllInUse);
    b.Range(foscBox, "", "80", "Fosc at most 80 MHz");
    b.Range(fcyBox, "", "40", "Fcy at most 40 MIPS");

    AddLegend(b, 846);
    return b.Result();
}

} // namespace quorvel::diagramgen
