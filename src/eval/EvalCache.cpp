#include "eval/EvalCache.h"

#include "eval/VariableTable.h"

namespace quorvel {

CompiledFormula::CompiledFormula(std::string_view text)
    : program_(evalfast::Flatten(evalfast::Compile(text))), lines_(program_.variables.size(), -1) {}

void CompiledFormula::Resolve(const VariableTable& variables, std::uint64_t table) {
    if (table != resolvedFor_)
        lines_.assign(lines_.size(), -1);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i] < 0)
            lines_[i] = variables.Find(program_.variables[i]);
    resolvedFor_ = table;
    resolvedAt_ = variables.Size();
}

CompiledFormula* FormulaCache::Entry(const std::string& text, bool compile) {
    auto it = entries_.find(text);
    if (it == entries_.end()) {
        if (entries_.size() >= kMaxEntries || characters_ + text.size() > kMaxCharacters) {
            entries_.clear();
            characters_ = 0;
        }
        characters_ += text.size();
        it = entries_.emplace(text, nullptr).first;
        if (!compile)
            return nullptr;
    }
    if (!it->second)
        it->second = std::make_unique<CompiledFormula>(text);
    return it->second.get();
}

std::optional<double> FormulaCache::RunEntry(const std::string& text,
                                             const VariableTable& variables, bool compile) {
    if (text.size() > kMaxTextLength)
        return std::nullopt;
    CompiledFormula* const compiled = Entry(text, compile);
    double value;
    if (compiled == nullptr || !compiled->Run(variables, 0, slots_, value))
        return std::nullopt;
    return value;
}

std::optional<double> FormulaCache::Run(const std::string& text, const VariableTable& variables) {
    return RunEntry(text, variables, true);
}

std::optional<double> FormulaCache::RunFromSecondSight(const std::string& text,
                                                       const VariableTable& variables) {
    return RunEntry(text, variables, false);
}

} // namespace quorvel
