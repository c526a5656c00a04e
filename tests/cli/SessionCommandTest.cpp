#include "CliTestSupport.h"
#include "TestSupport.h"
#include "diagram/Bitmap.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

// A copy of quorvel in a scratch program directory holding the test device.
class SessionCommandTest : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string exe;

    void SetUp() override {
        dir.Write("program/Quorvel_Configuration_PICs.txt", "TESTDEV = T\nGHOST = T\n");
        dir.Write("program/Defs/TESTDEV.vlk", ReadFile(TestData("device/TESTDEV.vlk")));
        dir.Write("program/Quorvel_T_lines.txt", ReadFile(TestData("device/Quorvel_T_lines.txt")));
        dir.Write("program/Quorvel_T.bmp", Bitmap(300, 100).EncodeBmp());
        exe = dir.File("program/quorvel");
        std::filesystem::copy_file(QuorvelExecutable(), exe);
        std::filesystem::copy_file(PainterLibrary(), dir.File("program/libquorvel_png.so"));
        std::filesystem::create_directory(dir.File("work"));
    }

    static std::string PainterLibrary() {
        return std::filesystem::path(QuorvelExecutable()).replace_filename("libquorvel_png.so");
    }

    CliResult Run(const std::vector<std::string>& args) {
        return RunExecutable(exe, args, "", dir.File("work"));
    }
};

TEST_F(SessionCommandTest, RunPrintsFieldsBoxesAndCode) {
    const CliResult r = Run({"run", "TESTDEV", "--click", "30,70"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "Oscillator selection: HS crystal\n"
                     "4x PLL: PLL on\n"
                     "E0 = 4 Mhz\n"
                     "E1 = 16 Mhz\n"
                     "E2 = 4 Mhz\n"
                     "OSCCON := (OSCCON and (not 112)) or 112; // IRCF = 16 MHz\n");
    EXPECT_TRUE(std::filesystem::exists(dir.File("work/Quorvel_Configuration.ini")))
        << "the settings file lies in the current directory";
}

TEST_F(SessionCommandTest, RunJsonReportsTheWholeState) {
    const CliResult r = Run({"run", "TESTDEV", "--box", "0=8 Mhz", "--click", "30,30", "--middle",
                             "120,45", "--right", "250,45", "--json"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    const std::string& j = r.Out;
    EXPECT_NE(j.find("\"device\":\"TESTDEV\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"labels\":[\"Oscillator selection\",\"Internal oscillator\",\"4x PLL\","
                     "\"PLL off\""),
              std::string::npos)
        << j;
    EXPECT_NE(j.find("{\"index\":0,\"x\":200,\"y\":10,\"text\":\"8 Mhz\",\"visible\":true,"
                     "\"input\":true}"),
              std::string::npos)
        << j;
    EXPECT_NE(j.find("\"text\":\"16 Mhz\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"configMarked\":[false,true,true,false]"), std::string::npos) << j;
    EXPECT_NE(j.find("\"registerMarked\":[true,false]"), std::string::npos) << j;
    EXPECT_NE(j.find("\"clipboard\":\"120, 45, 250, 45, \""), std::string::npos) << j;
    EXPECT_NE(j.find("\"messages\":[]"), std::string::npos) << j;
}

TEST_F(SessionCommandTest, CodePrintsOnlyTheCodeOfTheLastCodeCommand) {
    const CliResult r =
        Run({"code", "TESTDEV", "--code", "--clear", "registers", "--click", "120,30"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "OSCCON := (OSCCON and (not 112)) or 112; // IRCF = 16 MHz\n")
        << "the code of the last --code, not of the later clicks";
    const CliResult implicit =
        Run({"code", "TESTDEV", "--clear", "registers", "--click", "120,30"});
    EXPECT_EQ(implicit.Out, "OSCCON := (OSCCON and (not 112)) or 96; // IRCF = 8 MHz\n");
}

TEST_F(SessionCommandTest, MessagesGoToStderrAndSetTheExitCode) {
    const CliResult r = Run({"run", "GHOST", "--json"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Err.starts_with("Defs directory not found\nnote: ")) << r.Err;
    EXPECT_NE(r.Out.find("\"messages\":[\"Defs directory not found\"]"), std::string::npos);
}

TEST_F(SessionCommandTest, InputTextsThatAreNotPlainNumbersGiveWarningsOnly) {
    const CliResult r =
        Run({"run", "TESTDEV", "--box", "0=8,5", "--box", "0=4 Mhz", "--box", "0=Mhz 4"});
    EXPECT_EQ(r.ExitCode, 0) << "a warning is no failure";
    EXPECT_EQ(r.Err, "warning: value box 0 \"8,5\": read as 85 Mhz\n"
                     "warning: value box 0 \"Mhz 4\": read as 4 Mhz\n");
    EXPECT_NE(r.Out.find("E1 = 4 Mhz"), std::string::npos) << r.Out;

    const CliResult bad = Run({"run", "TESTDEV", "--box", "0=1.2.3"});
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_EQ(bad.Err, "'1.2.3' is not a valid floating point value\n"
                       "warning: value box 0 \"1.2.3\": cannot be read: '1.2.3' is not a valid "
                       "floating point value\n");

    const CliResult strict = Run({"run", "TESTDEV", "--box", "0=8,5", "--strict"});
    EXPECT_EQ(strict.ExitCode, 1) << "--strict fails on any warning";
}

TEST_F(SessionCommandTest, RenderGreysResultsAfterAClearUntilTheyAreComputedAgain) {
    // Box 1 at (200, 40) shows "4 Mhz"; its text is black when current, grey when stale.
    const auto darkest = [](const QImage& image) {
        int least = 255;
        for (int y = 40; y < 61; ++y)
            for (int x = 200; x < 250; ++x)
                least = std::min(least, qGray(image.pixel(x, y)));
        return least;
    };
    const std::string png = dir.File("work/out.png");
    ASSERT_EQ(Run({"render", "TESTDEV", "--clear", "config", "-o", png}).ExitCode, 0);
    EXPECT_GT(darkest(QImage(QString::fromStdString(png))), 100);
    ASSERT_EQ(Run({"render", "TESTDEV", "--clear", "config", "--calculate", "-o", png}).ExitCode,
              0);
    EXPECT_EQ(darkest(QImage(QString::fromStdString(png))), 0);
}

TEST_F(SessionCommandTest, RenderAndRunWithPngDrawMarksAndBoxes) {
    // `run` draws no marks unless it writes a picture; with --png they must all be there.
    const std::string png = dir.File("work/out.png");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"render", "TESTDEV", "--click", "30,70", "-o", png},
          std::vector<std::string>{"run", "TESTDEV", "--click", "30,70", "--png", png}}) {
        std::filesystem::remove(png);
        const CliResult r = Run(args);
        ASSERT_EQ(r.ExitCode, 0) << args[0] << ": " << r.Err;
        const QImage image(QString::fromStdString(png));
        ASSERT_FALSE(image.isNull()) << args[0];
        EXPECT_EQ(image.size(), QSize(300, 100));
        EXPECT_EQ(image.pixelColor(30, 70), QColor(255, 0, 0)) << args[0];
        EXPECT_EQ(image.pixelColor(30, 50), QColor(0, 0, 255)) << args[0];
        EXPECT_EQ(image.pixelColor(248, 12), QColor(255, 255, 0)) << "the input box is yellow";
    }
}

TEST_F(SessionCommandTest, OnlyWritingPicturesNeedsThePainterLibrary) {
    std::filesystem::remove(dir.File("program/libquorvel_png.so"));
    const CliResult run = Run({"run", "TESTDEV", "--click", "30,70"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const std::string png = dir.File("work/out.png");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"render", "TESTDEV", "-o", png},
          std::vector<std::string>{"run", "TESTDEV", "--png", png}}) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.ExitCode, 1) << args[0];
        EXPECT_NE(r.Err.find("picture writer"), std::string::npos) << r.Err;
        EXPECT_FALSE(std::filesystem::exists(png));
    }
}

TEST_F(SessionCommandTest, SetChoosesByValueAndStopsAtTheFirstMiss) {
    // The test device's settings carry no names: only values choose them.
    const CliResult byValue = Run({"run", "TESTDEV", "--set", "fosc=8", "--set", "PLLEN=0x10"});
    const CliResult byClick = Run({"run", "TESTDEV", "--click", "10,30", "--click", "10,70"});
    EXPECT_EQ(byValue.ExitCode, 0) << byValue.Err;
    EXPECT_EQ(byValue.Out, byClick.Out);

    const CliResult miss =
        Run({"run", "TESTDEV", "--set", "FOSC=INTIO", "--click", "10,70", "--json"});
    EXPECT_EQ(miss.ExitCode, 1);
    EXPECT_EQ(miss.Err, "No line chooses FOSC=INTIO; FOSC offers 2, 8\n");
    EXPECT_NE(miss.Out.find("\"configMarked\":[true,false,true,false]"), std::string::npos)
        << "the click after the miss was not performed: " << miss.Out;
    for (const char* bad : {"FOSC", "=8"}) {
        const CliResult r = Run({"code", "TESTDEV", "--set", bad});
        EXPECT_EQ(r.ExitCode, 2) << bad;
        EXPECT_NE(r.Err.find("--set needs NAME=SETTING"), std::string::npos) << r.Err;
    }
}

TEST(SetOnShippedDevices, ChoosesTheWorkedExampleByName) {
    const std::vector<std::string> common = {"run", "dsPIC33FJ128GP802"};
    auto run = [&](std::vector<std::string> actions) {
        actions.insert(actions.begin(), common.begin(), common.end());
        return RunQuorvel(actions);
    };
    const CliResult byName = run({"--set", "FNOSC=PRIPLL", "--set", "POSCMD=XT", "--box", "0=8",
                                  "--set", "PLLFBD<8:0>=38", "--set", "CLKDIV<7:6>=0"});
    const CliResult byClick = run({"--click", "588,370", "--click", "29,191", "--box", "0=8",
                                   "--click", "516,119", "--click", "614,250"});
    EXPECT_EQ(byName.ExitCode, 0) << byName.Err;
    EXPECT_NE(byName.Out.find("E5 = 80 Mhz\n"), std::string::npos) << byName.Out;
    EXPECT_NE(byName.Out.find("E7 = 40 Mhz\n"), std::string::npos) << byName.Out;
    EXPECT_EQ(byName.Out, byClick.Out);

    const CliResult unknown = run({"--set", "POSCMD=QUARTZ", "--box", "0=8"});
    EXPECT_EQ(unknown.ExitCode, 1);
    EXPECT_EQ(unknown.Err, "No line chooses POSCMD=QUARTZ; POSCMD offers EC (0), XT (1), HS (2), "
                           "NONE (3)\n");
    EXPECT_NE(unknown.Out.find("E0 = 4 Mhz\n"), std::string::npos) << "no --box after the miss";
}

TEST_F(SessionCommandTest, MalformedArgumentsAreUsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {"run"},
        {"run", "TESTDEV", "--click", "30"},
        {"run", "TESTDEV", "--click", "30,70000"},
        {"run", "TESTDEV", "--box", "31=4"},
        {"run", "TESTDEV", "--clear", "some"},
        {"run", "TESTDEV", "--frobnicate"},
        {"run", "TESTDEV", "OTHER"},
        {"render", "TESTDEV"},
        {"run", "TESTDEV", "--box", "1=4"},
    };
    for (const auto& args : bad) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.ExitCode, 2) << args.back() << ": " << r.Err;
        EXPECT_NE(r.Err.find("usage: quorvel"), std::string::npos) << r.Err;
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"code", "TESTDEV", "--lang", "cobol"},
             {"code", "TESTDEV", "--lang"},
             {"config", "TESTDEV", "--merge"},
             {"render", "TESTDEV", "--lang", "c", "-o", "x.png"}}) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.ExitCode, 2) << args[2] << ": " << r.Err;
    }
    for (const char* command : {"run", "code", "config", "render"}) {
        const CliResult help = Run({command, "--help"});
        EXPECT_EQ(help.ExitCode, 0);
        EXPECT_NE(help.Out.find("Example:"), std::string::npos) << command;
    }
}

// The test device with setting names and a word default, as the shipped files carry them.
class CompilerCodeTest : public SessionCommandTest {
protected:
    void SetUp() override {
        SessionCommandTest::SetUp();
        std::string vlk = ReadFile(TestData("device/TESTDEV.vlk"));
        for (std::size_t at = vlk.find("<setting n="); at != std::string::npos;
             at = vlk.find("<setting n=", at))
            vlk.replace(at, 11, "<setting name=");
        const std::string address = "<waddr>0x300000</waddr>\n";
        vlk.insert(vlk.find(address) + address.size(), "<wdefault>0x25</wdefault>\n");
        dir.Write("program/Defs/TESTDEV.vlk", vlk);
    }
};

TEST_F(CompilerCodeTest, ConfigPrintsTheChosenBitsAndTheWordValueInEachLanguage) {
    const CliResult c =
        Run({"config", "TESTDEV", "--click", "30,30", "--click", "30,70", "--lang", "c"});
    EXPECT_EQ(c.ExitCode, 0) << c.Err;
    EXPECT_EQ(c.Out, "// CONFIG1 at 0x300000\n"
                     "#pragma config FOSC = INTIO // Internal oscillator\n"
                     "#pragma config PLLEN = ON // PLL on\n"
                     "// Word values for the project settings:\n"
                     "// CONFIG1 at 0x300000 = 0x38\n");
    const CliResult pascal = Run({"config", "TESTDEV"});
    EXPECT_EQ(pascal.Out, "// CONFIG1 at 0x300000\n"
                          "//   FOSC = HS, mask 0x0F, value 0x02: HS crystal\n"
                          "//   PLLEN = OFF, mask 0x10, value 0x00: PLL off\n"
                          "// Word values for the project settings:\n"
                          "// CONFIG1 at 0x300000 = 0x22\n");
    const CliResult cleared = Run({"config", "TESTDEV", "--clear", "config", "--lang", "basic"});
    EXPECT_EQ(cleared.Out, "' Word values for the project settings:\n"
                           "' CONFIG1 at 0x300000 = 0x25\n")
        << "no field chosen: the default";
}

TEST_F(CompilerCodeTest, CodeTakesTheLanguageOfTheDefsSlotUnlessOneIsGiven) {
    const std::string defs = dir.File("program/Defs");
    const auto settings = [&](const std::string& dsPicBasic) {
        dir.Write("work/Quorvel_Configuration.ini", "[PIC]\nvP=\nvB=\nvC=" + defs +
                                                        "\n[dsPIC]\nvP=\nvB=" + dsPicBasic +
                                                        "\nvC=\n[PIC32]\nvP=\nvB=\nvC=\n");
    };
    settings("");
    EXPECT_EQ(Run({"code", "TESTDEV"}).Out,
              "OSCCON = (OSCCON & ~0x70u) | 0x70u; // IRCF = 16 MHz\n");
    EXPECT_EQ(Run({"code", "TESTDEV", "--lang", "pascal"}).Out,
              "OSCCON := (OSCCON and (not 112)) or 112; // IRCF = 16 MHz\n");
    settings(defs); // dsPIC/vB is searched before PIC/vC
    EXPECT_EQ(Run({"code", "TESTDEV"}).Out,
              "OSCCON = (OSCCON and (not 0x70)) or 0x70 ' IRCF = 16 MHz\n");
    // The language the window stored wins over the slot; --lang over both.
    dir.Write("work/Quorvel_Configuration.ini",
              test::ReadFile(dir.File("work/Quorvel_Configuration.ini")) +
                  "[Code]\nLanguage=pascal\n");
    EXPECT_EQ(Run({"code", "TESTDEV"}).Out,
              "OSCCON := (OSCCON and (not 112)) or 112; // IRCF = 16 MHz\n");
    EXPECT_EQ(Run({"code", "TESTDEV", "--lang", "c"}).Out,
              "OSCCON = (OSCCON & ~0x70u) | 0x70u; // IRCF = 16 MHz\n");
}

TEST_F(CompilerCodeTest, RunJsonListsConfigBitsAndWords) {
    const CliResult r = Run({"run", "TESTDEV", "--click", "30,70", "--json", "--lang", "c"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"code\":[\"OSCCON = (OSCCON & ~0x70u) | 0x70u; // IRCF = 16 MHz\"]"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("\"configBits\":[{\"word\":\"CONFIG1\",\"address\":3145728,"
                         "\"field\":\"FOSC\",\"setting\":\"HS\",\"mask\":15,\"value\":2},"
                         "{\"word\":\"CONFIG1\",\"address\":3145728,\"field\":\"PLLEN\","
                         "\"setting\":\"ON\",\"mask\":16,\"value\":16}],"
                         "\"configWords\":[{\"word\":\"CONFIG1\",\"address\":3145728,"
                         "\"value\":50}]"),
              std::string::npos)
        << r.Out;
}

} // namespace
} // namespace quorvel::test
