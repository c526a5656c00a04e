// The data-sheet limits of the shipped diagrams, end to end: set-ups outside them are
// reported with their reasons and exit status 2, the data sheets' worked examples pass, and
// what quorvel solve proposes passes too.

#include "CliTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

struct LimitCase {
    const char* name;
    std::vector<std::string> args; // device and actions
    std::string violations;        // standard error, one reason per line
};

class ShippedLimits : public ::testing::TestWithParam<LimitCase> {
protected:
    ScratchDir dir;
};

TEST_P(ShippedLimits, ReportsEveryBrokenLimitAndOnlyThose) {
    const LimitCase& c = GetParam();
    std::vector<std::string> args = {"run"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = RunQuorvel(args, "", dir.Path());
    EXPECT_EQ(r.Err, c.violations);
    EXPECT_EQ(r.ExitCode, c.violations.empty() ? 0 : 2);
}

const std::vector<LimitCase> kCases = {
    // PIC18F45K22: the 4x PLL takes 4 to 16 MHz and the device runs at most at 64 MHz.
    {"Pic18HsCrystal20MHzWithPll",
     {"PIC18F45K22", "--set", "FOSC=HSHP", "--set", "PLLCFG=ON", "--box", "0=20"},
     "Fpri = 20 Mhz is above its maximum of 16 Mhz (PLL input range 4 to 16 MHz)\n"
     "Fosc = 80 Mhz is above its maximum of 64 Mhz (Fosc at most 64 MHz)\n"
     "Fcy = 20 Mhz is above its maximum of 16 Mhz (Fcy at most 16 MIPS)\n"},
    {"Pic18PllOnAnXtCrystal",
     {"PIC18F45K22", "--set", "FOSC=XT", "--set", "PLLCFG=ON", "--box", "0=4"},
     "Fpll = 4 Mhz: the 4x PLL engages only for HS or EC, or the internal oscillator at 8 or 16 "
     "MHz\n"},
    {"Pic18PllOnTheInternalOscillatorAt4MHz",
     {"PIC18F45K22", "--set", "FOSC=INTIO67", "--set", "OSCCON<6:4>=5", "--set", "OSCTUNE<6>=1"},
     "Fpll = 4 Mhz: the 4x PLL engages only for HS or EC, or the internal oscillator at 8 or 16 "
     "MHz\n"},
    {"Pic18Internal16MHzWithPllIs64MHz",
     {"PIC18F45K22", "--set", "FOSC=INTIO67", "--set", "OSCCON<6:4>=7", "--set", "OSCTUNE<6>=1"},
     ""},
    {"Pic18Internal8MHzWithPllIs32MHz",
     {"PIC18F45K22", "--set", "FOSC=INTIO67", "--set", "OSCCON<6:4>=6", "--set", "OSCTUNE<6>=1"},
     ""},
    {"Pic18Hs16MHzWithPllIs64MHz",
     {"PIC18F45K22", "--set", "FOSC=HSMP", "--set", "PLLCFG=ON", "--box", "0=16"},
     ""},
    {"Pic18Hs8MHzWithoutPll", {"PIC18F45K22", "--set", "FOSC=HSMP", "--box", "0=8"}, ""},
    {"Pic18InternalBlockAt31kHz",
     {"PIC18F45K22", "--set", "OSCCON<1:0>=2", "--set", "OSCCON<6:4>=0"},
     ""},

    // dsPIC33FJ128GP802: Fref 0.8 to 8 MHz, Fvco 100 to 200 MHz, Fosc at most 80 MHz.
    {"DsPicHs20MHzWithTheResetPllValues",
     {"dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=HS", "--box", "0=20"},
     "Fref = 10 Mhz is above its maximum of 8 Mhz (PLL input range 0.8 to 8 MHz)\n"
     "Fvco = 500 Mhz is above its maximum of 200 Mhz (PLL output range 100 to 200 MHz)\n"
     "Fosc = 125 Mhz is above its maximum of 80 Mhz (Fosc at most 80 MHz)\n"
     "Fcy = 62.5 Mhz is above its maximum of 40 Mhz (Fcy at most 40 MIPS)\n"},
    {"DsPicVcoBelowItsMinimum",
     {"dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=XT", "--box", "0=8", "--set",
      "PLLFBD<8:0>=18"},
     "Fvco = 80 Mhz is below its minimum of 100 Mhz (PLL output range 100 to 200 MHz)\n"},
    {"DsPicCrystal8MHzTo80MHz",
     {"dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=XT", "--box", "0=8", "--set",
      "PLLFBD<8:0>=38", "--set", "CLKDIV<7:6>=0"},
     ""},
    {"DsPicFrcWithPllAt79MHz",
     {"dsPIC33FJ128GP802", "--set", "FNOSC=FRCPLL", "--set", "PLLFBD<8:0>=41", "--set",
      "CLKDIV<7:6>=0"},
     ""},
    {"DsPicCrystal10MHzTo80MHz",
     {"dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=HS", "--box", "0=10", "--set",
      "PLLFBD<8:0>=30", "--set", "CLKDIV<7:6>=0"},
     ""},
    {"DsPicResetPllValuesWithTheVcoAtItsMaximum",
     {"dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=XT", "--box", "0=8"},
     ""},
    {"DsPicCrystal4MHzWithATypedMultiplier",
     {"dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=XT", "--box", "0=4", "--box",
      "9=80", "--set", "CLKDIV<7:6>=0"},
     ""},
    {"DsPicFrcWithoutPll", {"dsPIC33FJ128GP802", "--set", "FNOSC=FRC"}, ""},

    // PIC32MX795F512L: PLL input 4 to 5 MHz, VCO 60 to 120 MHz, SYSCLK at most 80 MHz, and
    // the USB PLL needs 4 MHz in to give 48 MHz.
    {"Pic32PllInputDividedByOne",
     {"PIC32MX795F512L", "--set", "FNOSC=PRIPLL", "--set", "POSCMOD=HS", "--box", "0=8", "--set",
      "FPLLIDIV=DIV_1", "--set", "FPLLMUL=MUL_20", "--set", "FPLLODIV=DIV_1", "--set",
      "FPBDIV=DIV_1"},
     "Fplli = 8 Mhz is above its maximum of 5 Mhz (PLL input range 4 to 5 MHz)\n"
     "Fvco = 160 Mhz is above its maximum of 120 Mhz (PLL output range 60 to 120 MHz)\n"
     "SYSCLK = 160 Mhz is above its maximum of 80 Mhz (SYSCLK at most 80 MHz)\n"
     "PBCLK = 160 Mhz is above its maximum of 80 Mhz (PBCLK at most 80 MHz)\n"},
    {"Pic32PllInputAndVcoTooLow",
     {"PIC32MX795F512L", "--set", "FNOSC=PRIPLL", "--set", "POSCMOD=HS", "--box", "0=8", "--set",
      "FPLLIDIV=DIV_3", "--set", "FPLLMUL=MUL_20", "--set", "FPLLODIV=DIV_1"},
     "Fplli = 2.667 Mhz is below its minimum of 4 Mhz (PLL input range 4 to 5 MHz)\n"
     "Fvco = 53.333 Mhz is below its minimum of 60 Mhz (PLL output range 60 to 120 MHz)\n"},
    {"Pic32UsbPllOnTheResetDivider",
     {"PIC32MX795F512L", "--set", "POSCMOD=HS", "--box", "0=8", "--set", "UPLLEN=ON"},
     "UFIN = 0.667 Mhz is below its minimum of 4 Mhz (the USB PLL needs a 4 MHz input)\n"
     "USBCLK = 8 Mhz is below its minimum of 48 Mhz (USB needs 48 MHz)\n"},
    {"Pic32Crystal8MHzTo80MHz",
     {"PIC32MX795F512L", "--set", "FNOSC=PRIPLL", "--set", "POSCMOD=HS", "--box", "0=8", "--set",
      "FPLLIDIV=DIV_2", "--set", "FPLLMUL=MUL_20", "--set", "FPLLODIV=DIV_1", "--set",
      "FPBDIV=DIV_8"},
     ""},
    {"Pic32UsbAt48MHz",
     {"PIC32MX795F512L", "--set", "POSCMOD=HS", "--box", "0=8", "--set", "UPLLIDIV=DIV_2", "--set",
      "UPLLEN=ON"},
     ""},
};

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLimits, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShippedLimitsJson, RunJsonListsTheViolations) {
    ScratchDir dir;
    const CliResult r =
        RunQuorvel({"run", "dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=XT",
                    "--box", "0=8", "--set", "PLLFBD<8:0>=18", "--json"},
                   "", dir.Path());
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_NE(r.Out.find("\"violations\":[{\"box\":4,\"name\":\"Fvco\",\"value\":80,\"message\":"
                         "\"Fvco = 80 Mhz is below its minimum of 100 Mhz (PLL output range 100 "
                         "to 200 MHz)\"}]"),
              std::string::npos)
        << r.Out;
    const CliResult clean = RunQuorvel({"run", "dsPIC33FJ128GP802", "--json"}, "", dir.Path());
    EXPECT_EQ(clean.ExitCode, 0);
    EXPECT_NE(clean.Out.find("\"violations\":[]"), std::string::npos);
}

// What the finder proposes, given back to quorvel run, meets the target within the limits.
struct SolveCase {
    const char* name;
    std::vector<std::string> start; // device and actions
    std::vector<std::string> targets;
    std::vector<std::pair<std::string, std::string>> expected; // box line of run's output
};

class ShippedSolve : public ::testing::TestWithParam<SolveCase> {
protected:
    ScratchDir dir;
};

// The --set words of the first solution printed by quorvel solve.
std::vector<std::string> FirstSolution(const std::string& out) {
    std::vector<std::string> words;
    const std::size_t line = out.find("\n");
    const std::size_t end = out.find("\n", line + 1);
    std::string sets = out.substr(line + 1, end - line - 1);
    std::size_t at = 0;
    while ((at = sets.find("--set ", at)) != std::string::npos) {
        at += 6;
        std::size_t stop = sets.find(" --set ", at);
        std::string word = sets.substr(at, stop == std::string::npos ? stop : stop - at);
        if (word.size() >= 2 && word.front() == '"')
            word = word.substr(1, word.size() - 2);
        words.push_back("--set");
        words.push_back(word);
    }
    return words;
}

TEST_P(ShippedSolve, FindsAnExactSolutionThatRunConfirms) {
    const SolveCase& c = GetParam();
    std::vector<std::string> args = {"solve"};
    args.insert(args.end(), c.start.begin(), c.start.end());
    for (const std::string& t : c.targets) {
        args.push_back("--target");
        args.push_back(t);
    }
    const CliResult solved = RunQuorvel(args, "", dir.Path());
    ASSERT_EQ(solved.ExitCode, 0) << solved.Err;
    ASSERT_EQ(solved.Out.rfind("1: exact, ", 0), 0u) << solved.Out;
    std::vector<std::string> run = {"run"};
    run.insert(run.end(), c.start.begin(), c.start.end());
    for (const std::string& w : FirstSolution(solved.Out))
        run.push_back(w);
    const CliResult r = RunQuorvel(run, "", dir.Path());
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    for (const auto& [box, text] : c.expected)
        EXPECT_NE(r.Out.find(box + " = " + text + "\n"), std::string::npos) << r.Out;
}

const std::vector<SolveCase> kSolveCases = {
    {"DsPicXt8MHzToFosc80",
     {"dsPIC33FJ128GP802", "--box", "0=8", "--set", "POSCMD=XT"},
     {"Fosc=80"},
     {{"E6", "80 Mhz"}, {"E7", "40 Mhz"}}},
    {"DsPicHs10MHzToFosc80",
     {"dsPIC33FJ128GP802", "--box", "0=10", "--set", "POSCMD=HS"},
     {"Fosc=80"},
     {{"E6", "80 Mhz"}}},
    {"DsPicXt3MHzToFosc80",
     {"dsPIC33FJ128GP802", "--box", "0=3", "--set", "POSCMD=XT"},
     {"Fosc=80"},
     {{"E6", "80 Mhz"}}},
    {"Pic32Crystal8MHzToSysclk80AndUsb48",
     {"PIC32MX795F512L", "--box", "0=8", "--set", "POSCMOD=HS"},
     {"SYSCLK=80", "USBCLK=48"},
     {{"E6", "80 Mhz"}, {"E9", "48 Mhz"}}},
    {"Pic18To64MHz", {"PIC18F45K22"}, {"Fosc=64"}, {{"E4", "64 Mhz"}, {"E5", "16 Mhz"}}},
};

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedSolve, ::testing::ValuesIn(kSolveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShippedSolveCommand, PrintsJsonAndSaysWhyNothingWorks) {
    ScratchDir dir;
    const CliResult json = RunQuorvel({"solve", "dsPIC33FJ128GP802", "--box", "0=8", "--set",
                                       "POSCMD=XT", "--target", "E6=80", "--max", "1", "--json"},
                                      "", dir.Path());
    EXPECT_EQ(json.ExitCode, 0) << json.Err;
    EXPECT_EQ(json.Out.rfind("{\"solutions\":[{\"set\":[\"FNOSC=PRIPLL\",\"POSCMD=XT\",", 0), 0u)
        << json.Out;
    EXPECT_NE(json.Out.find("\"E6\":80,"), std::string::npos);
    EXPECT_NE(json.Out.find("\"error\":0,"), std::string::npos);

    const CliResult none =
        RunQuorvel({"solve", "PIC18F45K22", "--target", "Fosc=80"}, "", dir.Path());
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_EQ(none.Out, "");
    EXPECT_EQ(none.Err, "quorvel solve: no settings give Fosc = 80 Mhz and keep every limit; "
                        "the closest is Fosc = 64 Mhz\n");

    const CliResult badTarget =
        RunQuorvel({"solve", "PIC18F45K22", "--target", "Fnone=80"}, "", dir.Path());
    EXPECT_EQ(badTarget.ExitCode, 1);
    EXPECT_NE(badTarget.Err.find("no computed box of that name"), std::string::npos);
    const CliResult badLock = RunQuorvel(
        {"solve", "PIC18F45K22", "--target", "Fosc=64", "--lock", "NOSUCH"}, "", dir.Path());
    EXPECT_EQ(badLock.ExitCode, 1);
    EXPECT_NE(badLock.Err.find("--lock NOSUCH"), std::string::npos);
}

} // namespace
} // namespace quorvel::test
