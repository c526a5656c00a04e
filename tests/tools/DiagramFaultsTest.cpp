// Faults once seen on the shipped diagrams, checked through the program's core on the shipped
// data: choices are made by clicking the line whose comment names the setting, the way a
// user picks it by its label.

#include "ShippedFiles.h"
#include "TestSupport.h"

#include "eval/KivEval.h"
#include "results/Calculation.h"
#include "results/Limits.h"
#include "shell/HeadlessViews.h"
#include "shell/Session.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace quorvel::test {
namespace {

constexpr Rgb kRed{255, 0, 0};

struct Session {
    KeepCurrentDirectory keepCwd;
    ScratchDir dir;
    RasterSurface surface;
    MemoryValueBoxes boxes;
    MemoryLabels labels;
    RecordedMessages messages;
    MemoryClipboard clipboard;
    quorvel::Session core{{std::string(QUORVEL_SHIPPED_DATA_DIR) + "/", dir.File("settings.ini")},
                          {surface, boxes, labels, messages, clipboard}};
    std::vector<DescLine> lines;

    Session(const std::string& device, const std::string& diagram) {
        core.FormShow();
        EXPECT_TRUE(core.ListBox1Click(device));
        EXPECT_TRUE(messages.Messages().empty());
        lines = ReadDescription(Shipped("Quorvel_" + diagram + "_lines.txt"));
    }

    // Clicks the clickable line whose comment is `comment`.
    void Choose(const std::string& comment) {
        for (const DescLine& d : lines)
            if ((d.kind == "CONFIG" || d.kind == "REGISTER") && d.comment == comment) {
                core.Image1MouseDown(MouseButton::Left, d.Int(3), d.Int(4));
                return;
            }
        ADD_FAILURE() << "no line " << comment;
    }

    void Type(const std::string& text) {
        boxes.SetText(0, text);
        core.BoxEdited(0, text);
        core.Calculate1Click();
    }

    // The messages of the diagram's limits that the current values break.
    std::vector<std::string> Violations() {
        TSimpleEval evaluator;
        Configuration state = core.State();
        Changes changes;
        Calculate(state, evaluator, changes);
        std::vector<std::string> out;
        for (const TViolation& v : EvaluateLimits(state.Model, evaluator, [&](int box) {
                 return state.Boxes[static_cast<std::size_t>(box)].text;
             }))
            out.push_back(v.Message);
        return out;
    }

    // Whether any pixel of the rectangle is painted red.
    bool AnyRed(int x1, int y1, int x2, int y2) const {
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                if (surface.Picture().Pixel(x, y) == kRed)
                    return true;
        return false;
    }
};

TEST(DiagramFaults, Pic32UsbClockComesFromThePrimaryOscillatorWhenTheUsbPllIsBypassed) {
    Session s("PIC32MX795F512L", "PIC32MX7xx");
    s.Choose("POSCMOD: external clock");
    s.Type("48");
    EXPECT_EQ(s.boxes.Text(9), "48 Mhz"); // USBCLK, UPLLEN off by default
    EXPECT_TRUE(s.AnyRed(9, 700, 436, 700)) << "bypass path not lit";
    EXPECT_FALSE(s.AnyRed(362, 615, 436, 615)) << "USB PLL output lit while bypassed";

    s.Choose("UPLLIDIV: / 12");
    s.Choose("UPLLEN: USB PLL enabled");
    EXPECT_EQ(s.boxes.Text(9), "48 Mhz"); // 48 / 12 * 24 / 2
    EXPECT_FALSE(s.AnyRed(9, 700, 436, 700));
    EXPECT_TRUE(s.AnyRed(362, 615, 436, 615));
    s.Choose("UPLLIDIV: / 6");
    EXPECT_EQ(s.boxes.Text(9), "96 Mhz");
}

// The slow clocks of the dsPIC33F: each box is computed from the oscillator, not from the
// rounded text of the Fosc box (LPRC once gave Fcy 0.017 for 0.016384).
TEST(DiagramFaults, DsPicSlowClocksAreRoundedOnceFromTheirSources) {
    Session s("dsPIC33FJ128GP802", "dsPIC33FJxxGP");
    const struct {
        std::vector<std::string> choices;
        const char* fosc;
        const char* fcy;
    } cases[] = {
        {{"FNOSC: low-power RC"}, "0.033 Mhz", "0.016 Mhz"},
        {{"FNOSC: FRC divided by 16"}, "0.461 Mhz", "0.23 Mhz"},
        {{"FNOSC: FRC divided by FRCDIV", "FRCDIV: FRC / 256"}, "0.029 Mhz", "0.014 Mhz"},
    };
    for (const auto& c : cases) {
        for (const std::string& choice : c.choices)
            s.Choose(choice);
        EXPECT_EQ(s.boxes.Text(6), c.fosc) << c.choices.front();
        EXPECT_EQ(s.boxes.Text(7), c.fcy) << c.choices.front();
        EXPECT_EQ(s.boxes.Text(8), c.fcy) << c.choices.front(); // CPU clock, no doze
    }
}

// The PIC18F K22 picture: the 4x PLL area (the tracks into and out of the PLL block above the
// signal line) is lit only when the PLL engages, the direct path (the tracks on and below the
// line) only when it does not.
TEST(DiagramFaults, Pic18PllPathIsLitOnlyWhenThePllEngages) {
    Session s("PIC18F45K22", "PIC18FxxK22");
    constexpr int kPathY = 104;
    const auto pllLit = [&] { return s.AnyRed(446, 55, 548, kPathY - 1); };
    const auto directLit = [&] { return s.AnyRed(459, kPathY, 533, kPathY + 6); };
    const struct {
        std::vector<std::string> choices;
        bool engages;
        const char* fosc;
    } cases[] = {
        {{"FOSC: XT crystal", "PLLCFG: 4x PLL always on"}, false, "8 Mhz"},
        {{"FOSC: LP crystal"}, false, "8 Mhz"},
        {{"FOSC: external RC, CLKOUT on OSC2"}, false, "8 Mhz"},
        {{"FOSC: HS crystal, medium power, 4 to 16 MHz"}, true, "32 Mhz"},
        {{"PLLCFG: oscillator used directly"}, false, "8 Mhz"},
        {{"PLLEN: 4x PLL on"}, true, "32 Mhz"},
        {{"FOSC: internal oscillator block, RA6 and RA7 as port pins", "IRCF: HFINTOSC / 4, 4 MHz"},
         false,
         "4 Mhz"},
        {{"IRCF: HFINTOSC / 2, 8 MHz"}, true, "32 Mhz"},
        {{"IRCF: HFINTOSC, 16 MHz", "PLLEN: 4x PLL off"}, false, "16 Mhz"},
        {{"PLLCFG: 4x PLL always on"}, true, "64 Mhz"},
    };
    s.Type("8");
    for (const auto& c : cases) {
        for (const std::string& choice : c.choices)
            s.Choose(choice);
        SCOPED_TRACE(c.choices.front());
        EXPECT_EQ(pllLit(), c.engages);
        EXPECT_EQ(directLit(), !c.engages);
        EXPECT_EQ(s.boxes.Text(4), c.fosc);
    }
}

// Every combination of the choices that decide the 4x PLL, on each diagram that draws it as
// tracks: the PLL area is lit exactly when Fpll is four times Fpri, and the direct path
// exactly when it is not.
TEST(DiagramFaults, PllTracksAgreeWithTheComputedClockForEveryChoice) {
    const struct {
        const char* device;
        const char* diagram;
        int pathY;
        std::vector<std::string> fields; // the names of the lines whose choices decide
    } diagrams[] = {
        {"PIC18F45K22", "PIC18FxxK22", 104, {"FOSC", "PLLCFG", "OSCTUNE<6>", "OSCCON<6:4>"}},
        {"PIC18F45K20", "PIC18FxxK20", 91, {"FOSC", "OSCTUNE<6>", "OSCCON<6:4>"}},
        {"PIC16F1939", "PIC16F193x", 85, {"FOSC", "PLLEN", "OSCCON<7>", "OSCCON<6:3>"}},
    };
    for (const auto& d : diagrams) {
        SCOPED_TRACE(d.diagram);
        Session s(d.device, d.diagram);
        s.Type("8");
        std::vector<std::vector<std::pair<int, int>>> choices;
        for (const std::string& field : d.fields) {
            choices.emplace_back();
            for (const DescLine& l : s.lines)
                if ((l.kind == "CONFIG" || l.kind == "REGISTER") && l.fields[0] == field)
                    choices.back().emplace_back(l.Int(3), l.Int(4));
            ASSERT_FALSE(choices.back().empty()) << field;
        }
        std::vector<std::size_t> pick(choices.size(), 0);
        int engaged = 0, direct = 0;
        for (;;) {
            for (std::size_t f = 0; f < choices.size(); ++f)
                s.core.Image1MouseDown(MouseButton::Left, choices[f][pick[f]].first,
                                       choices[f][pick[f]].second);
            const double fpri = std::stod(s.boxes.Text(2));
            const double fpll = std::stod(s.boxes.Text(3));
            const bool times4 = fpll > fpri * 3;
            (times4 ? engaged : direct)++;
            EXPECT_EQ(s.AnyRed(446, 30, 548, d.pathY - 1), times4)
                << s.boxes.Text(2) << " -> " << s.boxes.Text(3);
            EXPECT_EQ(s.AnyRed(462, d.pathY, 530, d.pathY + 6), !times4)
                << s.boxes.Text(2) << " -> " << s.boxes.Text(3);
            std::size_t f = 0;
            while (f < pick.size() && ++pick[f] == choices[f].size())
                pick[f++] = 0;
            if (f == pick.size())
                break;
        }
        EXPECT_GT(engaged, 0);
        EXPECT_GT(direct, 0);
    }
}

// The limits the data sheets of the added families state: a set-up beyond them is reported,
// the worked examples are not.
TEST(ShippedLimits, AddedFamiliesReportClocksBeyondTheirDataSheetLimits) {
    const struct {
        const char* device;
        const char* diagram;
        std::vector<std::string> choices;
        const char* input;
        std::vector<std::string> violations;
    } cases[] = {
        {"PIC18F45K20", "PIC18FxxK20", {"FOSC: HS crystal through the 4x PLL"}, "16", {}},
        {"PIC18F45K20",
         "PIC18FxxK20",
         {"FOSC: HS crystal through the 4x PLL"},
         "20",
         {"Fpri = 20 Mhz is above its maximum of 16 Mhz (PLL input range 4 to 16 MHz)",
          "Fosc = 80 Mhz is above its maximum of 64 Mhz (Fosc at most 64 MHz)",
          "Fcy = 20 Mhz is above its maximum of 16 Mhz (Fcy at most 16 MIPS)"}},
        {"PIC18F45K20", "PIC18FxxK20", {"FOSC: HS crystal"}, "20", {}},
        {"PIC16F887", "PIC16F88x", {"FOSC: HS crystal"}, "20", {}},
        {"PIC16F887",
         "PIC16F88x",
         {"FOSC: HS crystal"},
         "24",
         {"Fosc = 24 Mhz is above its maximum of 20 Mhz (Fosc at most 20 MHz)",
          "Fcy = 6 Mhz is above its maximum of 5 Mhz (Fcy at most 5 MIPS)"}},
        {"PIC16F1939", "PIC16F193x", {"FOSC: HS crystal"}, "8", {}},
        {"PIC16F1825",
         "PIC16F182x",
         {"FOSC: HS crystal"},
         "12",
         {"Fpri = 12 Mhz is above its maximum of 8 Mhz (PLL input range 4 to 8 MHz)",
          "Fosc = 48 Mhz is above its maximum of 32 Mhz (Fosc at most 32 MHz)",
          "Fcy = 12 Mhz is above its maximum of 8 Mhz (Fcy at most 8 MIPS)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.device) + " " + c.input);
        Session s(c.device, c.diagram);
        for (const std::string& choice : c.choices)
            s.Choose(choice);
        s.Type(c.input);
        EXPECT_EQ(s.Violations(), c.violations);
    }
}

} // namespace
} // namespace quorvel::test
