#pragma once
// One pass over a line of a definition file that finds every tag the reader cares about. Each
// tag text starts with "<" and holds no other "<", so looking at what follows each "<" of the
// line finds every occurrence that a search of the upper-cased line would find, without
// copying or upper-casing the line.

#include <array>
#include <cstddef>
#include <string_view>

namespace quorvel {

struct LineTags {
    static constexpr std::size_t kNone = std::string_view::npos;

    // The value tags, as bits of `values`.
    enum Value : unsigned {
        kKey = 1,          // <skey>
        kAddress = 2,      // <waddr>
        kMask = 4,         // <wmask>
        kRequired = 8,     // <wreq>
        kValue = 16,       // <wvalue>
        kDescription = 32, // <sdesc>
        kDefault = 64,     // <wdefault>, a word's value before any field is chosen
    };

    bool anyOpen = false;           // the line holds a "<"
    bool sectionStart = false;      // <cfg>
    bool sectionEnd = false;        // </cfg>
    unsigned values = 0;            // bits of Value
    std::size_t firstClose = kNone; // position of the first ">"
    // Position of the first "<cfgbits", "<field" and "<setting", each followed by anything.
    std::size_t word = kNone;
    std::size_t field = kNone;
    std::size_t setting = kNone;

    // What StripTags keeps of the line: the parts outside the spans from a "<" to the first
    // ">" after it, as [begin, end) positions of the line, empty parts left out. A line of
    // more than kMaxKept parts only has them counted.
    static constexpr std::size_t kMaxKept = 4;
    struct Part {
        std::size_t begin;
        std::size_t end;
    };
    std::array<Part, kMaxKept> kept; // the first keptCount are set
    std::size_t keptCount = 0;

    // Back to a line without tags; cheaper than assigning LineTags{}, which also clears kept.
    void Reset() {
        anyOpen = sectionStart = sectionEnd = false;
        values = 0;
        firstClose = word = field = setting = kNone;
        keptCount = 0;
    }

    // True when the opener found at `at`, of `nameLength` letters after its "<", has at least
    // one character between its name and the line's first ">".
    bool Opens(std::size_t at, std::size_t nameLength) const {
        return at != kNone && firstClose != kNone && at + 1 + nameLength < firstClose;
    }
};

// Scans the line that starts at `from` (letters compared ignoring ASCII case) and returns the
// position of its end: the CR or LF that ends it, or text.size().
std::size_t ScanLineTags(std::string_view text, std::size_t from, LineTags& tags);

} // namespace quorvel
