#include "results/Solver.h"

#include "diagram/DescriptionParser.h"
#include "eval/KivEval.h"
#include "results/Calculation.h"
#include "shell/HeadlessViews.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// A source switch (PLL or a divider), an input divider N, a multiplier M typed or clicked, and
// an output divider; limits as a data sheet gives them.
constexpr const char* kDiagram = "SRC, 1, 0, 3, 3, 9, 3, 0, -1, 1, 1 // PLL\n"
                                 "SRC, 2, 0, 3, 9, 9, 9, 0, -1, 0, 0 // direct\n"
                                 "DIV, 3, 0, 3, 20, 9, 20, 1, -1, 1, 1\n"
                                 "DIV, 4, 0, 3, 30, 9, 30, 1, -1, 2, 2\n"
                                 "DIV, 5, 0, 3, 40, 9, 40, 1, -1, 4, 4\n"
                                 "UNUSED, 6, 0, 3, 50, 9, 50, 2, -1, 0, 0\n"
                                 "UNUSED, 7, 0, 3, 60, 9, 60, 2, -1, 1, 1\n"
                                 "R<3:0>, 8, 0, 3, 70, 9, 70, 3, -1, 0, 1\n"
                                 "R<3:0>, 9, 0, 3, 80, 9, 80, 3, -1, 1, 2\n"
                                 "R<3:0>, 10, 0, 3, 90, 9, 90, 3, -1, 3, 4\n"
                                 "M<5:0>, 11, 0, 3, 100, 9, 100, 4, -1, 8, 10\n"
                                 "M<5:0>, 12, 0, 3, 110, 9, 110, 4, -1, 18, 20\n"
                                 "SHOWVAL, 10, 10, E0 = // Fin\n"
                                 "SHOWVAL, 10, 40, E1 = E0 / R<3:0> // Fref\n"
                                 "SHOWVAL, 10, 70, E2 = E1 * M<5:0> // Fvco\n"
                                 "SHOWVAL, 10, 90, E3 = ifthen(SRC, E2 / 2, E0 / DIV) // Fosc\n"
                                 "SHOWVAL, 10, 120, E4 = // M\n"
                                 "RANGE, 1, 1, 5, SRC // reference 1 to 5 MHz\n"
                                 "RANGE, 2, 20, 100, SRC // VCO 20 to 100 MHz\n"
                                 "RANGE, 3, , 40 // Fosc at most 40 MHz\n"
                                 "TYPED, 4, M<5:0>, 2, 33, E4 - 2 // M =\n";

struct Solving {
    TModel model;
    MemoryValueBoxes boxes;

    explicit Solving(const std::string& description = kDiagram) {
        ParseDiagramDescription(description, model, boxes);
    }

    // Starts from the first line of every name, the given input, and solves.
    SolveResult For(const std::string& fin, SolveRequest request) {
        boxes.SetText(0, fin);
        SolveStart start;
        for (int k = 0; k < kValueBoxCount; ++k)
            start.BoxTexts.push_back(boxes.Text(k));
        for (const TCalcVal& val : model.CalcVals) {
            for (const TLine_& line : model.ConfigLines)
                if (line.Name == val.Name) {
                    start.ConfigValues.push_back(line.Value);
                    break;
                }
        }
        for (const TRegVal& val : model.RegVals) {
            for (const TLineRegister_& line : model.RegisterLines)
                if (line.Name == val.Name) {
                    start.RegisterValues.push_back(line.Value);
                    break;
                }
        }
        return Solve(model, start, request);
    }
};

std::string SetsOf(const Solution& s) {
    std::string out;
    for (const SolvedField& f : s.Fields) {
        if (!out.empty())
            out += ' ';
        out += f.Name + "=" + std::to_string(f.IsTyped ? f.Number : f.Value);
    }
    return out;
}

TEST(Solver, FindsTheExactSettingsWithTheFewestChangesFirst) {
    Solving s;
    // 8 MHz: 40 MHz out of the PLL needs Fvco 80, e.g. R = 2 and M = 20, or R = 4 and M = 40
    // (beyond the typed range), or R = 1 and M = 10 (reference 8 too high).
    const SolveResult r = s.For("8", {.Targets = {{3, 40}}});
    ASSERT_FALSE(r.Solutions.empty()) << r.Reason;
    const Solution& best = r.Solutions.front();
    EXPECT_EQ(best.Error, 0.0);
    EXPECT_EQ(SetsOf(best), "SRC=1 R<3:0>=1 M<5:0>=20");
    EXPECT_EQ(best.Changes, 2); // R from /1 to /2, M from 10 to 20
    EXPECT_EQ(best.BoxTexts[3], "40 Mhz");
    EXPECT_EQ(best.BoxTexts[2], "80 Mhz");
    EXPECT_EQ(best.BoxTexts[4], "20");
    // Every solution meets the target, keeps the limits, and none is worse ranked first.
    for (std::size_t i = 0; i < r.Solutions.size(); ++i) {
        EXPECT_EQ(r.Solutions[i].BoxTexts[3], "40 Mhz");
        if (i > 0) {
            EXPECT_LE(r.Solutions[i - 1].Changes, r.Solutions[i].Changes);
        }
    }
    // The unused field never appears; the divider of the direct path is not tried while the
    // PLL is chosen, but the direct path itself (8 / DIV can never give 40) is.
    for (const Solution& sol : r.Solutions)
        EXPECT_EQ(SetsOf(sol).find("UNUSED"), std::string::npos);
    EXPECT_EQ(r.Candidates, 2u * 3u * 3u * 32u);
}

TEST(Solver, EquallyChangedSolutionsRankByTheLowerVco) {
    Solving s;
    const SolveResult r = s.For("8", {.Targets = {{3, 20}}, .MaxSolutions = 50});
    ASSERT_GE(r.Solutions.size(), 2u);
    // Fosc 20 from the PLL: Fvco 40, from 8 / 2 * 10 (R /2, M 10: one change).
    EXPECT_EQ(SetsOf(r.Solutions.front()), "SRC=1 R<3:0>=1 M<5:0>=10");
    EXPECT_EQ(r.Solutions.front().Changes, 1);
}

TEST(Solver, ToleranceAllowsApproximateSolutionsAfterTheExactOnes) {
    Solving s;
    const SolveResult exact = s.For("7.3", {.Targets = {{3, 30}}});
    EXPECT_TRUE(exact.Solutions.empty());
    EXPECT_EQ(exact.Reason, "no settings give Fosc = 30 Mhz and keep every limit; the closest is "
                            "Fosc = 30.113 Mhz");
    const SolveResult near =
        s.For("7.3", {.Targets = {{3, 30}}, .TolerancePercent = 3, .MaxSolutions = 100});
    ASSERT_FALSE(near.Solutions.empty());
    for (const Solution& sol : near.Solutions) {
        EXPECT_GT(sol.Error, 0.0);
        EXPECT_LE(sol.Error, 0.03);
    }
}

TEST(Solver, LockedFieldsKeepTheirValue) {
    Solving s;
    // 4 MHz from 8: only the direct path with DIV 2 gives it, the PLL path stops at 10.
    const SolveResult r = s.For("8", {.Targets = {{3, 4}}});
    ASSERT_FALSE(r.Solutions.empty()) << r.Reason;
    EXPECT_EQ(SetsOf(r.Solutions.front()), "SRC=0 DIV=2");
    const SolveResult locked = s.For("8", {.Targets = {{3, 4}}, .Locked = {"src"}});
    EXPECT_TRUE(locked.Solutions.empty());
    EXPECT_EQ(locked.Reason, "no settings give Fosc = 4 Mhz and keep every limit; the closest is "
                             "Fosc = 10 Mhz");
    EXPECT_THROW(s.For("8", {.Targets = {{3, 4}}, .Locked = {"NOSUCH"}}), ConversionError);
    EXPECT_THROW(s.For("8", {.Targets = {{9, 4}}}), ConversionError);
}

TEST(Solver, SaysWhichTargetOrLimitCannotBeMet) {
    Solving s;
    // The output limit of 40 MHz stops every choice short of 50.
    EXPECT_EQ(s.For("8", {.Targets = {{3, 50}}}).Reason,
              "no settings give Fosc = 50 Mhz and keep every limit; the closest is Fosc = 40 Mhz");
    // From 100 MHz no divider brings the reference into range.
    EXPECT_EQ(s.For("100", {.Targets = {{3, 25}}, .Locked = {"SRC"}}).Reason,
              "no settings keep Fref within its limit (reference 1 to 5 MHz)");
}

TEST(Solver, ResultsAgreeWithTheCalculation) {
    Solving s;
    const SolveResult r = s.For("12", {.Targets = {{3, 30}}, .MaxSolutions = 20});
    ASSERT_FALSE(r.Solutions.empty());
    for (const Solution& sol : r.Solutions) {
        // Apply the solution to the model and calculate as the program does.
        Configuration state;
        state.Model = s.model;
        TModel& model = state.Model;
        for (const SolvedField& f : sol.Fields) {
            if (f.IsRegister) {
                const int i = model.RegNames.IndexOf(f.Name);
                model.RegVals[static_cast<std::size_t>(i)].CalcValue =
                    f.IsTyped ? static_cast<double>(f.Number) : 0;
                if (!f.IsTyped)
                    for (const TLineRegister_& line : model.RegisterLines)
                        if (line.Name == f.Name && line.Value == f.Value)
                            model.RegVals[static_cast<std::size_t>(i)].CalcValue = line.CalcValue;
            } else {
                for (const TLine_& line : model.ConfigLines)
                    if (line.Name == f.Name && line.Value == f.Value)
                        model.CalcVals[static_cast<std::size_t>(model.CalcVarNames.IndexOf(f.Name))]
                            .Value = line.CalcValue;
            }
        }
        for (int k = 0; k < kValueBoxCount; ++k)
            state.Boxes[static_cast<std::size_t>(k)].text = s.boxes.Text(k);
        TSimpleEval evaluator;
        Changes changes;
        Calculate(state, evaluator, changes);
        EXPECT_EQ(state.Boxes[3].text, sol.BoxTexts[3]);
        EXPECT_EQ(state.Boxes[2].text, sol.BoxTexts[2]);
    }
}

} // namespace
} // namespace quorvel
