#pragma once
// The frequency calculation: every number the formulas may need goes into the evaluator as a
// variable, then the value boxes' formulas are evaluated in table order and each result is
// shown followed by " Mhz" and fed back as variable "E" + n for the formulas below it. It
// reads the box texts from the state and writes the results into it.

#include "diagram/Configuration.h"

#include <memory>
#include <vector>

namespace quorvel {

class TSimpleEval;

// Where the variables of the diagram's CalcVals and RegVals lie in one evaluator's table, kept
// from one calculation to the next of the same loaded diagram: setting a variable by its place
// spares the look-up of its name, which dominates a click on a large diagram. The places
// belong to the load whose line index they were taken with; any other load takes them anew.
struct VariablePlaces {
    std::shared_ptr<const DiagramIndex> Diagram;
    const TSimpleEval* Evaluator = nullptr;
    std::vector<int> Calc;
    std::vector<int> Reg;
};

// Runs the whole calculation. An error (evaluator, conversion) ends it where it happens:
// boxes written before keep their new text, later ones their old text. Every box written is
// recorded in `changes` as it is written, so the record is complete when an error ends it.
// With `places`, the diagram's variables are set by the places kept there (taken at the first
// calculation of a load); the result is the same.
void Calculate(Configuration& state, TSimpleEval& evaluator, Changes& changes,
               VariablePlaces* places = nullptr);

} // namespace quorvel
