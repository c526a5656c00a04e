#pragma once
// "quorvel eval": evaluates formulas as the frequency calculation does.

#include "cli/CliCommand.h"

namespace quorvel::cli {

int RunEval(const Args& args);

} // namespace quorvel::cli
