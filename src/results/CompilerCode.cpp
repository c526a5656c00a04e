#include "results/CompilerCode.h"

#include "results/CodeGeneration.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace quorvel {

namespace {

// "0x" and upper-case hexadecimal digits, at least `digits` of them.
std::string Hex(std::uint32_t value, std::size_t digits = 1) {
    constexpr const char* kDigits = "0123456789ABCDEF";
    char reversed[8]; // a 32-bit value has at most eight digits
    std::size_t count = 0;
    do {
        reversed[7 - count++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    std::string text = "0x";
    if (count < digits)
        text.append(digits - count, '0');
    text.append(reversed + 8 - count, count);
    return text;
}

const char* CommentMark(CodeLanguage language) {
    return language == CodeLanguage::Basic ? "'" : "//";
}

// A description line's comment ("//" and its text) in the language, empty for none.
std::string Comment(const std::string& comment, CodeLanguage language) {
    if (comment.empty() || language != CodeLanguage::Basic)
        return comment;
    std::string_view text = comment;
    if (text.starts_with("//"))
        text.remove_prefix(2);
    return "'" + std::string(text);
}

struct RegisterWrite {
    FieldWrite Write;
    bool HasValue = false; // the classic form leaves out " or VALUE" for a zero value
    std::string Comment;   // "//..." or empty
};

std::string WriteLine(const RegisterWrite& w, CodeLanguage language) {
    const std::string& reg = w.Write.Register;
    std::string line;
    switch (language) {
    case CodeLanguage::Pascal:
        line = reg + " := (" + reg + " and (not " + UIntToText(w.Write.Mask) + "))";
        if (w.HasValue)
            line += " or " + UIntToText(w.Write.Value);
        return line + "; " + w.Comment;
    case CodeLanguage::Basic:
        line = reg + " = (" + reg + " and (not " + Hex(w.Write.Mask) + "))";
        if (w.HasValue)
            line += " or " + Hex(w.Write.Value);
        break;
    case CodeLanguage::C:
        line = reg + " = (" + reg + " & ~" + Hex(w.Write.Mask) + "u)";
        if (w.HasValue)
            line += " | " + Hex(w.Write.Value) + "u";
        line += ';';
        break;
    }
    const std::string comment = Comment(w.Comment, language);
    return comment.empty() ? line : line + " " + comment;
}

// Writes the sequences of `reg` that go before (or after) its writes; Pascal has none.
void AppendSequences(const TModel& model, const std::string& reg, bool after, CodeLanguage language,
                     std::vector<std::string>& lines) {
    if (language == CodeLanguage::Pascal)
        return;
    bool first = true;
    for (const TWriteSequence& sequence : model.WriteSequences) {
        if (sequence.After != after || sequence.Register != UpperAscii(reg))
            continue;
        for (const std::uint32_t value : sequence.Values) {
            std::string line = sequence.Target + " = " + Hex(value);
            if (language == CodeLanguage::C)
                line += "u;";
            if (first)
                line += std::string(" ") + CommentMark(language) +
                        (after ? " after writing " : " before writing ") + reg;
            first = false;
            lines.push_back(std::move(line));
        }
    }
}

// The comment texts of merged fields, without their "//", joined by "; ".
std::string JoinComments(const std::vector<std::string>& comments) {
    std::string joined;
    for (const std::string& comment : comments) {
        std::string_view text = comment;
        if (text.starts_with("//"))
            text.remove_prefix(2);
        text = Trim(text);
        if (text.empty())
            continue;
        if (!joined.empty())
            joined += "; ";
        joined += text;
    }
    return joined.empty() ? joined : "// " + joined;
}

std::vector<RegisterWrite> MergedWrites(const std::vector<TRegVal>& regVals) {
    std::vector<RegisterWrite> writes;
    std::vector<std::vector<std::string>> comments;
    for (const TRegVal& val : regVals) {
        if (!val.Chosen)
            continue;
        const FieldWrite field = ParseFieldWrite(val.Name, val.Value);
        auto it = std::find_if(writes.begin(), writes.end(), [&](const RegisterWrite& w) {
            return w.Write.Register == field.Register;
        });
        if (it == writes.end()) {
            writes.push_back({{field.Register, 0, 0}, false, {}});
            comments.emplace_back();
            it = writes.end() - 1;
        }
        it->Write.Mask |= field.Mask;
        it->Write.Value = (it->Write.Value & ~field.Mask) | field.Value;
        comments[static_cast<std::size_t>(it - writes.begin())].push_back(val.Comment);
    }
    for (std::size_t i = 0; i < writes.size(); ++i) {
        writes[i].HasValue = writes[i].Write.Value != 0;
        writes[i].Comment = JoinComments(comments[i]);
    }
    return writes;
}

// Digits of the word values of a device: two for bytes, four for 16-bit words, else eight.
std::size_t WordDigits(const std::vector<TConfigWord>& words) {
    std::uint32_t widest = 0;
    for (const TConfigWord& word : words) {
        widest |= word.Default.value_or(0);
        for (const TField& field : word.Fields)
            widest |= field.Mask;
    }
    return widest <= 0xFF ? 2 : widest <= 0xFFFF ? 4 : 8;
}

std::string WordHeading(const TConfigWord& word) {
    return word.Name + " at " + Hex(word.Address);
}

// Appends the pieces to `line` after one reservation: a line is built of some ten of them.
void AppendAll(std::string& line, std::initializer_list<std::string_view> pieces) {
    std::size_t size = line.size();
    for (const std::string_view piece : pieces)
        size += piece.size();
    line.reserve(size);
    for (const std::string_view piece : pieces)
        line.append(piece);
}

std::string ConfigBitLine(const ChosenConfigBit& bit, CodeLanguage language, std::size_t digits) {
    const std::string_view mark = CommentMark(language);
    const std::string& field = bit.Field->Name;
    const std::string value = Hex(bit.Value, digits);
    std::string line;
    if (bit.Setting == nullptr) {
        AppendAll(line, {mark, " ", field, ": no setting has the value ", value});
        return line;
    }
    const std::string& description = bit.Setting->Description;
    if (language == CodeLanguage::C) {
        if (bit.Setting->Name.empty())
            AppendAll(line,
                      {mark, " ", field, " = ", value, ": the setting has no name; ", description});
        else if (description.empty())
            AppendAll(line, {"#pragma config ", field, " = ", bit.Setting->Name});
        else
            AppendAll(line, {"#pragma config ", field, " = ", bit.Setting->Name, " ", mark, " ",
                             description});
        return line;
    }
    const std::string mask = Hex(bit.Field->Mask, digits);
    AppendAll(line, {mark, "   ", field, " = ", bit.Setting->Name.empty() ? "?" : bit.Setting->Name,
                     ", mask ", mask, ", value ", value});
    if (!description.empty())
        AppendAll(line, {": ", description});
    return line;
}

} // namespace

std::optional<CodeLanguage> CodeLanguageFromName(std::string_view name) {
    const std::string upper = UpperAscii(name);
    if (upper == "PASCAL")
        return CodeLanguage::Pascal;
    if (upper == "BASIC")
        return CodeLanguage::Basic;
    if (upper == "C")
        return CodeLanguage::C;
    return std::nullopt;
}

const char* CodeLanguageName(CodeLanguage language) {
    switch (language) {
    case CodeLanguage::Basic:
        return "basic";
    case CodeLanguage::C:
        return "c";
    case CodeLanguage::Pascal:
        break;
    }
    return "pascal";
}

CodeLanguage CodeLanguageOfSlot(std::size_t slot) {
    return slot >= 6 ? CodeLanguage::C : slot >= 3 ? CodeLanguage::Basic : CodeLanguage::Pascal;
}

void GenerateRegisterCode(const TModel& model, const CodeOptions& options,
                          std::vector<std::string>& lines) {
    const CodeLanguage language = options.Language;
    if (language == CodeLanguage::Pascal && !options.Merge) {
        GenerateInitCode(model.RegVals, lines);
        return;
    }
    // A sequence surrounds each run of writes to its register.
    std::string previous;
    bool any = false;
    const auto emit = [&](const RegisterWrite& w) {
        if (!any || w.Write.Register != previous) {
            if (any)
                AppendSequences(model, previous, true, language, lines);
            AppendSequences(model, w.Write.Register, false, language, lines);
        }
        previous = w.Write.Register;
        any = true;
        lines.push_back(WriteLine(w, language));
    };
    if (options.Merge) {
        for (const RegisterWrite& w : MergedWrites(model.RegVals))
            emit(w);
    } else {
        for (const TRegVal& val : model.RegVals)
            if (val.Chosen)
                emit({ParseFieldWrite(val.Name, val.Value), val.Value != 0, val.Comment});
    }
    if (any)
        AppendSequences(model, previous, true, language, lines);
}

std::vector<ChosenConfigBit> ChosenConfigBits(const TModel& model) {
    std::vector<ChosenConfigBit> bits;
    for (const std::string& name : model.CalcVarNames.Items()) {
        const TLine_* chosen = nullptr;
        for (std::size_t i = 0; i < model.ConfigLines.size() && chosen == nullptr; ++i)
            if (i < model.ConfigLineMarked.size() && model.ConfigLineMarked[i] &&
                model.ConfigLines[i].Name == name)
                chosen = &model.ConfigLines[i];
        if (chosen == nullptr)
            continue;
        // The field is found as the setting labels find it: by its exact name.
        for (const TConfigWord& word : model.ConfigWords) {
            const auto field = std::find_if(word.Fields.begin(), word.Fields.end(),
                                            [&](const TField& f) { return f.Name == name; });
            if (field == word.Fields.end())
                continue;
            ChosenConfigBit bit{&word, &*field, nullptr, chosen->Value & field->Mask};
            for (const TSetting& setting : field->Settings)
                if (setting.Value == chosen->Value) {
                    bit.Setting = &setting;
                    break;
                }
            bits.push_back(bit);
            break;
        }
    }
    return bits;
}

std::vector<ConfigWordValue> ConfigWordValues(const TModel& model,
                                              const std::vector<ChosenConfigBit>& bits) {
    std::vector<ConfigWordValue> values;
    for (const TConfigWord& word : model.ConfigWords) {
        ConfigWordValue entry{&word, word.Default};
        if (entry.Value)
            for (const ChosenConfigBit& bit : bits)
                if (bit.Word == &word)
                    entry.Value = (*entry.Value & ~bit.Field->Mask) | bit.Value;
        values.push_back(entry);
    }
    std::stable_sort(values.begin(), values.end(),
                     [](const ConfigWordValue& a, const ConfigWordValue& b) {
                         return a.Word->Address < b.Word->Address;
                     });
    return values;
}

std::vector<std::string> ConfigBitsCode(const TModel& model, CodeLanguage language) {
    std::vector<std::string> lines;
    const std::string mark = CommentMark(language);
    const std::size_t digits = WordDigits(model.ConfigWords);
    const std::vector<ChosenConfigBit> bits = ChosenConfigBits(model);
    const std::vector<ConfigWordValue> words = ConfigWordValues(model, bits);
    for (const ConfigWordValue& word : words) {
        bool first = true;
        for (const ChosenConfigBit& bit : bits) {
            if (bit.Word != word.Word)
                continue;
            if (first)
                lines.push_back(mark + " " + WordHeading(*word.Word));
            first = false;
            lines.push_back(ConfigBitLine(bit, language, digits));
        }
    }
    const bool anyKnown = std::any_of(words.begin(), words.end(),
                                      [](const ConfigWordValue& w) { return w.Value.has_value(); });
    if (anyKnown) {
        lines.push_back(mark + " Word values for the project settings:");
        for (const ConfigWordValue& word : words)
            if (word.Value)
                lines.push_back(mark + " " + WordHeading(*word.Word) + " = " +
                                Hex(*word.Value, digits));
    }
    return lines;
}

std::vector<std::string> CodeWindowText(CodeLanguage language,
                                        const std::vector<std::string>& configBits,
                                        const std::vector<std::string>& registerCode) {
    const std::string mark = CommentMark(language);
    std::vector<std::string> lines;
    lines.reserve(configBits.size() + registerCode.size() + 3);
    lines.push_back(mark + " Configuration bits");
    lines.insert(lines.end(), configBits.begin(), configBits.end());
    lines.emplace_back();
    lines.push_back(mark + " Register initialisation");
    lines.insert(lines.end(), registerCode.begin(), registerCode.end());
    return lines;
}

} // namespace quorvel
