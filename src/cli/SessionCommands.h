#pragma once
// quorvel run, code, config, render and solve.

#include "cli/CliCommand.h"

namespace quorvel::cli {

int RunRun(const Args& args);
int RunCode(const Args& args);
int RunConfig(const Args& args);
int RunRender(const Args& args);
// quorvel diff A B: what two configuration files choose differently.
int RunDiff(const Args& args);
int RunSolve(const Args& args);

} // namespace quorvel::cli
