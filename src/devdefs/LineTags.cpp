#include "devdefs/LineTags.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvel {

namespace {

// Bytes that stop the scan of a line: the two line ends and the two brackets.
constexpr std::array<std::uint8_t, 256> StopBytes() {
    std::array<std::uint8_t, 256> stops{};
    stops['\r'] = 1;
    stops['\n'] = 1;
    stops['<'] = 1;
    stops['>'] = 1;
    return stops;
}
constexpr std::array<std::uint8_t, 256> kStops = StopBytes();

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A tag name, also laid out for comparing eight bytes at once: with bit 5 set in a text byte
// and in a letter of the name, only the letter's two cases match it; any other character of
// the name must match exactly.
struct Name {
    std::string_view upper;
    std::uint64_t lower = 0;    // the name in lower case, first byte lowest
    std::uint64_t caseBits = 0; // 0x20 in the bytes of letters
    std::uint64_t mask = 0;     // 0xFF in the bytes of the name
};

constexpr Name MakeName(std::string_view upper) {
    Name name{upper};
    for (std::size_t i = 0; i < upper.size(); ++i) {
        const bool letter = upper[i] >= 'A' && upper[i] <= 'Z';
        const auto byte = static_cast<std::uint64_t>(static_cast<unsigned char>(upper[i]));
        name.lower |= (letter ? byte | 0x20 : byte) << (8 * i);
        name.caseBits |= (letter ? std::uint64_t{0x20} : 0) << (8 * i);
        name.mask |= std::uint64_t{0xFF} << (8 * i);
    }
    return name;
}

constexpr Name kSectionStart = MakeName("CFG>");
constexpr Name kSectionEnd = MakeName("/CFG>");
constexpr Name kWord = MakeName("CFGBITS");
constexpr Name kField = MakeName("FIELD");
constexpr Name kSetting = MakeName("SETTING");
constexpr Name kKey = MakeName("SKEY>");
constexpr Name kDescription = MakeName("SDESC>");
constexpr Name kAddress = MakeName("WADDR>");
constexpr Name kMask = MakeName("WMASK>");
constexpr Name kRequired = MakeName("WREQ>");
constexpr Name kValue = MakeName("WVALUE>");
// Eight letters: its ">" is tested apart, since a name is compared as eight bytes at most.
constexpr Name kDefault = MakeName("WDEFAULT");

// True when the text at `at` reads the name once its ASCII letters are upper-cased. A name
// holds only letters, "/" and ">", none of them a line end, so a comparison never matches
// across the end of the line.
bool NameAt(std::string_view text, std::size_t at, const Name& name) {
    if constexpr (std::endian::native == std::endian::little) {
        if (text.size() - at >= sizeof(std::uint64_t)) {
            std::uint64_t w;
            std::memcpy(&w, text.data() + at, sizeof w);
            return ((w | name.caseBits) & name.mask) == name.lower;
        }
    }
    if (text.size() - at < name.upper.size())
        return false;
    for (std::size_t i = 0; i < name.upper.size(); ++i)
        if (Upper(text[at + i]) != name.upper[i])
            return false;
    return true;
}

void KeepFirst(std::size_t& slot, std::size_t at) {
    if (slot == LineTags::kNone)
        slot = at;
}

// The one closing tag that counts, at `at` just after its "<": the end of the section.
void ClosingTagAt(std::string_view text, std::size_t at, LineTags& tags) {
    if (NameAt(text, at, kSectionEnd))
        tags.sectionEnd = true;
}

// Records what the "<" at `open` starts; `line` is where the line begins.
void TagAt(std::string_view text, std::size_t open, std::size_t line, LineTags& tags) {
    const std::size_t at = open + 1;
    if (at == text.size())
        return;
    const std::size_t column = open - line;
    switch (Upper(text[at])) {
    case 'C':
        if (NameAt(text, at, kSectionStart))
            tags.sectionStart = true;
        else if (NameAt(text, at, kWord))
            KeepFirst(tags.word, column);
        break;
    case '/':
        ClosingTagAt(text, at, tags);
        break;
    case 'F':
        if (NameAt(text, at, kField))
            KeepFirst(tags.field, column);
        break;
    case 'S':
        if (NameAt(text, at, kSetting))
            KeepFirst(tags.setting, column);
        else if (NameAt(text, at, kKey))
            tags.values |= LineTags::kKey;
        else if (NameAt(text, at, kDescription))
            tags.values |= LineTags::kDescription;
        break;
    case 'W':
        if (NameAt(text, at, kAddress))
            tags.values |= LineTags::kAddress;
        else if (NameAt(text, at, kMask))
            tags.values |= LineTags::kMask;
        else if (NameAt(text, at, kRequired))
            tags.values |= LineTags::kRequired;
        else if (NameAt(text, at, kValue))
            tags.values |= LineTags::kValue;
        else if (NameAt(text, at, kDefault) && at + kDefault.upper.size() < text.size() &&
                 text[at + kDefault.upper.size()] == '>')
            tags.values |= LineTags::kDefault;
        break;
    default:
        break;
    }
}

void Keep(LineTags& tags, std::size_t begin, std::size_t end) {
    if (begin == end)
        return;
    if (tags.keptCount < LineTags::kMaxKept)
        tags.kept[tags.keptCount] = {begin, end};
    ++tags.keptCount;
}

#if defined(__SSE2__)
// A window of the text as bit masks, bit k for byte k: its "<", its ">" and its line ends.
struct WindowMasks {
    std::uint64_t open = 0;
    std::uint64_t close = 0;
    std::uint64_t ends = 0;
};

// The masks of the 64 bytes at `at`, which must all be in the text; blocks after the one that
// holds the first line end are left out.
WindowMasks MasksAt(const unsigned char* at) {
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i gt = _mm_set1_epi8('>');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    WindowMasks m;
    for (int block = 0; block < 4 && m.ends == 0; ++block) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * block));
        const auto bits = [&v](__m128i c) {
            return static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c))));
        };
        const int shift = 16 * block;
        m.open |= bits(lt) << shift;
        m.close |= bits(gt) << shift;
        m.ends |= (bits(lf) | bits(cr)) << shift;
    }
    return m;
}

// The bits from `first` on.
std::uint64_t BitsFrom(std::size_t first) {
    return first < 64 ? ~std::uint64_t{0} << first : 0;
}

// Fills tags for a line of `length` bytes at `from` whose brackets the masks give: the tags
// of each "<", and the parts around the spans from a "<" to the first ">" after it, as the
// byte-by-byte scan below finds them.
void LineFromMasks(std::string_view text, std::size_t from, std::size_t length, std::uint64_t open,
                   std::uint64_t close, LineTags& tags) {
    tags.anyOpen = open != 0;
    if (close != 0)
        tags.firstClose = static_cast<std::size_t>(std::countr_zero(close));
    // The parts first, counted here: with no call in this loop the masks and the count stay
    // in registers.
    std::size_t count = 0;
    const auto keep = [&tags, &count](std::size_t begin, std::size_t end) {
        if (begin == end)
            return;
        if (count < LineTags::kMaxKept)
            tags.kept[count] = {begin, end};
        ++count;
    };
    std::size_t part = 0; // where the part after the last span begins
    for (;;) {
        const std::uint64_t opens = open & BitsFrom(part);
        if (opens == 0) {
            keep(part, length);
            break;
        }
        const auto span = static_cast<std::size_t>(std::countr_zero(opens));
        keep(part, span);
        const std::uint64_t closes = close & BitsFrom(span + 1);
        if (closes == 0) { // an unclosed span is no span: it stays with the rest of the line
            keep(span, length);
            break;
        }
        part = static_cast<std::size_t>(std::countr_zero(closes)) + 1;
    }
    tags.keptCount = count;
    for (std::uint64_t m = open; m != 0; m &= m - 1) {
        const std::size_t at = from + static_cast<std::size_t>(std::countr_zero(m));
        // Most lines close the tag they open: a closing tag is told here, without the call
        // that classifies opening tags. The byte after a "<" of the window is in the text,
        // since the line ends before the window does.
        if (text[at + 1] == '/')
            ClosingTagAt(text, at + 1, tags);
        else
            TagAt(text, at, from, tags);
    }
}
#endif

} // namespace

std::size_t ScanLineTags(std::string_view text, std::size_t from, LineTags& tags) {
    tags.Reset();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
#if defined(__SSE2__)
    // Most lines are short: a line that ends within the next 64 bytes is read from bit masks
    // of its brackets, without a branch per bracket.
    if (size - from >= 64) {
        const WindowMasks m = MasksAt(bytes + from);
        if (m.ends != 0) {
            const auto length = static_cast<std::size_t>(std::countr_zero(m.ends));
            const std::uint64_t inLine = (std::uint64_t{1} << length) - 1;
            LineFromMasks(text, from, length, m.open & inLine, m.close & inLine, tags);
            return from + length;
        }
    }
#endif
    // The span being skipped, as StripTags skips it: from a "<" to the first ">" after it.
    bool inSpan = false;
    std::size_t partBegin = 0; // where the part after the last span begins
    std::size_t spanBegin = 0;
    // Handles the stop byte at i; false at the line end.
    const auto stop = [&](std::size_t i) {
        const unsigned char c = bytes[i];
        if (c == '<') {
            tags.anyOpen = true;
            TagAt(text, i, from, tags);
            if (!inSpan) {
                Keep(tags, partBegin, i - from);
                spanBegin = i - from;
                inSpan = true;
            }
        } else if (c == '>') {
            if (tags.firstClose == LineTags::kNone)
                tags.firstClose = i - from;
            if (inSpan) {
                partBegin = i - from + 1;
                inSpan = false;
            }
        } else {
            return false;
        }
        return true;
    };
    // An unclosed span is no span: it stays with the rest of the line.
    const auto end = [&](std::size_t i) {
        Keep(tags, inSpan ? spanBegin : partBegin, i - from);
        return i;
    };

    std::size_t i = from;
#if defined(__SSE2__)
    // Sixteen bytes at a time: a bit mask of the stop bytes among them, handled in order.
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i gt = _mm_set1_epi8('>');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; size - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i brackets = _mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, gt));
        const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(brackets, ends)));
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(mask));
            if (!stop(at))
                return end(at);
        }
    }
#endif
    for (; i < size; ++i)
        if (kStops[bytes[i]] != 0 && !stop(i))
            break;
    return end(i);
}

} // namespace quorvel
