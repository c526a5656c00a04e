#include "devdefs/DefinitionReader.h"

#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"
#include "util/TextFile.h"

#include <cstdint>

namespace quorvel {

namespace {

// Every list of the configuration tables is indexed with 16-bit counters.
constexpr std::size_t kMaxListEntries = 65536;

// The tag texts the scanner looks for, upper-cased once.
constexpr std::string_view kCfgStart = "<CFG>";
constexpr std::string_view kCfgEnd = "</CFG>";
constexpr std::string_view kWordOpener = "<CFGBITS";
constexpr std::string_view kFieldOpener = "<FIELD";
constexpr std::string_view kSettingOpener = "<SETTING";
constexpr std::string_view kKey = "<SKEY>";
constexpr std::string_view kAddress = "<WADDR>";
constexpr std::string_view kMask = "<WMASK>";
constexpr std::string_view kRequired = "<WREQ>";
constexpr std::string_view kValue = "<WVALUE>";
constexpr std::string_view kDescription = "<SDESC>";

// Removed from a description from an unclosed "(" on; longer tails keep their remainder.
constexpr std::size_t kDescriptionCut = 255;

enum class ScanState { BeforeSection, InSection, InWord, InField, InSetting, AfterSection };

void UpperInPlace(std::string& s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
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

std::uint32_t ToUnsigned32(std::string_view text) {
    const std::int64_t value = StrToInt64(text);
    if (value < 0 || value > 0xFFFFFFFFLL)
        throw ConversionError(kRangeCheckError);
    return static_cast<std::uint32_t>(value);
}

template <typename T> T& AppendEntry(std::vector<T>& list) {
    if (list.size() >= kMaxListEntries)
        throw ConversionError(kRangeCheckError);
    return list.emplace_back();
}

std::string DescriptionText(std::string_view line) {
    std::string text = StripTags(line);
    const std::size_t open = text.find('(');
    if (open != std::string::npos && text.find(')') == std::string::npos)
        text.erase(open, kDescriptionCut);
    return TrimCopy(text);
}

class DefinitionScanner {
public:
    explicit DefinitionScanner(std::vector<TConfigWord>& words) : words_(words) {}

    bool Done() const { return state_ == ScanState::AfterSection; }

    void Line(std::string_view line) {
        // Every test below looks for a tag, and every tag starts with "<".
        if (line.find('<') == std::string_view::npos)
            return;
        upper_.assign(line);
        UpperInPlace(upper_);
        if (Contains(upper_, kCfgStart))
            state_ = ScanState::InSection;
        if (Contains(upper_, kCfgEnd))
            state_ = ScanState::AfterSection;
        if (state_ == ScanState::BeforeSection || state_ == ScanState::AfterSection)
            return;
        Openers();
        Values(line);
    }

private:
    void Openers() {
        if (Opens(upper_, kWordOpener)) {
            AppendEntry(words_);
            state_ = ScanState::InWord;
            haveField_ = false;
        }
        // A field needs a word and a setting needs a field of the current word to attach to;
        // an opener without one is ignored.
        if (Opens(upper_, kFieldOpener) && !words_.empty()) {
            AppendEntry(words_.back().Fields);
            state_ = ScanState::InField;
            haveField_ = true;
        }
        if (Opens(upper_, kSettingOpener) && haveField_) {
            AppendEntry(Field().Settings);
            state_ = ScanState::InSetting;
        }
    }

    // Once a value line's tags are stripped no further tag can be found in it, so only the
    // first value tag of a line counts.
    void Values(std::string_view line) {
        if (Contains(upper_, kKey)) {
            if (state_ == ScanState::InWord)
                words_.back().Name = StripTags(line);
            else if (state_ == ScanState::InField)
                Field().Name = StripTags(line);
        } else if (Contains(upper_, kAddress)) {
            if (state_ == ScanState::InWord)
                words_.back().Address = ToUnsigned32(StripTags(line));
        } else if (Contains(upper_, kMask)) {
            if (state_ == ScanState::InField)
                Field().Mask = ToUnsigned32(StripTags(line));
        } else if (Contains(upper_, kRequired)) {
            if (state_ == ScanState::InSetting)
                Setting().Mask = ToUnsigned32(StripTags(line));
        } else if (Contains(upper_, kValue)) {
            if (state_ == ScanState::InSetting)
                Setting().Value = ToUnsigned32(StripTags(line));
        } else if (Contains(upper_, kDescription)) {
            if (state_ == ScanState::InField)
                Field().Description = DescriptionText(line);
            else if (state_ == ScanState::InSetting)
                Setting().Description = DescriptionText(line);
        }
    }

    // The states InField and InSetting are only entered once the record exists.
    TField& Field() { return words_.back().Fields.back(); }
    TSetting& Setting() { return Field().Settings.back(); }

    std::vector<TConfigWord>& words_;
    ScanState state_ = ScanState::BeforeSection;
    bool haveField_ = false;
    std::string upper_;
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
    // Removing the first span never creates a new one before the point reached, so one pass
    // from left to right removes what repeated removal from the start would.
    std::string out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = line.find('<', from);
        const std::size_t close = open == std::string_view::npos ? open : line.find('>', open + 1);
        if (close == std::string_view::npos) {
            out.append(line.substr(from));
            break;
        }
        out.append(line.substr(from, open - from));
        from = close + 1;
    }
    return TrimCopy(out);
}

void ReadDefinitionText(std::string_view text, std::vector<TConfigWord>& words) {
    words.clear();
    DefinitionScanner scanner(words);
    // Lines end with LF, CR LF or a lone CR.
    std::size_t from = 0;
    while (from < text.size() && !scanner.Done()) {
        std::size_t end = text.find_first_of("\r\n", from);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(from, end - from);
        from = end + 1;
        if (end < text.size() && text[end] == '\r' && from < text.size() && text[from] == '\n')
            ++from;
        scanner.Line(line);
    }
}

bool ReadDefinitionFile(const std::string& fileName, std::vector<TConfigWord>& words) {
    std::string text;
    if (!FileExists(fileName) || !ReadWholeFile(fileName, text))
        return false;
    ReadDefinitionText(text, words);
    return true;
}

std::string VlkNotFoundMessage(const std::string& deviceName) {
    return "VLK File \"" + deviceName + ".vlk\" not Found?";
}

} // namespace quorvel
