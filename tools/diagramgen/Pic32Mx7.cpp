// Clock diagram of the PIC32MX5xx/6xx/7xx devices.
//
// Signal path: the system PLL takes FRC (FNOSC = FRCPLL) or the primary oscillator (PRIPLL),
// divides it by FPLLIDIV, multiplies it by FPLLMUL and divides the result by FPLLODIV, all
// set in DEVCFG2. FNOSC chooses SYSCLK; the peripheral bus runs at SYSCLK / FPBDIV. The USB
// PLL divides the primary oscillator by UPLLIDIV and makes 48 MHz from a 4 MHz input.

#include "Blocks.h"
#include "Diagrams.h"

#include <string>

namespace quorvel::diagramgen {

namespace {

// One option per ratio; code c is the setting's field value shifted into place.
std::vector<Option> Ratios(const std::string& field, const std::string& sign, int shift,
                           const std::vector<int>& ratios, int defaultCode) {
    std::vector<Option> options;
    for (std::size_t code = 0; code < ratios.size(); ++code) {
        const std::string text = sign + " " + std::to_string(ratios[code]);
        options.push_back({text, static_cast<std::uint32_t>(code) << shift,
                           static_cast<double>(ratios[code]), field + ": " + text,
                           static_cast<int>(code) == defaultCode});
    }
    return options;
}

std::vector<Option> FrcdivOptions() {
    const int divisors[] = {1, 2, 4, 8, 16, 32, 64, 256};
    std::vector<Option> options;
    for (std::uint32_t code = 0; code < 8; ++code) {
        std::string bits;
        for (int bit = 2; bit >= 0; --bit)
            bits += ((code >> bit) & 1u) ? '1' : '0';
        const std::string ratio = std::to_string(divisors[code]);
        options.push_back({bits + ": / " + ratio, code, static_cast<double>(divisors[code]),
                           "FRCDIV: FRC / " + ratio, code == 1});
    }
    return options;
}

} // namespace

Diagram Pic32Mx7Diagram() {
    Builder b("PIC32MX7xx", "Clock system of the PIC32MX5xx, PIC32MX6xx and PIC32MX7xx devices",
              740, 880);
    b.Label(10, 6, "PIC32MX5xx / 6xx / 7xx clock system", true, 14);

    // SYSCLK source. The inputs are ordered so that wires from the PLL, the primary
    // oscillator and FRC reach them without crossing.
    const Mux fnosc = AddMux(b, 600, 360, 58, 24, {"FNOSC", "(DEVCFG1)"}, "FNOSC",
                             {{"PRIPLL", 3, 3, "FNOSC: primary oscillator with PLL"},
                              {"FRCPLL", 1, 1, "FNOSC: FRC with PLL"},
                              {"PRI", 2, 2, "FNOSC: primary oscillator"},
                              {"FRC", 0, 0, "FNOSC: FRC"},
                              {"FRC/16", 6, 6, "FNOSC: FRC divided by 16"},
                              {"FRCDIV", 7, 7, "FNOSC: FRC divided by FRCDIV", true},
                              {"SOSC", 4, 4, "FNOSC: secondary oscillator"},
                              {"LPRC", 5, 5, "FNOSC: low-power RC"}});
    const int priPll = fnosc.ids[0];
    const int frcPll = fnosc.ids[1];

    // Primary oscillator; its left side feeds the USB PLL at the bottom.
    b.Block(15, 45, 120, 40, {"Primary osc.", "OSC1 / OSC2"}, kSourceFill);
    b.Text(10, 92, 66, 22, "Crystal/EC", Align::Right);
    AddSelector(b, 15, 125, 130, {"POSCMOD", "(DEVCFG1)"}, "POSCMOD",
                {{"OFF", 0x300, 3, "POSCMOD: primary oscillator off", true},
                 {"EC: ext. clock", 0x000, 0, "POSCMOD: external clock"},
                 {"XT: crystal", 0x100, 1, "POSCMOD: XT crystal"},
                 {"HS: crystal", 0x200, 2, "POSCMOD: HS crystal"}});
    b.Path({{135, 65}, {166, 65}, {166, fnosc.inputs[2].y}, fnosc.inputs[2]});
    b.Dot(166, 65);

    // Internal fast RC oscillator and its dividers.
    b.Block(15, 240, 120, 40, {"FRC", "8 MHz"}, kSourceFill);
    b.Text(10, 287, 66, 22, "FRC", Align::Right);
    const Selector frcdiv =
        AddSelector(b, 205, 476, 230, {"FRCDIV: FRC divider", "(OSCCON<26:24>)"}, "OSCCON<26:24>",
                    FrcdivOptions(), 2);
    b.Path({{135, 260}, {150, 260}, {150, frcdiv.out.y}});
    b.Dot(150, 260);
    b.Wire(150, fnosc.inputs[3].y, fnosc.inputs[3].x, fnosc.inputs[3].y);
    b.Dot(150, fnosc.inputs[3].y);
    ArrowWire(b, {150, fnosc.inputs[4].y}, {399, fnosc.inputs[4].y});
    b.Dot(150, fnosc.inputs[4].y);
    b.Block(400, fnosc.inputs[4].y - 10, 40, 20, {"/ 16"}, kSelectorFill);
    b.Wire(440, fnosc.inputs[4].y, fnosc.inputs[4].x, fnosc.inputs[4].y);
    ArrowWire(b, {150, frcdiv.out.y}, {204, frcdiv.out.y});
    b.Path({{frcdiv.out.x, frcdiv.out.y},
            {450, frcdiv.out.y},
            {450, fnosc.inputs[5].y},
            fnosc.inputs[5]});

    // Low-frequency sources.
    b.Block(465, fnosc.inputs[6].y - 10, 110, 20, {"SOSC 32.768 kHz"}, kSourceFill);
    b.Block(465, fnosc.inputs[7].y - 10, 110, 20, {"LPRC 31.25 kHz"}, kSourceFill);

    // System PLL: source, input divider, multiplier, output divider.
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
    const Selector idiv = AddSelector(b, 225, 50, 150, {"FPLLIDIV", "(DEVCFG2)"}, "FPLLIDIV",
                                      Ratios("FPLLIDIV", "/", 0, {1, 2, 3, 4, 5, 6, 10, 12}, 7), 2);
    ArrowWire(b, idiv.out, {439, idiv.out.y});
    const Selector mul =
        AddSelector(b, 440, 50, 150, {"FPLLMUL: PLL", "(DEVCFG2)"}, "FPLLMUL",
                    Ratios("FPLLMUL", "x", 4, {15, 16, 17, 18, 19, 20, 21, 24}, 7), 2);
    b.Path({{mul.x + mul.w, mul.out.y}, {705, mul.out.y}, {705, 196}});
    b.Wire(705, 196, 705, 209);
    b.Arrow(705, 209, Direction::Down);
    const Selector odiv =
        AddSelector(b, 600, 210, 130, {"FPLLODIV", "(DEVCFG2)"}, "FPLLODIV",
                    Ratios("FPLLODIV", "/", 16, {1, 2, 4, 8, 16, 32, 64, 256}, 7), 2);
    const int pllOutX = 665;
    b.Path({{pllOutX, odiv.y + odiv.h},
            {pllOutX, 320},
            {565, 320},
            {565, fnosc.inputs[1].y},
            fnosc.inputs[1]});
    b.Wire(565, fnosc.inputs[0].y, fnosc.inputs[0].x, fnosc.inputs[0].y);
    b.Dot(565, fnosc.inputs[0].y);
    b.Label(225, 160, "PLL input 4 to 5 MHz, Fvco 60 to 120 MHz, SYSCLK up to 80 MHz", false, 10);

    // Peripheral bus.
    const int outY = fnosc.out.y;
    ArrowWire(b, fnosc.out, {679, outY});
    b.Wire(705, outY + 12, 705, 572);
    b.Arrow(705, 574, Direction::Down);
    const Selector pbdiv = AddSelector(b, 560, 575, 170, {"FPBDIV: peripheral", "bus (DEVCFG1)"},
                                       "FPBDIV", Ratios("FPBDIV", "/", 12, {1, 2, 4, 8}, 3), 2);
    ArrowWire(b, {705, pbdiv.y + pbdiv.h}, {705, 659});

    // USB PLL, fed from the primary oscillator's left side.
    b.Path({{14, 65}, {8, 65}, {8, 615}, {24, 615}});
    b.Arrow(24, 615, Direction::Right);
    const Selector udiv =
        AddSelector(b, 25, 570, 170, {"UPLLIDIV: USB PLL", "input (DEVCFG2)"}, "UPLLIDIV",
                    Ratios("UPLLIDIV", "/", 8, {1, 2, 3, 4, 5, 6, 10, 12}, 7), 2);
    b.Wire(udiv.out.x, udiv.out.y, 209, udiv.out.y);
    ArrowWire(b, {261, 615}, {279, 615});
    b.Block(280, 600, 80, 30, {"USB PLL", "x 24 / 2"}, kPllFill);
    const Selector upllen =
        AddSelector(b, 280, 645, 150, {"UPLLEN (DEVCFG2)"}, "UPLLEN",
                    {{"OFF: bypassed", 0x8000, 0, "UPLLEN: USB PLL disabled and bypassed", true},
                     {"ON: enabled", 0x0000, 1, "UPLLEN: USB PLL enabled"}});
    FollowPath(b, {{361, 615}, {437, 615}}, {upllen.ids[1]});
    b.Arrow(439, 615, Direction::Right);
    // Bypass: the primary oscillator straight to USBCLK.
    b.Dot(8, 615);
    FollowPath(b, {{8, 616}, {8, 700}, {437, 700}, {437, 616}}, {upllen.ids[0]});
    b.Text(205, 686, 70, 12, "bypass", Align::Left, false, 9);

    // Other clock options.
    AddSelector(b, 15, 705, 170, {"FSOSCEN (DEVCFG1)"}, "FSOSCEN",
                {{"ON: SOSC enabled", 0x20, 1, "FSOSCEN: secondary oscillator enabled", true},
                 {"OFF", 0x00, 0, "FSOSCEN: secondary oscillator disabled"}});
    AddSelector(b, 195, 705, 170, {"IESO (DEVCFG1)"}, "IESO",
                {{"ON: two-speed start", 0x80, 1, "IESO: two-speed start-up on", true},
                 {"OFF", 0x00, 0, "IESO: two-speed start-up off"}});
    AddSelector(b, 375, 705, 170, {"OSCIOFNC (DEVCFG1)"}, "OSCIOFNC",
                {{"OFF: no CLKO", 0x400, 0, "OSCIOFNC: no clock output", true},
                 {"ON: CLKO on OSCO", 0x000, 1, "OSCIOFNC: clock output on OSCO"}});
    AddSelector(
        b, 15, 765, 400, {"FCKSM (DEVCFG1)", "clock switching and fail-safe monitor"}, "FCKSM",
        {{"CSDCMD: both off", 0xC000, 2, "FCKSM: switching and monitor off", true},
         {"CSECMD: switching on, monitor off", 0x4000, 1, "FCKSM: switching on, monitor off"},
         {"CSECME: both on", 0x0000, 0, "FCKSM: switching and monitor on"}});

    // Frequencies, in calculation order. Every formula starts from the sources: a box's
    // value read back by a later formula is its rounded text.
    const std::string pri = "ifthen(POSCMOD = 3, 0, E0)";
    const std::string fin = "ifthen(FNOSC = 1, 8, " + pri + ")";
    const std::string fplli = "sum(" + fin + ") / FPLLIDIV";
    const std::string fvco = fplli + " * FPLLMUL";
    const std::string fpll = fvco + " / FPLLODIV";
    const std::string sysclk = "select(FNOSC, 8, " + fpll + ", " + pri + ", " + fpll +
                               ", 0.032768, 0.03125, 8 / 16, 8 / OSCCON<26:24>)";
    const std::string ufin = "sum(" + pri + ") / UPLLIDIV";
    b.Box(80, 92, "", "Fposc");
    b.Box(80, 287, "8", "Ffrc");
    b.Box(170, 140, fin, "Fin");
    b.Text(170, 162, 50, 14, "Fin", Align::Center);
    const int fplliBox = b.Box(382, 70, fplli, "Fplli");
    b.Text(382, 55, 50, 14, "Fplli", Align::Center);
    const int fvcoBox = b.Box(640, 70, fvco, "Fvco");
    b.Text(640, 55, 50, 14, "Fvco", Align::Center);
    b.Box(675, 300, fpll, "Fpll");
    b.Text(675, 323, 50, 14, "Fpll", Align::Center);
    const int sysclkBox = b.Box(680, outY - 11, sysclk, "SYSCLK");
    b.Text(670, outY - 27, 70, 14, "SYSCLK", Align::Center, true);
    const int pbclkBox = b.Box(680, 660, "sum(" + sysclk + ") / FPBDIV", "PBCLK");
    b.Text(670, 683, 70, 14, "PBCLK", Align::Center, true);
    const int ufinBox = b.Box(210, 604, ufin, "UFIN");
    b.Text(205, 589, 60, 14, "UFIN", Align::Center);
    // With UPLLEN off the USB PLL is bypassed and USBCLK is the primary oscillator itself.
    const int usbclkBox =
        b.Box(440, 604, "ifthen(UPLLEN, " + ufin + " * 12, " + pri + ")", "USBCLK");
    b.Text(430, 589, 70, 14, "USBCLK", Align::Center, true);

    // Data-sheet limits; the PLL ranges hold while the system PLL is in the path, the USB
    // ones while the USB PLL is on.
    const std::string pllInUse = "(FNOSC = 1) | (FNOSC = 3)";
    b.Range(fplliBox, "4", "5", "PLL input range 4 to 5 MHz", pllInUse);
    b.Range(fvcoBox, "60", "120", "PLL output range 60 to 120 MHz", pllInUse);
    b.Range(sysclkBox, "", "80", "SYSCLK at most 80 MHz");
    b.Range(pbclkBox, "", "80", "PBCLK at most 80 MHz");
    b.Range(ufinBox, "4", "4", "the USB PLL needs a 4 MHz input", "UPLLEN");
    b.Range(usbclkBox, "48", "48", "USB needs 48 MHz", "UPLLEN");

    // OSCCON takes a write only while the system is unlocked: lock it for sure, write the two
    // keys to SYSKEY right before the write, and lock it again after it.
    b.Sequence("OSCCON", false, "SYSKEY", {0x00000000, 0xAA996655, 0x556699AA}, "unlock OSCCON");
    b.Sequence("OSCCON", true, "SYSKEY", {0x00000000}, "lock it again");

    AddLegend(b, 846);
    return b.Result();
}

} // namespace quorvel::diagramgen
