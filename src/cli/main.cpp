// quorvel: the command-line front end. It runs the same core as the window.

#include "cli/CliCommand.h"
#include "cli/EvalCommand.h"
#include "cli/ReaderCommands.h"
#include "cli/SessionCommands.h"
#include "shell/KivDirectories.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <vector>

namespace quorvel::cli {

int UsageError(const std::string& message, const std::string& usage) {
    std::cerr << "quorvel: " << message << "\n"
              << "usage: " << usage << "\n";
    return 2;
}

namespace {

// Subcommands, in the order --help lists them.
const std::vector<Command> kCommands = {
    {"defs", "print the configuration words of a definition file as JSON", RunDefs},
    {"diagram", "print a parsed diagram description file as JSON", RunDiagram},
    {"check", "list every problem of a diagram description file", RunCheck},
    {"eval", "evaluate formulas with variables and functions", RunEval},
    {"run", "load a device, perform actions and print the resulting state", RunRun},
    {"code", "load a device, perform actions and print the initialisation code", RunCode},
    {"config", "load a device, perform actions and print the configuration bits", RunConfig},
    {"render", "load a device, perform actions and write the diagram as a PNG", RunRender},
    {"diff", "list what two configuration files choose differently", RunDiff, 2},
    {"solve", "find the settings that give target frequencies within the limits", RunSolve},
};

void PrintHelp() {
    std::cout << "quorvel - clock configuration of PIC, dsPIC and PIC32 microcontrollers\n"
                 "\n"
                 "usage: quorvel --help | --version | COMMAND [ARGS]...\n"
                 "\n"
                 "Commands:\n";
    for (const Command& c : kCommands)
        std::cout << "  " << c.Name << std::string(10 - std::strlen(c.Name), ' ') << c.Summary
                  << "\n";
    std::cout << "\n"
                 "Exit status:\n"
                 "  0  success: for run, code and render, the device loaded and no message was\n"
                 "     shown\n"
                 "  1  failure, reported on standard error: a message the window would show, a\n"
                 "     device that did not load, a file that could not be read, an output\n"
                 "     file refused or not written, or standard output that could not be\n"
                 "     written; with --strict, also any warning\n"
                 "  2  the command line itself is wrong; or, for run, code, config and render\n"
                 "     when nothing else failed, the final configuration breaks a limit of\n"
                 "     the diagram (each reason is printed on standard error)\n"
                 "\n"
                 "Run \"quorvel COMMAND --help\" for the options of a command.\n";
}

} // namespace

} // namespace quorvel::cli

namespace {

using namespace quorvel::cli;

// The subcommand named NAME, or null.
const Command* FindCommand(const char* name) {
    for (const Command& c : kCommands)
        if (std::strcmp(name, c.Name) == 0)
            return &c;
    return nullptr;
}

// Runs the command line; `command` is the subcommand that argv[1] names, if any.
int Dispatch(int argc, char** argv, const Command* command) {
    // Recorded before anything changes the current directory: relative output paths and the
    // settings file are taken against it.
    (void)quorvel::StartDirectory();
    const std::string usage = "quorvel --help | --version | COMMAND [ARGS]...";
    if (argc < 2)
        return UsageError("missing command", usage);
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        PrintHelp();
        return 0;
    }
    if (first == "--version") {
        std::cout << "quorvel " << QUORVEL_VERSION << "\n";
        return 0;
    }
    if (command == nullptr)
        return UsageError("unknown command \"" + first + "\"", usage);
    const Args rest(argv + 2, argv + argc);
    try {
        return command->Run(rest);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return command->FailureStatus;
    }
}

// What a command printed counts only once it has reached standard output: a full disk or a
// closed descriptor would otherwise leave a cut-off file behind a zero exit status.
int FinishStandardOutput(int status, int failureStatus) {
    std::cout.flush();
    const bool written =
        static_cast<bool>(std::cout) && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (written)
        return status;
    std::cerr << "quorvel: cannot write to standard output\n";
    return failureStatus;
}

} // namespace

int main(int argc, char** argv) {
    const Command* command = argc >= 2 ? FindCommand(argv[1]) : nullptr;
    const int status = Dispatch(argc, argv, command);
    return FinishStandardOutput(status, command != nullptr ? command->FailureStatus : 1);
}
