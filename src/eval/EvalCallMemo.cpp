#include "eval/EvalCallMemo.h"

#include "eval/VariableTable.h"

#include <bit>
#include <cstring>

namespace quorvel {

namespace {

// A hash of the function and the text, eight bytes at a step: argument texts run to hundreds
// of characters, and every call is looked up once and kept once.
std::uint64_t HashOf(int function, std::string_view text) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = (static_cast<std::uint64_t>(function) << 32 ^ text.size()) * kMultiplier;
    const auto mix = [&h](std::uint64_t word) {
        h = (h ^ word) * kMultiplier;
        h ^= h >> 29;
    };
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        mix(word);
    }
    if (i < text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, text.size() - i);
        mix(word);
    }
    return h;
}

} // namespace

const double* CallMemo::Find(int function, std::string_view arguments,
                             const VariableTable& variables, std::vector<Read>* log) const {
    if (entries_.empty() || arguments.size() > kMaxArguments)
        return nullptr;
    const auto it = entries_.find(HashOf(function, arguments));
    if (it == entries_.end())
        return nullptr;
    const Entry& entry = it->second;
    if (entry.function != function || entry.arguments != arguments)
        return nullptr;
    for (const Read& read : entry.reads) {
        // Bits, not values: -0 and 0 print differently, and a value that no longer reads back
        // (NaN) must not match either.
        if (static_cast<std::size_t>(read.line) >= variables.Size() ||
            std::bit_cast<std::uint64_t>(variables.ReadAt(read.line)) != read.bits)
            return nullptr;
    }
    if (log != nullptr)
        log->insert(log->end(), entry.reads.begin(), entry.reads.end());
    return &entry.value;
}

void CallMemo::Remember(int function, std::string_view arguments, double value,
                        std::span<const Read> reads) {
    if (reads.size() > kMaxReads || arguments.size() > kMaxArguments)
        return;
    if (entries_.size() >= kMaxEntries || characters_ + arguments.size() > kMaxCharacters) {
        entries_.clear();
        characters_ = 0;
    }
    if (entries_.empty())
        entries_.reserve(64); // the calls of a diagram's formulas, without growing
    Entry& entry = entries_[HashOf(function, arguments)];
    characters_ += arguments.size();
    characters_ -= entry.arguments.size(); // a text in its place, if any, goes
    entry.function = function;
    entry.arguments.assign(arguments);
    entry.value = value;
    entry.reads.clear();
    entry.reads.reserve(reads.size());
    // A formula reads the same variable again and again; each is checked once.
    for (const Read& read : reads) {
        bool seen = false;
        for (const Read& kept : entry.reads)
            seen = seen || kept.line == read.line;
        if (!seen)
            entry.reads.push_back(read);
    }
}

} // namespace quorvel
