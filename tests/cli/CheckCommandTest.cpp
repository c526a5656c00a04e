#include "CliTestSupport.h"
#include "ShippedData.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

TEST(CheckCommand, ACleanFileHasNoProblems) {
    const std::string file = TestData("Quorvel_EveryKind_lines.txt");
    const CliResult r = RunQuorvel({"check", file});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out, "0 problems\n");
}

TEST(CheckCommand, ListsEveryProblemWithItsLineAndGoesOn) {
    ScratchDir dir;
    const std::string file = dir.Write("many.txt", "// comment\n"
                                                   "A,1,0,3,3,9,9,-1,-1,1\n"
                                                   "B,x\n"
                                                   "\n"
                                                   "C,1,0,3\r\n"
                                                   "R<40>,1,0,3,3,9,9,-1,-1,1\n"
                                                   "D,2,0,3,3,9,9,-1,-1,-4\n"
                                                   "E,3,0,3,3,9,9,-1,-1,1\n");
    const CliResult r = RunQuorvel({"check", file});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out, file + ":3: 'x' is not a valid integer value\n" + file +
                         ":5: List index out of bounds (4)\n" + file + ":6: Range check error\n" +
                         file + ":7: Range check error\n" + "4 problems\n");
}

TEST(CheckCommand, WarnsAboutWhatLoadsButCannotWork) {
    ScratchDir dir;
    const std::string file = dir.Write("warn.txt", "A,1,0,50,3,9,9,-1,-1,1\n"
                                                   "A,2,0,3,9,9,3,-1,-1,1\n"
                                                   "R<HI:0>,3,0,3,3,9,9,-1,-1,1\n"
                                                   "FOLLOW,0,0,5,5,1 7 3\n"
                                                   "FOLLOW_NOT,0,0,5,5,8\n"
                                                   "EXCL,2,9\n"
                                                   "SHOWVAL,1,1,Ex=2\n"
                                                   "SHOWVAL,1,1,input=\n"
                                                   "SHOWVAL,1,1,E7=E0\n"
                                                   "R<2>,4,0,3,3,9,9,-1,-1,1\n");
    const CliResult r = RunQuorvel({"check", file});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out,
              file +
                  ":1: warning: line runs from (50,3) to (9,9): its click box needs X1 <= X2 "
                  "and Y1 <= Y2\n" +
                  file +
                  ":2: warning: line runs from (3,9) to (9,3): its click box needs X1 <= X2 and "
                  "Y1 <= Y2\n" +
                  file +
                  ":3: warning: the bit range of register name \"R<HI:0>\" is not a number\n" +
                  file + ":4: warning: FOLLOW identifier 7 matches no line\n" + file +
                  ":5: warning: FOLLOW_NOT identifier 8 matches no line\n" + file +
                  ":6: warning: EXCL identifier 9 matches no line\n" + file +
                  ":7: warning: SHOWVAL name \"Ex\" does not end in a number\n" + "0 problems\n");
}

TEST(CheckCommand, CapsTheUnknownIdentifiersOfALine) {
    ScratchDir dir;
    // 60,000 identifiers of which only the line's own 5 is known: the report stays short.
    std::string ids;
    for (int i = 0; i < 60000; ++i)
        ids += std::to_string(i % 30000) + " ";
    const std::string file =
        dir.Write("many.txt", "FOLLOW,0,0,5,5," + ids + "\nA,5,0,3,3,9,9,-1,-1,1\n");
    const CliResult r = RunQuorvel({"check", file});
    EXPECT_EQ(r.ExitCode, 0);
    std::string expected;
    for (int id : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10})
        expected +=
            file + ":1: warning: FOLLOW identifier " + std::to_string(id) + " matches no line\n";
    expected += file + ":1: warning: 59988 more FOLLOW identifiers of this line match no line\n";
    EXPECT_EQ(r.Out, expected + "0 problems\n");
}

TEST(CheckCommand, KeepsCountingValueBoxesAfterTheLastOne) {
    ScratchDir dir;
    std::string text;
    for (int i = 0; i < 33; ++i)
        text += "SHOWVAL,1,2,E" + std::to_string(i) + "=\n";
    const std::string file = dir.Write("boxes.txt", text);
    const CliResult r = RunQuorvel({"check", file});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, file + ":32: Range check error\n" + file + ":33: Range check error\n" +
                         "2 problems\n");
}

TEST(CheckCommand, ValidatesLimitsAndTypedFields) {
    ScratchDir dir;
    const std::string file = dir.Write("limits.txt", "USE,1,0,3,3,9,3,0,-1,1\n"
                                                     "R<3:0>,2,0,3,9,9,9,1,-1,1\n"
                                                     "SHOWVAL,1,1,E0=\n"
                                                     "SHOWVAL,1,1,E1=E0*USE\n"
                                                     "RANGE,1,100,200,USE // fine\n"
                                                     "RANGE,5,1,2\n"
                                                     "CHECK,0,NOSUCH > 1 // bad name\n"
                                                     "CHECK,1,ifthen(R<3:0>,E1 < 3,1)\n"
                                                     "RANGE,1,3,2\n"
                                                     "TYPED,0,R<3:0>,1,15,E0 - 1\n"
                                                     "TYPED,1,R<3:0>,1,17,E1\n"
                                                     "TYPED,0,Q<3:0>,0,3,E0\n");
    const CliResult r = RunQuorvel({"check", file});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, file + ":6: RANGE box 5 has no SHOWVAL line\n" + file +
                         ":7: CHECK condition: Variable \"NOSUCH\" not defined\n" + file +
                         ":9: RANGE minimum 3 is above its maximum 2\n" + file +
                         ":11: TYPED box 1 is no input box\n" + file +
                         ":11: TYPED formula gives 16 for 16, which is no value of R<3:0>\n" +
                         file + ":12: TYPED bit-field Q<3:0> has no register line\n" +
                         "6 problems\n");
}

TEST(CheckCommand, AMissingFileIsOneProblem) {
    ScratchDir dir;
    const CliResult r = RunQuorvel({"check", dir.File("none.txt")});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, dir.File("none.txt") + ": File not found\n1 problems\n");
}

TEST(CheckCommand, EveryShippedDescriptionIsClean) {
    const auto files = ShippedFiles("", "Quorvel_", "_lines.txt");
    ASSERT_FALSE(files.empty()) << "the shipped diagram descriptions are missing";
    for (const std::string& file : files) {
        const CliResult r = RunQuorvel({"check", file});
        EXPECT_EQ(r.ExitCode, 0) << r.Out;
        EXPECT_EQ(r.Out, "0 problems\n");
    }
}

} // namespace
} // namespace quorvel::test

namespace quorvel::test {
namespace {

TEST(CheckCommand, ChecksWriteSequences) {
    ScratchDir dir;
    const std::string file = dir.Write("seq.txt", "OSCCON<2:0>,1,0,3,3,9,3,-1,-1,1\n"
                                                  "SEQUENCE,OSCCON,BEFORE,SYSKEY,0,0xAA996655\n"
                                                  "SEQUENCE,OSCTUN,AFTER,SYSKEY,0\n"
                                                  "SEQUENCE,OSCCON,LATER,SYSKEY,0\n");
    const CliResult r = RunQuorvel({"check", file});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, file +
                         ":3: warning: SEQUENCE register \"OSCTUN\" is written by no register "
                         "line\n" +
                         file + ":4: SEQUENCE needs BEFORE or AFTER, not \"LATER\"\n1 problems\n");
}

} // namespace
} // namespace quorvel::test
