// The command line as build scripts and users meet it: run from another directory, with
// settings files of every kind, in parallel, with odd names. Every case checks that nothing
// is lost or misplaced and that the exit status tells the truth.

#include "CliTestSupport.h"
#include "TestSupport.h"
#include "diagram/Bitmap.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Entries(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A copy of quorvel in a scratch program directory with the test device; the commands run
// in a separate work directory, as a build script calls an installed program.
class ScriptUseTest : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string exe;
    std::set<std::string> programFiles;

    void SetUp() override {
        dir.Write("program/Quorvel_Configuration_PICs.txt",
                  "TESTDEV = T\nGHOST = T\n// comment\nNODIAGRAM =\n../outside/EVIL = T\n");
        for (const char* device : {"TESTDEV", "NODIAGRAM"})
            dir.Write(std::string("program/Defs/") + device + ".vlk",
                      ReadFile(TestData("device/TESTDEV.vlk")));
        dir.Write("outside/EVIL.vlk", ReadFile(TestData("device/TESTDEV.vlk")));
        dir.Write("program/Quorvel_T_lines.txt", ReadFile(TestData("device/Quorvel_T_lines.txt")));
        dir.Write("program/Quorvel_T.bmp", Bitmap(300, 100).EncodeBmp());
        exe = dir.File("program/quorvel");
        fs::copy_file(QuorvelExecutable(), exe);
        // The library that writes PNGs lies beside the executable.
        fs::copy_file(fs::path(QuorvelExecutable()).replace_filename("libquorvel_png.so"),
                      dir.File("program/libquorvel_png.so"));
        fs::create_directory(dir.File("work"));
        programFiles = Entries(dir.File("program"));
    }

    CliResult Run(const std::vector<std::string>& args, const std::string& workDir = "work") {
        // A hang fails the test instead of stopping the suite; standard error is checked
        // without the toolkit's runtime directory, whose absence it would complain about.
        std::vector<std::string> all = {"-u", "XDG_RUNTIME_DIR", "timeout", "60", exe};
        all.insert(all.end(), args.begin(), args.end());
        return RunExecutable("env", all, "", dir.File(workDir));
    }

    std::string Settings() const { return dir.File("work/Quorvel_Configuration.ini"); }

    void ExpectProgramDirectoryUntouched() {
        EXPECT_EQ(Entries(dir.File("program")), programFiles);
        EXPECT_EQ(ReadFile(dir.File("program/Quorvel_T_lines.txt")),
                  ReadFile(TestData("device/Quorvel_T_lines.txt")));
    }
};

TEST_F(ScriptUseTest, RelativeOutputPathsLandInTheCallersDirectory) {
    const CliResult render = Run({"render", "TESTDEV", "-o", "out.png"});
    EXPECT_EQ(render.ExitCode, 0) << render.Err;
    EXPECT_EQ(render.Err, "");
    const CliResult run = Run({"run", "TESTDEV", "--png", "sub/../x.png"});
    EXPECT_EQ(run.ExitCode, 1) << "the directory sub does not exist";
    EXPECT_TRUE(Contains(run.Err, "cannot be written")) << run.Err;
    fs::create_directory(dir.File("work/sub"));
    const CliResult again = Run({"run", "TESTDEV", "--png", "sub/../x.png"});
    EXPECT_EQ(again.ExitCode, 0) << again.Err;
    EXPECT_TRUE(fs::is_regular_file(dir.File("work/out.png")));
    EXPECT_TRUE(fs::is_regular_file(dir.File("work/x.png")));
    ExpectProgramDirectoryUntouched();
}

TEST_F(ScriptUseTest, TheProgramDirectoryIsFoundThroughLinksAndRelativePaths) {
    // Started through a link in another directory, and by a relative path: the device list,
    // the diagram and the PNG library are found beside the real executable.
    fs::create_directories(dir.File("bin"));
    fs::create_symlink(exe, dir.File("bin/q"));
    fs::create_directory_symlink(dir.File("program"), dir.File("linked"));
    for (const std::string& started :
         {dir.File("bin/q"), std::string("../program/quorvel"), std::string("../linked/quorvel")}) {
        const CliResult r = RunExecutable("env",
                                          {"-u", "XDG_RUNTIME_DIR", "timeout", "60", started,
                                           "render", "TESTDEV", "-o", "out.png"},
                                          "", dir.File("work"));
        EXPECT_EQ(r.ExitCode, 0) << started << ": " << r.Err;
        EXPECT_TRUE(fs::is_regular_file(dir.File("work/out.png"))) << started;
        fs::remove(dir.File("work/out.png"));
    }
    EXPECT_FALSE(fs::exists(dir.File("bin/Quorvel_Configuration.ini")));
}

TEST_F(ScriptUseTest, ProgramFilesAreNeverReplacedByOutput) {
    // Run from the program directory itself, where the names of its data files resolve.
    for (const char* name : {"Quorvel_T_lines.txt", "Quorvel_T.bmp", "Defs/TESTDEV.vlk", "quorvel",
                             "Quorvel_Configuration_PICs.txt", "libquorvel_png.so"}) {
        const CliResult r = Run({"render", "TESTDEV", "-o", name}, "program");
        EXPECT_EQ(r.ExitCode, 1) << name;
        EXPECT_TRUE(Contains(r.Err, "one of the program's own files")) << r.Err;
    }
    fs::remove(dir.File("program/Quorvel_Configuration.ini"));
    ExpectProgramDirectoryUntouched();
    const CliResult load = Run({"run", "TESTDEV"});
    EXPECT_EQ(load.ExitCode, 0) << "every later load still works: " << load.Err;
}

TEST_F(ScriptUseTest, SettingsWriteKeepsModeLineEndsMarkAndComments) {
    const std::string before =
        "\xEF\xBB\xBF; my settings\r\n[PIC]\r\nvP=" + dir.File("program/Defs") +
        "\r\n\r\n[dsPIC]\r\nvB=\r\n";
    dir.Write("work/Quorvel_Configuration.ini", before);
    ::chmod(Settings().c_str(), 0600);
    const CliResult r = Run({"code", "TESTDEV"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    const std::string defs = dir.File("program/Defs");
    EXPECT_EQ(ReadFile(Settings()),
              "\xEF\xBB\xBF; my settings\r\n[PIC]\r\nvP=" + defs + "\r\nvB=" + defs +
                  "\r\nvC=" + defs + "\r\n\r\n[dsPIC]\r\nvB=\r\nvP=" + defs + "\r\nvC=" + defs +
                  "\r\n\r\n[PIC32]\r\nvP=" + defs + "\r\nvB=" + defs + "\r\nvC=" + defs + "\r\n")
        << "one [PIC] section: the byte-order mark does not hide it";
    struct stat st {};
    ASSERT_EQ(::stat(Settings().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    const std::string written = ReadFile(Settings());
    EXPECT_EQ(Run({"code", "TESTDEV"}).ExitCode, 0);
    EXPECT_EQ(ReadFile(Settings()), written) << "a complete file is only read";
    EXPECT_EQ(Entries(dir.File("work")), std::set<std::string>{"Quorvel_Configuration.ini"});
}

TEST_F(ScriptUseTest, SettingsWriteFollowsALinkAndIgnoresAPlantedTemporary) {
    dir.Write("shared/settings.ini", "[PIC]\n");
    fs::create_symlink("../shared/settings.ini", Settings());
    const std::string victim = dir.Write("victim.txt", "precious\n");
    fs::create_symlink(victim, Settings() + ".tmp");
    const CliResult r = Run({"run", "TESTDEV"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_TRUE(fs::is_symlink(Settings()));
    EXPECT_TRUE(Contains(ReadFile(dir.File("shared/settings.ini")),
                         "[PIC32]\nvP=" + dir.File("program/Defs") + "\n"));
    EXPECT_EQ(ReadFile(victim), "precious\n");
    EXPECT_EQ(Entries(dir.File("shared")), std::set<std::string>{"settings.ini"});
}

TEST_F(ScriptUseTest, ReadOnlySettingsFileIsNotReplaced) {
    dir.Write("work/Quorvel_Configuration.ini", "[PIC]\nvP=" + dir.File("program/Defs") + "\n");
    ::chmod(Settings().c_str(), 0444);
    const CliResult r = Run({"run", "TESTDEV"});
    EXPECT_EQ(r.ExitCode, 1) << "the missing keys could not be stored";
    EXPECT_TRUE(Contains(r.Err, "could not be written: Permission denied")) << r.Err;
    EXPECT_EQ(ReadFile(Settings()), "[PIC]\nvP=" + dir.File("program/Defs") + "\n");
}

TEST_F(ScriptUseTest, TwelveParallelRunsInAFreshDirectoryAllSucceed) {
    const std::string script = dir.Write(
        "parallel.sh", "cd work || exit 9\n"
                       "for i in 1 2 3 4 5 6 7 8 9 10 11 12; do\n"
                       "  ( \"$1\" code TESTDEV >out.$i 2>err.$i; echo $? >status.$i ) &\n"
                       "done\n"
                       "wait\n");
    const CliResult r = RunExecutable("sh", {script, exe}, "", dir.Path());
    ASSERT_EQ(r.ExitCode, 0);
    const std::string code = ReadFile(dir.File("work/out.1"));
    EXPECT_FALSE(code.empty());
    for (int i = 1; i <= 12; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(ReadFile(dir.File("work/status." + n)), "0\n")
            << ReadFile(dir.File("work/err." + n));
        EXPECT_EQ(ReadFile(dir.File("work/out." + n)), code);
    }
    const std::string settings = ReadFile(Settings());
    const std::string defs = dir.File("program/Defs");
    EXPECT_EQ(settings, "[PIC]\nvP=" + defs + "\nvB=" + defs + "\nvC=" + defs +
                            "\n\n[dsPIC]\nvP=" + defs + "\nvB=" + defs + "\nvC=" + defs +
                            "\n\n[PIC32]\nvP=" + defs + "\nvB=" + defs + "\nvC=" + defs + "\n");
}

TEST_F(ScriptUseTest, FifosAreRefusedAtOnce) {
    ASSERT_EQ(::mkfifo(Settings().c_str(), 0644), 0);
    const CliResult settings = Run({"run", "TESTDEV"});
    EXPECT_EQ(settings.ExitCode, 1);
    EXPECT_TRUE(Contains(settings.Err, "could not be written: not a regular file")) << settings.Err;
    fs::remove(Settings());

    fs::remove(dir.File("program/Quorvel_T.bmp"));
    ASSERT_EQ(::mkfifo(dir.File("program/Quorvel_T.bmp").c_str(), 0644), 0);
    const CliResult bitmap = Run({"run", "TESTDEV"});
    EXPECT_EQ(bitmap.ExitCode, 1);
    EXPECT_TRUE(Contains(bitmap.Err, "Cannot open file \"Quorvel_T.bmp\"")) << bitmap.Err;

    fs::remove(dir.File("program/Quorvel_Configuration_PICs.txt"));
    ASSERT_EQ(::mkfifo(dir.File("program/Quorvel_Configuration_PICs.txt").c_str(), 0644), 0);
    const CliResult list = Run({"run", "TESTDEV"});
    EXPECT_EQ(list.ExitCode, 1);
    EXPECT_TRUE(Contains(list.Err, "File \"Quorvel_Configuration_PICs.txt\" not found"))
        << list.Err;
}

TEST_F(ScriptUseTest, DeviceNamesCannotReachOutsideTheDefsDirectories) {
    const CliResult r = Run({"run", "../outside/EVIL"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(Contains(r.Err, "holds a path separator")) << r.Err;
    EXPECT_EQ(r.Out, "");
}

TEST_F(ScriptUseTest, OutputNamesKeepTheirBytes) {
    for (const char* name : {"\xE9.png", "\xE8.png"})
        EXPECT_EQ(Run({"render", "TESTDEV", "-o", name}).ExitCode, 0);
    EXPECT_EQ(Entries(dir.File("work")),
              (std::set<std::string>{"Quorvel_Configuration.ini", "\xE9.png", "\xE8.png"}));
}

TEST_F(ScriptUseTest, ADeviceThatDidNotLoadFailsAndSaysWhy) {
    struct Case {
        const char* device;
        std::string note;
    };
    const Case cases[] = {
        {"PIC18F4550", "note: PIC18F4550 is not in the device list\n"},
        {"testdev", "note: testdev is not in the device list (names are matched with their "
                    "case: did you mean TESTDEV?)\n"},
        {"NODIAGRAM", "note: line 4 of the device list has no diagram name\n"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"run", "code"}) {
            const CliResult r = Run({command, c.device});
            EXPECT_EQ(r.ExitCode, 1) << command << " " << c.device;
            EXPECT_TRUE(r.Err.ends_with(c.note)) << r.Err;
        }
        const CliResult render = Run({"render", c.device, "-o", "none.png"});
        EXPECT_EQ(render.ExitCode, 1);
        EXPECT_FALSE(fs::exists(dir.File("work/none.png"))) << "no blank picture is written";
    }
    // The window's own message keeps its text; the reasons follow it as notes.
    const CliResult unknown = Run({"run", "PIC18F4550", "--json"});
    EXPECT_TRUE(unknown.Err.starts_with(
        "Defs directory not found\nnote: settings file: " + Settings() + "\n"))
        << unknown.Err;
    EXPECT_TRUE(Contains(unknown.Err, "\nnote: [PIC32] vC=" + dir.File("program/Defs") + "\n"));
    EXPECT_TRUE(Contains(unknown.Out, "\"messages\":[\"Defs directory not found\"]"));
}

TEST_F(ScriptUseTest, UnusableDeviceListsFail) {
    const std::pair<const char*, const char*> lists[] = {
        {"", "note: TESTDEV is not in the device list, which holds no device\n"},
        {"\xEF\xBB\xBFTESTDEV = T\n",
         "note: TESTDEV is not in the device list (its first line starts with a byte-order mark, "
         "which is part of that name)\n"},
        {"TESTDEV =\n", "note: line 1 of the device list has no diagram name\n"},
    };
    for (const auto& [list, note] : lists) {
        dir.Write("program/Quorvel_Configuration_PICs.txt", list);
        const CliResult r = Run({"code", "TESTDEV"});
        EXPECT_EQ(r.ExitCode, 1) << list;
        EXPECT_EQ(r.Err, note);
        EXPECT_EQ(r.Out, "");
    }
}

TEST_F(ScriptUseTest, AClickOnNothingWarnsAndFailsOnlyWhenStrict) {
    const CliResult r = Run({"code", "TESTDEV", "--click", "299,99"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Err, "warning: the click at 299,99 hits no line of the diagram\n");
    const CliResult strict = Run({"code", "TESTDEV", "--click", "299,99", "--strict"});
    EXPECT_EQ(strict.ExitCode, 1);
    EXPECT_EQ(strict.Out, r.Out) << "the output stays the same";
    EXPECT_EQ(Run({"code", "TESTDEV", "--click", "30,70", "--strict"}).ExitCode, 0);
}

} // namespace
} // namespace quorvel::test
