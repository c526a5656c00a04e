#include "CliTestSupport.h"

#include "TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace quorvel::test {

namespace {

std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// Runs the command line through the shell; standard input and output come from and go to
// scratch files unless `to` names other paths.
CliResult RunCommand(const std::string& executable, const std::vector<std::string>& args,
                     const std::string& input, const std::string& workDir, const Redirection& to) {
    ScratchDir io;
    const std::string in = to.Input.empty() ? io.Write("stdin", input) : to.Input;
    std::string command;
    if (!workDir.empty())
        command += "cd " + ShellQuote(workDir) + " && ";
    command += ShellQuote(executable);
    for (const std::string& a : args)
        command += " " + ShellQuote(a);
    const std::string out = to.Output.empty() ? io.File("stdout") : to.Output;
    command +=
        " <" + ShellQuote(in) + " >" + ShellQuote(out) + " 2>" + ShellQuote(io.File("stderr"));
    const int status = std::system(command.c_str());
    CliResult r;
    r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (to.Output.empty())
        r.Out = ReadFile(io.File("stdout"));
    r.Err = ReadFile(io.File("stderr"));
    return r;
}

} // namespace

std::string QuorvelExecutable() {
    return std::string(QUORVEL_BUILD_DIR) + "/quorvel";
}

CliResult RunQuorvel(const std::vector<std::string>& args, const std::string& input,
                     const std::string& workDir) {
    return RunExecutable(QuorvelExecutable(), args, input, workDir);
}

CliResult RunExecutable(const std::string& executable, const std::vector<std::string>& args,
                        const std::string& input, const std::string& workDir) {
    return RunCommand(executable, args, input, workDir, {});
}

CliResult RunQuorvelRedirected(const std::vector<std::string>& args, const Redirection& to,
                               const std::string& workDir) {
    return RunCommand(QuorvelExecutable(), args, "", workDir, to);
}

} // namespace quorvel::test
