// "quorvel eval" end to end: results on stdout, exact messages on stderr, exit codes.

#include "CliTestSupport.h"
#include "TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

TEST(EvalCommand, PrintsTheRenderedResult) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"eval", "2+3*4"}, "20\n"},
        {{"eval", "(1/3)*3"}, "0.999999999999999\n"},
        {{"eval", "10^20"}, "100000000000000000000\n"},
        {{"eval", "-3*2"}, "-6\n"},
        {{"eval", "--var", "X=2", "--var=y=0.5", "x*y"}, "1\n"},
        {{"eval", "x*2", "--var", "x=1.5e6"}, "3000000\n"},
        {{"eval", "--var", "x=1", "--var", "X=4", "x"}, "4\n"},
        // Only the exact option words are options; other words are the formula.
        {{"eval", "--var", "x=3", "--x"}, "3\n"},
    };
    for (const auto& [args, out] : cases) {
        const CliResult r = RunQuorvel(args);
        EXPECT_EQ(r.ExitCode, 0) << args.back();
        EXPECT_EQ(r.Out, out) << args.back();
        EXPECT_EQ(r.Err, "") << args.back();
    }
}

TEST(EvalCommand, ReportsErrorsWithTheirExactMessage) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"eval", "1/0"}, "Divider is zero: \"0\" in expression part \"+1/0\"\n"},
        {{"eval", "max(1,2))"}, "Unmatched parenthesis in \" 2 )\"\n"},
        {{"eval", "1.2.3"}, "'1.2.3' is not a valid floating point value\n"},
        {{"eval", "exp(1000)"}, "Arithmetic overflow\n"},
        {{"eval", "ln(0)"}, "Division by zero\n"},
        {{"eval", "--", "--batch"}, "Variable \"batch\" not defined\n"},
        {{"eval", "--var", " 1a =2", "1"}, "Not a proper variable name: \"1a\"\n"},
    };
    for (const auto& [args, err] : cases) {
        const CliResult r = RunQuorvel(args);
        EXPECT_EQ(r.ExitCode, 1) << args.back();
        EXPECT_EQ(r.Out, "") << args.back();
        EXPECT_EQ(r.Err, err) << args.back();
    }
}

TEST(EvalCommand, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"eval"},
        {"eval", "1", "2"},
        {"eval", "--var"},
        {"eval", "--var", "x", "1"},
        {"eval", "--var", "x=1,5", "x"},
        {"eval", "--batch", "1"},
        {"eval", "--"},
    };
    for (const auto& args : cases) {
        const CliResult r = RunQuorvel(args);
        EXPECT_EQ(r.ExitCode, 2) << args.size();
        EXPECT_EQ(r.Out, "");
        EXPECT_NE(r.Err.find("usage: quorvel eval"), std::string::npos) << r.Err;
    }
    const CliResult help = RunQuorvel({"eval", "--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_NE(help.Out.find("--var NAME=VALUE"), std::string::npos);
    EXPECT_NE(help.Out.find("Example:"), std::string::npos);
}

TEST(EvalCommand, BatchWritesOneLinePerFormula) {
    const CliResult r =
        RunQuorvel({"eval", "--batch", "--var", "x=5"}, "1+1\n2**3\r\n\nx\r\n0-x/(2*x)\n7");
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out, "2\n"
                     "error: Not allowed unary operator \"*\" in expression \"+2**3\"\n"
                     "0\n"
                     "5\n"
                     "-0.5\n"
                     "7\n");
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(RunQuorvel({"eval", "--batch"}, "").Out, "");
    EXPECT_EQ(RunQuorvel({"eval", "--batch"}, "\n").Out, "0\n");
    EXPECT_EQ(RunQuorvel({"eval", "--batch"}, std::string("a\0b\n", 4)).Out,
              "error: Variable \"" + std::string("a\0b", 3) + "\" not defined\n");
}

// Standard input that cannot be read is a failure, not an empty batch.
TEST(EvalCommand, BatchFromUnreadableInputFails) {
    ScratchDir dir;
    const CliResult r = RunQuorvelRedirected({"eval", "--batch"}, {.Input = dir.Path()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "quorvel: cannot read standard input\n");
}

TEST(EvalCommand, NumbersIgnoreTheUsersLocale) {
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved ? saved : "";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    const CliResult r = RunQuorvel({"eval", "--var", "f=2.5", "f*1.5"});
    if (saved)
        setenv("LC_ALL", previous.c_str(), 1);
    else
        unsetenv("LC_ALL");
    EXPECT_EQ(r.Out, "3.75\n");
}

} // namespace
} // namespace quorvel::test
