#pragma once
// Compiled forms of the formula texts evaluated at the outer level, kept per text.

#include "eval/EvalProgram.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorvel {

class VariableTable;

// A compiled form with the variable-table lines of its names, found once and kept: lines
// are only ever added to a table, so a name once found keeps its line.
class CompiledFormula {
public:
    explicit CompiledFormula(std::string_view text);
    // The value by the compiled form, or false when that form cannot give it. `variables`
    // must be the table of the earlier runs, or `fresh` set to start the look-ups anew.
    bool Run(const VariableTable& variables, std::vector<double>& slots, double& out,
             bool fresh = false);

private:
    evalfast::Program program_;
    std::vector<int> lines_;                                // variable-table line of each name
    std::size_t resolvedAt_ = static_cast<std::size_t>(-1); // table size when resolved
};

class FormulaCache {
public:
    // The value of `text` by its compiled form (compiling it on first sight), or nothing when
    // that form cannot give it.
    std::optional<double> Run(const std::string& text, const VariableTable& variables);

    // Room for the values a run puts back into its text, shared by every run.
    std::vector<double>& Slots() { return slots_; }

    // Texts longer than this are always rewritten: their compiled form would take about
    // thirty times their length in memory, for a text that is hardly seen twice.
    static constexpr std::size_t kMaxTextLength = std::size_t{1} << 20;
    // The cache starts afresh when it holds this many texts, or this many characters.
    static constexpr std::size_t kMaxEntries = 4096;
    static constexpr std::size_t kMaxCharacters = std::size_t{4} << 20;

private:
    std::unordered_map<std::string, std::unique_ptr<CompiledFormula>> entries_;
    std::size_t characters_ = 0;
    std::vector<double> slots_;
};

} // namespace quorvel
