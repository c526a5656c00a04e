#include "CliTestSupport.h"
#include "ShippedData.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

TEST(DefsCommand, PrintsTheWordsOfAFileAsJson) {
    const CliResult r = RunQuorvel({"defs", TestData("one_word_one_field_two_settings.vlk")});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out, "{\"words\":[{\"name\":\"CONFIG1H\",\"address\":3145729,\"default\":37,"
                     "\"fields\":[{\"name\":\"FOSC\",\"description\":\"Oscillator Selection\","
                     "\"mask\":15,\"settings\":[{\"name\":\"HS\",\"mask\":15,\"value\":2,"
                     "\"description\":\"HS oscillator (above 4 MHz)\"},{\"name\":\"\",\"mask\":15,"
                     "\"value\":8,\"description\":\"Internal oscillator\"}]}]}]}\n");
}

TEST(DefsCommand, EscapesControlsAndWritesHighBytesAsLatin1) {
    ScratchDir dir;
    const std::string file =
        dir.Write("odd.vlk", "<cfg>\n<cfgbits a>\n<skey>q\"\\\x01\x7f\xe9\xff\x80</skey>\n"
                             "<waddr>4294967295</waddr>\n</cfg>\n");
    const CliResult r = RunQuorvel({"defs", file});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out, "{\"words\":[{\"name\":\"q\\\"\\\\\\u0001\\u007f\xc3\xa9\xc3\xbf\xc2\x80\","
                     "\"address\":4294967295,\"default\":null,\"fields\":[]}]}\n");
}

TEST(DefsCommand, FailuresPrintTheProgramsMessage) {
    ScratchDir dir;
    struct Case {
        std::string file;
        std::string err;
    } const cases[] = {
        {dir.File("P99X.vlk"), "VLK File \"" + dir.File("P99X") + ".vlk\" not Found?\n"},
        {dir.File("notes.txt"), "VLK File \"" + dir.File("notes.txt") + "\" not Found?\n"},
        {dir.Write("bad.vlk", "<cfg>\n<cfgbits a>\n<waddr>12G</waddr>\n"),
         "'12G' is not a valid integer value\n"},
        {dir.Write("range.vlk", "<cfg>\n<cfgbits a>\n<waddr>-1</waddr>\n"), "Range check error\n"},
    };
    for (const Case& c : cases) {
        const CliResult r = RunQuorvel({"defs", c.file});
        EXPECT_EQ(r.ExitCode, 1) << c.file;
        EXPECT_EQ(r.Out, "") << c.file;
        EXPECT_EQ(r.Err, c.err) << c.file;
    }
}

TEST(ReaderCommands, ArgumentsAndHelp) {
    for (const std::string command : {"defs", "diagram", "check"}) {
        const CliResult help = RunQuorvel({command, "--help"});
        EXPECT_EQ(help.ExitCode, 0) << command;
        EXPECT_NE(help.Out.find("Example:\n  quorvel " + command + " "), std::string::npos);
        for (const std::vector<std::string>& bad : {std::vector<std::string>{command},
                                                    {command, "a", "b"},
                                                    {command, "--fast", "a"},
                                                    {command, ""}}) {
            const CliResult r = RunQuorvel(bad);
            EXPECT_EQ(r.ExitCode, 2) << command << " with " << bad.size() - 1 << " arguments";
            EXPECT_NE(r.Err.find("usage: quorvel " + command), std::string::npos);
        }
    }
    // "--" lets a file name start with a dash.
    ScratchDir dir;
    dir.Write("-x.vlk", "");
    const CliResult dashed = RunQuorvel({"defs", "--", "-x.vlk"}, "", dir.Path());
    EXPECT_EQ(dashed.ExitCode, 0);
    EXPECT_EQ(dashed.Out, "{\"words\":[]}\n");
}

TEST(DefsCommand, ReadsEveryShippedDefinitionFile) {
    const auto files = ShippedFiles("Defs", "", ".vlk");
    ASSERT_FALSE(files.empty()) << "the shipped definition files are missing";
    for (const std::string& file : files) {
        const CliResult r = RunQuorvel({"defs", file});
        EXPECT_EQ(r.ExitCode, 0) << file << ": " << r.Err;
        EXPECT_NE(r.Out.find("\"fields\":[{"), std::string::npos) << file;
    }
}

} // namespace
} // namespace quorvel::test
