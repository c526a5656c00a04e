// The one-pass tag scan against the plain line tests it replaces: on many generated lines
// made of tag pieces in every letter case, both must find the same tags.

#include "devdefs/LineTags.h"
#include "devdefs/DefinitionReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

// What the plain tests say about a line, in the scan's terms.
LineTags ByPlainTests(std::string_view line) {
    LineTags t{};
    t.anyOpen = line.find('<') != std::string_view::npos;
    t.sectionStart = HasTag("cfg", line);
    t.sectionEnd = HasTag("/cfg", line);
    const std::pair<const char*, unsigned> values[] = {
        {"skey", LineTags::kKey},     {"waddr", LineTags::kAddress},
        {"wmask", LineTags::kMask},   {"wreq", LineTags::kRequired},
        {"wValue", LineTags::kValue}, {"sdesc", LineTags::kDescription},
    };
    for (const auto& [name, bit] : values)
        if (HasTag(name, line))
            t.values |= bit;
    return t;
}

std::string Show(std::string_view line) {
    std::string out;
    for (const char c : line)
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

// Everything a scan finds, in one comparable tuple.
auto Found(const LineTags& t) {
    std::vector<std::pair<std::size_t, std::size_t>> kept;
    for (std::size_t i = 0; i < std::min(t.keptCount, LineTags::kMaxKept); ++i)
        kept.emplace_back(t.kept[i].begin, t.kept[i].end);
    return std::make_tuple(t.anyOpen, t.sectionStart, t.sectionEnd, t.values, t.firstClose, t.word,
                           t.field, t.setting, t.keptCount, kept);
}

// Checks one line (without line end) both ways. A short line is scanned twice: once near the
// end of the text and once with more text after it, which takes the scan's path for short
// lines; both must find the same.
void ExpectSameTags(const std::string& line) {
    LineTags scanned;
    const std::string text = line + "\n<cfg>";
    ASSERT_EQ(ScanLineTags(text, 0, scanned), line.size()) << Show(line);
    LineTags followed;
    const std::string longer = line + "\r" + std::string(64, '<');
    ASSERT_EQ(ScanLineTags(longer, 0, followed), line.size()) << Show(line);
    EXPECT_EQ(Found(followed), Found(scanned)) << Show(line);
    const LineTags plain = ByPlainTests(line);
    EXPECT_EQ(scanned.anyOpen, plain.anyOpen) << Show(line);
    EXPECT_EQ(scanned.sectionStart, plain.sectionStart) << Show(line);
    EXPECT_EQ(scanned.sectionEnd, plain.sectionEnd) << Show(line);
    EXPECT_EQ(scanned.values, plain.values) << Show(line);
    EXPECT_EQ(scanned.Opens(scanned.word, 7), OpensTag("cfgbits", line)) << Show(line);
    EXPECT_EQ(scanned.Opens(scanned.field, 5), OpensTag("field", line)) << Show(line);
    EXPECT_EQ(scanned.Opens(scanned.setting, 7), OpensTag("setting", line)) << Show(line);
}

TEST(LineTags, AgreesWithThePlainTestsOnGeneratedLines) {
    // Pieces that make up, break up and run into the tags, in mixed letter case.
    const std::vector<std::string> pieces = {
        "<",      ">",      "/",      " ",     "x",    "cfg",     "CFG",     "cFg",
        "bits",   "BiTs",   "field",  "FIELD", "s",    "setting", "SeTTing", "skey",
        "SKEY",   "waddr",  "WaDdr",  "wmask", "wreq", "WREQ",    "wvalue",  "wValue",
        "sdesc",  "SDesc",  "=",      "1",     "\x80", "\xff",    "\t",      "<cfg>",
        "</cfg>", "<field", "<skey>", "{",     "`",    "@",       "[",       "<cfgbits"};
    std::uint64_t x = 12345;
    for (int n = 0; n < 20000; ++n) {
        std::string line;
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        const int count = 1 + static_cast<int>((x >> 33) % 9);
        for (int i = 0; i < count; ++i) {
            x = x * 6364136223846793005ull + 1442695040888963407ull;
            line += pieces[(x >> 33) % pieces.size()];
        }
        ExpectSameTags(line);
        if (HasFailure())
            return;
    }
}

TEST(LineTags, HandPickedLines) {
    const char* const lines[] = {
        "",
        "<",
        ">",
        "<cfg",               // cut off at the end of the text
        "<CFGBITS>",          // the bare opener does not open
        "<cfgbits x><cfg>",   // both the section start and an opener
        "a><cfgbits x>",      // the first ">" comes before the opener
        "<field><field x>",   // only the first occurrence counts
        "<fieldx>",           // a longer name opens
        "<<skey>>",           // a "<" right before a tag
        "<skey><SKEY><sKeY>", // the same tag three times
        "</CFG></cfg>",
        "<wvalue><wreq><wmask><waddr><sdesc><skey>",
        "<{cfg>", // a byte next to a letter in the alphabet
        "<`skey>",
        "<CFG\xc3>",
    };
    for (const char* line : lines)
        ExpectSameTags(line);
}

TEST(LineTags, ALineEndsAtTheFirstLineEndAndPositionsCountFromItsStart) {
    const std::string text = "ab\r\n  <field x>\r<skey>";
    LineTags tags;
    EXPECT_EQ(ScanLineTags(text, 0, tags), 2u);
    EXPECT_FALSE(tags.anyOpen);
    EXPECT_EQ(ScanLineTags(text, 4, tags), 15u);
    EXPECT_EQ(tags.field, 2u);
    EXPECT_EQ(tags.firstClose, 10u);
    EXPECT_TRUE(tags.Opens(tags.field, 5));
    EXPECT_EQ(ScanLineTags(text, 16, tags), text.size());
    EXPECT_EQ(tags.values, unsigned{LineTags::kKey});
}

} // namespace
} // namespace quorvel
