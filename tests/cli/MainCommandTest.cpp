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
    const std::vector<std::vector<std::string>> commands = {
        {"--version"},
        {"--help"},
        {"eval", "1+1"},
        {"defs", definitions[0]},
        {"check", descriptions[0]},
        {"run", "PIC32MX795F512L"},
        {"run", "dsPIC33FJ128GP802", "--json"},
        {"code", "PIC18F45K22", "--lang", "c"},
        // Breaks a limit of the diagram: exit status 2 when the output is written.
        {"run", "dsPIC33FJ128GP802", "--set", "FNOSC=PRIPLL", "--set", "POSCMD=XT", "--box", "0=8",
         "--set", "PLLFBD<8:0>=18"},
    };
    for (const auto& args : commands) {
        const CliResult lost = RunQuorvelRedirected(args, {.Output = "/dev/full"}, dir.Path());
        EXPECT_EQ(lost.ExitCode, 1) << args[0] << " " << args.back();
        EXPECT_NE(lost.Err.find("quorvel: cannot write to standard output"), std::string::npos)
            << args[0] << ": " << lost.Err;
        const CliResult written = RunQuorvel(args, "", dir.Path());
        EXPECT_EQ(written.ExitCode, &args == &commands.back() ? 2 : 0) << args[0];
        EXPECT_EQ(written.Err.find("cannot write"), std::string::npos) << written.Err;
    }
}

} // namespace
} // namespace quorvel::test
