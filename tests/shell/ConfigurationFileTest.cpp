#include "shell/ConfigurationFile.h"
#include "shell/ConfigurationDiff.h"
#include "shell/RecentFiles.h"
#include "shell/SimpleIniFile.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

ConfigurationDocument Sample() {
    ConfigurationDocument d;
    d.Device = "dsPIC33FJ128GP802";
    d.Inputs = {{"Fposc", "8"}, {"Fsec", " 32.768 Mhz"}};
    d.Settings = {{"FNOSC", "PRIPLL"}, {"POSCMD", "XT"}, {"CLKDIV<7:6>", "0"}};
    d.Results = {{"Fosc", "80 Mhz"}};
    return d;
}

std::vector<std::string> Names(const std::vector<ConfigurationFact>& facts) {
    std::vector<std::string> names;
    for (const ConfigurationFact& f : facts)
        names.push_back(f.Name + "=" + f.Value);
    return names;
}

TEST(ConfigurationFile, WritesOneFactPerLineInTheGivenOrder) {
    EXPECT_EQ(FormatConfiguration(Sample()),
              "Quorvel configuration 1\n"
              "# Saved by Quorvel Config. One fact per line; lines starting with # are ignored.\n"
              "device = dsPIC33FJ128GP802\n"
              "\n"
              "input Fposc = 8\n"
              "input Fsec = \" 32.768 Mhz\"\n"
              "\n"
              "FNOSC = PRIPLL\n"
              "POSCMD = XT\n"
              "CLKDIV<7:6> = 0\n"
              "\n"
              "# Computed values, for reading only:\n"
              "# Fosc = 80 Mhz\n");
}

TEST(ConfigurationFile, EveryValueReadsBackAsWritten) {
    const std::vector<std::string> values = {"",
                                             "4 Mhz",
                                             " leading",
                                             "trailing\t",
                                             "\"quoted\"",
                                             "a \"b\" c",
                                             "back\\slash",
                                             "line\nbreak",
                                             "cr\r",
                                             std::string("nul\0byte", 8),
                                             "\x7f\x01",
                                             "\xe9\xff 8-bit",
                                             "= # not a comment",
                                             "#hash first"};
    ConfigurationDocument d;
    d.Device = "PIC18F45K22";
    for (std::size_t i = 0; i < values.size(); ++i)
        d.Inputs.push_back({"E" + std::to_string(i), values[i]});
    d.Settings = {{"FOSC", " odd setting "}};
    ConfigurationProblems problems;
    const auto back = ParseConfiguration(FormatConfiguration(d), problems);
    ASSERT_TRUE(back) << problems.Text();
    EXPECT_TRUE(problems.Empty()) << problems.Text();
    EXPECT_EQ(back->Device, d.Device);
    EXPECT_EQ(Names(back->Inputs), Names(d.Inputs));
    EXPECT_EQ(Names(back->Settings), Names(d.Settings));
    EXPECT_TRUE(back->Results.empty()) << "computed values are comments";
    EXPECT_EQ(back->Inputs[1].Line, 6u);
}

TEST(ConfigurationFile, HandEditedFileReadsWithOneProblemPerBadLine) {
    const std::string text = "\xEF\xBB\xBFquorvel CONFIGURATION 1\r\n"
                             "   # a comment\r\n"
                             "CLKDIV<7:6> = 1\r\n"
                             "\r\n"
                             "  fnosc=PRIPLL  \r\n"
                             "DEVICE = dsPIC33FJ128GP802\r\n"
                             "this line has no equals sign\r\n"
                             "INPUT   Fposc   =   10 Mhz\r\n"
                             "CLKDIV<7:6> = 3\r\n"
                             "POSCMD =\r\n"
                             "= XT\r\n"
                             "OSCIOFNC = \"unclosed\r\n"
                             "device = PIC18F45K22";
    ConfigurationProblems problems;
    const auto d = ParseConfiguration(text, problems);
    ASSERT_TRUE(d) << problems.Text();
    EXPECT_EQ(d->Device, "dsPIC33FJ128GP802");
    EXPECT_EQ(d->DeviceLine, 6u);
    EXPECT_EQ(Names(d->Inputs), (std::vector<std::string>{"Fposc=10 Mhz"}));
    EXPECT_EQ(Names(d->Settings), (std::vector<std::string>{"CLKDIV<7:6>=3", "fnosc=PRIPLL"}))
        << "the later line of a name replaces the earlier one in its place";
    EXPECT_EQ(d->Settings[0].Line, 9u);
    ASSERT_EQ(problems.Messages.size(), 6u) << problems.Text();
    EXPECT_EQ(problems.Messages[0], "line 7: not understood, \"NAME = VALUE\" expected: "
                                    "\"this line has no equals sign\"");
    EXPECT_EQ(problems.Messages[1],
              "line 9: setting CLKDIV<7:6> is given again (first on line 3); this line counts");
    EXPECT_EQ(problems.Messages[2], "line 10: no setting given for POSCMD");
    EXPECT_EQ(problems.Messages[3].rfind("line 11: no name before", 0), 0u);
    EXPECT_EQ(problems.Messages[4], "line 12: the quoted value of OSCIOFNC is not closed properly");
    EXPECT_EQ(problems.Messages[5],
              "line 13: a second device line (the first is line 6); it is ignored");
}

TEST(ConfigurationFile, RefusesWhatIsNoConfigurationOfThisVersion) {
    struct Case {
        const char* name;
        std::string text;
        const char* problem;
    };
    const Case cases[] = {
        {"empty", "", "the file is empty"},
        {"another format", "[PIC]\nvP=/defs\n", "line 1: not a configuration file"},
        {"header later", "\ndevice = X\nQuorvel configuration 1\n",
         "line 1: not a configuration file"},
        {"no version", "Quorvel configuration\ndevice = X\n", "line 1: not a configuration file"},
        {"newer version", "Quorvel configuration 2\ndevice = X\n",
         "line 1: written in version 2 of the format; this program reads version 1"},
        {"huge version", "Quorvel configuration 99999999999999999999999\ndevice = X\n",
         "line 1: not a configuration file"},
        {"no device", "Quorvel configuration 1\nFNOSC = FRC\n",
         "the file names no device (a line \"device = NAME\")"},
        {"empty device", "Quorvel configuration 1\ndevice =\n",
         "the file names no device (a line \"device = NAME\")"},
    };
    for (const Case& c : cases) {
        ConfigurationProblems problems;
        EXPECT_FALSE(ParseConfiguration(c.text, problems)) << c.name;
        ASSERT_FALSE(problems.Empty()) << c.name;
        EXPECT_EQ(problems.Messages.back().rfind(c.problem, 0), 0u)
            << c.name << ": " << problems.Text();
    }
}

TEST(ConfigurationFile, ReportsTheFirstProblemsAndCountsTheRest) {
    std::string text = "Quorvel configuration 1\ndevice = X\n";
    for (int i = 0; i < 1000; ++i)
        text += "junk\n";
    ConfigurationProblems problems;
    ASSERT_TRUE(ParseConfiguration(text, problems));
    EXPECT_EQ(problems.Messages.size(), kConfigurationProblemLimit);
    EXPECT_EQ(problems.Unreported, 1000 - kConfigurationProblemLimit);
    EXPECT_NE(problems.Text().find("(980 more problems not shown)"), std::string::npos);
}

TEST(ConfigurationFile, ProblemsReadInTheOrderOfTheirLines) {
    ConfigurationProblems problems;
    problems.Add(9, "late");
    problems.Add(0, "whole file");
    problems.Add(3, "early");
    problems.Add(9, "late again");
    EXPECT_EQ(problems.Text(), "whole file\nline 3: early\nline 9: late\nline 9: late again");
}

TEST(ConfigurationFile, NamesThatCannotStandInAFile) {
    for (const char* good : {"FNOSC", "CLKDIV<7:6>", "Fposc", "Primary osc", "E0"})
        EXPECT_TRUE(IsConfigurationName(good)) << good;
    for (const char* bad : {"", " lead", "trail ", "a=b", "#x", "\"q", "tab\there"})
        EXPECT_FALSE(IsConfigurationName(bad)) << bad;
}

TEST(ConfigurationDiff, ListsEveryDifferenceByName) {
    ConfigurationDocument a = Sample();
    ConfigurationDocument b = Sample();
    EXPECT_TRUE(CompareConfigurations(a, b).empty());
    b.Settings[2].Value = "1";
    b.Settings[0].Name = "fnosc"; // names match without regard to case
    b.Settings.push_back({"PLLFBD<8:0>", "38"});
    a.Inputs.erase(a.Inputs.begin() + 1);
    b.Results[0].Value = "40 Mhz";
    b.Device = "dsPIC33FJ128GP804";
    std::vector<std::string> lines;
    for (const ConfigurationDifference& d : CompareConfigurations(a, b))
        lines.push_back(DifferenceText(d));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "device: dsPIC33FJ128GP802 -> dsPIC33FJ128GP804",
                         "input Fsec: (none) -> \" 32.768 Mhz\"",
                         "setting CLKDIV<7:6>: 0 -> 1",
                         "setting PLLFBD<8:0>: (none) -> 38",
                         "frequency Fosc: 80 Mhz -> 40 Mhz",
                     }));
}

TEST(RecentFiles, NewestFirstWithoutRepeatsInASectionOfTheirOwn) {
    TSimpleIniFile ini = TSimpleIniFile::FromText("[PIC]\nvP=/defs\n[recent]\nfile2=/b.qcfg\n"
                                                  "File1=/a.qcfg\nFile3=\nFile4=/a.qcfg\n");
    std::vector<std::string> list = ReadRecentFiles(ini);
    EXPECT_EQ(list, (std::vector<std::string>{"/a.qcfg", "/b.qcfg"}));
    list = WithRecentFile(list, "/b.qcfg");
    EXPECT_EQ(list, (std::vector<std::string>{"/b.qcfg", "/a.qcfg"}));
    for (int i = 0; i < 10; ++i)
        list = WithRecentFile(list, "/n" + std::to_string(i) + ".qcfg");
    ASSERT_EQ(list.size(), kRecentFileCount);
    EXPECT_EQ(list.front(), "/n9.qcfg");
    EXPECT_EQ(list.back(), "/n2.qcfg");
    WriteRecentFiles(ini, {"/x.qcfg"});
    EXPECT_EQ(ReadRecentFiles(ini), (std::vector<std::string>{"/x.qcfg"}));
    EXPECT_EQ(ini.ReadString("PIC", "vP", ""), "/defs");
}

} // namespace
} // namespace quorvel
