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

std::unique_ptr<CompiledFormula>& FormulaCache::Slot(const std::string& text, bool& seenBefore) {
    auto [it, added] = entries_.try_emplace(text, nullptr);
    seenBefore = !added;
    if (added) {
        characters_ += text.size();
        if (entries_.size() > kMaxEntries || characters_ > kMaxCharacters) {
            entries_.clear(); // full: start afresh with this text
            characters_ = text.size();
            it = entries_.try_emplace(text, nullptr).first;
        }
    }
    return it->second;
}

std::optional<double> FormulaCache::RunForm(CompiledFormula& compiled,
                                            const VariableTable& variables) {
    double value;
    if (!compiled.Run(variables, 0, slots_, value))
        return std::nullopt;
    return value;
}

std::optional<double> FormulaCache::Run(const std::string& text, const VariableTable& variables) {
    if (text.size() > kMaxTextLength)
        return std::nullopt;
    bool seenBefore;
    std::unique_ptr<CompiledFormula>& slot = Slot(text, seenBefore);
    if (!slot)
        slot = std::make_unique<CompiledFormula>(text);
    return RunForm(*slot, variables);
}

FormulaCache::Look FormulaCache::RunIfCompiled(const std::string& text,
                                               const VariableTable& variables) {
    Look look;
    if (text.size() > kMaxTextLength)
        return look;
    std::unique_ptr<CompiledFormula>& slot = Slot(text, look.seenBefore);
    if (slot) {
        look.compiled = true;
        look.value = RunForm(*slot, variables);
    }
    return look;
}

} // namespace quorvel
