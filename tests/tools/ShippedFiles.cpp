#include "ShippedFiles.h"

#include "util/KivStrings.h"
#include "util/NumberText.h"
#include "util/TextFile.h"

#include <stdexcept>

namespace quorvel::test {

std::string Shipped(const std::string& name) {
    return std::string(QUORVEL_SHIPPED_DATA_DIR) + "/" + name;
}

int DescLine::Int(std::size_t i) const {
    const auto v = i < fields.size() ? ParseInteger(fields[i]) : std::nullopt;
    if (!v)
        throw std::runtime_error("line " + std::to_string(lineNumber) + ": field " +
                                 std::to_string(i) + " is not an integer");
    return static_cast<int>(*v);
}

namespace {

std::string ReadOrThrow(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text))
        throw std::runtime_error("cannot read " + path);
    return text;
}

std::string Kind(const std::string& name) {
    if (name.find('<') != std::string::npos)
        return "REGISTER";
    for (const char* keyword :
         {"FOLLOW", "FOLLOW_NOT", "EXCL", "SHOWVAL", "RANGE", "CHECK", "TYPED", "SEQUENCE"})
        if (name == keyword)
            return keyword;
    return "CONFIG";
}

bool HasTag(const std::string& upperLine, const std::string& tag) {
    return upperLine.find(tag) != std::string::npos;
}

// "<name" followed by at least one character before the first ">" of the line.
bool OpensTag(const std::string& upperLine, const std::string& name) {
    const std::size_t p = upperLine.find("<" + name);
    const std::size_t g = upperLine.find('>');
    return p != std::string::npos && g != std::string::npos && p + name.size() + 1 < g;
}

std::uint32_t Number(const std::string& line) {
    const auto v = ParseInteger(TrimCopy(TagText(line)));
    if (!v || *v < 0 || *v > 0xFFFFFFFFLL)
        throw std::runtime_error("not a 32-bit number: " + line);
    return static_cast<std::uint32_t>(*v);
}

} // namespace

std::vector<DescLine> ReadDescription(const std::string& path) {
    std::vector<DescLine> out;
    int number = 0;
    for (const std::string& raw : SplitLines(ReadOrThrow(path))) {
        ++number;
        std::string line = raw;
        std::string comment;
        const std::size_t slashes = line.find("//");
        if (slashes != std::string::npos) {
            comment = TrimCopy(line.substr(slashes + 2));
            line.resize(slashes);
        }
        if (Trim(line).empty())
            continue;
        DescLine d;
        SplitAtChar(Trim(line), d.fields, ',');
        for (std::string& f : d.fields)
            f = TrimCopy(f);
        d.fields[0] = UpperAscii(d.fields[0]);
        d.kind = Kind(d.fields[0]);
        d.comment = comment;
        d.lineNumber = number;
        out.push_back(std::move(d));
    }
    return out;
}

std::string TagText(const std::string& line) {
    const std::size_t open = line.find('>');
    const std::size_t close = line.rfind("</");
    if (open == std::string::npos || close == std::string::npos || close < open)
        return "";
    return line.substr(open + 1, close - open - 1);
}

std::vector<VlkWord> ReadDefinition(const std::string& path) {
    enum { Before, Section, Word, Field, Setting } state = Before;
    std::vector<VlkWord> words;
    for (const std::string& line : SplitLines(ReadOrThrow(path))) {
        const std::string upper = UpperAscii(line);
        if (HasTag(upper, "<CFG>"))
            state = Section;
        if (HasTag(upper, "</CFG>"))
            break;
        if (state == Before)
            continue;
        if (OpensTag(upper, "CFGBITS")) {
            words.emplace_back();
            state = Word;
        } else if (OpensTag(upper, "FIELD") && !words.empty()) {
            words.back().fields.emplace_back();
            state = Field;
        } else if (OpensTag(upper, "SETTING") && !words.empty() && !words.back().fields.empty()) {
            words.back().fields.back().settings.emplace_back();
            state = Setting;
            const std::size_t open = line.find("name=\"");
            const std::size_t close = open == std::string::npos ? open : line.find('"', open + 6);
            if (close != std::string::npos)
                words.back().fields.back().settings.back().name =
                    line.substr(open + 6, close - open - 6);
        }
        VlkWord* word = words.empty() ? nullptr : &words.back();
        VlkField* field = word && !word->fields.empty() ? &word->fields.back() : nullptr;
        VlkSetting* setting = field && !field->settings.empty() ? &field->settings.back() : nullptr;
        if (HasTag(upper, "<SKEY>")) {
            if (state == Word)
                word->name = TrimCopy(TagText(line));
            else if (state == Field)
                field->name = TrimCopy(TagText(line));
        } else if (HasTag(upper, "<WADDR>") && state == Word) {
            word->address = Number(line);
        } else if (HasTag(upper, "<WDEFAULT>") && state == Word) {
            word->hasDefault = true;
            word->defaultValue = Number(line);
        } else if (HasTag(upper, "<WMASK>") && state == Field) {
            field->mask = Number(line);
        } else if (HasTag(upper, "<WREQ>") && state == Setting) {
            setting->mask = Number(line);
        } else if (HasTag(upper, "<WVALUE>") && state == Setting) {
            setting->value = Number(line);
        } else if (HasTag(upper, "<SDESC>")) {
            if (state == Field)
                field->description = TagText(line);
            else if (state == Setting)
                setting->description = TagText(line);
        }
    }
    return words;
}

} // namespace quorvel::test
