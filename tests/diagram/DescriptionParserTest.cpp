#include "diagram/DescriptionParser.h"

#include "TestSupport.h"
#include "shell/HeadlessViews.h"
#include "util/Errors.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::KeepCurrentDirectory;
using test::ScratchDir;

struct Parsed {
    TModel model;
    MemoryValueBoxes boxes;
    std::string error; // message of the error that ended the parse, or ""
};

Parsed Parse(const std::string& text) {
    Parsed p;
    try {
        ParseDiagramDescription(text, p.model, p.boxes);
    } catch (const std::exception& e) {
        p.error = e.what();
    }
    return p;
}

std::string ErrorOf(const std::string& text) {
    return Parse(text).error;
}

std::string Repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

// --- Line processing ---

TEST(DescriptionLines, CommentsAndBlankLinesAreIgnored) {
    const Parsed p = Parse("// only a comment\n   \t \n\n  // indented comment\n\x01\x1f\n");
    EXPECT_EQ(p.error, "");
    EXPECT_TRUE(p.model.ConfigLines.empty());
    EXPECT_TRUE(p.model.Formulas.empty());
}

TEST(DescriptionLines, KeywordsIgnoreCaseAndNamesAreUpperCased) {
    const Parsed p = Parse("follow,1,2,3,4,5\nFollow_Not,1,2,3,4,5\nexcl,1\nShowVal,1,2,E0=\n"
                           "osc_\xe9mode,1,0,3,3,9,9,-1,-1,0\n");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.model.FollowRules.size(), 1u);
    EXPECT_EQ(p.model.FollowNotRules.size(), 1u);
    EXPECT_EQ(p.model.ExclGroups.size(), 1u);
    EXPECT_EQ(p.model.Formulas.size(), 1u);
    ASSERT_EQ(p.model.ConfigLines.size(), 1u);
    EXPECT_EQ(p.model.ConfigLines[0].Name, "OSC_\xe9MODE"); // only a..z change
}

TEST(DescriptionLines, ALessThanSignMakesARegisterLineWhateverTheName) {
    const Parsed p = Parse("FOLLOW<3>,1,0,3,3,9,9,-1,-1,1\nshowval<0>,1,0,3,3,9,9,-1,-1,1\n");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.RegisterLines.size(), 2u);
    EXPECT_EQ(p.model.RegisterLines[1].Name, "SHOWVAL<0>");
    EXPECT_TRUE(p.model.FollowRules.empty());
}

TEST(DescriptionLines, MisspeltKeywordIsAConfigurationLineNeedingTenFields) {
    EXPECT_EQ(ErrorOf("FOLLOWS,1,2,3,4,5\n"), "List index out of bounds (6)");
}

TEST(DescriptionLines, ACommentStartsAnywhereEvenInsideAField) {
    const Parsed p = Parse("SHOWVAL,1,2,E0=4//2, 7\n");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.model.Formulas[0].Expression, "4");
}

// --- Configuration and register lines ---

TEST(DescriptionLines, ReadsEveryFieldOfAConfigurationLine) {
    const Parsed p = Parse("FOSC , 7 , 9 , 10 , 20 , 60 , 25 , -1 , 4 , $10 , 2.5e1, ignored\n");
    ASSERT_EQ(p.error, "");
    const TLine_& l = p.model.ConfigLines.at(0);
    EXPECT_EQ(l.Name, "FOSC");
    EXPECT_EQ(std::vector<int>({l.Id, l.Spare, l.X1, l.Y1, l.X2, l.Y2, l.AltGroup, l.LinkGroup}),
              std::vector<int>({7, 9, 10, 20, 60, 25, -1, 4}));
    EXPECT_EQ(l.Value, 16u);
    EXPECT_EQ(l.CalcValue, 25.0);
    EXPECT_EQ(p.model.ConfigLineMarked, std::vector<bool>{false});
}

TEST(DescriptionLines, HexadecimalPatternsFromDollar80000000AreNegative) {
    const Parsed p = Parse("A,1,0,3,3,9,9,$FFFFFFFF,$FFFFFFFF,1\n");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.model.ConfigLines.at(0).AltGroup, -1) << "a group of $FFFFFFFF means none";
    EXPECT_EQ(p.model.ConfigLines.at(0).LinkGroup, -1);
    EXPECT_EQ(ErrorOf("A,1,0,3,3,9,9,-1,-1,$FFFFFFFF\n"), "Range check error");
    EXPECT_EQ(ErrorOf("A,1,0,3,3,9,9,-1,-1,$100000000\n"),
              "'$100000000' is not a valid integer value");
}

TEST(DescriptionLines, CalcValueComesFromFieldTenOrNine) {
    const std::pair<const char*, double> cases[] = {
        {"A,1,0,3,3,9,9,-1,-1,3", 3.0},          // ten fields: the setting value
        {"A,1,0,3,3,9,9,-1,-1,3,0.25", 0.25},    // eleventh field
        {"A,1,0,3,3,9,9,-1,-1,3,", 1.0},         // empty eleventh field
        {"A,1,0,3,3,9,9,-1,-1,3,4 MHz", 1.0},    // not a real number
        {"A,1,0,3,3,9,9,-1,-1,$10", 1.0},        // hexadecimal value is no real number
        {"A,1,0,3,3,9,9,-1,-1,3,-.5E-1", -0.05}, // sign, no integer part, exponent
    };
    for (const auto& [line, expected] : cases) {
        const Parsed p = Parse(line);
        ASSERT_EQ(p.error, "") << line;
        EXPECT_DOUBLE_EQ(p.model.ConfigLines[0].CalcValue, expected) << line;
        EXPECT_DOUBLE_EQ(p.model.CalcVals[0].Value, expected) << line;
    }
}

TEST(DescriptionLines, NamesSeenAgainCreateNoSecondVariable) {
    const Parsed p = Parse("B,1,0,3,3,9,9,-1,-1,1,5\nA,2,0,3,3,9,9,-1,-1,2\nb,3,0,3,3,9,9,-1,-1,3\n"
                           "R<1>,4,0,3,3,9,9,-1,-1,1,0.5 // first\nr<1>,5,0,3,3,9,9,-1,-1,0\n");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.model.ConfigLines.size(), 3u);
    ASSERT_EQ(p.model.CalcVals.size(), 2u);
    EXPECT_EQ(p.model.CalcVarNames.Items(), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(p.model.CalcVals[0].Name, "B");
    EXPECT_EQ(p.model.CalcVals[0].Value, 5.0);
    ASSERT_EQ(p.model.RegVals.size(), 1u);
    const TRegVal& r = p.model.RegVals[0];
    EXPECT_EQ(r.Name, "R<1>");
    EXPECT_EQ(r.Value, 0u);
    EXPECT_EQ(r.CalcValue, 0.5);
    EXPECT_EQ(r.Comment, "");
    EXPECT_FALSE(r.Chosen);
    EXPECT_EQ(p.model.RegisterLineMarked, (std::vector<bool>{false, false}));
}

TEST(DescriptionLines, RegisterLinesKeepTheirTrimmedComment) {
    const std::string longComment = "//" + std::string(300, 'c');
    const Parsed p = Parse("R<7:0>,1,0,3,3,9,9,-1,-1,1 //  clock \t \n"
                           "R<7:0>,2,0,3,3,9,9,-1,-1,1\n"
                           "R<7:0>,3,0,3,3,9,9,-1,-1,1 " +
                           longComment + "\nA,1,0,3,3,9,9,-1,-1,1 // dropped\n");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.RegisterLines.size(), 3u);
    EXPECT_EQ(p.model.RegisterLines[0].Comment, "//  clock");
    EXPECT_EQ(p.model.RegisterLines[1].Comment, "");
    EXPECT_EQ(p.model.RegisterLines[2].Comment, longComment.substr(0, 255));
}

// --- Field counts, numbers and ranges ---

TEST(DescriptionErrors, TooFewFieldsNameTheMissingField) {
    const std::pair<const char*, const char*> cases[] = {
        {"A", "List index out of bounds (1)"},
        {"A,1,0,3,3,9,9,-1,-1", "List index out of bounds (9)"},
        {"R<1>,1,0,3,3", "List index out of bounds (5)"},
        {"FOLLOW,1,2,3,4", "List index out of bounds (5)"},
        {"FOLLOW_NOT", "List index out of bounds (1)"},
        {"SHOWVAL,1,2", "List index out of bounds (3)"},
    };
    for (const auto& [line, message] : cases) {
        EXPECT_EQ(ErrorOf(line), message) << line;
        EXPECT_THROW(
            {
                TModel m;
                MemoryValueBoxes b;
                ParseDiagramDescription(line, m, b);
            },
            ListIndexError);
    }
}

TEST(DescriptionErrors, FieldsAreReadInOrderSoTheFirstBadOneSpeaks) {
    const std::pair<const char*, const char*> cases[] = {
        {"A,x", "'x' is not a valid integer value"},
        {"A,,0", "'' is not a valid integer value"},
        {"A,1,0,3,3,9,9,-1,-1,1.5", "'1.5' is not a valid integer value"},
        {"A,1,0,3,3,9,9,abc", "'abc' is not a valid integer value"},
        {"A,1,0,3,3,9,9,-1,-1,2147483648", "'2147483648' is not a valid integer value"},
        {"A,1,0,3,3,9,9,-1,-1,-1", "Range check error"},    // negative value
        {"A,65536,0,3,3,9,9,-1,-1,1", "Range check error"}, // 16-bit identifier
        {"A,-1,0,3,3,9,9,-1,-1,1", "Range check error"},
        {"FOLLOW,1,2,3,65536,5", "Range check error"},
        {"FOLLOW,1,2,3,4,5 x", "'x' is not a valid integer value"},
        {"FOLLOW,1,2,3,4,70000", "Range check error"},
        {"EXCL,1,-2", "Range check error"},
        {"EXCL,1,$", "'$' is not a valid integer value"},
        {"SHOWVAL,-1,2,E0=", "Range check error"},
        {"SHOWVAL,1,y,E0=", "'y' is not a valid integer value"},
    };
    for (const auto& [line, message] : cases)
        EXPECT_EQ(ErrorOf(line), message) << line;
}

TEST(DescriptionErrors, LineCoordinatesMustLeaveRoomForTheClickBox) {
    const std::pair<const char*, const char*> cases[] = {
        {"A,1,0,3,3,65532,65532,-1,-1,1", ""},
        {"A,1,0,2,3,9,9,-1,-1,1", "Range check error"},
        {"A,1,0,3,0,9,9,-1,-1,1", "Range check error"},
        {"A,1,0,3,3,65533,9,-1,-1,1", "Range check error"},
        {"R<0>,1,0,3,3,9,65535,-1,-1,1", "Range check error"},
        {"FOLLOW,0,0,65535,65535,1", ""}, // connectors are only drawn
        {"SHOWVAL,0,65535,E0=", ""},
    };
    for (const auto& [line, message] : cases)
        EXPECT_EQ(ErrorOf(line), message) << line;
}

TEST(DescriptionErrors, RegisterBitNumbersMustFitA32BitRegister) {
    const std::pair<const char*, const char*> cases[] = {
        {"R<31:0>,1,0,3,3,9,9,-1,-1,1", ""},
        {"R<0>,1,0,3,3,9,9,-1,-1,1", ""},
        {"R<0:3>,1,0,3,3,9,9,-1,-1,1", ""}, // reversed: the code has an empty mask
        {"R<32>,1,0,3,3,9,9,-1,-1,1", "Range check error"},
        {"R<32:0>,1,0,3,3,9,9,-1,-1,1", "Range check error"},
        {"R<7:-1>,1,0,3,3,9,9,-1,-1,1", "Range check error"},
        {"R<99999999999>,1,0,3,3,9,9,-1,-1,1", "Range check error"},
        {"R<HI:LO>,1,0,3,3,9,9,-1,-1,1", ""}, // no number: left to the code generator
        {"R<40>,x", "Range check error"},     // the name is field 0, read first
    };
    for (const auto& [line, message] : cases)
        EXPECT_EQ(ErrorOf(line), message) << line;
}

TEST(DescriptionErrors, LinesBeforeTheBadOneStay) {
    const Parsed p = Parse("A,1,0,3,3,9,9,-1,-1,1\nFOLLOW,1,2,3,4,1\nB,x\nC,1,0,3,3,9,9,-1,-1,1\n");
    EXPECT_EQ(p.error, "'x' is not a valid integer value");
    EXPECT_EQ(p.model.ConfigLines.size(), 1u);
    EXPECT_EQ(p.model.ConfigLineMarked.size(), 1u);
    EXPECT_EQ(p.model.CalcVals.size(), 1u);
    EXPECT_EQ(p.model.FollowRules.size(), 1u);
}

// --- FOLLOW and EXCL ---

TEST(DescriptionRules, FollowIdentifiersAreSplitAtBlanksNotCommas) {
    const Parsed p = Parse("FOLLOW,1,2,3,4,3  4 7\nFOLLOW,1,2,3,4,3,4,7\nFOLLOW_NOT,5,6,7,8,  \n"
                           "FOLLOW_NOT,5,6,7,8,\t9\t\n");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.FollowRules.size(), 2u);
    EXPECT_EQ(p.model.FollowRules[0].Ids, (std::vector<std::uint16_t>{3, 4, 7}));
    EXPECT_EQ(p.model.FollowRules[1].Ids, (std::vector<std::uint16_t>{3}));
    const TFollow_& f = p.model.FollowRules[0];
    EXPECT_EQ(std::vector<int>({f.X1, f.Y1, f.X2, f.Y2}), std::vector<int>({1, 2, 3, 4}));
    ASSERT_EQ(p.model.FollowNotRules.size(), 2u);
    EXPECT_TRUE(p.model.FollowNotRules[0].Ids.empty());
    EXPECT_EQ(p.model.FollowNotRules[1].Ids, (std::vector<std::uint16_t>{9}));
}

TEST(DescriptionRules, ExclIdentifiersAreOnePerFieldEmptyOnesSkipped) {
    const Parsed p = Parse("EXCL, 2, , 5\nEXCL\nEXCL,,,\nEXCL,1 2\n");
    EXPECT_EQ(p.error, "'1 2' is not a valid integer value");
    ASSERT_EQ(p.model.ExclGroups.size(), 3u);
    EXPECT_EQ(p.model.ExclGroups[0].Ids, (std::vector<std::uint16_t>{2, 5}));
    EXPECT_TRUE(p.model.ExclGroups[1].Ids.empty());
    EXPECT_TRUE(p.model.ExclGroups[2].Ids.empty());
}

// --- SHOWVAL and the value boxes ---

TEST(DescriptionValueBoxes, ExpressionCommasSurviveButTheirBlanksDoNot) {
    const std::pair<const char*, std::pair<const char*, const char*>> cases[] = {
        {"SHOWVAL,1,2, E3 = max( E1 , E2 ) ", {"E3", "max( E1,E2 )"}},
        {"SHOWVAL,1,2,E1 = a = b", {"E1", "a = b"}},
        {"SHOWVAL,1,2,E2=", {"E2", ""}},
        {"SHOWVAL,1,2,no equals sign", {"", ""}},
        {"SHOWVAL,1,2,,x", {"", ",x"}},
    };
    for (const auto& [line, expected] : cases) {
        const Parsed p = Parse(line);
        ASSERT_EQ(p.error, "") << line;
        EXPECT_EQ(p.model.Formulas[0].Name, expected.first) << line;
        EXPECT_EQ(p.model.Formulas[0].Expression, expected.second) << line;
    }
}

TEST(DescriptionValueBoxes, InputAndResultBoxesAreLaidOutInFileOrder) {
    const Parsed p = Parse("SHOWVAL, 120, 340, E0 =\nSHOWVAL, 5, 6, E1 = E0 * 2\n");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.model.ValueBoxCount, 2);
    const ValueBoxState& input = p.boxes.Box(0);
    EXPECT_TRUE(input.input);
    EXPECT_TRUE(input.visible);
    EXPECT_EQ(input.text, "4 Mhz");
    EXPECT_EQ(input.left, 120);
    EXPECT_EQ(input.top, 340);
    const ValueBoxState& result = p.boxes.Box(1);
    EXPECT_FALSE(result.input);
    EXPECT_TRUE(result.visible);
    EXPECT_EQ(result.text, ""); // left to the calculation
    EXPECT_EQ(result.left, 5);
    EXPECT_FALSE(p.boxes.Box(2).visible);
    EXPECT_EQ(p.model.Formulas[0].X, 120);
    EXPECT_EQ(p.model.Formulas[0].Y, 340);
}

TEST(DescriptionValueBoxes, ThirtyOneBoxesFitTheThirtySecondIsRefused) {
    const std::string line = "SHOWVAL,1,2,E0=1\n";
    const Parsed full = Parse(Repeat(line, 31));
    EXPECT_EQ(full.error, "");
    EXPECT_EQ(full.model.ValueBoxCount, 31);
    EXPECT_TRUE(full.boxes.Box(30).visible);

    const Parsed over = Parse(Repeat(line, 31) + "SHOWVAL,7,8,E31=\nA,1,0,3,3,9,9,-1,-1,1\n");
    EXPECT_EQ(over.error, "Range check error");
    EXPECT_EQ(over.model.Formulas.size(), 32u); // appended before its box is refused
    EXPECT_EQ(over.model.ValueBoxCount, 31);
    EXPECT_TRUE(over.model.ConfigLines.empty());
}

// --- Loading descriptions ---

class DescriptionLoad : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::current_path(QUORVEL_TEST_DATA_DIR); }
    KeepCurrentDirectory keep;
    TModel model;
    MemoryValueBoxes boxes;
};

TEST_F(DescriptionLoad, ASecondDescriptionReplacesTheFirst) {
    model.ConfigWords.resize(2);
    LoadDiagramDescription("EveryKind", model, boxes);
    LoadDiagramDescription("Second", model, boxes);
    ASSERT_EQ(model.ConfigLines.size(), 1u);
    EXPECT_EQ(model.ConfigLines[0].Name, "PLLDIV");
    EXPECT_EQ(model.ConfigLineMarked.size(), 1u);
    EXPECT_TRUE(model.RegisterLines.empty());
    EXPECT_TRUE(model.RegisterLineMarked.empty());
    EXPECT_TRUE(model.FollowRules.empty());
    EXPECT_TRUE(model.FollowNotRules.empty());
    EXPECT_TRUE(model.ExclGroups.empty());
    EXPECT_EQ(model.CalcVarNames.Items(), std::vector<std::string>{"PLLDIV"});
    EXPECT_EQ(model.CalcVarNames.IndexOf("FOSC"), -1);
    EXPECT_EQ(model.RegNames.Count(), 0u);
    EXPECT_TRUE(model.RegVals.empty());
    ASSERT_EQ(model.Formulas.size(), 1u);
    EXPECT_EQ(model.Formulas[0].Name, "E5");
    EXPECT_EQ(model.ValueBoxCount, 1);
    EXPECT_EQ(model.ConfigWords.size(), 2u); // not the parser's table
}

TEST_F(DescriptionLoad, AMissingFileEmptiesOnlyTheLineTables) {
    LoadDiagramDescription("EveryKind", model, boxes);
    EXPECT_THROW(
        {
            try {
                LoadDiagramDescription("NoSuchDiagram", model, boxes);
            } catch (const FileError& e) {
                EXPECT_STREQ(e.what(), "File not found");
                throw;
            }
        },
        FileError);
    EXPECT_TRUE(model.ConfigLines.empty());
    EXPECT_TRUE(model.ConfigLineMarked.empty());
    EXPECT_TRUE(model.RegisterLines.empty());
    EXPECT_TRUE(model.FollowRules.empty());
    EXPECT_TRUE(model.ExclGroups.empty());
    // Names, variables and formulas are emptied only once the file is open.
    EXPECT_EQ(model.CalcVals.size(), 1u);
    EXPECT_EQ(model.Formulas.size(), 2u);
}

TEST_F(DescriptionLoad, ADirectoryIsNoDescriptionFile) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.File("Quorvel_Dir_lines.txt"));
    std::filesystem::current_path(dir.Path());
    EXPECT_THROW(LoadDiagramDescription("Dir", model, boxes), FileError);
}

// --- Outside input ---

TEST(DescriptionInput, LineEndsAndOddBytes) {
    // CR LF and LF end lines; a lone CR is dropped, joining what stands around it.
    const Parsed p =
        Parse("A,1,0,3,3,9,9,-1,-1,1\r\nB,1,0,3,3,9,9,-1,-1,2,1\r5\nC,1,0,3,3,9,9,-1,-1,1");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.ConfigLines.size(), 3u);
    EXPECT_EQ(p.model.ConfigLines[1].Name, "B");
    EXPECT_EQ(p.model.ConfigLines[1].CalcValue, 15.0);
    EXPECT_EQ(Parse(std::string("A\0,1", 4)).error, "List index out of bounds (2)");
    std::string garbage;
    for (int i = 0; i < 50000; ++i)
        garbage += static_cast<char>((i * 2654435761u) >> 24);
    EXPECT_NO_THROW(Parse(garbage));
}

TEST(DescriptionInput, HugeLinesAndManyLinesStayLinear) {
    const Parsed wide =
        Parse("EXCL" + Repeat(",1", 65536) + "\nSHOWVAL,1,2,E0=" + Repeat("a,", 200000) + "\n");
    ASSERT_EQ(wide.error, "");
    EXPECT_EQ(wide.model.ExclGroups[0].Ids.size(), 65536u);
    EXPECT_EQ(wide.model.Formulas[0].Expression.size(), 400000u);
    EXPECT_EQ(ErrorOf("EXCL" + Repeat(",1", 65537)), "Range check error");

    // One list holds at most 65,536 entries: the 65,537th line is refused.
    const Parsed many = Parse(Repeat("A,1,0,3,3,9,9,-1,-1,1\n", 100000));
    EXPECT_EQ(many.error, "Range check error");
    EXPECT_EQ(many.model.ConfigLines.size(), 65536u);
}

} // namespace
} // namespace quorvel

namespace quorvel {
namespace {

// --- Write sequences ---

TEST(DescriptionSequences, ReadRegisterPositionTargetAndValuesInOrder) {
    const Parsed p = Parse("sequence, osccon , Before, SYSKEY, 0, 0xAA996655, $556699AA // unlock\n"
                           "SEQUENCE,OSCCON,AFTER,SYSKEY,0\n");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.WriteSequences.size(), 2u);
    const TWriteSequence& before = p.model.WriteSequences[0];
    EXPECT_EQ(before.Register, "OSCCON");
    EXPECT_FALSE(before.After);
    EXPECT_EQ(before.Target, "SYSKEY");
    EXPECT_EQ(before.Values, (std::vector<std::uint32_t>{0, 0xAA996655, 0x556699AA}));
    EXPECT_TRUE(p.model.WriteSequences[1].After);
    EXPECT_TRUE(p.model.ConfigLines.empty()) << "a sequence is no configuration line";
    TModel reloaded = p.model;
    MemoryValueBoxes boxes;
    ParseDiagramDescription("", reloaded, boxes);
    EXPECT_TRUE(reloaded.WriteSequences.empty()) << "a new description replaces them";
}

TEST(DescriptionSequences, BadSequencesAreRefusedWithTheirReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"SEQUENCE,OSCCON,BEFORE,SYSKEY", "List index out of bounds (4)"},
        {"SEQUENCE,OSC CON,BEFORE,SYSKEY,1", "SEQUENCE needs a register name, not \"OSC CON\""},
        {"SEQUENCE,R<1>,BEFORE,K,1", "SEQUENCE needs a register name, not \"R<1>\""},
        {"SEQUENCE,OSCCON,DURING,SYSKEY,1", "SEQUENCE needs BEFORE or AFTER, not \"DURING\""},
        {"SEQUENCE,OSCCON,AFTER,9KEY,1",
         "SEQUENCE needs the name of the register it writes, not \"9KEY\""},
        {"SEQUENCE,OSCCON,AFTER,K,1,x", "'x' is not a valid integer value"},
        {"SEQUENCE,OSCCON,AFTER,K,-1", "Range check error"},
        {"SEQUENCE,OSCCON,AFTER,K,0x100000000", "Range check error"},
        {"SEQUENCE,OSCCON,AFTER,K,4294967295", ""},
    };
    for (const auto& [line, message] : cases)
        EXPECT_EQ(ErrorOf(line), message) << line;
}

} // namespace
} // namespace quorvel
