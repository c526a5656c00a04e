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

// Runs the command line through the shell; standard output goes to `outputPath` when it is
// given, else to a scratch file read back into the result.
CliResult RunCommand(const std::string& executable, const std::vector<std::string>& args,
                     const std::string& input, const std::string& workDir,
                     const std::string& outputPath) {
    ScratchDir io;
    const std::string in = io.Write("stdin", input);
    std::string command;
    if (!workDir.empty())
        command += "cd " + ShellQuote(workDir) + " && ";
    command += ShellQuote(executable);
    for (const std::string& a : args)
        command += " " + ShellQuote(a);
    const std::string out = outputPath.empty() ? io.File("stdout") : outputPath;
    command +=
        " <" + ShellQuote(in) + " >" + ShellQuote(out) + " 2>" + ShellQuote(io.File("stderr"));
    const int status = std::system(command.c_str());
    CliResult r;
    r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (outputPath.empty())
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
    return RunCommand(executable, args, input, workDir, "");
}

CliResult RunQuorvelWritingTo(const std::string& outputPath, const std::vector<std::string>& args,
                              const std::string& workDir) {
    return RunCommand(QuorvelExecutable(), args, "", workDir, outputPath);
}

} // namespace quorvel::test
