#pragma once
// Compiled forms of formula texts, kept per text.

#include <optional>
#include <string>

namespace quorvel {

class VariableTable;

class FormulaCache {
public:
    // The value of `text` by its compiled form, or nothing when that form cannot give it.
    std::optional<double> Run(const std::string& text, const VariableTable& variables);
};

} // namespace quorvel
