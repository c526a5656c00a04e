#include "CliTestSupport.h"
#include "ShippedData.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

std::string Repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

TEST(DiagramCommand, PrintsEveryTableAsJson) {
    const CliResult r = RunQuorvel({"diagram", TestData("Quorvel_EveryKind_lines.txt")});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out,
              "{\"configLines\":["
              "{\"name\":\"FOSC\",\"id\":1,\"spare\":0,\"x1\":10,\"y1\":20,\"x2\":60,\"y2\":20,"
              "\"altGroup\":1,\"linkGroup\":-1,\"value\":2,\"calcValue\":8},"
              "{\"name\":\"FOSC\",\"id\":2,\"spare\":0,\"x1\":10,\"y1\":30,\"x2\":60,\"y2\":30,"
              "\"altGroup\":1,\"linkGroup\":-1,\"value\":8,\"calcValue\":8}],"
              "\"registerLines\":["
              "{\"name\":\"OSCCON<14:12>\",\"id\":3,\"spare\":0,\"x1\":100,\"y1\":40,\"x2\":150,"
              "\"y2\":40,\"altGroup\":2,\"linkGroup\":-1,\"value\":3,\"calcValue\":0.5,"
              "\"comment\":\"//  OSCCON: FRC with PLL\"}],"
              "\"follow\":[{\"x1\":70,\"y1\":20,\"x2\":90,\"y2\":20,\"ids\":[1,2]}],"
              "\"followNot\":[{\"x1\":70,\"y1\":30,\"x2\":90,\"y2\":30,\"ids\":[3]}],"
              "\"excl\":[[1,3]],"
              "\"formulas\":[{\"name\":\"E0\",\"x\":200,\"y\":10,\"expression\":\"\"},"
              "{\"name\":\"E1\",\"x\":200,\"y\":50,\"expression\":\"max(E0,FOSC) * 2\"}],"
              "\"calcVals\":[{\"name\":\"FOSC\",\"value\":8}],"
              "\"regVals\":[{\"name\":\"OSCCON<14:12>\",\"value\":0,\"calcValue\":0.5,"
              "\"comment\":\"\",\"chosen\":false}]}\n");
}

TEST(DiagramCommand, RealNumbersReadBackToTheSameValue) {
    ScratchDir dir;
    const std::string file =
        dir.Write("reals.txt",
                  "A,1,0,3,3,9,9,-1,-1,1,0.1\nB,1,0,3,3,9,9,-1,-1,1,1e300\n"
                  "C,1,0,3,3,9,9,-1,-1,1,-2.5e-310\nD,1,0,3,3,9,9,-1,-1,1,3.14159265358979311\n");
    const CliResult r = RunQuorvel({"diagram", file});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"calcVals\":[{\"name\":\"A\",\"value\":0.1},{\"name\":\"B\",\"value\":"
                         "1e+300},{\"name\":\"C\",\"value\":-2.5e-310},{\"name\":\"D\",\"value\":"
                         "3.141592653589793}]"),
              std::string::npos)
        << r.Out;
}

TEST(DiagramCommand, TheFirstErrorEndsTheRun) {
    ScratchDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("missing.txt"), "File not found\n"},
        {dir.Path(), "File not found\n"},
        {dir.Write("short.txt", "A,1,0,3\nB,x\n"), "List index out of bounds (4)\n"},
        {dir.Write("bad.txt", "// fine\nFOLLOW,1,2,3,4,1 two\n"),
         "'two' is not a valid integer value\n"},
        {dir.Write("boxes.txt", Repeat("SHOWVAL,1,2,E0=\n", 32)), "Range check error\n"},
    };
    for (const auto& [file, err] : cases) {
        const CliResult r = RunQuorvel({"diagram", file});
        EXPECT_EQ(r.ExitCode, 1) << file;
        EXPECT_EQ(r.Out, "") << file;
        EXPECT_EQ(r.Err, err) << file;
    }
}

TEST(DiagramCommand, OutputIsValidUtf8WhateverTheBytes) {
    ScratchDir dir;
    std::string text = "SHOWVAL,1,2,E0=x";
    for (int c = 1; c < 256; ++c)
        if (c != '\n' && c != '\r' && c != ',' && c != '/')
            text += static_cast<char>(c);
    const CliResult r = RunQuorvel({"diagram", dir.Write("bytes.txt", text + "x\n")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    // Every byte of 0x80 and above became a two-byte sequence; no bare high byte is left,
    // and no control character but the final line end.
    ASSERT_EQ(r.Out.back(), '\n');
    for (std::size_t i = 0; i + 1 < r.Out.size(); ++i) {
        const auto c = static_cast<unsigned char>(r.Out[i]);
        if (c >= 0x80) {
            ASSERT_TRUE(c == 0xc2 || c == 0xc3) << i;
            ASSERT_EQ(static_cast<unsigned char>(r.Out[i + 1]) & 0xc0, 0x80) << i;
            ++i;
        } else {
            ASSERT_GE(c, 0x20) << i;
        }
    }
    EXPECT_NE(r.Out.find("\\u0001\\u0002"), std::string::npos);
    EXPECT_NE(r.Out.find("\\t"), std::string::npos);
}

TEST(DiagramCommand, ReadsEveryShippedDescription) {
    const auto files = ShippedFiles("", "Quorvel_", "_lines.txt");
    ASSERT_FALSE(files.empty()) << "the shipped diagram descriptions are missing";
    for (const std::string& file : files) {
        const CliResult r = RunQuorvel({"diagram", file});
        EXPECT_EQ(r.ExitCode, 0) << file << ": " << r.Err;
    }
}

} // namespace
} // namespace quorvel::test
