// The settings finder on the shipped diagrams: the set-ups users ask for most, from the
// default choices of each diagram.

#include "diagram/DescriptionParser.h"
#include "results/Limits.h"
#include "results/Solver.h"
#include "shell/HeadlessViews.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

struct Shipped {
    TModel model;
    MemoryValueBoxes boxes;
    SolveStart start;

    explicit Shipped(const std::string& diagram) {
        const std::string text = ReadDescriptionFile(std::string(QUORVEL_SHIPPED_DATA_DIR) + "/" +
                                                     DescriptionFileName(diagram));
        ParseDiagramDescription(text, model, boxes);
        for (const TCalcVal& val : model.CalcVals)
            start.ConfigValues.push_back(FirstValue(model.ConfigLines, val.Name));
        for (const TRegVal& val : model.RegVals)
            start.RegisterValues.push_back(FirstValue(model.RegisterLines, val.Name));
        for (int k = 0; k < kValueBoxCount; ++k)
            start.BoxTexts.push_back(boxes.Text(k));
    }

    template <typename Line>
    static std::uint32_t FirstValue(const std::vector<Line>& lines, const std::string& name) {
        for (const Line& line : lines)
            if (line.Name == name)
                return line.Value;
        return 0;
    }

    // Chooses a configuration setting as the starting point.
    void Choose(const std::string& name, std::uint32_t value) {
        start.ConfigValues[static_cast<std::size_t>(model.CalcVarNames.IndexOf(name))] = value;
    }

    SolveResult Find(std::vector<std::pair<std::string, double>> targets) {
        SolveRequest request;
        for (const auto& [name, value] : targets)
            request.Targets.push_back({FindBoxByName(model, name), value});
        return Solve(model, start, request);
    }

    std::string Box(const Solution& s, const std::string& name) const {
        return s.BoxTexts[static_cast<std::size_t>(FindBoxByName(model, name))];
    }
};

const SolvedField* FieldOf(const Solution& s, const std::string& name) {
    for (const SolvedField& f : s.Fields)
        if (f.Name == name)
            return &f;
    return nullptr;
}

TEST(ShippedSolver, DsPicFromAnEightMegahertzCrystalTo80) {
    Shipped d("dsPIC33FJxxGP");
    d.start.BoxTexts[0] = "8";
    d.Choose("POSCMD", 1); // XT
    const SolveResult r = d.Find({{"Fosc", 80}});
    ASSERT_FALSE(r.Solutions.empty()) << r.Reason;
    const Solution& best = r.Solutions.front();
    EXPECT_EQ(best.Error, 0.0);
    EXPECT_EQ(d.Box(best, "Fosc"), "80 Mhz");
    EXPECT_EQ(d.Box(best, "Fcy"), "40 Mhz");
    // The primary oscillator with PLL, the crystal kept, the VCO as low as it can be: 100 MHz
    // is below every choice that reaches 80 with N2 = 2, so 160 MHz.
    ASSERT_NE(FieldOf(best, "FNOSC"), nullptr);
    EXPECT_EQ(FieldOf(best, "FNOSC")->Value, 3u);
    ASSERT_NE(FieldOf(best, "POSCMD"), nullptr);
    EXPECT_FALSE(FieldOf(best, "POSCMD")->Changed);
    EXPECT_EQ(d.Box(best, "Fvco"), "160 Mhz");
    // The typed divisors reach values no line offers; the search covered every one of them.
    EXPECT_GE(r.Candidates, 8u * 4u * 32u * 512u * 3u);
}

TEST(ShippedSolver, DsPicFromATenMegahertzHsCrystal) {
    Shipped d("dsPIC33FJxxGP");
    d.start.BoxTexts[0] = "10";
    d.Choose("POSCMD", 2); // HS
    const SolveResult r = d.Find({{"Fosc", 80}});
    ASSERT_FALSE(r.Solutions.empty()) << r.Reason;
    EXPECT_EQ(d.Box(r.Solutions.front(), "Fosc"), "80 Mhz");
    EXPECT_EQ(r.Solutions.front().Error, 0.0);
}

TEST(ShippedSolver, DsPicBelowFourMegahertzNeedsATypedMultiplier) {
    Shipped d("dsPIC33FJxxGP");
    d.start.BoxTexts[0] = "3";
    d.Choose("POSCMD", 1);
    const SolveResult r = d.Find({{"Fosc", 80}});
    ASSERT_FALSE(r.Solutions.empty()) << r.Reason;
    const Solution& best = r.Solutions.front();
    EXPECT_EQ(d.Box(best, "Fosc"), "80 Mhz");
    const SolvedField* m = FieldOf(best, "PLLFBD<8:0>");
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->IsTyped);
    EXPECT_EQ(static_cast<std::int64_t>(m->Value), m->Number - 2);
}

TEST(ShippedSolver, Pic32ToSysclk80AndUsb48FromAnEightMegahertzCrystal) {
    Shipped d("PIC32MX7xx");
    d.start.BoxTexts[0] = "8";
    d.Choose("POSCMOD", 512); // HS
    d.Choose("UPLLEN", 0);    // USB PLL on
    const SolveResult r = d.Find({{"SYSCLK", 80}, {"USBCLK", 48}});
    ASSERT_FALSE(r.Solutions.empty()) << r.Reason;
    const Solution& best = r.Solutions.front();
    EXPECT_EQ(d.Box(best, "SYSCLK"), "80 Mhz");
    EXPECT_EQ(d.Box(best, "USBCLK"), "48 Mhz");
    EXPECT_EQ(d.Box(best, "Fplli"), "4 Mhz");
}

TEST(ShippedSolver, Pic18To64Megahertz) {
    Shipped d("PIC18FxxK22");
    const SolveResult r = d.Find({{"Fosc", 64}});
    ASSERT_FALSE(r.Solutions.empty()) << r.Reason;
    EXPECT_EQ(d.Box(r.Solutions.front(), "Fosc"), "64 Mhz");
    EXPECT_EQ(d.Box(r.Solutions.front(), "Fcy"), "16 Mhz");
}

TEST(ShippedSolver, SaysWhyAnImpossibleTargetFails) {
    Shipped d("PIC18FxxK22");
    const SolveResult r = d.Find({{"Fosc", 80}});
    EXPECT_TRUE(r.Solutions.empty());
    EXPECT_EQ(r.Reason, "no settings give Fosc = 80 Mhz and keep every limit; the closest is "
                        "Fosc = 64 Mhz");
}

} // namespace
} // namespace quorvel
