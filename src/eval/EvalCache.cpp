#include "eval/EvalCache.h"

#include "eval/VariableTable.h"

namespace quorvel {

CompiledFormula::CompiledFormula(std::string_view text)
    : program_(evalfast::Compile(text)), lines_(program_.variables.size(), -1) {}

bool CompiledFormula::Run(const VariableTable& variables, std::vector<double>& slots, double& out,
                          bool fresh) {
    if (fresh) {
        lines_.assign(lines_.size(), -1);
        resolvedAt_ = static_cast<std::size_t>(-1);
    }
    if (resolvedAt_ != variables.Size()) {
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i] < 0)
                lines_[i] = variables.Find(program_.variables[i]);
        resolvedAt_ = variables.Size();
    }
    if (slots.size() < static_cast<std::size_t>(program_.slotCount))
        slots.resize(static_cast<std::size_t>(program_.slotCount));
    return evalfast::Run(program_, variables, lines_, slots, out);
}

std::optional<double> FormulaCache::Run(const std::string& text, const VariableTable& variables) {
    if (text.size() > kMaxTextLength)
        return std::nullopt;
    auto it = entries_.find(text);
    if (it == entries_.end()) {
        if (entries_.size() >= kMaxEntries || characters_ + text.size() > kMaxCharacters) {
            entries_.clear();
            characters_ = 0;
        }
        characters_ += text.size();
        it = entries_.emplace(text, std::make_unique<CompiledFormula>(text)).first;
    }
    double value;
    if (!it->second->Run(variables, slots_, value))
        return std::nullopt;
    return value;
}

} // namespace quorvel
