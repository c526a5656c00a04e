#include "CliTestSupport.h"
#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

// quorvel on the shipped data, run from a scratch directory that holds the files.
class ConfigurationCommandTest : public ::testing::Test {
protected:
    ScratchDir dir;

    CliResult Run(const std::vector<std::string>& args) { return RunQuorvel(args, "", dir.Path()); }

    // Saves the README's 80 MHz example, with N2 as the last click chooses it.
    void SaveExample(const std::string& file, const std::string& pllpost) {
        const CliResult r =
            Run({"run", "dsPIC33FJ128GP802", "--click", "588,370", "--click", "29,191", "--box",
                 "0=8", "--click", "516,119", "--click", pllpost, "--save", file});
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
    }
};

TEST_F(ConfigurationCommandTest, SaveWritesTheChoicesByNameAndOpenReplaysThem) {
    SaveExample("example.qcfg", "614,250");
    const std::string text = ReadFile(dir.File("example.qcfg"));
    for (const char* line : {"Quorvel configuration 1\n", "device = dsPIC33FJ128GP802\n",
                             "input Fposc = 8\n", "FNOSC = PRIPLL\n", "POSCMD = XT\n",
                             "CLKDIV<7:6> = 0\n", "PLLFBD<8:0> = 38\n", "# Fosc = 80 Mhz\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "in\n" << text;
    const CliResult direct =
        Run({"run", "dsPIC33FJ128GP802", "--click", "588,370", "--click", "29,191", "--box", "0=8",
             "--click", "516,119", "--click", "614,250", "--json"});
    const CliResult opened = Run({"run", "--open", "example.qcfg", "--json"});
    EXPECT_EQ(opened.ExitCode, 0) << opened.Err;
    EXPECT_EQ(opened.Out, direct.Out);
    // The actions follow the file's choices.
    const CliResult code = Run({"code", "--open", "example.qcfg", "--set", "CLKDIV<7:6>=1"});
    EXPECT_EQ(code.ExitCode, 0) << code.Err;
    EXPECT_NE(code.Out.find("// PLLPOST: N2 = 4"), std::string::npos) << code.Out;
    // Every command that loads a device takes the file in its place.
    const CliResult config = Run({"config", "--open", "example.qcfg", "--lang", "c"});
    EXPECT_EQ(config.ExitCode, 0) << config.Err;
    EXPECT_EQ(config.Out,
              Run({"config", "dsPIC33FJ128GP802", "--click", "588,370", "--click", "29,191",
                   "--box", "0=8", "--click", "516,119", "--click", "614,250", "--lang", "c"})
                  .Out);
    EXPECT_NE(config.Out.find("FNOSC = PRIPLL"), std::string::npos) << config.Out;
    const CliResult render = Run({"render", "--open", "example.qcfg", "-o", "example.png"});
    EXPECT_EQ(render.ExitCode, 0) << render.Err;
    EXPECT_FALSE(ReadFile(dir.File("example.png")).empty());
    // --save after the actions writes the final state, also from config.
    ASSERT_EQ(Run({"config", "--open", "example.qcfg", "--set", "CLKDIV<7:6>=1", "--save",
                   "changed.qcfg"})
                  .ExitCode,
              0);
    EXPECT_NE(ReadFile(dir.File("changed.qcfg")).find("CLKDIV<7:6> = 1\n"), std::string::npos);
}

TEST_F(ConfigurationCommandTest, DiffListsTheSettingAndTheFrequenciesThatDiffer) {
    SaveExample("a.qcfg", "614,250");
    SaveExample("b.qcfg", "614,263");
    const CliResult same = Run({"diff", "a.qcfg", "a.qcfg"});
    EXPECT_EQ(same.ExitCode, 0) << same.Err;
    EXPECT_EQ(same.Out, "");
    const CliResult r = Run({"diff", "a.qcfg", "b.qcfg"});
    EXPECT_EQ(r.ExitCode, 1) << r.Err;
    EXPECT_EQ(r.Out, "setting CLKDIV<7:6>: 0 -> 1\n"
                     "frequency Fpll: 80 Mhz -> 40 Mhz\n"
                     "frequency Fosc: 80 Mhz -> 40 Mhz\n"
                     "frequency Fcy: 40 Mhz -> 20 Mhz\n"
                     "frequency Fcpu: 40 Mhz -> 20 Mhz\n");
    EXPECT_EQ(r.Err, "");
    // A list that cannot be written is trouble, not "they differ".
    if (!std::filesystem::exists("/dev/full"))
        return;
    const CliResult lost =
        RunQuorvelRedirected({"diff", "a.qcfg", "b.qcfg"}, {.Output = "/dev/full"}, dir.Path());
    EXPECT_EQ(lost.ExitCode, 2);
    EXPECT_EQ(lost.Err, "quorvel: cannot write to standard output\n");
}

TEST_F(ConfigurationCommandTest, FailuresAreReportedWithTheirStatus) {
    dir.Write("bad.qcfg", "Quorvel configuration 1\ndevice = dsPIC33FJ128GP802\nFNOSC = NOPE\n");
    const CliResult bad = Run({"run", "--open", "bad.qcfg"});
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_NE(bad.Err.find("line 3: "), std::string::npos) << bad.Err;
    EXPECT_EQ(Run({"run", "--open", "missing.qcfg"}).ExitCode, 1);
    EXPECT_EQ(Run({"run", "PIC18F45K22", "--open", "bad.qcfg"}).ExitCode, 2)
        << "a device and a file";
    EXPECT_EQ(Run({"diff", "bad.qcfg"}).ExitCode, 2);
    EXPECT_EQ(Run({"diff", "bad.qcfg", "missing.qcfg"}).ExitCode, 2);
    const CliResult unwritable =
        Run({"run", "PIC18F45K22", "--save", dir.File("no/such/dir/x.qcfg")});
    EXPECT_EQ(unwritable.ExitCode, 1);
    EXPECT_FALSE(unwritable.Err.empty());
}

} // namespace
} // namespace quorvel::test
