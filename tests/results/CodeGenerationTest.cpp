#include "results/CodeGeneration.h"

#include "util/Errors.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

struct CodeCase {
    const char* name;
    std::uint32_t value;
    const char* comment;
    const char* line;
};

TEST(InitCodeLine, WritesClearAndSetForEachRange) {
    const CodeCase cases[] = {
        {"OSCCON<14:12>", 3, "// text", "OSCCON := (OSCCON and (not 28672)) or 12288; // text"},
        {"OSCCON<14:12>", 0, "// text", "OSCCON := (OSCCON and (not 28672)); // text"},
        {"CLKDIV<3>", 1, "// c", "CLKDIV := (CLKDIV and (not 8)) or 8; // c"},
        {"CLKDIV<0>", 1, "", "CLKDIV := (CLKDIV and (not 1)) or 1; "},
        {"R<7:0>", 255, "", "R := (R and (not 255)) or 255; "},
        {"R<31:0>", 1, "", "R := (R and (not 4294967295)) or 1; "},
        {"R<31:28>", 0x1F, "", "R := (R and (not 4026531840)) or 4026531840; "},
        {"R<0:3>", 1, "// reversed", "R := (R and (not 0)) or 8; // reversed"},
        {"R<31>", 1, "", "R := (R and (not 2147483648)) or 2147483648; "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InitCodeLine(c.name, c.value, c.comment), c.line) << c.name;
}

TEST(InitCodeLine, BitRangeThatIsNoNumberFails) {
    try {
        InitCodeLine("R<a:0>", 1, "");
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'a' is not a valid integer value");
    }
    EXPECT_THROW(InitCodeLine("R<>", 1, ""), ConversionError);
    EXPECT_THROW(InitCodeLine("R<70000>", 1, ""), ConversionError);
    EXPECT_EQ(InitCodeLine("R<40:33>", 1, ""), "R := (R and (not 0)) or 0; ")
        << "bits beyond 31 are lost, never undefined";
}

TEST(GenerateInitCode, ListsChosenEntriesInTableOrderAndKeepsLinesBeforeAnError) {
    const std::vector<TRegVal> vals = {
        {"B<1>", 1, 1, "// b", true}, {"A<0>", 1, 1, "// a", false}, {"C<2>", 0, 1, "", true},
        {"D<x>", 1, 1, "", true},     {"E<3>", 1, 1, "", true},
    };
    std::vector<std::string> lines;
    EXPECT_THROW(GenerateInitCode(vals, lines), ConversionError);
    EXPECT_EQ(lines, (std::vector<std::string>{"B := (B and (not 2)) or 2; // b",
                                               "C := (C and (not 4)); "}));
}

} // namespace
} // namespace quorvel
