#include "results/Limits.h"

#include "diagram/DescriptionParser.h"
#include "eval/KivEval.h"
#include "results/Calculation.h"
#include "util/Errors.h"

#include <cmath>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

// A PLL in miniature: input box 0, a multiplier chosen by a configuration line, the VCO box
// and a divided output, with the limits of a data sheet.
constexpr const char* kPll = "MUL, 1, 0, 3, 3, 9, 3, 0, -1, 40, 40\n"
                             "MUL, 2, 0, 3, 9, 9, 9, 0, -1, 80, 80\n"
                             "USE, 3, 0, 3, 20, 9, 20, 1, -1, 1, 1\n"
                             "USE, 4, 0, 3, 30, 9, 30, 1, -1, 0, 0\n"
                             "SHOWVAL, 10, 10, E0 = // Fin\n"
                             "SHOWVAL, 10, 40, E1 = E0 * MUL // Fvco\n"
                             "SHOWVAL, 10, 70, E2 = E1 / 2 // Fosc\n"
                             "SHOWVAL, 10, 90, E3 = 0 - E2\n"
                             "RANGE, 1, 100, 200, USE // PLL output range 100 to 200 MHz\n"
                             "RANGE, 2, , 80 // Fosc at most 80 MHz\n"
                             "CHECK, 0, ifthen(USE, E0 < 9, 1) // the PLL takes at most 8 MHz\n";

struct Calculated {
    Configuration state;
    TModel& model = state.Model;
    Changes changes;
    StateBoxes boxes{state, changes};
    TSimpleEval evaluator;

    explicit Calculated(const std::string& description) {
        ParseDiagramDescription(description, model, boxes);
    }

    // Sets the inputs, calculates and evaluates the limits.
    std::vector<TViolation> With(const std::string& fin, double mul, double use) {
        boxes.SetText(0, fin);
        model.CalcVals[0].Value = mul;
        model.CalcVals[1].Value = use;
        Calculate(state, evaluator, changes);
        return EvaluateLimits(model, evaluator, [&](int box) { return boxes.Text(box); });
    }
};

std::vector<std::string> Messages(const std::vector<TViolation>& violations) {
    std::vector<std::string> out;
    for (const TViolation& v : violations)
        out.push_back(v.Message);
    return out;
}

TEST(Limits, AValueAboveItsMaximumIsReportedInWordsNamingTheBox) {
    Calculated run(kPll);
    const auto v = run.With("8 Mhz", 80, 1);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].Box, 1);
    EXPECT_EQ(v[0].Name, "Fvco");
    EXPECT_EQ(v[0].Value, 640);
    EXPECT_EQ(v[0].Message,
              "Fvco = 640 Mhz is above its maximum of 200 Mhz (PLL output range 100 to 200 MHz)");
    EXPECT_EQ(v[1].Message, "Fosc = 320 Mhz is above its maximum of 80 Mhz (Fosc at most 80 MHz)");
    // The box still shows its number.
    EXPECT_EQ(run.boxes.Text(1), "640 Mhz");
}

TEST(Limits, BelowTheMinimumAndFailedChecks) {
    Calculated run(kPll);
    EXPECT_EQ(Messages(run.With("2", 40, 1)),
              std::vector<std::string>{"Fvco = 80 Mhz is below its minimum of 100 Mhz (PLL "
                                       "output range 100 to 200 MHz)"});
    EXPECT_EQ(Messages(run.With("10", 16, 1)),
              std::vector<std::string>{"Fin = 10 Mhz: the PLL takes at most 8 MHz"});
}

TEST(Limits, ASetUpWithinEveryLimitReportsNothing) {
    Calculated run(kPll);
    EXPECT_TRUE(run.With("4 Mhz", 40, 1).empty());
    // The edges themselves are within.
    EXPECT_TRUE(run.With("2.5", 40, 1).empty());
}

TEST(Limits, AConditionalRangeAppliesOnlyWhileItsConditionHolds) {
    Calculated run(kPll);
    // With the PLL out of the path its range and its input check do not apply.
    EXPECT_TRUE(run.With("2", 40, 0).empty());
    EXPECT_TRUE(run.With("10", 16, 0).empty());
}

TEST(Limits, AConditionThatCannotBeEvaluatedIsAViolationWithTheError) {
    Calculated run(std::string(kPll) + "CHECK, 2, NOSUCH // never\n");
    const auto v = run.With("4", 40, 1);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].Box, 2);
    EXPECT_EQ(v[0].Message, "Fosc: the limit cannot be evaluated: Variable \"NOSUCH\" not defined");
}

TEST(Limits, ACheckWithoutAMessageQuotesItsCondition) {
    Calculated run(std::string(kPll) + "CHECK, 2, E2 < 10\n");
    EXPECT_EQ(Messages(run.With("4", 40, 1)),
              std::vector<std::string>{"Fosc = 80 Mhz: E2 < 10 does not hold"});
}

TEST(Limits, ShownValuesKeepTheSignOfResultsAndReadInputsAsTheCalculationDoes) {
    Calculated run(kPll);
    run.With("4", 40, 1);
    EXPECT_EQ(ShownValue(run.model, 3, run.boxes.Text(3)), -80.0);
    EXPECT_EQ(ShownValue(run.model, 0, "Mhz"), 1.0);
    EXPECT_EQ(ShownValue(run.model, 0, "-4 Mhz"), 4.0);
    EXPECT_TRUE(std::isinf(ShownValue(run.model, 2, "INF Mhz")));
    EXPECT_TRUE(std::isnan(ShownValue(run.model, 2, "")));
    EXPECT_EQ(BoxQuantity(run.model, 3), "E3");
    EXPECT_EQ(BoxQuantity(run.model, 12), "E12");
}

TEST(Limits, TruthRoundsHalfToEvenAsIfthenDoes) {
    EXPECT_FALSE(IsTrue(0.5));
    EXPECT_TRUE(IsTrue(0.51));
    EXPECT_TRUE(IsTrue(1.5));
    EXPECT_FALSE(IsTrue(-3));
    EXPECT_FALSE(IsTrue(std::nan("")));
}

// --- typed bit-fields ---

constexpr const char* kTyped = "PLLFBD<8:0>, 1, 0, 3, 3, 9, 3, 0, -1, 48, 50 // PLLDIV: M = 50\n"
                               "PLLFBD<8:0>, 2, 0, 3, 9, 9, 9, 0, -1, 38, 40 // PLLDIV: M = 40\n"
                               "SHOWVAL, 10, 10, E0 = // M\n"
                               "SHOWVAL, 10, 40, E1 = 4 * PLLFBD<8:0> // Fvco\n"
                               "TYPED, 0, PLLFBD<8:0>, 2, 513, E0 - 2 // PLLDIV: M =\n";

TEST(TypedFields, TheMappingGivesTheFieldValueOfEveryNumber) {
    Calculated run(kTyped);
    const auto values = TypedFieldValues(run.model.TypedFields[0]);
    ASSERT_EQ(values.size(), 512u);
    EXPECT_EQ(values.front(), 0u);
    EXPECT_EQ(values[38], 38u); // M = 40
    EXPECT_EQ(values.back(), 511u);
}

TEST(TypedFields, AMappingOutsideTheBitsOrNotWholeIsRefused) {
    TTypedField field{.Box = 0, .Name = "R<1:0>", .Min = 0, .Max = 4, .Mapping = "E0"};
    EXPECT_THROW(TypedFieldValues(field), ConversionError); // 4 does not fit two bits
    field.Mapping = "E0 / 2";
    EXPECT_THROW(TypedFieldValues(field), ConversionError);
    field.Mapping = "E0 - 1";
    EXPECT_THROW(TypedFieldValues(field), ConversionError); // -1
    field.Mapping = "E0 / 2";
    field.Max = 0;
    EXPECT_EQ(TypedFieldValues(field), std::vector<std::uint32_t>{0});
}

TEST(TypedFields, NumbersOutsideTheRangeOrNotWholeAreViolations) {
    Calculated run(kTyped);
    const TTypedField& field = run.model.TypedFields[0];
    EXPECT_FALSE(TypedNumberProblem(run.model, field, 2));
    EXPECT_FALSE(TypedNumberProblem(run.model, field, 513));
    EXPECT_EQ(TypedNumberProblem(run.model, field, 514), "M = 514 is above its maximum of 513");
    EXPECT_EQ(TypedNumberProblem(run.model, field, 1), "M = 1 is below its minimum of 2");
    EXPECT_EQ(TypedNumberProblem(run.model, field, 40.5), "M = 40.5 is not a whole number");

    run.boxes.SetText(0, "600");
    Calculate(run.state, run.evaluator, run.changes);
    const auto v =
        EvaluateLimits(run.model, run.evaluator, [&](int box) { return run.boxes.Text(box); });
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].Box, 0);
    EXPECT_EQ(v[0].Value, 600);
    EXPECT_EQ(v[0].Message, "M = 600 is above its maximum of 513");
}

TEST(TypedFields, ALegalNumberBecomesTheRegisterChoiceWithItsComment) {
    Calculated run(kTyped);
    const TTypedField& field = run.model.TypedFields[0];
    ASSERT_TRUE(ApplyTypedNumber(run.model, field, 39, 37));
    const TRegVal& val = run.model.RegVals[0];
    EXPECT_EQ(val.Value, 37u);
    EXPECT_EQ(val.CalcValue, 39.0);
    EXPECT_EQ(val.Comment, "// PLLDIV: M = 39");
    EXPECT_TRUE(val.Chosen);
    Calculate(run.state, run.evaluator, run.changes);
    EXPECT_EQ(run.boxes.Text(1), "156 Mhz");

    const TTypedField orphan{.Box = 0, .Name = "OTHER<3:0>", .Min = 0, .Max = 3, .Mapping = "E0"};
    EXPECT_FALSE(ApplyTypedNumber(run.model, orphan, 1, 1));
    EXPECT_EQ(TypedComment(orphan, 3), "// OTHER<3:0> = 3");
    EXPECT_EQ(TypedFieldOfBox(run.model, 0), &field);
    EXPECT_EQ(TypedFieldOfBox(run.model, 1), nullptr);
    EXPECT_EQ(TypedFieldOfName(run.model, "pllfbd<8:0>"), &field);
}

} // namespace
} // namespace quorvel
