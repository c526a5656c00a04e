#include "eval/EvalCache.h"

#include "eval/VariableTable.h"

namespace quorvel {

std::optional<double> FormulaCache::Run(const std::string& text, const VariableTable& variables) {
    if (text.size() > kMaxTextLength)
        return std::nullopt;
    auto it = entries_.find(text);
    if (it == entries_.end()) {
        if (entries_.size() >= kMaxEntries)
            entries_.clear();
        auto entry = std::make_unique<Entry>();
        entry->program = evalfast::Compile(text);
        entry->lines.assign(entry->program.variables.size(), -1);
        it = entries_.emplace(text, std::move(entry)).first;
    }
    Entry& entry = *it->second;
    // Lines are only ever added, so a name once found keeps its line.
    if (entry.resolvedAt != variables.Size()) {
        for (std::size_t i = 0; i < entry.lines.size(); ++i)
            if (entry.lines[i] < 0)
                entry.lines[i] = variables.Find(entry.program.variables[i]);
        entry.resolvedAt = variables.Size();
    }
    if (slots_.size() < static_cast<std::size_t>(entry.program.slotCount))
        slots_.resize(static_cast<std::size_t>(entry.program.slotCount));
    return evalfast::Run(entry.program, variables, entry.lines, slots_);
}

} // namespace quorvel
