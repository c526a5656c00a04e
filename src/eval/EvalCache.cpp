#include "eval/EvalCache.h"

namespace quorvel {

std::optional<double> FormulaCache::Run(const std::string&, const VariableTable&) {
    return std::nullopt;
}

} // namespace quorvel
