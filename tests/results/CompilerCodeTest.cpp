#include "results/CompilerCode.h"

#include "ModelBuilder.h"
#include "results/CodeGeneration.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using Lines = std::vector<std::string>;
using test::AddConfigLine;
using test::AddRegisterLine;

// Chooses a register bit-field as a click on one of its lines would.
void Choose(TModel& m, const std::string& name, std::uint32_t value, const std::string& comment) {
    for (TRegVal& val : m.RegVals)
        if (val.Name == name) {
            val.Value = value;
            val.Comment = comment;
            val.Chosen = true;
            return;
        }
    m.RegVals.push_back({name, value, 0, comment, true});
}

Lines Code(const TModel& m, CodeLanguage language, bool merge = false) {
    Lines lines;
    GenerateRegisterCode(m, {language, merge}, lines);
    return lines;
}

// CLKDIV<7:6> = 0, CLKDIV<4:0> = 3, PLLFBD<8:0> = 38, CLKDIV<14:12> = 3, unchosen X<0>.
TModel Registers() {
    TModel m;
    Choose(m, "CLKDIV<7:6>", 0, "// PLLPOST: N2 = 2");
    Choose(m, "CLKDIV<4:0>", 3, "");
    Choose(m, "PLLFBD<8:0>", 38, "// PLLDIV: M = 40");
    Choose(m, "CLKDIV<14:12>", 3, "// DOZE");
    m.RegVals.push_back({"X<0>", 1, 0, "// never chosen", false});
    return m;
}

TEST(RegisterCode, PascalIsTheClassicFormAndBasicAndCFollowTheirOwnSyntax) {
    const TModel m = Registers();
    Lines classic;
    GenerateInitCode(m.RegVals, classic);
    EXPECT_EQ(Code(m, CodeLanguage::Pascal), classic);
    EXPECT_EQ(Code(m, CodeLanguage::C),
              (Lines{"CLKDIV = (CLKDIV & ~0xC0u); // PLLPOST: N2 = 2",
                     "CLKDIV = (CLKDIV & ~0x1Fu) | 0x3u;",
                     "PLLFBD = (PLLFBD & ~0x1FFu) | 0x26u; // PLLDIV: M = 40",
                     "CLKDIV = (CLKDIV & ~0x7000u) | 0x3000u; // DOZE"}));
    EXPECT_EQ(Code(m, CodeLanguage::Basic),
              (Lines{"CLKDIV = (CLKDIV and (not 0xC0)) ' PLLPOST: N2 = 2",
                     "CLKDIV = (CLKDIV and (not 0x1F)) or 0x3",
                     "PLLFBD = (PLLFBD and (not 0x1FF)) or 0x26 ' PLLDIV: M = 40",
                     "CLKDIV = (CLKDIV and (not 0x7000)) or 0x3000 ' DOZE"}));
}

TEST(RegisterCode, MergeWritesEachRegisterOnceInOrderOfFirstAppearance) {
    const TModel m = Registers();
    EXPECT_EQ(Code(m, CodeLanguage::Pascal, true),
              (Lines{"CLKDIV := (CLKDIV and (not 28895)) or 12291; // PLLPOST: N2 = 2; DOZE",
                     "PLLFBD := (PLLFBD and (not 511)) or 38; // PLLDIV: M = 40"}));
    EXPECT_EQ(Code(m, CodeLanguage::C, true),
              (Lines{"CLKDIV = (CLKDIV & ~0x70DFu) | 0x3003u; // PLLPOST: N2 = 2; DOZE",
                     "PLLFBD = (PLLFBD & ~0x1FFu) | 0x26u; // PLLDIV: M = 40"}));
    // A register whose merged value is zero has no OR part; no comments, no comment.
    TModel zero;
    Choose(zero, "R<1>", 0, "");
    Choose(zero, "R<0>", 0, "//");
    EXPECT_EQ(Code(zero, CodeLanguage::Pascal, true), Lines{"R := (R and (not 3)); "});
    EXPECT_EQ(Code(zero, CodeLanguage::Basic, true), Lines{"R = (R and (not 0x3))"});
}

TEST(RegisterCode, ABadBitRangeKeepsTheLinesBeforeIt) {
    TModel m;
    Choose(m, "A<1>", 1, "");
    Choose(m, "B<x>", 1, "");
    Lines lines;
    EXPECT_THROW(GenerateRegisterCode(m, {CodeLanguage::C, false}, lines), ConversionError);
    EXPECT_EQ(lines, Lines{"A = (A & ~0x2u) | 0x2u;"});
    lines.clear();
    EXPECT_THROW(GenerateRegisterCode(m, {CodeLanguage::C, true}, lines), ConversionError);
    EXPECT_TRUE(lines.empty());
}

TEST(RegisterCode, WriteSequencesSurroundEachRunOfTheirRegisterInBasicAndC) {
    TModel m;
    Choose(m, "OSCCON<26:24>", 1, "// FRCDIV");
    Choose(m, "OSCCON<4>", 1, "");
    Choose(m, "OSCTUN<5:0>", 0, "");
    m.WriteSequences = {{"OSCCON", false, "SYSKEY", {0, 0xAA996655, 0x556699AA}},
                        {"OSCCON", true, "SYSKEY", {0}},
                        {"OTHER", false, "KEY", {1}}};
    EXPECT_EQ(
        Code(m, CodeLanguage::C),
        (Lines{"SYSKEY = 0x0u; // before writing OSCCON", "SYSKEY = 0xAA996655u;",
               "SYSKEY = 0x556699AAu;", "OSCCON = (OSCCON & ~0x7000000u) | 0x1000000u; // FRCDIV",
               "OSCCON = (OSCCON & ~0x10u) | 0x10u;", "SYSKEY = 0x0u; // after writing OSCCON",
               "OSCTUN = (OSCTUN & ~0x3Fu);"}));
    EXPECT_EQ(
        Code(m, CodeLanguage::Basic, true),
        (Lines{"SYSKEY = 0x0 ' before writing OSCCON", "SYSKEY = 0xAA996655", "SYSKEY = 0x556699AA",
               "OSCCON = (OSCCON and (not 0x7000010)) or 0x1000010 ' FRCDIV",
               "SYSKEY = 0x0 ' after writing OSCCON", "OSCTUN = (OSCTUN and (not 0x3F))"}));
    Lines classic;
    GenerateInitCode(m.RegVals, classic);
    EXPECT_EQ(Code(m, CodeLanguage::Pascal), classic) << "the classic form stays as it is";
}

TEST(CodeLanguage, NamesAndSlots) {
    EXPECT_EQ(CodeLanguageFromName("C"), CodeLanguage::C);
    EXPECT_EQ(CodeLanguageFromName("Basic"), CodeLanguage::Basic);
    EXPECT_EQ(CodeLanguageFromName("pascal"), CodeLanguage::Pascal);
    EXPECT_FALSE(CodeLanguageFromName("c++").has_value());
    EXPECT_FALSE(CodeLanguageFromName("").has_value());
    for (const CodeLanguage l : {CodeLanguage::Pascal, CodeLanguage::Basic, CodeLanguage::C})
        EXPECT_EQ(CodeLanguageFromName(CodeLanguageName(l)), l);
    const CodeLanguage bySlot[] = {CodeLanguage::Pascal, CodeLanguage::Pascal, CodeLanguage::Pascal,
                                   CodeLanguage::Basic,  CodeLanguage::Basic,  CodeLanguage::Basic,
                                   CodeLanguage::C,      CodeLanguage::C,      CodeLanguage::C};
    for (std::size_t slot = 0; slot < 9; ++slot)
        EXPECT_EQ(CodeLanguageOfSlot(slot), bySlot[slot]) << slot;
}

// Two words listed against address order; FOSC and PLLCFG in the higher one. The diagram
// names PLLCFG before FOSC and has a line for BOREN, which no word holds.
TModel Configuration() {
    TModel m;
    TField fosc{
        "FOSC", "Oscillator", 0x0F, {{0x0F, 8, "Internal", "INTIO67"}, {0x0F, 2, "HS", ""}}};
    TField pllcfg{"PLLCFG", "PLL", 0x10, {{0x10, 0, "Direct", "OFF"}, {0x10, 0x10, "x4", "ON"}}};
    TField wdten{"WDTEN", "Watchdog", 0x03, {{0x03, 0, "Off", "OFF"}}};
    m.ConfigWords.push_back({"CONFIG2H", 0x300003, {wdten}, 0x3F});
    m.ConfigWords.push_back({"CONFIG1H", 0x300001, {fosc, pllcfg}, 0x25});
    m.ConfigWords.push_back({"CONFIG9", 0x300000, {}, std::nullopt});
    AddConfigLine(m, {.name = "PLLCFG", .id = 1, .value = 0x10});
    AddConfigLine(m, {.name = "PLLCFG", .id = 2, .value = 0});
    AddConfigLine(m, {.name = "BOREN", .id = 3, .value = 0});
    AddConfigLine(m, {.name = "FOSC", .id = 4, .value = 8});
    AddConfigLine(m, {.name = "FOSC", .id = 5, .value = 2});
    AddConfigLine(m, {.name = "WDTEN", .id = 6, .value = 1});
    m.ConfigLineMarked = {true, false, true, false, true, false};
    return m;
}

TEST(ConfigBits, ChosenFieldsComeInDiagramOrderWithTheirSettings) {
    const TModel m = Configuration();
    const auto bits = ChosenConfigBits(m);
    ASSERT_EQ(bits.size(), 2u) << "BOREN has no field, WDTEN no marked line";
    EXPECT_EQ(bits[0].Field->Name, "PLLCFG");
    EXPECT_EQ(bits[0].Setting->Name, "ON");
    EXPECT_EQ(bits[0].Value, 0x10u);
    EXPECT_EQ(bits[1].Field->Name, "FOSC");
    EXPECT_EQ(bits[1].Word->Name, "CONFIG1H");
    EXPECT_EQ(bits[1].Setting->Description, "HS") << "the marked line counts, not the first";

    TModel other = Configuration();
    other.ConfigLineMarked = {true, false, false, false, false, true};
    const auto unknown = ChosenConfigBits(other);
    ASSERT_EQ(unknown.size(), 2u);
    EXPECT_EQ(unknown[1].Field->Name, "WDTEN");
    EXPECT_EQ(unknown[1].Setting, nullptr) << "no setting has the value 1";
    EXPECT_EQ(unknown[1].Value, 1u);
}

TEST(ConfigBits, WordValuesAreTheDefaultsWithTheChosenFieldsInAddressOrder) {
    const TModel m = Configuration();
    const auto words = ConfigWordValues(m, ChosenConfigBits(m));
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].Word->Name, "CONFIG9");
    EXPECT_FALSE(words[0].Value.has_value());
    EXPECT_EQ(words[1].Word->Name, "CONFIG1H");
    EXPECT_EQ(words[1].Value, std::optional<std::uint32_t>(0x32)); // 0x25 with FOSC 2, PLLCFG on
    EXPECT_EQ(words[2].Value, std::optional<std::uint32_t>(0x3F));
}

TEST(ConfigBits, TextInEachLanguage) {
    TModel m = Configuration();
    m.ConfigLineMarked = {true, false, false, true, false, false};
    EXPECT_EQ(ConfigBitsCode(m, CodeLanguage::C),
              (Lines{"// CONFIG1H at 0x300001", "#pragma config PLLCFG = ON // x4",
                     "#pragma config FOSC = INTIO67 // Internal",
                     "// Word values for the project settings:", "// CONFIG1H at 0x300001 = 0x38",
                     "// CONFIG2H at 0x300003 = 0x3F"}));
    EXPECT_EQ(ConfigBitsCode(m, CodeLanguage::Basic),
              (Lines{"' CONFIG1H at 0x300001", "'   PLLCFG = ON, mask 0x10, value 0x10: x4",
                     "'   FOSC = INTIO67, mask 0x0F, value 0x08: Internal",
                     "' Word values for the project settings:", "' CONFIG1H at 0x300001 = 0x38",
                     "' CONFIG2H at 0x300003 = 0x3F"}));
    m.ConfigLineMarked = {false, false, false, false, true, true};
    EXPECT_EQ(ConfigBitsCode(m, CodeLanguage::C),
              (Lines{"// CONFIG1H at 0x300001", "// FOSC = 0x02: the setting has no name; HS",
                     "// CONFIG2H at 0x300003", "// WDTEN: no setting has the value 0x01",
                     "// Word values for the project settings:", "// CONFIG1H at 0x300001 = 0x22",
                     "// CONFIG2H at 0x300003 = 0x3D"}));
    EXPECT_TRUE(ConfigBitsCode(TModel{}, CodeLanguage::C).empty());
}

TEST(CodeWindow, ConfigurationBitsThenRegistersUnderHeadings) {
    EXPECT_EQ(
        CodeWindowText(CodeLanguage::Pascal, {"// a"}, {"R := 1;"}),
        (Lines{"// Configuration bits", "// a", "", "// Register initialisation", "R := 1;"}));
    EXPECT_EQ(CodeWindowText(CodeLanguage::Basic, {}, {}),
              (Lines{"' Configuration bits", "", "' Register initialisation"}));
}

} // namespace
} // namespace quorvel
