#pragma once
// Values of function calls already evaluated by rewriting, kept with the variable values they
// read. The formulas of one diagram repeat whole calls, within a formula and from one formula
// to the next ("ifthen(POSCMOD = 3, 0, E0)" stands in nearly every one); a call whose text
// and function are the same, and whose variables still read as they did, has the same value,
// so it is looked up instead of being evaluated again.
//
// A call's value depends on nothing but its function, its argument text and the values of
// the variables its evaluation read (a variable the evaluation did not read, behind an "&"
// decided by its left side, cannot change the course it took). A call that raised is not
// kept.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvel {

class VariableTable;

class CallMemo {
public:
    // One variable read during an evaluation: its table line and the bits of what it read.
    struct Read {
        int line;
        std::uint64_t bits;
    };

    // The value kept for this call, or null when there is none or a variable it read now reads
    // differently. On success the reads the value depends on are appended to `log` (when
    // there is one), so that the calls around this one depend on them too.
    const double* Find(int function, std::string_view arguments, const VariableTable& variables,
                       std::vector<Read>* log) const;
    // Keeps a call's value together with the reads its evaluation made.
    void Remember(int function, std::string_view arguments, double value,
                  std::span<const Read> reads);

    // The "function" under which the values of whole formula texts are kept: no index of the
    // function table.
    static constexpr int kWholeText = 255;

    // The memo starts afresh when it holds this many calls or this many characters of their
    // arguments, so that a long run of different formulas does not grow it without end.
    static constexpr std::size_t kMaxEntries = 4096;
    static constexpr std::size_t kMaxCharacters = std::size_t{4} << 20;
    // A call that read more variables than this is not kept: checking them would cost about
    // what evaluating it again costs.
    static constexpr std::size_t kMaxReads = 64;
    // Nor is a call with longer arguments: the memo would copy them, for a text that hardly
    // comes back.
    static constexpr std::size_t kMaxArguments = std::size_t{16} << 10;

private:
    struct Entry {
        int function;
        std::string arguments;
        double value;
        std::vector<Read> reads;
    };
    // Keyed by a hash of the function and the argument text; an entry whose text is another
    // (two texts of one hash) is no match, and the later call takes its place.
    std::unordered_map<std::uint64_t, Entry> entries_;
    std::size_t characters_ = 0;
};

} // namespace quorvel
