#include "diagram/NamedChoice.h"

#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quorvel {

namespace {

// A value: decimal digits, or hexadecimal digits after "$", "0x" or "0X"; 32 bits.
std::optional<std::uint32_t> ParseValue(std::string_view text) {
    text = Trim(text);
    if (text.empty())
        return std::nullopt;
    const bool hex =
        text[0] == '$' || (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'));
    const std::string_view digits = text.substr(hex ? (text[0] == '$' ? 1 : 2) : 0);
    if (digits.empty() || digits.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    }
    if (value > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// The settings the definitions give for a field name (ASCII case ignored).
std::vector<const TSetting*> SettingsOf(const TModel& model, std::string_view upperName) {
    std::vector<const TSetting*> settings;
    for (const TConfigWord& word : model.ConfigWords)
        for (const TField& field : word.Fields)
            if (UpperAscii(field.Name) == upperName)
                for (const TSetting& setting : field.Settings)
                    settings.push_back(&setting);
    return settings;
}

template <typename Line>
std::vector<std::size_t> LinesNamed(const std::vector<Line>& lines, std::string_view upperName) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (UpperAscii(lines[i].Name) == upperName)
            found.push_back(i);
    return found;
}

// "PRIPLL (3)" when the definitions name the value, else "3".
std::string ValueText(const std::vector<const TSetting*>& settings, std::uint32_t value) {
    for (const TSetting* setting : settings)
        if (setting->Value == value && !setting->Name.empty())
            return setting->Name + " (" + UIntToText(value) + ")";
    return UIntToText(value);
}

// The values the named lines choose, ascending, each once.
template <typename Line>
std::string OfferedValues(const std::vector<Line>& lines, const std::vector<std::size_t>& named,
                          const std::vector<const TSetting*>& settings) {
    std::vector<std::uint32_t> values;
    for (const std::size_t i : named)
        values.push_back(lines[i].Value);
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    std::string text;
    for (const std::uint32_t value : values)
        text += (text.empty() ? "" : ", ") + ValueText(settings, value);
    return text;
}

std::string OfferedNames(const TModel& model) {
    std::vector<std::string> seen;
    std::string text;
    auto add = [&](const std::string& name) {
        const std::string upper = UpperAscii(name);
        for (const std::string& s : seen)
            if (s == upper)
                return;
        seen.push_back(upper);
        text += (text.empty() ? "" : ", ") + name;
    };
    for (const TLine_& line : model.ConfigLines)
        add(line.Name);
    for (const TLineRegister_& line : model.RegisterLines)
        add(line.Name);
    return text;
}

} // namespace

NamedLine FindNamedLine(const TModel& model, std::string_view name, std::string_view setting) {
    const std::string upperName = UpperAscii(Trim(name));
    const std::string asked = std::string(Trim(name)) + "=" + std::string(Trim(setting));
    NamedLine result;
    const std::vector<std::size_t> config = LinesNamed(model.ConfigLines, upperName);
    if (!config.empty()) {
        const std::vector<const TSetting*> settings = SettingsOf(model, upperName);
        std::optional<std::uint32_t> value;
        const std::string upperSetting = UpperAscii(Trim(setting));
        for (const TSetting* s : settings)
            if (!value && !s->Name.empty() && UpperAscii(s->Name) == upperSetting)
                value = s->Value;
        if (!value)
            value = ParseValue(setting);
        for (const std::size_t i : config)
            if (value && model.ConfigLines[i].Value == *value) {
                result.Line = LineRef{false, i};
                return result;
            }
        result.Message = "No line chooses " + asked + "; " + model.ConfigLines[config[0]].Name +
                         " offers " + OfferedValues(model.ConfigLines, config, settings);
        return result;
    }
    const std::vector<std::size_t> registers = LinesNamed(model.RegisterLines, upperName);
    if (!registers.empty()) {
        const std::optional<std::uint32_t> value = ParseValue(setting);
        for (const std::size_t i : registers)
            if (value && model.RegisterLines[i].Value == *value) {
                result.Line = LineRef{true, i};
                return result;
            }
        result.Message = "No line chooses " + asked + "; " +
                         model.RegisterLines[registers[0]].Name + " offers " +
                         OfferedValues(model.RegisterLines, registers, {});
        return result;
    }
    const std::string offered = OfferedNames(model);
    result.Message =
        "No line chooses " + asked + "; the diagram has no line named " + std::string(Trim(name)) +
        (offered.empty() ? std::string(" and no lines at all") : "; it offers " + offered);
    return result;
}

} // namespace quorvel
