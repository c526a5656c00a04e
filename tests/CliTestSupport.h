#pragma once
// Runs the built quorvel executable and captures what it writes.

#include <string>
#include <vector>

namespace quorvel::test {

struct CliResult {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// Runs quorvel with the given arguments (each passed as one word), optionally feeding
// `input` on standard input, with `workDir` as current directory when not empty.
CliResult RunQuorvel(const std::vector<std::string>& args, const std::string& input = "",
                     const std::string& workDir = "");

// The same for a copy of the executable elsewhere (its directory is the program directory).
CliResult RunExecutable(const std::string& executable, const std::vector<std::string>& args,
                        const std::string& input = "", const std::string& workDir = "");

// Where standard input and output of a run go instead of the scratch files the other runners
// use: a directory, /dev/full and so on. An empty path keeps the scratch file.
struct Redirection {
    std::string Input;
    std::string Output; // when set, the result's Out stays empty
};

// Runs quorvel with its standard input or output redirected.
CliResult RunQuorvelRedirected(const std::vector<std::string>& args, const Redirection& to,
                               const std::string& workDir = "");

// The path of the built quorvel executable.
std::string QuorvelExecutable();

} // namespace quorvel::test
