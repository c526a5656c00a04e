#include "devdefs/DefinitionReader.h"

#include "TestSupport.h"
#include "util/Errors.h"
#include "util/NumberText.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::ScratchDir;

std::vector<TConfigWord> Read(const std::string& text) {
    std::vector<TConfigWord> words;
    ReadDefinitionText(text, words);
    return words;
}

// The message of the error a text raises, or "" when it reads.
std::string ReadError(const std::string& text, std::vector<TConfigWord>* words = nullptr) {
    std::vector<TConfigWord> local;
    try {
        ReadDefinitionText(text, words ? *words : local);
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "";
}

// A section with one word and one field, so that each value tag has a record to go to.
std::string Section(const std::string& body) {
    return "<cfg>\n<cfgbits w>\n<skey>W</skey>\n<field f>\n<skey>F</skey>\n" + body + "\n</cfg>\n";
}

// --- Tag tests ---

struct TagCase {
    const char* name;
    const char* line;
    bool expected;
};

TEST(DefinitionTags, HasTagFindsTheClosedTagAnywhereIgnoringCase) {
    const TagCase cases[] = {
        {"skey", "<skey>A</skey>", true},
        {"skey", "  x <SKEY>A", true},
        {"wValue", "<wvalue>1</wvalue>", true},
        {"wValue", "<WVALUE>1", true},
        {"skey", "<skey >A", false},
        {"skey", "<skeys>A", false},
        {"cfg", "<cfgbits>", false},
        {"/cfg", "text</CFG>", true},
        {"skey", "", false},
    };
    for (const TagCase& c : cases)
        EXPECT_EQ(HasTag(c.name, c.line), c.expected) << c.name << " in " << c.line;
}

TEST(DefinitionTags, OpensTagNeedsACharacterBeforeTheFirstClosingBracket) {
    const TagCase cases[] = {
        {"field", "<field>", false},           // bare tag
        {"field", "<field x>", true},          // attribute
        {"field", "<fields>", true},           // longer name beginning with the name
        {"field", "  <FIELD id=\"3\">", true}, // case ignored
        {"field", "<field", false},            // no ">" at all
        {"field", "a> <field x>", false},      // the first ">" of the line comes before it
        {"field", "<field><field x>", false},  // the first occurrence counts
        {"setting", "<setting a>", true},
        {"cfgbits", "<cfgbits>", false},
        {"cfgbits", "<CFGBITS n=1>", true},
    };
    for (const TagCase& c : cases)
        EXPECT_EQ(OpensTag(c.name, c.line), c.expected) << c.name << " in " << c.line;
}

TEST(DefinitionTags, StripTagsRemovesEverySpanAndTrims) {
    const std::pair<const char*, const char*> cases[] = {
        {"<skey>FOSC</skey>", "FOSC"},
        {"  <a> x  y </a>\t", "x  y"},
        {"a<b", "a<b"},      // "<" without ">" stays
        {"<a>b<c", "b<c"},   // likewise after a removed span
        {"x<y<z>w", "xw"},   // from a "<" to the first ">" after it
        {"a>b<c>d", "a>bd"}, // ">" before any "<" stays
        {"<><>", ""},
        {"<sdesc>\x01 text \x7f</sdesc>", "text \x7f"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(StripTags(line), expected) << line;
}

// --- Scan states ---

TEST(DefinitionStates, LinesOutsideTheSectionAreNeverExamined) {
    // Before "<cfg>" and after "</cfg>", even openers and bad numbers are ignored.
    const auto words = Read("<cfgbits a>\n<waddr>bad</waddr>\n<cfg>\n<cfgbits b>\n<skey>B</skey>\n"
                            "</cfg>\n<cfgbits c>\n<waddr>bad</waddr>\n<cfg>\n<cfgbits d>\n");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Name, "B");
}

TEST(DefinitionStates, ALineHoldingBothSectionTagsEndsTheRead) {
    EXPECT_TRUE(Read("<cfg></cfg>\n<cfgbits a>\n").empty());
    EXPECT_TRUE(Read("no section at all\n<cfgbits a>\n").empty());
}

TEST(DefinitionStates, ASecondSectionStartStopsValueLinesUntilTheNextOpener) {
    const auto words = Read("<cfg>\n<cfgbits a>\n<skey>A</skey>\n<cfg>\n<skey>LOST</skey>\n"
                            "<waddr>bad number, not taken</waddr>\n"
                            "<field f>\n<skey>F</skey>\n</cfg>\n");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Name, "A");
    EXPECT_EQ(words[0].Address, 0u);
    // The next opener attaches to the word that is still the last one.
    ASSERT_EQ(words[0].Fields.size(), 1u);
    EXPECT_EQ(words[0].Fields[0].Name, "F");
}

TEST(DefinitionStates, ValueTagsCountOnlyInTheStateThatTakesThem) {
    const auto words = Read("<cfg>\n<cfgbits a>\n<sdesc>word description</sdesc>\n"
                            "<wmask>bad</wmask>\n<wreq>bad</wreq>\n<skey>A</skey>\n"
                            "<field f>\n<waddr>bad</waddr>\n<skey>F</skey>\n"
                            "<setting s>\n<skey>SETTING NAME</skey>\n<wmask>bad</wmask>\n"
                            "<sdesc>S</sdesc>\n</cfg>\n");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Name, "A");
    EXPECT_EQ(words[0].Fields[0].Name, "F");
    EXPECT_EQ(words[0].Fields[0].Description, "");
    EXPECT_EQ(words[0].Fields[0].Settings[0].Description, "S");
}

TEST(DefinitionStates, OnlyTheFirstValueTagOfALineCounts) {
    const auto words = Read(Section("<setting s>\n<wreq>15</wreq><wValue>2</wValue>"));
    const TSetting& s = words[0].Fields[0].Settings[0];
    EXPECT_EQ(s.Mask, 152u); // both numbers, tags stripped
    EXPECT_EQ(s.Value, 0u);
}

TEST(DefinitionStates, OpenersWithoutARecordToAttachToAreIgnored) {
    // A field before any word, a setting before any field, and a setting of a new word
    // whose first field has not opened yet must not touch a missing or foreign record.
    const auto words = Read("<cfg>\n<field early>\n<skey>X</skey>\n<wmask>bad</wmask>\n"
                            "<setting early>\n<wValue>bad</wValue>\n"
                            "<cfgbits a>\n<field f>\n<skey>F</skey>\n"
                            "<cfgbits b>\n<setting orphan>\n<wValue>7</wValue>\n<skey>B</skey>\n"
                            "</cfg>\n");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].Name, "");
    ASSERT_EQ(words[0].Fields.size(), 1u);
    EXPECT_TRUE(words[0].Fields[0].Settings.empty());
    EXPECT_EQ(words[1].Name, "B");
    EXPECT_TRUE(words[1].Fields.empty());
}

TEST(DefinitionStates, TextsKeepTheirCaseAndBytes) {
    const auto words = Read(Section("<setting s>\n<SDESC>Mixed Case \xe9\xff</SDESC>"));
    EXPECT_EQ(words[0].Name, "W");
    EXPECT_EQ(words[0].Fields[0].Settings[0].Description, "Mixed Case \xe9\xff");
}

TEST(DefinitionStates, TagsMatchInAnyLetterCase) {
    const auto words = Read("<CFG>\n<CfgBits a>\n<SKEY>W</sKeY>\n<WADDR>$10</waddr>\n"
                            "<FiElD f>\n<skEY>F</skey>\n<WMask>3</wmask>\n<SDesc>D</sdesc>\n"
                            "<SETTING s>\n<WREQ>3</wreq>\n<WVALUE>2</wvalue>\n<sdESC>S</sdesc>\n"
                            "</Cfg>\n<cfgbits late>\n");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Name, "W");
    EXPECT_EQ(words[0].Address, 16u);
    ASSERT_EQ(words[0].Fields.size(), 1u);
    const TField& f = words[0].Fields[0];
    EXPECT_EQ(f.Name, "F");
    EXPECT_EQ(f.Mask, 3u);
    EXPECT_EQ(f.Description, "D");
    ASSERT_EQ(f.Settings.size(), 1u);
    EXPECT_EQ(f.Settings[0].Mask, 3u);
    EXPECT_EQ(f.Settings[0].Value, 2u);
    EXPECT_EQ(f.Settings[0].Description, "S");
}

TEST(DefinitionStates, ATagBrokenByALineEndIsNoTag) {
    // Each piece of a broken tag is looked at as a line of its own; none of them holds a
    // whole tag, so nothing is opened or set, whichever line end breaks it.
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        const auto words =
            Read("<cfg>" + end + "<cfgbits a>" + end + "<skey>A</skey>" + end + "<sk" + end +
                 "ey>LOST</skey>" + end + "<field" + end + " x>" + end + "<wad" + end +
                 "dr>bad</waddr>" + end + "<cfgbits" + end + ">" + end + "</cf" + end + "g>" + end +
                 "<field f>" + end + "<skey>F</skey>" + end + "</cfg>");
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words[0].Name, "A");
        EXPECT_EQ(words[0].Address, 0u);
        ASSERT_EQ(words[0].Fields.size(), 1u);
        EXPECT_EQ(words[0].Fields[0].Name, "F");
    }
}

TEST(DefinitionStates, TagsAtTheVeryEndOfTheText) {
    EXPECT_EQ(Read("<cfg>\n<cfgbits a>\n<skey>A").at(0).Name, "A");
    EXPECT_EQ(Read("<cfg>\n<cfgbits a>\n<skey>A\n<").at(0).Name, "A");
    EXPECT_TRUE(Read("<cfg>\n<cfgbits a").empty()); // an opener needs a ">" on its line
    EXPECT_EQ(Read("<cfg>\n<cfgbits a>\n<wvalue").size(), 1u);
}

// --- Numbers ---

TEST(DefinitionNumbers, AcceptsDecimalAndEveryHexadecimalForm) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"42", 42},
        {"$2A", 42},
        {"x2a", 42},
        {"X2A", 42},
        {"0x2A", 42},
        {"0X2a", 42},
        {"+42", 42},
        {"0", 0},
        {"4294967295", 4294967295u},
        {"$FFFFFFFF", 4294967295u},
        {"0042", 42},
        {"999999999", 999999999},
        {"1000000000", 1000000000},
        {"000000000000000007", 7},
    };
    for (const auto& [text, expected] : cases) {
        const auto words = Read(Section(std::string("<wmask>") + text + "</wmask>"));
        EXPECT_EQ(words[0].Fields[0].Mask, expected) << text;
    }
}

TEST(DefinitionNumbers, BadNumbersRaiseTheTwoMessages) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "'' is not a valid integer value"},
        {"abc", "'abc' is not a valid integer value"},
        {"12a", "'12a' is not a valid integer value"},
        {"1/2", "'1/2' is not a valid integer value"},
        {"1.5", "'1.5' is not a valid integer value"},
        {"0x", "'0x' is not a valid integer value"},
        {"1 2", "'1 2' is not a valid integer value"},
        {"99999999999999999999", "'99999999999999999999' is not a valid integer value"},
        {"4294967296", "Range check error"},
        {"-1", "Range check error"},
        {"-$10", "Range check error"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(ReadError(Section(std::string("<wmask>") + text + "</wmask>")), message) << text;
}

TEST(DefinitionNumbers, HexadecimalValuesAgreeWithTheGeneralReading) {
    // Every prefix with zero to ten digits, one character at any place drawn from the digits,
    // the bytes next to them and bytes with the top bit set (eight digits are read at once).
    const char* const prefixes[] = {"0x", "0X", "$", "x", "X", "0", ""};
    const char digits[] = {'0', '9', 'a', 'F', 'f', 'g', 'G',    '.',    '/',
                           ':', '@', '`', 'x', 'A', 'Z', '\x80', '\xB0', '\xE6'};
    for (const char* prefix : prefixes) {
        for (std::size_t length = 0; length <= 10; ++length) {
            for (std::size_t odd = 0; odd < std::size(digits); ++odd) {
                for (std::size_t place = 0; place < std::max<std::size_t>(length, 1); ++place) {
                    std::string text = prefix;
                    for (std::size_t i = 0; i < length; ++i)
                        text += i == place ? digits[odd] : digits[(i * 3 + odd) % 5];
                    const auto general = ParseInteger(text);
                    std::string expected;
                    if (!general)
                        expected = "'" + text + "' is not a valid integer value";
                    else if (*general < 0 || *general > 0xFFFFFFFFLL)
                        expected = "Range check error";
                    std::vector<TConfigWord> words;
                    const std::string body = std::string("<wmask>") + text + "</wmask>";
                    ASSERT_EQ(ReadError(Section(body), &words), expected) << text;
                    if (expected.empty()) {
                        ASSERT_EQ(words[0].Fields[0].Mask, static_cast<std::uint32_t>(*general))
                            << text;
                    }
                }
            }
        }
    }
}

TEST(DefinitionNumbers, AFailedReadKeepsWhatWasReadBeforeTheBadLine) {
    std::vector<TConfigWord> words(3);
    EXPECT_EQ(ReadError("<cfg>\n<cfgbits a>\n<skey>A</skey>\n<waddr></waddr>\n<skey>LATER</skey>\n",
                        &words),
              "'' is not a valid integer value");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Name, "A");
}

TEST(DefinitionNumbers, AFailedReadKeepsTheRecordsOpenAtTheBadLine) {
    // Fields and settings opened before the bad line are all there, the last ones included,
    // with the values read before it.
    std::vector<TConfigWord> words;
    EXPECT_EQ(ReadError("<cfg>\n<cfgbits a>\n<field f1>\n<setting s>\n<cfgbits b>\n<skey>B</skey>\n"
                        "<field f2>\n<setting s1>\n<wreq>1</wreq>\n<field f3>\n<setting s2>\n"
                        "<setting s3>\n<wreq>2</wreq>\n<wValue>x</wValue>\n<setting later>\n",
                        &words),
              "'x' is not a valid integer value");
    ASSERT_EQ(words.size(), 2u);
    ASSERT_EQ(words[0].Fields.size(), 1u);
    EXPECT_EQ(words[0].Fields[0].Settings.size(), 1u);
    EXPECT_EQ(words[1].Name, "B");
    ASSERT_EQ(words[1].Fields.size(), 2u);
    ASSERT_EQ(words[1].Fields[0].Settings.size(), 1u);
    EXPECT_EQ(words[1].Fields[0].Settings[0].Mask, 1u);
    ASSERT_EQ(words[1].Fields[1].Settings.size(), 2u);
    EXPECT_EQ(words[1].Fields[1].Settings[1].Mask, 2u);
}

// --- Descriptions ---

TEST(DefinitionDescriptions, AnUnclosedParenthesisCutsTheRest) {
    const std::pair<std::string, std::string> cases[] = {
        {"Clock source (see below", "Clock source"},
        {"Clock source (internal)", "Clock source (internal)"},
        {"Clock) source (x", "Clock) source (x"}, // a ")" anywhere keeps it whole
        {"(everything", ""},
        {"A (" + std::string(300, 'x'), "A " + std::string(46, 'x')}, // at most 255 go
    };
    for (const auto& [text, expected] : cases) {
        const auto words = Read(Section("<sdesc>" + text + "</sdesc>"));
        EXPECT_EQ(words[0].Fields[0].Description, expected) << text;
    }
}

// --- Files and outside input ---

TEST(DefinitionFile, AFileThatCannotBeLoadedLeavesTheWordsUntouched) {
    ScratchDir dir;
    std::vector<TConfigWord> words(2);
    EXPECT_FALSE(ReadDefinitionFile(dir.File("missing.vlk"), words));
    EXPECT_FALSE(ReadDefinitionFile(dir.Path(), words)); // a directory
    EXPECT_EQ(words.size(), 2u);
    EXPECT_TRUE(ReadDefinitionFile(dir.Write("empty.vlk", ""), words));
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(VlkNotFoundMessage("P99X"), "VLK File \"P99X.vlk\" not Found?");
}

TEST(DefinitionFile, AnyLineEndEndsALine) {
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        const auto words = Read("<cfg>" + end + "<cfgbits a>" + end + "<skey>A</skey>" + end +
                                "<waddr>5</waddr>" + end + "</cfg>");
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words[0].Name, "A");
        EXPECT_EQ(words[0].Address, 5u);
    }
}

TEST(DefinitionFile, OddBytesReadWithoutHarm) {
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage += static_cast<char>((i * 7919 + i / 13) & 0xff);
    EXPECT_NO_THROW(Read(garbage));
    EXPECT_NO_THROW(Read("<cfg>\n" + garbage));
    const auto words = Read(std::string("<cfg>\n<cfgbits a>\n<skey>A\0B</skey>\n", 35));
    EXPECT_EQ(words[0].Name, std::string("A\0B", 3));
    const std::string longLine(3'000'000, '<');
    EXPECT_NO_THROW(Read("<cfg>\n<cfgbits a>\n<skey>" + longLine + "</skey>\n"));
}

TEST(DefinitionFile, ListsBeyondSixteenBitIndicesAreRefused) {
    std::string text = Section("");
    text.resize(text.size() - 7); // drop "</cfg>\n"
    for (int i = 0; i < 65536; ++i)
        text += "<setting s>\n";
    std::vector<TConfigWord> words;
    EXPECT_EQ(ReadError(text, &words), "");
    EXPECT_EQ(words[0].Fields[0].Settings.size(), 65536u);
    EXPECT_EQ(ReadError(text + "<setting s>\n", &words), "Range check error");
}

// --- Reading in pieces ---

// Splits text at the given cut positions (ascending, within the text).
std::vector<std::string_view> Cut(std::string_view text, const std::vector<std::size_t>& cuts) {
    std::vector<std::string_view> pieces;
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        pieces.push_back(text.substr(from, cut - from));
        from = cut;
    }
    pieces.push_back(text.substr(from));
    return pieces;
}

TEST(DefinitionPieces, AnyCutReadsAsTheWholeText) {
    // Every line end, a tag cut in two, a CR LF cut between its bytes, empty pieces, and a
    // last line without a line end.
    const std::string text =
        "<!-- x -->\r\n<cfg>\r<cfgbits name=\"A\">\r\n<skey>A</skey>\n<waddr>0x10</waddr>\r\r"
        "<wdefault>7</wdefault>\n<field f>\n<skey>F</skey>\r\n<sdesc>Field (cut</sdesc>\n"
        "<wmask>$0F</wmask>\n<setting name=\"ON\">\n<wreq>15</wreq>\r\n<wValue>3</wValue>\n"
        "<sdesc>On</sdesc>\n<setting name=\"OFF\">\r<wreq>15</wreq>\n<sdesc> Off </sdesc>";
    const auto whole = Read(text);
    ASSERT_EQ(whole.size(), 1u);
    ASSERT_EQ(whole[0].Fields.at(0).Settings.size(), 2u);
    // The last line, read where it stands in the text.
    EXPECT_EQ(whole[0].Fields[0].Settings[1].Description, "Off");
    for (std::size_t a = 0; a <= text.size(); ++a) {
        for (std::size_t b = a; b <= text.size(); b += 7) {
            std::vector<TConfigWord> words;
            ReadDefinitionPieces(Cut(text, {a, a, b}), words);
            ASSERT_EQ(words, whole) << "cut at " << a << " and " << b;
        }
    }
}

TEST(DefinitionPieces, ASectionEndStopsTheReadAndAThrowKeepsWhatWasRead) {
    std::vector<TConfigWord> words(2);
    ReadDefinitionPieces({"<cfg>\n<cfgbits a>\n<skey>A</skey>\n</cf", "g>\n<cfgbits b>\n"}, words);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Name, "A");
    try {
        ReadDefinitionPieces({"<cfg>\n<cfgbits a>\n<skey>A</skey>\n<waddr>", "x</waddr>"}, words);
        FAIL() << "a bad address must throw";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Name, "A");
}

TEST(DefinitionFile, AFileLargerThanOnePieceReadsAsItsText) {
    // Lines of every length cross the pieces the file is read in at every offset.
    std::string text = "<cfg>\r\n";
    for (int w = 0; w < 300; ++w) {
        text += "<cfgbits id=\"" + std::to_string(w) + "\">\r\n<skey>W" + std::to_string(w) +
                "</skey>\n<field f>\r<skey>F</skey>\n<sdesc>" + std::string(w % 97, 'd') +
                "</sdesc>\n<setting name=\"S\">\r\n<wValue>" + std::to_string(w) + "</wValue>\n";
    }
    text += "</cfg>\n" + std::string(100000, 'z');
    ScratchDir dir;
    std::vector<TConfigWord> fromFile;
    ASSERT_TRUE(ReadDefinitionFile(dir.Write("big.vlk", text), fromFile));
    EXPECT_EQ(fromFile, Read(text));
    ASSERT_EQ(fromFile.size(), 300u);
    EXPECT_EQ(fromFile[299].Fields[0].Settings[0].Value, 299u);
    // A bad number in the file throws as the text does, with the words read before it.
    std::vector<TConfigWord> words;
    EXPECT_THROW(ReadDefinitionFile(dir.Write("bad.vlk", text.substr(0, 40000) +
                                                             "\n<cfgbits z>\n<waddr>?</waddr>\n"),
                                    words),
                 ConversionError);
    EXPECT_FALSE(words.empty());
}

} // namespace
} // namespace quorvel

namespace quorvel {
namespace {

// --- Setting names and word defaults ---

TEST(DefinitionAdditions, SettingKeepsTheNameOfItsOpenerLine) {
    const auto words = Read(Section("<setting name=\"INTIO67\">\n<wValue>8</wValue>\n"
                                    "<SETTING id=\"2\" NAME=\"HS\" x=\"y\">\n"
                                    "<setting plain>\n"
                                    "<setting name=\"open>\n"
                                    "<setting a> name=\"after\"\n"));
    ASSERT_EQ(words.size(), 1u);
    const auto& settings = words[0].Fields[0].Settings;
    ASSERT_EQ(settings.size(), 5u);
    EXPECT_EQ(settings[0].Name, "INTIO67");
    EXPECT_EQ(settings[0].Value, 8u);
    EXPECT_EQ(settings[1].Name, "HS");
    EXPECT_EQ(settings[2].Name, "");
    EXPECT_EQ(settings[3].Name, ""); // the quote is not closed before the ">"
    EXPECT_EQ(settings[4].Name, ""); // only the opener itself is looked at
    // The first name="..." counts, wherever it stands in the opener.
    const auto more = Read(Section("<setting xname=\"inner\" name=\"later\">\n"
                                   "<setting NAME = \"spaced\" a=b Name=\"second\">\n"
                                   "<setting =\"x\" name=\"\">\n<setting name=x name=\"y\">\n"));
    std::vector<std::string> names;
    for (const TSetting& setting : more[0].Fields[0].Settings)
        names.push_back(setting.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"inner", "second", "", "y"}));
}

TEST(DefinitionAdditions, WordDefaultIsReadInsideAWordOnly) {
    const auto words = Read("<cfg>\n<cfgbits a>\n<skey>A</skey>\n<waddr>0x300001</waddr>\n"
                            "<WDEFAULT>0x25</WDEFAULT>\n<field f>\n<wdefault>7</wdefault>\n"
                            "<cfgbits b>\n<skey>B</skey>\n</cfg>\n");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].Default, std::optional<std::uint32_t>(0x25));
    EXPECT_FALSE(words[1].Default.has_value());
    EXPECT_EQ(ReadError("<cfg>\n<cfgbits a>\n<wdefault>-1</wdefault>\n"), "Range check error");
    EXPECT_EQ(ReadError("<cfg>\n<cfgbits a>\n<wdefault></wdefault>\n"),
              "'' is not a valid integer value");
}

} // namespace
} // namespace quorvel
