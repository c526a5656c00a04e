#pragma once
// Compiled forms of the formula texts evaluated at the outer level, kept per text.

#include "eval/EvalProgram.h"
#include "eval/VariableTable.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorvel {

// A compiled form with the variable-table lines of its names, found once and kept: lines
// are only ever added to a table, so a name once found keeps its line. The lines are those of
// one table at a time; `table` names it (an evaluator's table id, or 0 for a cache's own).
class CompiledFormula {
public:
    explicit CompiledFormula(std::string_view text);
    // The value by the compiled form, or false when that form cannot give it. `frame` is
    // room for the run's values, grown as needed.
    bool Run(const VariableTable& variables, std::uint64_t table, std::vector<double>& frame,
             double& out) {
        if (table != resolvedFor_ || variables.Size() != resolvedAt_)
            Resolve(variables, table);
        if (frame.size() < program_.FrameSize())
            frame.resize(program_.FrameSize());
        const double value = evalfast::Run(program_, variables, lines_.data(), frame.data());
        if (std::isnan(value))
            return false;
        out = value;
        return true;
    }

private:
    void Resolve(const VariableTable& variables, std::uint64_t table);

    evalfast::FlatProgram program_;
    std::vector<int> lines_;                                     // variable-table line of each name
    std::uint64_t resolvedFor_ = static_cast<std::uint64_t>(-1); // the table of lines_
    std::size_t resolvedAt_ = static_cast<std::size_t>(-1);      // its size when resolved
};

class FormulaCache {
public:
    // The value of `text` by its compiled form (compiling it on first sight), or nothing when
    // that form cannot give it.
    std::optional<double> Run(const std::string& text, const VariableTable& variables);

    // What RunIfCompiled found.
    struct Look {
        std::optional<double> value; // the compiled form's, when it gives one
        bool compiled = false;       // the text has a compiled form
        bool seenBefore = false;     // the text was asked for before
    };
    // The value of `text` by its compiled form when it has one, without compiling it; every
    // text is recorded as seen. Callers compile (Run) a text only when it comes back: rewriting
    // a text once costs less than compiling it, and the texts of a calculation are asked for
    // again at every later click.
    Look RunIfCompiled(const std::string& text, const VariableTable& variables);

    // Room for the values a run puts back into its text and those it keeps on its stack,
    // shared by every run.
    std::vector<double>& Slots() { return slots_; }

    // Texts longer than this are always rewritten: their compiled form would take about
    // thirty times their length in memory, for a text that is hardly seen twice.
    static constexpr std::size_t kMaxTextLength = std::size_t{1} << 20;
    // The cache starts afresh when it holds this many texts, or this many characters.
    static constexpr std::size_t kMaxEntries = 4096;
    static constexpr std::size_t kMaxCharacters = std::size_t{4} << 20;

private:
    // The place of `text`'s compiled form (null while it has none), made when the text is
    // new; `seenBefore` says whether it was there already.
    std::unique_ptr<CompiledFormula>& Slot(const std::string& text, bool& seenBefore);
    std::optional<double> RunForm(CompiledFormula& compiled, const VariableTable& variables);

    // A null form: the text was seen, not compiled.
    std::unordered_map<std::string, std::unique_ptr<CompiledFormula>> entries_;
    std::size_t characters_ = 0;
    std::vector<double> slots_;
};

} // namespace quorvel
