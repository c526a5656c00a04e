#pragma once
// The commands for authors of diagram description and definition files.

#include "cli/CliCommand.h"

#include <optional>
#include <string>

namespace quorvel::cli {

// quorvel defs FILE.vlk: the configuration words of a definition file as JSON.
int RunDefs(const Args& args);
// quorvel diagram FILE: a parsed diagram description as JSON.
int RunDiagram(const Args& args);
// quorvel check FILE: every problem of a diagram description, and what cannot work.
int RunCheck(const Args& args);

// The one FILE argument of a command ("--" ends the options). Prints `help` for --help and
// returns nothing with exitCode 0; returns nothing with exitCode 2 after a usage error.
std::optional<std::string> SingleFileArgument(const Args& args, const std::string& usage,
                                              const std::string& help, int& exitCode);

} // namespace quorvel::cli
