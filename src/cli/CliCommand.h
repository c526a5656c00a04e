#pragma once
// The subcommands of the command-line program. Each takes the arguments after its own name
// and returns the process exit code: 0 success, 1 failure reported on stderr, 2 usage error.

#include <iosfwd>
#include <string>
#include <vector>

namespace quorvel::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* Name;
    const char* Summary;
    int (*Run)(const Args& args);
    // The exit code of a failure of its own, such as output that could not be written: 1,
    // except where 1 already answers the command's question (diff: "they differ").
    int FailureStatus = 1;
};

// Prints "quorvel: MESSAGE" and the usage line to stderr; returns 2.
int UsageError(const std::string& message, const std::string& usage);

} // namespace quorvel::cli
