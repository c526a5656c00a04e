#include "CliTestSupport.h"
#include "ShippedData.h"
#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

TEST(QuorvelCommand, HelpAndVersion) {
    const CliResult help = RunQuorvel({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_NE(help.Out.find("usage: quorvel"), std::string::npos);
    const CliResult version = RunQuorvel({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out.rfind("quorvel ", 0), 0u);
}

TEST(QuorvelCommand, UsageErrorsExitTwo) {
    EXPECT_EQ(RunQuorvel({}).ExitCode, 2);
    const CliResult unknown = RunQuorvel({"frobnicate"});
    EXPECT_EQ(unknown.ExitCode, 2);
    EXPECT_NE(unknown.Err.find("unknown command"), std::string::npos);
}

// Output that never reaches standard output is a failure: on a full device every command that
// prints says so and exits 1, also where it would otherwise have exited 0 or 2.
TEST(QuorvelCommand, UnwritableStandardOutputFails) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "this system has no /dev/full";
    const auto definitions = ShippedFiles("Defs", "PIC32MX795F512L", ".vlk");
    const auto descriptions = ShippedFiles("", "Quorvel_PIC32MX7xx", "_lines.txt");
    ASSERT_EQ(definitions.size(), 1u);
    ASSERT_EQ(descriptions.size(), 1u);
    ScratchDir dir;
    struct Case {
        std::vector<std::string> args;
        int writtenStatus; // the exit status when the output is written
    };
    const std::vector<Case> cases = {
        {{"--version"}, 0},
        {{"--help"}, 0},
        {{"eval", "1+1"}, 0},
        {{"defs", definitions[0]}, 0},
        {{"check", descriptions[0]}, 0},
        {{"run", "PIC32MX795F512L"}, 0},
        {{"run", "dsPIC33FJ128GP802", "--json"}, 0},
        {{"code", "PIC18F45K22", "--lang", "c"}, 0},
        // Breaks a limit of the diagram.
        {{"run", "dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=XT", "--box", "0=8",
          "--set", "PLLFBD<8:0>=18"},
         2},
    };
    for (const Case& c : cases) {
        const CliResult lost = RunQuorvelRedirected(c.args, {.Output = "/dev/full"}, dir.Path());
        EXPECT_EQ(lost.ExitCode, 1) << c.args[0] << " " << c.args.back();
        EXPECT_NE(lost.Err.find("quorvel: cannot write to standard output"), std::string::npos)
            << c.args[0] << ": " << lost.Err;
        const CliResult written = RunQuorvel(c.args, "", dir.Path());
        EXPECT_EQ(written.ExitCode, c.writtenStatus) << c.args[0];
        EXPECT_EQ(written.Err.find("cannot write"), std::string::npos) << written.Err;
    }
}

} // namespace
} // namespace quorvel::test
