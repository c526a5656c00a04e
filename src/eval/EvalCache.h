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

class FormulaCache {
public:
    // The value of `text` by its compiled form (compiling it on first sight), or nothing when
    // that form cannot give it.
    std::optional<double> Run(const std::string& text, const VariableTable& variables);

    // Texts longer than this are always rewritten: compiling a formula seen once costs about
    // as much as rewriting it.
    static constexpr std::size_t kMaxTextLength = 4096;
    // The cache starts afresh when it holds this many texts.
    static constexpr std::size_t kMaxEntries = 4096;

private:
    struct Entry {
        evalfast::Program program;
        std::vector<int> lines;                                // variable-table line of each name
        std::size_t resolvedAt = static_cast<std::size_t>(-1); // table size when resolved
    };
    std::unordered_map<std::string, std::unique_ptr<Entry>> entries_;
    std::vector<double> slots_;
};

} // namespace quorvel
