#include "devdefs/DefinitionReader.h"

#include "devdefs/LineTags.h"
#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"
#include "util/TextFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace quorvel {

namespace {

// Every list of the configuration tables is indexed with 16-bit counters.
constexpr std::size_t kMaxListEntries = 65536;

// Lengths of the opener names after their "<".
constexpr std::size_t kWordName = 7;    // cfgbits
constexpr std::size_t kFieldName = 5;   // field
constexpr std::size_t kSettingName = 7; // setting

// Removed from a description from an unclosed "(" on; longer tails keep their remainder.
constexpr std::size_t kDescriptionCut = 255;

enum class ScanState { BeforeSection, InSection, InWord, InField, InSetting, AfterSection };

void UpperInPlace(std::string& s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Contains(std::string_view upperLine, std::string_view upperTag) {
    return upperLine.find(upperTag) != std::string_view::npos;
}

// `opener` is "<" + the upper-cased name.
bool Opens(std::string_view upperLine, std::string_view opener) {
    const std::size_t p = upperLine.find(opener);
    if (p == std::string_view::npos)
        return false;
    const std::size_t g = upperLine.find('>');
    return g != std::string_view::npos && p + opener.size() < g;
}

// Appends `line` without its tags to `out`; see StripTags.
void AppendStripped(std::string_view line, std::string& out) {
    // Removing the first span never creates a new one before the point reached, so one pass
    // from left to right removes what repeated removal from the start would.
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = line.find('<', from);
        const std::size_t close = open == std::string_view::npos ? open : line.find('>', open + 1);
        if (close == std::string_view::npos) {
            out.append(line.substr(from));
            return;
        }
        out.append(line.substr(from, open - from));
        from = close + 1;
    }
}

// Trim, and a test for text that Trim empties, here where the reader can inline them.
bool IsBlankRun(std::string_view s) {
    for (const char c : s)
        if (!IsBlank(c))
            return false;
    return true;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The value of each hexadecimal digit, 16 for every other byte.
constexpr std::array<std::uint8_t, 256> HexDigits() {
    std::array<std::uint8_t, 256> digits{};
    digits.fill(16);
    for (int c = 0; c < 10; ++c)
        digits['0' + c] = static_cast<std::uint8_t>(c);
    for (int c = 0; c < 6; ++c) {
        digits['a' + c] = static_cast<std::uint8_t>(10 + c);
        digits['A' + c] = static_cast<std::uint8_t>(10 + c);
    }
    return digits;
}
constexpr std::array<std::uint8_t, 256> kHexDigits = HexDigits();

// Eight hexadecimal digits, the first the most significant, read as one 64-bit word: the
// file's values are nearly all written so. False when any of the bytes is no digit.
bool EightHexDigits(const char* text, std::uint32_t& value) {
    constexpr std::uint64_t kEach = 0x0101010101010101ull;
    std::uint64_t w;
    std::memcpy(&w, text, sizeof w);
    if constexpr (std::endian::native == std::endian::big)
        w = __builtin_bswap64(w);
    // Adding 0x80 - k to a byte below 0x80 sets its top bit exactly when the byte is k or more.
    const auto atLeast = [](std::uint64_t of, unsigned k) {
        return (of + kEach * (0x80 - k)) & (kEach * 0x80);
    };
    const std::uint64_t lower = w | kEach * 0x20;
    const std::uint64_t digit = atLeast(w, '0') & ~atLeast(w, '9' + 1);
    const std::uint64_t letter = atLeast(lower, 'a') & ~atLeast(lower, 'f' + 1);
    if ((w & kEach * 0x80) != 0 || (digit | letter) != kEach * 0x80)
        return false;
    // A digit's value is its low four bits; a letter's, those plus 9.
    std::uint64_t n = (w & kEach * 0x0F) + (letter >> 7) * 9;
    n = __builtin_bswap64(n); // the first digit in the highest byte
    n = (n | (n >> 4)) & 0x00FF00FF00FF00FFull;
    n = (n | (n >> 8)) & 0x0000FFFF0000FFFFull;
    n = (n | (n >> 16)) & 0x00000000FFFFFFFFull;
    value = static_cast<std::uint32_t>(n);
    return true;
}

std::uint32_t ToUnsigned32(std::string_view text) {
    // Most values are "0x" and eight hexadecimal digits or a few decimal digits: read those
    // here, everything else the general way. Up to eight hexadecimal digits after one of the
    // prefixes the general reading knows ("0x", "$", "x") always fit.
    std::size_t prefix = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        prefix = 2;
    else if (text.size() > 1 && (text[0] == '$' || text[0] == 'x' || text[0] == 'X'))
        prefix = 1;
    if (prefix != 0 && text.size() - prefix == 8) {
        std::uint32_t value;
        if (EightHexDigits(text.data() + prefix, value))
            return value;
    } else if (prefix != 0 && text.size() - prefix < 8) {
        std::uint32_t value = 0;
        unsigned invalid = 0;
        for (std::size_t i = prefix; i < text.size(); ++i) {
            const std::uint8_t d = kHexDigits[static_cast<unsigned char>(text[i])];
            invalid |= d & 16u;
            value = value << 4 | (d & 15u);
        }
        if (invalid == 0)
            return value;
    }
    if (!text.empty() && text.size() <= 9) {
        std::uint32_t digits = 0;
        bool plain = true;
        for (const char c : text) {
            plain = plain && c >= '0' && c <= '9';
            digits = digits * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (plain)
            return digits;
    }
    const std::int64_t value = StrToInt64(text);
    if (value < 0 || value > 0xFFFFFFFFLL)
        throw ConversionError(kRangeCheckError);
    return static_cast<std::uint32_t>(value);
}

void TrimInPlace(std::string& s) {
    const std::string_view kept = Trim(s);
    const auto begin = static_cast<std::size_t>(kept.data() - s.data());
    s.resize(begin + kept.size());
    s.erase(0, begin);
}

// The name attribute of the opener at `at`: the text between the quotes of the first
// name="..." (ASCII case ignored) before the line's first ">" at `close`; empty without one.
// Each occurrence has its "=" four places in, so looking at the "="s in order finds the first.
std::string OpenerName(std::string_view line, std::size_t at, std::size_t close) {
    const std::string_view tag = line.substr(at, close == LineTags::kNone ? close : close - at);
    constexpr std::string_view kName = "NAME";
    for (std::size_t eq = tag.find('=', kName.size()); eq != std::string_view::npos;
         eq = tag.find('=', eq + 1)) {
        if (eq + 1 == tag.size() || tag[eq + 1] != '"')
            continue;
        bool named = true;
        for (std::size_t k = 0; k < kName.size() && named; ++k)
            named = Upper(tag[eq - kName.size() + k]) == kName[k];
        if (!named)
            continue;
        const std::size_t begin = eq + 2;
        const std::size_t end = tag.find('"', begin);
        return end == std::string_view::npos ? std::string()
                                             : std::string(tag.substr(begin, end - begin));
    }
    return std::string();
}

template <typename T> T& AppendEntry(std::vector<T>& list) {
    if (list.size() >= kMaxListEntries)
        throw ConversionError(kRangeCheckError);
    return list.emplace_back();
}

class DefinitionScanner {
public:
    explicit DefinitionScanner(std::vector<TConfigWord>& words) : words_(words) {}

    bool Done() const { return state_ == ScanState::AfterSection; }

    // Hands the records still being collected to the words; after the last line and when a
    // line throws, so that the words hold everything read before.
    void Finish() { CloseWord(); }

    void Line(std::string_view line, const LineTags& tags) {
        tags_ = &tags;
        line_ = line;
        if (tags.sectionStart)
            state_ = ScanState::InSection;
        if (tags.sectionEnd)
            state_ = ScanState::AfterSection;
        if (state_ == ScanState::BeforeSection || state_ == ScanState::AfterSection)
            return;
        Openers(tags);
        if (tags.values != 0)
            Values(line, tags.values);
    }

private:
    void Openers(const LineTags& tags) {
        if (tags.Opens(tags.word, kWordName)) {
            CloseWord();
            AppendEntry(words_);
            state_ = ScanState::InWord;
            haveField_ = false;
        }
        // A field needs a word and a setting needs a field of the current word to attach to;
        // an opener without one is ignored.
        if (tags.Opens(tags.field, kFieldName) && !words_.empty()) {
            CloseField();
            AppendEntry(fields_);
            state_ = ScanState::InField;
            haveField_ = true;
        }
        if (tags.Opens(tags.setting, kSettingName) && haveField_) {
            AppendEntry(settings_).Name = OpenerName(line_, tags.setting, tags.firstClose);
            state_ = ScanState::InSetting;
        }
    }

    // Once a value line's tags are stripped no further tag can be found in it, so only the
    // first value tag of a line, in this order, counts.
    void Values(std::string_view line, unsigned values) {
        if (values & LineTags::kKey) {
            if (state_ == ScanState::InWord)
                words_.back().Name = Stripped(line);
            else if (state_ == ScanState::InField)
                Field().Name = Stripped(line);
        } else if (values & LineTags::kAddress) {
            if (state_ == ScanState::InWord)
                words_.back().Address = ToUnsigned32(Stripped(line));
        } else if (values & LineTags::kMask) {
            if (state_ == ScanState::InField)
                Field().Mask = ToUnsigned32(Stripped(line));
        } else if (values & LineTags::kRequired) {
            if (state_ == ScanState::InSetting)
                Setting().Mask = ToUnsigned32(Stripped(line));
        } else if (values & LineTags::kValue) {
            if (state_ == ScanState::InSetting)
                Setting().Value = ToUnsigned32(Stripped(line));
        } else if (values & LineTags::kDescription) {
            if (state_ == ScanState::InField)
                StoreDescription(line, Field().Description);
            else if (state_ == ScanState::InSetting)
                StoreDescription(line, Setting().Description);
        } else if (values & LineTags::kDefault) {
            if (state_ == ScanState::InWord)
                words_.back().Default = ToUnsigned32(Stripped(line));
        }
    }

    // The line without its tags, trimmed, from the parts the scan kept; valid until the next
    // call. Parts that are blank throughout go with the trimming, and one part left over is
    // taken in place.
    std::string_view Stripped(std::string_view line) {
        if (tags_->keptCount > LineTags::kMaxKept) {
            buffer_.clear();
            AppendStripped(line, buffer_);
            return Trim(buffer_);
        }
        const LineTags::Part* first = tags_->kept.data();
        const LineTags::Part* last = first + tags_->keptCount;
        // The scan's parts lie within the line.
        const auto part = [line](const LineTags::Part* p) {
            return std::string_view(line.data() + p->begin, p->end - p->begin);
        };
        while (first != last && IsBlankRun(part(first)))
            ++first;
        while (last != first && IsBlankRun(part(last - 1)))
            --last;
        if (last - first <= 1)
            return first == last ? std::string_view() : TrimBlanks(part(first));
        buffer_.clear();
        for (const LineTags::Part* p = first; p != last; ++p)
            buffer_.append(part(p));
        return TrimBlanks(buffer_);
    }

    void StoreDescription(std::string_view line, std::string& description) {
        const std::string_view text = Stripped(line);
        const std::size_t open = text.find('(');
        if (open == std::string_view::npos || text.find(')') != std::string_view::npos) {
            description.assign(text);
            return;
        }
        const std::size_t cut = std::min(kDescriptionCut, text.size() - open);
        description.assign(text.substr(0, open)).append(text.substr(open + cut));
        TrimInPlace(description);
    }

    // The fields of the last word and the settings of its last field are collected apart and
    // handed over in one piece when a later opener or the end closes them: a list then takes
    // one allocation of its final size instead of one per doubling.
    template <typename T> static void HandOver(std::vector<T>& collected, std::vector<T>& list) {
        list.assign(std::make_move_iterator(collected.begin()),
                    std::make_move_iterator(collected.end()));
        collected.clear();
    }
    void CloseField() {
        if (haveField_ && !settings_.empty())
            HandOver(settings_, Field().Settings);
    }
    void CloseWord() {
        CloseField();
        if (!fields_.empty())
            HandOver(fields_, words_.back().Fields);
    }

    // The states InField and InSetting are only entered once the record exists.
    TField& Field() { return fields_.back(); }
    TSetting& Setting() { return settings_.back(); }

    std::vector<TConfigWord>& words_;
    std::vector<TField> fields_;     // of the last word
    std::vector<TSetting> settings_; // of the last field
    ScanState state_ = ScanState::BeforeSection;
    bool haveField_ = false;
    const LineTags* tags_ = nullptr; // of the line being read
    std::string_view line_;          // the line being read
    std::string buffer_;
};

} // namespace

namespace {

// "<" + name + closing, upper-cased.
std::string UpperTag(std::string_view name, std::string_view closing) {
    std::string tag;
    tag.reserve(name.size() + 2);
    tag += '<';
    tag.append(name);
    tag.append(closing);
    UpperInPlace(tag);
    return tag;
}

} // namespace

bool HasTag(std::string_view name, std::string_view line) {
    return Contains(UpperAscii(line), UpperTag(name, ">"));
}

bool OpensTag(std::string_view name, std::string_view line) {
    return Opens(UpperAscii(line), UpperTag(name, ""));
}

std::string StripTags(std::string_view line) {
    std::string out;
    AppendStripped(line, out);
    return TrimCopy(out);
}

namespace {

// A file is read in pieces of this size: the whole file never has to be in memory at once.
constexpr std::size_t kFilePieceSize = 16384;

// Reads text that arrives in pieces as ReadDefinitionText reads the text they make up: lines
// within a piece are scanned where they are, and a line that runs on into the next piece is
// collected first. The unfinished line of the last piece is read where it is: the last line is
// never copied, however long. The LF of a CR LF ends an empty line here, which holds no tag and
// so changes nothing.
class PieceReader {
public:
    explicit PieceReader(std::vector<TConfigWord>& words) : scanner_(words) { words.clear(); }

    // False once the configuration section has ended: later pieces change nothing. `last`
    // tells that no piece follows.
    bool Feed(std::string_view piece, bool last) {
        std::size_t from = 0;
        if (open_) {
            const std::size_t end = piece.find_first_of("\r\n");
            if (end == std::string_view::npos) {
                carry_.append(piece.substr(from));
                return true;
            }
            carry_.append(piece.substr(from, end - from));
            open_ = false;
            CarriedLine();
            if (scanner_.Done())
                return false;
            from = end + 1;
        }
        while (from < piece.size()) {
            const std::size_t end = ScanLineTags(piece, from, tags_);
            if (end == piece.size() && !last) {
                open_ = true;
                carry_.assign(piece.substr(from));
                return true;
            }
            if (tags_.anyOpen)
                scanner_.Line(piece.substr(from, end - from), tags_);
            if (scanner_.Done())
                return false;
            from = end + 1;
        }
        return true;
    }

    // After the last piece: its unfinished line is the last line.
    void Finish() {
        if (open_) {
            open_ = false;
            CarriedLine();
        }
        scanner_.Finish();
    }

    // After a line threw: the words keep everything read before it.
    void Abandon() { scanner_.Finish(); }

private:
    void CarriedLine() {
        ScanLineTags(carry_, 0, tags_);
        if (tags_.anyOpen)
            scanner_.Line(carry_, tags_);
        carry_.clear();
    }

    DefinitionScanner scanner_;
    LineTags tags_;
    std::string carry_; // the line begun in an earlier piece
    bool open_ = false; // the last piece ended inside a line
};

// Fills words from the pieces that produce(feed) hands to feed, in order, and returns what
// produce returns. When a line throws, words keep everything read before it.
template <typename Produce> bool ReadPieces(std::vector<TConfigWord>& words, Produce&& produce) {
    PieceReader reader(words);
    try {
        const bool complete = produce(
            [&reader](std::string_view piece, bool last) { return reader.Feed(piece, last); });
        // A read that failed halfway leaves its unfinished line unread.
        if (complete)
            reader.Finish();
        else
            reader.Abandon();
        return complete;
    } catch (...) {
        reader.Abandon();
        throw;
    }
}

} // namespace

void ReadDefinitionText(std::string_view text, std::vector<TConfigWord>& words) {
    ReadPieces(words, [text](const auto& feed) {
        feed(text, true);
        return true;
    });
}

void ReadDefinitionPieces(const std::vector<std::string_view>& pieces,
                          std::vector<TConfigWord>& words) {
    ReadPieces(words, [&pieces](const auto& feed) {
        for (std::size_t i = 0; i < pieces.size(); ++i)
            if (!feed(pieces[i], i + 1 == pieces.size()))
                break;
        return true;
    });
}

bool ReadDefinitionFile(const std::string& fileName, std::vector<TConfigWord>& words) {
    // Read into a list of its own: words stay untouched when the file cannot be read.
    std::vector<TConfigWord> read;
    bool readable = false;
    try {
        readable = ReadPieces(read, [&fileName](const auto& feed) {
            return ReadFileInPieces(fileName, kFilePieceSize, feed);
        });
    } catch (...) {
        words = std::move(read);
        throw;
    }
    if (!readable)
        return false;
    words = std::move(read);
    return true;
}

std::string VlkNotFoundMessage(const std::string& deviceName) {
    return "VLK File \"" + deviceName + ".vlk\" not Found?";
}

} // namespace quorvel
