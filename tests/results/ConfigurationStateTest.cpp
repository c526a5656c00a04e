// The state of a configuration on its own: the test device's definitions and diagram read
// into it, then lines chosen, cleared and calculated without any view.

#include "TestSupport.h"
#include "devdefs/DefinitionReader.h"
#include "diagram/DescriptionParser.h"
#include "diagram/Selection.h"
#include "eval/KivEval.h"
#include "results/Calculation.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

class ConfigurationStateTest : public ::testing::Test {
protected:
    Configuration state;
    TSimpleEval evaluator;
    Changes changes;

    void SetUp() override {
        ReadDefinitionText(test::ReadFile(test::TestData("device/TESTDEV.vlk")),
                           state.Model.ConfigWords);
        StateBoxes boxes(state, changes);
        ParseDiagramDescription(test::ReadFile(test::TestData("device/Quorvel_T_lines.txt")),
                                state.Model, boxes);
        changes.Clear();
    }
    void Choose(bool registerTable, std::size_t index) {
        ChooseLine(state, {registerTable, index}, changes);
    }
    const std::string& Text(int box) const {
        return state.Boxes[static_cast<std::size_t>(box)].text;
    }
};

TEST_F(ConfigurationStateTest, ChoosesClearsAndRecalculatesWithoutViews) {
    ASSERT_EQ(Text(0), "4 Mhz") << "the parser laid the input box out in the state";
    Choose(false, 1); // FOSC internal 16 MHz
    Choose(false, 3); // PLLEN on
    Choose(true, 0);  // OSCCON<6:4> = 16 MHz
    EXPECT_EQ(state.Model.ConfigLineMarked, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(state.Caption(2), "Internal oscillator");
    EXPECT_EQ(state.Caption(4), "PLL on");
    EXPECT_TRUE(state.Model.RegVals[0].Chosen);
    changes.Clear();

    Calculate(state, evaluator, changes);
    EXPECT_EQ(Text(1), "64 Mhz");
    EXPECT_EQ(Text(2), "4 Mhz");
    EXPECT_EQ(changes.Boxes.count(), 2u) << "the two result boxes, not the input box";
    EXPECT_TRUE(changes.Paints.empty()) << "the calculation paints nothing";

    changes.Clear();
    ClearChoices(state, true, true, changes);
    EXPECT_EQ(state.Model.ConfigLineMarked, (std::vector<bool>(4, false)));
    EXPECT_EQ(state.Model.RegisterLineMarked, (std::vector<bool>(2, false)));
    EXPECT_EQ(state.Caption(2), "");
    EXPECT_EQ(state.Caption(1), "") << "the field labels were never set here";
    EXPECT_FALSE(state.Model.RegVals[0].Chosen);
    ASSERT_EQ(changes.Paints.size(), 7u) << "four, then two lines, then the connectors";
    EXPECT_EQ(changes.Paints.back().What, Paint::Kind::Connectors);
    EXPECT_EQ(Text(1), "64 Mhz") << "clearing does not recalculate";

    // The values chosen for the calculation stay; typing into the input box changes Fin.
    state.Boxes[0].text = "2";
    Calculate(state, evaluator, changes);
    EXPECT_EQ(Text(1), "64 Mhz") << "the internal oscillator ignores Fin";
    Choose(false, 0); // HS crystal: Fosc = Fin * PLL
    Calculate(state, evaluator, changes);
    EXPECT_EQ(Text(1), "8 Mhz");
}

TEST_F(ConfigurationStateTest, ARuleRecordsEveryPaintInOrderWithTheMarkOfThatMoment) {
    Choose(false, 3); // PLLEN on
    changes.Clear();
    Choose(true, 1); // 8 MHz, which excludes PLLEN on (EXCL 4, 6)
    const std::vector<Paint> expected = {{Paint::Kind::RegisterLine, true, 1},
                                         {Paint::Kind::RegisterLine, false, 0},
                                         {Paint::Kind::ConfigLine, false, 3},
                                         {Paint::Kind::Connectors, false, 0}};
    EXPECT_EQ(changes.Paints, expected);
    EXPECT_FALSE(state.Model.ConfigLineMarked[3]);
}

TEST_F(ConfigurationStateTest, AnErrorKeepsTheBoxesWrittenBeforeAndTheirRecord) {
    state.Model.Formulas[2].Expression = "1 +";
    state.Boxes[2].text = "old";
    EXPECT_ANY_THROW(Calculate(state, evaluator, changes));
    EXPECT_EQ(Text(1), "4 Mhz");
    EXPECT_EQ(Text(2), "old");
    EXPECT_TRUE(changes.Boxes[1]);
    EXPECT_FALSE(changes.Boxes[2]);
}

TEST_F(ConfigurationStateTest, KeptVariablePlacesGiveTheCalculationByName) {
    // One evaluator with kept places against a fresh one set by name, after every choice,
    // and again after the diagram is loaded anew (the kept places must be taken again).
    IndexDiagram(state);
    TSimpleEval byPlace;
    VariablePlaces places;
    const auto compare = [&](const char* step) {
        Configuration copy = state;
        TSimpleEval byName;
        Changes ignored;
        Calculate(copy, byName, ignored);
        Calculate(state, byPlace, changes, &places);
        for (int k = 0; k < kValueBoxCount; ++k)
            EXPECT_EQ(Text(k), copy.Boxes[static_cast<std::size_t>(k)].text) << step << " E" << k;
        EXPECT_EQ(byPlace.Variables(), byName.Variables()) << step;
        EXPECT_EQ(places.Diagram, state.Index) << step;
    };
    compare("first");
    for (std::size_t line = 0; line < state.Model.ConfigLines.size(); ++line) {
        Choose(false, line);
        compare("config line");
    }
    for (std::size_t line = 0; line < state.Model.RegisterLines.size(); ++line) {
        Choose(true, line);
        compare("register line");
    }
    const std::shared_ptr<const DiagramIndex> before = state.Index;
    IndexDiagram(state);
    ASSERT_NE(state.Index, before);
    Choose(false, 0);
    compare("after a new load");
}

} // namespace
} // namespace quorvel
