#include "devdefs/LineTags.h"

#include <array>
#include <cstdint>

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

// True when the text at `at` reads `upperName` once its ASCII letters are upper-cased. A
// name holds only letters, "/" and ">", none of them a line end, so a comparison never
// matches across the end of the line.
bool NameAt(std::string_view text, std::size_t at, std::string_view upperName) {
    if (text.size() - at < upperName.size())
        return false;
    for (std::size_t i = 0; i < upperName.size(); ++i)
        if (Upper(text[at + i]) != upperName[i])
            return false;
    return true;
}

void KeepFirst(std::size_t& slot, std::size_t at) {
    if (slot == LineTags::kNone)
        slot = at;
}

// Records what the "<" at `open` starts; `line` is where the line begins.
void TagAt(std::string_view text, std::size_t open, std::size_t line, LineTags& tags) {
    const std::size_t at = open + 1;
    if (at == text.size())
        return;
    const std::size_t column = open - line;
    switch (Upper(text[at])) {
    case 'C':
        if (NameAt(text, at, "CFG>"))
            tags.sectionStart = true;
        else if (NameAt(text, at, "CFGBITS"))
            KeepFirst(tags.word, column);
        break;
    case '/':
        if (NameAt(text, at, "/CFG>"))
            tags.sectionEnd = true;
        break;
    case 'F':
        if (NameAt(text, at, "FIELD"))
            KeepFirst(tags.field, column);
        break;
    case 'S':
        if (NameAt(text, at, "SETTING"))
            KeepFirst(tags.setting, column);
        else if (NameAt(text, at, "SKEY>"))
            tags.values |= LineTags::kKey;
        else if (NameAt(text, at, "SDESC>"))
            tags.values |= LineTags::kDescription;
        break;
    case 'W':
        if (NameAt(text, at, "WADDR>"))
            tags.values |= LineTags::kAddress;
        else if (NameAt(text, at, "WMASK>"))
            tags.values |= LineTags::kMask;
        else if (NameAt(text, at, "WREQ>"))
            tags.values |= LineTags::kRequired;
        else if (NameAt(text, at, "WVALUE>"))
            tags.values |= LineTags::kValue;
        break;
    default:
        break;
    }
}

// Handles the stop byte at `i`; returns false at a line end.
bool Stop(std::string_view text, std::size_t i, std::size_t from, LineTags& tags) {
    const char c = text[i];
    if (c == '<') {
        tags.anyOpen = true;
        TagAt(text, i, from, tags);
    } else if (c == '>') {
        if (tags.firstClose == LineTags::kNone)
            tags.firstClose = i - from;
    } else {
        return false;
    }
    return true;
}

} // namespace

std::size_t ScanLineTags(std::string_view text, std::size_t from, LineTags& tags) {
    tags = LineTags{};
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = from; i < size; ++i)
        if (kStops[bytes[i]] != 0 && !Stop(text, i, from, tags))
            return i;
    return size;
}

} // namespace quorvel
