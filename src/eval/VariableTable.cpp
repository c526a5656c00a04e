#include "eval/VariableTable.h"

#include "util/KivStrings.h"

namespace quorvel {

namespace {
constexpr std::size_t kFirstRoom = 64;
} // namespace

std::size_t VariableTable::Hash::operator()(std::string_view s) const noexcept {
    std::size_t h = 1469598103934665603ull;
    for (const char c : s) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        h = (h ^ static_cast<unsigned char>(lower)) * 1099511628211ull;
    }
    return h;
}

bool VariableTable::Equal::operator()(std::string_view a, std::string_view b) const noexcept {
    return EqualsIgnoreCaseAscii(a, b);
}

void VariableTable::Set(std::string_view name, double value) {
    const int existing = Find(name);
    Line* line;
    if (existing >= 0) {
        line = &lines_[static_cast<std::size_t>(existing)];
    } else {
        if (lines_.empty()) {
            // A diagram's calculation defines some forty to sixty variables: room for them at
            // once spares the lists' regrowing and the index's rehashing.
            lines_.reserve(kFirstRoom);
            reads_.reserve(kFirstRoom);
            index_.reserve(kFirstRoom);
        }
        index_.emplace(std::string(name), static_cast<int>(lines_.size()));
        line = &lines_.emplace_back();
        reads_.push_back(0.0);
    }
    line->Name.assign(name);
    line->Value = value;
    reads_[static_cast<std::size_t>(line - lines_.data())] = RenderedValueQuick(value);
}

int VariableTable::Find(std::string_view name) const {
    const auto it = index_.find(name);
    return it == index_.end() ? -1 : it->second;
}

} // namespace quorvel
