#pragma once
// The settings finder: given the inputs of a configuration, target values for some boxes and
// the fields to keep, it tries every choice of every other configuration field, register
// bit-field and typed bit-field that can change a target or a limit, and returns the choices
// that meet every target and keep every limit, best first.
//
// The search works on the tables of the diagram and one evaluator; nothing is drawn. It
// assigns one field at a time, in the order the formulas first use them, and evaluates each
// formula, limit and target as soon as the fields it depends on are chosen, so a branch whose
// partial values already break a limit or miss a target is left at once. A field that cannot
// change anything still undecided under the choices made so far (the FRC divider while the PLL
// drives the clock, say) keeps its current value instead of being tried. Every result is
// checked once more by the full calculation before it is returned.
//
// Ranking: exact before approximate, then fewest changes from the current choices, then the
// lowest VCO frequency (the box whose quantity is "Fvco"), then the smallest deviation.

#include "diagram/Model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

// A box and the value it should show.
struct SolveTarget {
    int Box = 0;
    double Value = 0.0;
};

struct SolveRequest {
    std::vector<SolveTarget> Targets;
    double TolerancePercent = 0.0;   // of each target value; 0 asks for the exact value
    std::vector<std::string> Locked; // field names (ignoring case) that keep their current value
    std::size_t MaxSolutions = 10;
};

// The configuration the search starts from.
struct SolveStart {
    std::vector<std::string> BoxTexts; // the text of every value box, 0..30
    // The setting value currently chosen for each name of CalcVarNames / RegNames, if any.
    std::vector<std::optional<std::uint32_t>> ConfigValues;
    std::vector<std::optional<std::uint32_t>> RegisterValues;
};

// The starting point as the model stands: the chosen value of each configuration name is that
// of its first marked line, of each register name that of its chosen entry (else its first
// marked line).
SolveStart StartFromModel(const TModel& model, std::vector<std::string> boxTexts);

// One field of a solution.
struct SolvedField {
    std::string Name; // as the diagram writes it: "FNOSC", "PLLFBD<8:0>"
    bool IsRegister = false;
    bool IsTyped = false;    // a typed bit-field: Number holds the typed number
    std::uint32_t Value = 0; // the setting value or bit-field value
    std::int64_t Number = 0; // the typed number of a typed bit-field
    bool Changed = false;    // differs from the starting choice
};

struct Solution {
    std::vector<SolvedField> Fields;   // every field the targets and limits depend on
    std::vector<std::string> BoxTexts; // every laid-out box as the calculation shows it
    double Error = 0.0;                // largest relative deviation from a target
    int Changes = 0;
};

struct SolveResult {
    std::vector<Solution> Solutions;
    // Why there is none: the target that could not be met (and the closest value reached) or
    // the limit that was broken most often.
    std::string Reason;
    std::uint64_t Candidates = 0; // every combination of the fields that were searched
    std::uint64_t Evaluated = 0;  // partial and complete choices evaluated
};

// Searches. Throws ConversionError for a target or lock that names nothing of the diagram.
SolveResult Solve(const TModel& model, const SolveStart& start, const SolveRequest& request);

// The choice of one field as the command line's --set takes it: "FNOSC=PRIPLL" (the setting's
// name from the device definition, else its value), "CLKDIV<4:0>=0" (a bit-field value).
std::string SetText(const TModel& model, const SolvedField& field);

// The box whose formula name ("E6") or quantity ("Fosc") is `name`, ignoring case; -1 if none.
int FindBoxByName(const TModel& model, const std::string& name);

} // namespace quorvel
