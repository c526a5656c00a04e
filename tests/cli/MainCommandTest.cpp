#include "CliTestSupport.h"

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

} // namespace
} // namespace quorvel::test
