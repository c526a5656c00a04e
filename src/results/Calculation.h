#pragma once
// The frequency calculation: every number the formulas may need goes into the evaluator as a
// variable, then the value boxes' formulas are evaluated in table order and each result is
// shown followed by " Mhz" and fed back as variable "E" + n for the formulas below it.

#include "diagram/Model.h"
#include "util/Views.h"

namespace quorvel {

class TSimpleEval;

// Runs the whole calculation. An error (evaluator, conversion) ends it where it happens:
// boxes written before keep their new text, later ones their old text.
void Calculate(const TModel& model, TSimpleEval& evaluator, ValueBoxView& boxes);

} // namespace quorvel
