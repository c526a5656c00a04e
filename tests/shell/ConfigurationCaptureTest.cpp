#include "shell/ConfigurationCapture.h"

#include "ModelBuilder.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// FNOSC (named settings, one unnamed, one name given twice), two register bit-fields, an
// input box, and result boxes of which two share a comment.
TModel Model() {
    TModel m;
    test::AddConfigLine(m, {.name = "FNOSC", .id = 1, .alt = 0, .value = 3});
    test::AddConfigLine(m, {.name = "FNOSC", .id = 2, .alt = 0, .value = 1});
    test::AddConfigLine(m, {.name = "FNOSC", .id = 3, .alt = 0, .value = 7});
    test::AddConfigLine(m, {.name = "POSCMD", .id = 4, .alt = 1, .value = 2});
    test::AddRegisterLine(m, {.name = "CLKDIV<7:6>", .id = 5, .alt = 2, .value = 1});
    test::AddRegisterLine(m, {.name = "PLLFBD<8:0>", .id = 6, .alt = 3, .value = 38});
    TField fnosc{.Name = "FNOSC"};
    fnosc.Settings = {{.Value = 3, .Name = "PRIPLL"},
                      {.Value = 1, .Name = "FRCPLL"},
                      {.Value = 7, .Name = ""},
                      {.Value = 9, .Name = "TWICE"},
                      {.Value = 10, .Name = "twice"}};
    m.ConfigWords = {{.Name = "FOSCSEL", .Fields = {fnosc}}};
    m.Formulas = {{.Name = "E0", .Quantity = "Fposc"},
                  {.Name = "E1", .Expression = "E0", .Quantity = "Fosc"},
                  {.Name = "E2", .Expression = "E1", .Quantity = "fosc"},
                  {.Name = "E3", .Expression = "E1", .Quantity = "Fcy"},
                  {.Name = "E4", .Expression = "E1", .Quantity = "E0"}};
    return m;
}

TEST(ConfigurationCapture, NamesBoxesByTheirCommentsWhereTheseAreUnambiguous) {
    EXPECT_EQ(ValueBoxNames(Model()), (std::vector<std::string>{"Fposc", "E1", "E2", "Fcy", "E4"}));
}

TEST(ConfigurationCapture, WritesSettingsByNameWhereTheDefinitionGivesOne) {
    const TModel m = Model();
    EXPECT_EQ(SettingText(m, "FNOSC", 3), "PRIPLL");
    EXPECT_EQ(SettingText(m, "FNOSC", 7), "7") << "a setting without a name";
    EXPECT_EQ(SettingText(m, "FNOSC", 9), "9") << "a name two settings share";
    EXPECT_EQ(SettingText(m, "FNOSC", 42), "42") << "no such setting";
    EXPECT_EQ(SettingText(m, "POSCMD", 2), "2") << "no such field";
}

TEST(ConfigurationCapture, TakesTheMarkedLinesAndChosenRegistersInDiagramOrder) {
    TModel m = Model();
    m.ConfigLineMarked = {false, true, false, false}; // FNOSC = 1, nothing for POSCMD
    m.RegVals[0].Chosen = true;
    m.RegVals[0].Value = 1;
    const std::vector<std::string> texts = {"8", "80 Mhz", "80 Mhz", "40 Mhz", "1 Mhz"};
    const ConfigurationDocument d =
        CaptureConfiguration(m, "DEV", [&](int k) { return texts[static_cast<std::size_t>(k)]; });
    EXPECT_EQ(d.Device, "DEV");
    ASSERT_EQ(d.Inputs.size(), 1u);
    EXPECT_EQ(d.Inputs[0].Name + "=" + d.Inputs[0].Value, "Fposc=8");
    std::vector<std::string> settings;
    for (const ConfigurationFact& f : d.Settings)
        settings.push_back(f.Name + "=" + f.Value);
    EXPECT_EQ(settings, (std::vector<std::string>{"FNOSC=FRCPLL", "POSCMD=-", "CLKDIV<7:6>=1",
                                                  "PLLFBD<8:0>=-"}));
    ASSERT_EQ(d.Results.size(), 4u);
    EXPECT_EQ(d.Results[2].Name + "=" + d.Results[2].Value, "Fcy=40 Mhz");
}

TEST(ConfigurationCapture, PlacesAFilesFactsInDiagramOrderAndReportsStrangers) {
    ConfigurationDocument d;
    d.Device = "DEV";
    d.Inputs = {{"fposc", "10", 3}, {"Fcy", "1", 4}, {"Fsec", "2", 5}, {"E0", "12", 6}};
    d.Settings = {{"pllfbd<8:0>", "38", 7},
                  {"OSCIOFNC", "ON", 8},
                  {"poscmd", "XT", 9},
                  {"FNOSC", "PRIPLL", 10}};
    ConfigurationProblems problems;
    const OpeningPlan plan = PlanOpening(d, Model(), problems);
    ASSERT_EQ(plan.Inputs.size(), 2u);
    EXPECT_EQ(plan.Inputs[0].Box, 0);
    EXPECT_EQ(plan.Inputs[0].Text, "10");
    EXPECT_EQ(plan.Inputs[1].Text, "12") << "a box answers to its index name as well";
    std::vector<std::string> choices;
    for (const ConfigurationFact& f : plan.Choices)
        choices.push_back(f.Name + "=" + f.Value + "@" + std::to_string(f.Line));
    EXPECT_EQ(choices,
              (std::vector<std::string>{"FNOSC=PRIPLL@10", "POSCMD=XT@9", "PLLFBD<8:0>=38@7"}));
    ASSERT_EQ(problems.Messages.size(), 3u) << problems.Text();
    EXPECT_EQ(problems.Messages[0], "line 4: Fcy is a computed value, not an input box");
    EXPECT_EQ(problems.Messages[1],
              "line 5: the diagram has no input box named Fsec (its input boxes: Fposc)");
    EXPECT_EQ(problems.Messages[2],
              "line 8: the diagram has no setting named OSCIOFNC (it has FNOSC, POSCMD, "
              "CLKDIV<7:6>, PLLFBD<8:0>)");
}

} // namespace
} // namespace quorvel
