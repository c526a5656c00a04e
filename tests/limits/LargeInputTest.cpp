// Every reader of outside input, given megabytes of random bytes or of the characters it
// splits, nests or searches on, ends with a result or one of the program's own messages.
// A reader that is quadratic on such a text, or that exhausts memory or the stack, fails here
// by running out of time, throwing another exception or crashing.

#include "LargeInputs.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

constexpr std::size_t kSize = 8 * 1024 * 1024;

class LargeInput : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LargeInput, EndsWithAResultOrTheProgramsMessage) {
    const ReaderRun& reader = Readers()[GetParam()];
    for (const HostileInput& input : HostileInputs()) {
        const std::string text = MakeHostileText(input, kSize);
        std::string message;
        EXPECT_NO_THROW(message = reader.run(text)) << reader.name << ", " << input.name;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryReader, LargeInput,
                         ::testing::Range<std::size_t>(0, Readers().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = Readers()[info.param].name;
                             for (char& c : name)
                                 if (c == ' ')
                                     c = '_';
                             return name;
                         });

// Results that must survive the size: what the readers do keep from such texts.
TEST(LargeInputResults, ReadersKeepTheirRulesAtSize) {
    // One register reference among megabytes of comparisons is still converted, and the
    // conversion never changes the length.
    const std::string formula = Repeated("", "E1<E2 ", kSize) + "OSCCON<14:12>";
    const std::string converted = ConvertBitTags(formula);
    EXPECT_EQ(converted.size(), formula.size());
    EXPECT_EQ(converted.substr(converted.size() - 13), "OSCCON_14_12_");
    // A definition file with more settings than a list holds is refused with the message.
    EXPECT_EQ(Reader("definition file")
                  .run(Repeated("<cfg>\n<cfgbits a>\n<field f>\n", "<setting a>\n", kSize)),
              "Range check error");
    // A formula nesting deeper than the evaluator allows is refused, not a crash.
    EXPECT_NE(Reader("evaluator").run(Repeated("", "(", kSize)), "");
    // The last of many settings lines is found.
    const TSimpleIniFile ini =
        TSimpleIniFile::FromText(Repeated("", "[X]\nk=v\n", kSize) + "[PIC]\nvP=/defs\n");
    EXPECT_EQ(ini.ReadString("pic", "VP", ""), "/defs");
}

} // namespace
} // namespace quorvel::test
