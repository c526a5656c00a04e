#include "eval/EvalCallMemo.h"

#include "eval/VariableTable.h"

#include <bit>

namespace quorvel {

namespace {

// The key of a call: a function index fits one character, as there are fewer than 256.
std::string KeyOf(int function, std::string_view arguments) {
    std::string key;
    key.reserve(arguments.size() + 1);
    key += static_cast<char>(function);
    key.append(arguments);
    return key;
}

} // namespace

const double* CallMemo::Find(int function, std::string_view arguments,
                             const VariableTable& variables, std::vector<Read>& log) const {
    if (entries_.empty() || arguments.size() > kMaxArguments)
        return nullptr;
    // A lookup must not allocate: the key is built on the stack when it is short.
    char shortKey[256];
    std::string longKey;
    std::string_view key;
    if (arguments.size() < sizeof shortKey) {
        shortKey[0] = static_cast<char>(function);
        arguments.copy(shortKey + 1, arguments.size());
        key = std::string_view(shortKey, arguments.size() + 1);
    } else {
        longKey = KeyOf(function, arguments);
        key = longKey;
    }
    const auto it = entries_.find(key);
    if (it == entries_.end())
        return nullptr;
    for (const Read& read : it->second.reads) {
        // Bits, not values: -0 and 0 print differently, and a value that no longer reads back
        // (NaN) must not match either.
        if (static_cast<std::size_t>(read.line) >= variables.Size() ||
            std::bit_cast<std::uint64_t>(variables.ReadAt(read.line)) != read.bits)
            return nullptr;
    }
    log.insert(log.end(), it->second.reads.begin(), it->second.reads.end());
    return &it->second.value;
}

void CallMemo::Remember(int function, std::string_view arguments, double value,
                        std::span<const Read> reads) {
    if (reads.size() > kMaxReads || arguments.size() > kMaxArguments)
        return;
    if (entries_.size() >= kMaxEntries || characters_ + arguments.size() > kMaxCharacters) {
        entries_.clear();
        characters_ = 0;
    }
    std::string key = KeyOf(function, arguments);
    auto [it, added] = entries_.try_emplace(std::move(key));
    if (added)
        characters_ += arguments.size();
    Entry& entry = it->second;
    entry.value = value;
    entry.reads.clear();
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
