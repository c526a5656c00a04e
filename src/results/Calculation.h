#pragma once
// The frequency calculation: every number the formulas may need goes into the evaluator as a
// variable, then the value boxes' formulas are evaluated in table order and each result is
// shown followed by " Mhz" and fed back as variable "E" + n for the formulas below it. It
// reads the box texts from the state and writes the results into it.

#include "diagram/Configuration.h"

namespace quorvel {

class TSimpleEval;

// Runs the whole calculation. An error (evaluator, conversion) ends it where it happens:
// boxes written before keep their new text, later ones their old text. Every box written is
// recorded in `changes` as it is written, so the record is complete when an error ends it.
void Calculate(Configuration& state, TSimpleEval& evaluator, Changes& changes);

} // namespace quorvel
