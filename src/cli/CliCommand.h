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
};

// Prints "quorvel: MESSAGE" and the usage line to stderr; returns 2.
int UsageError(const std::string& message, const std::string& usage);

} // namespace quorvel::cli
