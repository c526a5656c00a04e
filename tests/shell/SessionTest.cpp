#include "ProgramFixture.h"
#include "diagram/Marking.h"
#include "eval/KivEval.h"
#include "shell/KivDirectories.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::ProgramFixture;

class LoadDeviceTest : public ProgramFixture {};

TEST_F(LoadDeviceTest, BringsTheDeviceIntoItsInitialState) {
    WriteProgram();
    Start();
    EXPECT_TRUE(core->ListBox1Click(" TESTDEV "));
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_TRUE(core->CommandsVisible());
    EXPECT_TRUE(core->AutoCalculate());
    EXPECT_EQ(core->CurrentDevice(), "TESTDEV");

    EXPECT_EQ(labels.Caption(1), "Oscillator selection");
    EXPECT_EQ(labels.Caption(2), "HS crystal");
    EXPECT_EQ(labels.Caption(3), "4x PLL");
    EXPECT_EQ(labels.Caption(4), "PLL off");

    const TModel& m = core->Model();
    EXPECT_EQ(m.ConfigLineMarked, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(m.RegisterLineMarked, (std::vector<bool>{true, false}));
    EXPECT_EQ(At(30, 10), kRed);
    EXPECT_EQ(At(30, 30), kBlue);
    EXPECT_EQ(At(120, 30), kLime);
    EXPECT_EQ(At(80, 10), kRed) << "FOLLOW of a chosen line";
    EXPECT_EQ(At(80, 30), kBlack) << "FOLLOW_NOT of a chosen line";

    EXPECT_TRUE(boxes.Box(0).visible);
    EXPECT_TRUE(boxes.Box(0).input);
    EXPECT_EQ(boxes.Box(0).left, 200);
    EXPECT_EQ(boxes.Text(0), "4 Mhz");
    EXPECT_EQ(boxes.Text(1), "4 Mhz");
    EXPECT_EQ(boxes.Text(2), "4 Mhz");
    EXPECT_FALSE(boxes.Box(3).visible);
}

TEST_F(LoadDeviceTest, ClicksRecalculateAtOnce) {
    WriteProgram();
    Start();
    core->LoadDevice("TESTDEV");
    Click(30, 70); // PLL on
    EXPECT_EQ(boxes.Text(1), "16 Mhz");
    EXPECT_EQ(labels.Caption(4), "PLL on");
    Click(30, 30); // internal 16 MHz
    EXPECT_EQ(boxes.Text(1), "64 Mhz");
    Type(0, "12.5 Mhz");
    Click(30, 10);
    EXPECT_EQ(boxes.Text(1), "50 Mhz");
    Click(120, 30); // 8 MHz, which excludes PLL on
    EXPECT_EQ(boxes.Text(2), "2 Mhz");
    EXPECT_FALSE(core->Model().ConfigLineMarked[3]);
    EXPECT_EQ(boxes.Text(1), "50 Mhz") << "an EXCL clear keeps the PLL value";
}

TEST_F(LoadDeviceTest, DefinitionInNoDefsDirectoryKeepsThePreviousPicture) {
    WriteProgram("GHOST = T\n");
    Start();
    core->LoadDevice("TESTDEV");
    core->LoadDevice("GHOST");
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Defs directory not found"});
    EXPECT_EQ(core->CurrentDevice(), "GHOST");
    EXPECT_EQ(At(30, 10), kRed) << "the previous device's marks stay";
    for (int i = 0; i < kValueBoxCount; ++i) {
        EXPECT_FALSE(boxes.Box(i).visible);
        EXPECT_EQ(boxes.Text(i), "");
    }
    EXPECT_TRUE(core->CommandsVisible());
}

TEST_F(LoadDeviceTest, DeviceWithoutDiagramStopsSilently) {
    WriteProgram();
    Start();
    core->LoadDevice("NODIAGRAM");
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_FALSE(core->CommandsVisible());
    EXPECT_EQ(CurrentDirectory() + "/", ProgramDir());
}

TEST_F(LoadDeviceTest, NamesLeadingOutOfTheirDirectoriesAreRefused) {
    // A definition and a diagram outside the program directory, reachable through "..".
    WriteProgram("../outside/EVIL = T\nESCAPE = x/../../outside/T\n");
    dir.Write("outside/EVIL.vlk", test::ReadFile(test::TestData("device/TESTDEV.vlk")));
    dir.Write("program/Defs/ESCAPE.vlk", test::ReadFile(test::TestData("device/TESTDEV.vlk")));
    dir.Write("outside/T_lines.txt", test::ReadFile(test::TestData("device/Quorvel_T_lines.txt")));
    dir.Write("outside/T.bmp", Bitmap(300, 100).EncodeBmp());
    std::filesystem::create_directory(dir.File("program/Quorvel_x"));
    Start();
    core->LoadDevice("../outside/EVIL");
    core->LoadDevice("ESCAPE");
    EXPECT_EQ(messages.Messages(),
              (std::vector<std::string>{UnsafeNameMessage("device", "../outside/EVIL"),
                                        UnsafeNameMessage("diagram", "x/../../outside/T")}));
    EXPECT_FALSE(core->CommandsVisible());
    EXPECT_TRUE(surface.Picture().Empty()) << "no bitmap was read";
}

TEST_F(LoadDeviceTest, MissingBitmapIsAnErrorAndTheNextLoadWorks) {
    WriteProgram();
    Start();
    EXPECT_THROW(core->LoadDevice("OTHER"), FileError);
    EXPECT_FALSE(core->CommandsVisible());
    core->LoadDevice("TESTDEV");
    EXPECT_EQ(boxes.Text(1), "4 Mhz");
}

TEST_F(LoadDeviceTest, MissingDescriptionIsAnError) {
    WriteProgram();
    WriteBitmap("MISSING", 10, 10);
    Start();
    try {
        core->LoadDevice("OTHER");
        FAIL();
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

TEST_F(LoadDeviceTest, EmptyListItemAndSeparatorDoNothing) {
    WriteProgram();
    Start();
    EXPECT_FALSE(core->ListBox1Click("   "));
    EXPECT_FALSE(core->ListBox1Click(" - "));
    EXPECT_EQ(core->CurrentDevice(), "");
    EXPECT_TRUE(messages.Messages().empty()) << "a separator is not a missing device";
}

TEST_F(LoadDeviceTest, DefaultClickOnAnOverlapChoosesTheConfigurationLine) {
    WriteProgram("OVERLAP = U\n");
    dir.Write("program/Defs/OVERLAP.vlk", test::ReadFile(test::TestData("device/TESTDEV.vlk")));
    dir.Write("program/Quorvel_U_lines.txt",
              "FOSC, 1, 0, 10, 10, 60, 10, 1, -1, 2, 5\n"
              "FOSC, 2, 0, 10, 30, 60, 30, 1, -1, 8, 16\n"
              "R<0>, 3, 0, 20, 12, 60, 12, -1, -1, 1, 1 // on top of FOSC's box\n"
              "SHOWVAL, 100, 10, E0=FOSC\n");
    WriteBitmap("U", 100, 50);
    Start();
    core->LoadDevice("OVERLAP");
    EXPECT_FALSE(core->Model().RegVals[0].Chosen);
    EXPECT_FALSE(core->Model().RegisterLineMarked[0]);
    EXPECT_TRUE(core->Model().ConfigLineMarked[0]);
    EXPECT_EQ(boxes.Text(0), "5 Mhz");
    core->Code1Click();
    EXPECT_TRUE(core->CodeLines().empty());
}

TEST_F(LoadDeviceTest, OnlyTheFirstTwentyNamesGetLabels) {
    std::string lines;
    std::string vlk = "<cfg>\n<cfgbits w>\n<skey>W</skey>\n";
    for (int i = 0; i < 22; ++i) {
        const std::string n = "F" + std::to_string(i);
        const std::string y = std::to_string(10 + 10 * i);
        lines += n + ", " + std::to_string(i) + ", 0, 10, " + y + ", 50, " + y + ", -1, -1, 1\n";
        vlk += "<field f>\n<skey>" + n + "</skey>\n<sdesc>field " + n +
               "</sdesc>\n<setting s>\n<wValue>1</wValue>\n<sdesc>set " + n + "</sdesc>\n";
    }
    vlk += "</cfg>\n";
    WriteProgram("MANY = V\n");
    dir.Write("program/Defs/MANY.vlk", vlk);
    dir.Write("program/Quorvel_V_lines.txt", lines);
    WriteBitmap("V", 100, 300);
    Start();
    core->LoadDevice("MANY");
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(labels.Caption(1), "field F0");
    EXPECT_EQ(labels.Caption(40), "set F19");
    EXPECT_EQ(labels.Caption(41), "") << "the coordinate label belongs to no name";
    EXPECT_TRUE(core->Model().ConfigLineMarked[21]);
}

TEST_F(LoadDeviceTest, SecondDeviceReplacesTheFirstsTables) {
    WriteProgram("SMALL = W\n");
    dir.Write("program/Defs/SMALL.vlk", "");
    dir.Write("program/Quorvel_W_lines.txt", "SHOWVAL, 5, 5, E0=2*3\n");
    WriteBitmap("W", 50, 50);
    Start();
    core->LoadDevice("TESTDEV");
    core->LoadDevice("SMALL");
    const TModel& m = core->Model();
    EXPECT_TRUE(m.ConfigLines.empty());
    EXPECT_TRUE(m.RegVals.empty());
    EXPECT_TRUE(m.ConfigWords.empty());
    EXPECT_EQ(m.Formulas.size(), 1u);
    EXPECT_EQ(boxes.Text(0), "6 Mhz");
    EXPECT_FALSE(boxes.Box(1).visible);
    EXPECT_EQ(boxes.Text(1), "");
    EXPECT_EQ(labels.Caption(1), "");
}

TEST_F(LoadDeviceTest, ClearCommandsTouchOnlyWhatTheyClear) {
    WriteProgram();
    Start();
    core->LoadDevice("TESTDEV");
    core->ClearConfigbits1Click();
    EXPECT_EQ(core->Model().ConfigLineMarked, (std::vector<bool>(4, false)));
    EXPECT_TRUE(core->Model().RegisterLineMarked[0]);
    EXPECT_EQ(labels.Caption(2), "");
    EXPECT_EQ(labels.Caption(1), "Oscillator selection") << "field labels stay";
    EXPECT_EQ(At(80, 10), kBlack);
    EXPECT_EQ(At(80, 30), kRed);
    core->Code1Click();
    EXPECT_EQ(core->CodeLines(), std::vector<std::string>{
                                     "OSCCON := (OSCCON and (not 112)) or 112; // IRCF = 16 MHz"});

    core->ClearRegisterSettings1Click();
    core->Code1Click();
    EXPECT_TRUE(core->CodeLines().empty());
    Click(120, 30);
    core->Code1Click();
    EXPECT_EQ(core->CodeLines(),
              std::vector<std::string>{"OSCCON := (OSCCON and (not 112)) or 96; // IRCF = 8 MHz"});
    EXPECT_EQ(boxes.Text(2), "2 Mhz");

    core->ClearAll1Click();
    EXPECT_EQ(boxes.Text(2), "2 Mhz") << "clearing does not recalculate";
    EXPECT_FALSE(core->Model().RegVals[0].Chosen);
    EXPECT_EQ(core->Model().RegVals[0].Value, 6u) << "values are kept";

    core->ReloadAll1Click();
    EXPECT_EQ(core->Model().ConfigLineMarked, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(boxes.Text(2), "4 Mhz");
    EXPECT_EQ(labels.Caption(2), "HS crystal");
}

TEST_F(LoadDeviceTest, ReloadRetriesAFailedDeviceAndDoesNothingBeforeAnyChoice) {
    WriteProgram("LATE = T\n");
    Start();
    core->ReloadAll1Click();
    EXPECT_TRUE(messages.Messages().empty());
    core->LoadDevice("LATE");
    EXPECT_EQ(messages.Messages().size(), 1u);
    dir.Write("program/Defs/LATE.vlk", test::ReadFile(test::TestData("device/TESTDEV.vlk")));
    core->ReloadAll1Click();
    EXPECT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(core->CommandsVisible());
}

class CalculationTest : public ProgramFixture {
protected:
    void LoadFormulas(const std::string& showvals) {
        WriteProgram("CALC = C\n");
        dir.Write("program/Defs/CALC.vlk", "");
        dir.Write("program/Quorvel_C_lines.txt", showvals);
        WriteBitmap("C", 50, 50);
        Start();
        try {
            core->LoadDevice("CALC");
        } catch (const std::exception& e) {
            loadError = e.what();
        }
    }
    std::string loadError; // what the load's own calculation raised
};

TEST_F(CalculationTest, InputBoxesGiveTheirNumberOrOne) {
    LoadFormulas("SHOWVAL, 5, 5, E0=\nSHOWVAL, 5, 30, E1=E0 + E5\n");
    EXPECT_EQ(boxes.Text(1), "5 Mhz") << "4 from the input box, 1 for an unused box";
    const std::pair<const char*, const char*> cases[] = {
        {"Mhz 4", "5 Mhz"}, {"-4", "5 Mhz"}, {"3.6864 Mhz", "4.686 Mhz"},
        {"", "2 Mhz"},      {".5", "2 Mhz"}, {"abc", "2 Mhz"},
    };
    for (const auto& [input, shown] : cases) {
        Type(0, input);
        core->Calculate1Click();
        EXPECT_EQ(boxes.Text(1), shown) << input;
    }
}

TEST_F(CalculationTest, TwoPointsStopBeforeAnyFormula) {
    LoadFormulas("SHOWVAL, 5, 5, E0=\nSHOWVAL, 5, 30, E1=E0 * 2\n");
    Type(0, "1.2.3 Mhz");
    Type(1, "old");
    EXPECT_THROW(core->Calculate1Click(), ConversionError);
    EXPECT_EQ(boxes.Text(1), "old");
}

TEST_F(CalculationTest, ResultsAreFedBackAsDisplayed) {
    LoadFormulas("SHOWVAL, 5, 5, E0=1/3\nSHOWVAL, 5, 30, E1=E0 * 3\nSHOWVAL, 5, 55, E2=0-1.5\n"
                 "SHOWVAL, 5, 80, E3=E2 * 2\n");
    EXPECT_EQ(boxes.Text(0), "0.333 Mhz");
    EXPECT_EQ(boxes.Text(1), "0.999 Mhz");
    EXPECT_EQ(boxes.Text(2), "-1.5 Mhz");
    EXPECT_EQ(boxes.Text(3), "3 Mhz") << "the read-back drops the minus sign";
}

TEST_F(CalculationTest, FormulaSeesTheOldValueOfABoxBelowIt) {
    LoadFormulas("SHOWVAL, 5, 5, E0=E1 + 1\nSHOWVAL, 5, 30, E1=10\n");
    EXPECT_EQ(boxes.Text(0), "2 Mhz") << "E1 was empty before the first run";
    core->Calculate1Click();
    EXPECT_EQ(boxes.Text(0), "11 Mhz");
}

TEST_F(CalculationTest, AnErrorStopsTheRunWhereItHappens) {
    LoadFormulas("SHOWVAL, 5, 5, E0=1\nSHOWVAL, 5, 30, E1=2\nSHOWVAL, 5, 55, E2=1/0\n"
                 "SHOWVAL, 5, 80, E3=4\nSHOWVAL, 5, 105, E4=5\n");
    EXPECT_EQ(loadError, "Divider is zero: \"0\" in expression part \"+1/0\"");
    EXPECT_EQ(boxes.Text(0), "1 Mhz");
    EXPECT_EQ(boxes.Text(1), "2 Mhz");
    EXPECT_EQ(boxes.Text(2), "");
    EXPECT_EQ(boxes.Text(3), "");
    Type(3, "old");
    try {
        core->Calculate1Click();
        FAIL();
    } catch (const ESimpleEvalException& e) {
        EXPECT_STREQ(e.what(), "Divider is zero: \"0\" in expression part \"+1/0\"");
    }
    EXPECT_EQ(boxes.Text(3), "old");
}

TEST_F(CalculationTest, FormulaNameWithoutNumberFails) {
    LoadFormulas("SHOWVAL, 5, 5, Ex=1\n");
    EXPECT_EQ(loadError, "'x' is not a valid integer value");
    try {
        core->Calculate1Click();
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
}

TEST_F(CalculationTest, RegisterReferencesInFormulas) {
    WriteProgram("REG = R\n");
    dir.Write("program/Defs/REG.vlk", "");
    dir.Write("program/Quorvel_R_lines.txt",
              "CLKDIV<4:0>, 1, 0, 10, 10, 40, 10, 1, -1, 0, 2 // N1 = 2\n"
              "CLKDIV<4:0>, 2, 0, 10, 20, 40, 20, 1, -1, 1, 3 // N1 = 3\n"
              "SHOWVAL, 5, 30, E0=\n"
              "SHOWVAL, 5, 60, E1=E0 / CLKDIV<4:0>\n");
    WriteBitmap("R", 60, 90);
    Start();
    core->LoadDevice("REG");
    Type(0, "8 Mhz");
    Click(20, 20);
    EXPECT_EQ(boxes.Text(1), "2.667 Mhz");
}

class SessionActionTest : public ProgramFixture {
protected:
    void WriteNamedSettings() {
        // The test device with names on its settings' opener lines.
        std::string vlk = test::ReadFile(test::TestData("device/TESTDEV.vlk"));
        for (std::size_t p = vlk.find("<setting n="); p != std::string::npos;
             p = vlk.find("<setting n=", p))
            vlk.replace(p, 11, "<setting name=");
        dir.Write("program/Defs/TESTDEV.vlk", vlk);
    }
};

TEST_F(SessionActionTest, ChoosingByNameIsAClickOnTheLinesFirstEndPoint) {
    WriteProgram();
    WriteNamedSettings();
    Start();
    core->LoadDevice("TESTDEV");
    EXPECT_EQ(core->ChooseByName("fosc", "intio"), "");
    EXPECT_EQ(core->ChooseByName("PLLEN", "16"), "");
    EXPECT_EQ(core->ChooseByName("OSCCON<6:4>", "$6"), "");
    const Configuration byName = core->State();
    const Bitmap picture = surface.Picture();

    core->LoadDevice("TESTDEV");
    Click(10, 30);
    Click(10, 70);
    Click(100, 30);
    EXPECT_EQ(core->State().Model.ConfigLineMarked, byName.Model.ConfigLineMarked);
    EXPECT_EQ(core->State().Model.RegisterLineMarked, byName.Model.RegisterLineMarked);
    EXPECT_EQ(core->State().Boxes, byName.Boxes);
    EXPECT_EQ(core->State().Captions, byName.Captions);
    EXPECT_TRUE(surface.Picture().EncodeBmp() == picture.EncodeBmp());
    EXPECT_EQ(core->ChooseByName("FOSC", "XT"),
              "No line chooses FOSC=XT; FOSC offers HS (2), INTIO (8)");
    EXPECT_EQ(core->State().Boxes, byName.Boxes) << "a failed choice changes nothing";
}

TEST_F(SessionActionTest, PerformGuardsAndJournalsEveryAction) {
    WriteProgram();
    Start();
    using Kind = Action::Kind;
    EXPECT_EQ(core->Perform(Action::WithText(Kind::ChooseDevice, "-")), Outcome::NotADevice);
    EXPECT_EQ(core->Perform(Action::WithText(Kind::ChooseDevice, "TESTDEV")), Outcome::Done);
    Action type = Action::WithText(Kind::Type, "1");
    EXPECT_EQ(core->Perform(type), Outcome::Done);
    type.Text = "12";
    EXPECT_EQ(core->Perform(type), Outcome::Done);
    EXPECT_EQ(boxes.Text(0), "12") << "the headless box shows what was typed";
    type.BoxIndex = 1;
    EXPECT_EQ(core->Perform(type), Outcome::NotInputBox) << "box 1 shows a result";
    EXPECT_EQ(core->Perform(Action::Of(Kind::Calculate)), Outcome::Done);
    EXPECT_EQ(boxes.Text(1), "12 Mhz");
    Action set = Action::WithText(Kind::Set, "PLLEN");
    set.Value = "7";
    EXPECT_EQ(core->Perform(set), Outcome::NoMatch);
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"No line chooses PLLEN=7; PLLEN offers 0, 16"});
    // Start() read the device list directly, not as an action.
    const std::vector<Kind> journal = {Kind::ChooseDevice, Kind::ChooseDevice, Kind::Type,
                                       Kind::Type,         Kind::Calculate,    Kind::Set};
    ASSERT_EQ(core->Journal().size(), journal.size()) << "typing into one box is one step";
    for (std::size_t i = 0; i < journal.size(); ++i)
        EXPECT_EQ(core->Journal()[i].What, journal[i]) << i;
    EXPECT_EQ(core->Journal()[2].Text, "12");
    EXPECT_EQ(core->Journal()[3].BoxIndex, 1);
}

TEST_F(SessionActionTest, TheWholePictureRepaintedFromTheStateMatchesTheClicks) {
    WriteProgram();
    Start();
    core->LoadDevice("TESTDEV");
    Click(30, 70);
    Click(120, 30);
    Click(30, 30);
    RasterSurface fresh;
    fresh.LoadBitmap(core->State().Picture);
    PaintWhole(core->State(), fresh);
    EXPECT_TRUE(fresh.Picture().EncodeBmp() == surface.Picture().EncodeBmp());
}

TEST_F(SessionActionTest, KeepingOnlyTheRegisterCodeLeavesTheOtherTextsEmpty) {
    WriteProgram();
    const auto code = [this] {
        core->LoadDevice("TESTDEV");
        Click(30, 70);
        Click(120, 30);
        core->Code1Click();
    };
    Start();
    code();
    const std::vector<std::string> registerCode = core->CodeLines();
    ASSERT_FALSE(registerCode.empty());
    EXPECT_FALSE(core->ConfigCodeLines().empty());
    EXPECT_FALSE(core->CodeWindowLines().empty());

    Start();
    core->KeepRegisterCodeOnly();
    code();
    EXPECT_EQ(core->CodeLines(), registerCode);
    EXPECT_TRUE(core->ConfigCodeLines().empty());
    EXPECT_TRUE(core->CodeWindowLines().empty());
}

TEST_F(SessionActionTest, ASurfaceThatHidesMarksGetsNoneAndTheStateIsTheSame) {
    WriteProgram();
    const auto clicks = [this] {
        core->LoadDevice("TESTDEV");
        Click(30, 70);
        Click(120, 30);
        Click(30, 30);
    };
    Start();
    clicks();
    const Configuration shown = core->State();
    RasterSurface plain;
    plain.LoadBitmap(shown.Picture);
    const std::string unmarked = plain.Picture().EncodeBmp();
    ASSERT_FALSE(surface.Picture().EncodeBmp() == unmarked) << "a shown surface gets the marks";

    surface.HideMarks();
    Start();
    clicks();
    const Configuration& hidden = core->State();
    EXPECT_EQ(hidden.Model.ConfigLineMarked, shown.Model.ConfigLineMarked);
    EXPECT_EQ(hidden.Model.RegisterLineMarked, shown.Model.RegisterLineMarked);
    EXPECT_EQ(hidden.Boxes, shown.Boxes);
    EXPECT_EQ(hidden.Captions, shown.Captions);
    EXPECT_TRUE(surface.Picture().EncodeBmp() == unmarked) << "the bitmap as loaded, unmarked";
}

} // namespace
} // namespace quorvel
