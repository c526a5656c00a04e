#include "results/InputReading.h"

#include "diagram/Configuration.h"
#include "eval/KivEval.h"
#include "results/Calculation.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// The number the calculation itself puts into E0 for an input box holding `text`.
double CalculatedReading(const std::string& text) {
    Configuration state;
    TSimpleEval evaluator;
    Changes changes;
    state.Boxes[0].text = text;
    Calculate(state, evaluator, changes);
    evaluator.Expression = "E0";
    return evaluator.Evaluate();
}

TEST(InputReading, PlainNumbersNeedNoNote) {
    for (const char* text :
         {"8", "7.3728", "4 Mhz", "4Mhz", "12.5 mhz", "8 MHZ", " 8 ", "4.", "0.5 Mhz  ", "16\t"}) {
        const InputReading reading = ReadInputText(text);
        EXPECT_TRUE(reading.Plain) << text;
        EXPECT_TRUE(reading.Readable) << text;
        EXPECT_EQ(reading.Note, "") << text;
        EXPECT_EQ(reading.Value, CalculatedReading(text)) << text;
    }
}

TEST(InputReading, OtherTextsSayHowTheyAreRead) {
    const std::pair<const char*, const char*> cases[] = {
        {"4 Mhz8", "read as 48 Mhz"}, {"8,5", "read as 85 Mhz"},    {"12e6", "read as 126 Mhz"},
        {"-4", "read as 4 Mhz"},      {"Mhz 4", "read as 4 Mhz"},   {"", "read as 1 Mhz"},
        {"Mhz", "read as 1 Mhz"},     {".5", "read as 1 Mhz"},      {"8 kHz", "read as 8 Mhz"},
        {"+8", "read as 8 Mhz"},      {"Mhz.", "read as 1 Mhz"},    {"3 Mhz Mhz", "read as 3 Mhz"},
        {"0x10", "read as 10 Mhz"},   {"2 . 5", "read as 2.5 Mhz"},
    };
    for (const auto& [text, note] : cases) {
        const InputReading reading = ReadInputText(text);
        EXPECT_FALSE(reading.Plain) << text;
        EXPECT_TRUE(reading.Readable) << text;
        EXPECT_EQ(reading.Note, note) << text;
        EXPECT_EQ(reading.Value, CalculatedReading(text)) << text;
    }
}

TEST(InputReading, AnUnreadableTextKeepsTheCalculationsMessage) {
    const InputReading reading = ReadInputText("1.2.3 Mhz");
    EXPECT_FALSE(reading.Plain);
    EXPECT_FALSE(reading.Readable);
    EXPECT_EQ(reading.Note, "cannot be read: '1.2.3' is not a valid floating point value");
    EXPECT_THROW(CalculatedReading("1.2.3 Mhz"), std::exception);
}

TEST(InputReading, ShortNumbersReadBackToTheSameValue) {
    EXPECT_EQ(ShortNumberText(85), "85");
    EXPECT_EQ(ShortNumberText(0.5), "0.5");
    EXPECT_EQ(ShortNumberText(3.6864), "3.6864");
}

} // namespace
} // namespace quorvel
