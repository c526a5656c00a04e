#include "shell/ConfigurationFile.h"

#include "util/KivStrings.h"
#include "util/NumberText.h"
#include "util/TextFile.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace quorvel {

namespace {

constexpr std::string_view kDeviceKey = "device";
constexpr std::string_view kInputKey = "input";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A line quoted in a message keeps at most this many bytes.
constexpr std::size_t kQuotedLineLength = 60;

bool IsControl(unsigned char c) {
    return c < 32 || c == 127;
}

// The line as a message shows it: shortened, control bytes escaped.
std::string QuoteLine(std::string_view line) {
    const bool shortened = line.size() > kQuotedLineLength;
    std::string quoted = QuoteConfigurationValue(line.substr(0, kQuotedLineLength));
    if (quoted.empty() || quoted.front() != '"')
        quoted = "\"" + quoted + "\"";
    if (shortened)
        quoted += "...";
    return quoted;
}

// The value of a quoted text (the opening quote at text[0]); false when it does not close
// at the end of the text or holds an unknown escape.
bool Unquote(std::string_view text, std::string& value) {
    value.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            return i + 1 == text.size();
        if (c != '\\') {
            value += c;
            continue;
        }
        if (++i >= text.size())
            return false;
        switch (text[i]) {
        case '\\':
        case '"':
            value += text[i];
            break;
        case 't':
            value += '\t';
            break;
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case 'x': {
            const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0)
                return false;
            value += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return false;
}

// The version of a first line "Quorvel configuration N", or nothing.
std::optional<std::int64_t> HeaderVersion(std::string_view line) {
    const std::string_view name = kConfigurationFormatName;
    line = Trim(line);
    if (line.size() <= name.size() || !EqualsIgnoreCaseAscii(line.substr(0, name.size()), name) ||
        !IsBlank(line[name.size()]))
        return std::nullopt;
    const std::string_view number = Trim(line.substr(name.size()));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return ParseInteger(number);
}

// Records facts by upper-cased name so that a later line of the same name replaces the
// earlier one and says so.
class FactList {
public:
    FactList(std::vector<ConfigurationFact>& facts, const char* what)
        : facts_(facts), what_(what) {}

    void Add(ConfigurationFact fact, ConfigurationProblems& problems) {
        const auto [it, added] = index_.emplace(UpperAscii(fact.Name), facts_.size());
        if (added) {
            facts_.push_back(std::move(fact));
            return;
        }
        ConfigurationFact& earlier = facts_[it->second];
        problems.Add(fact.Line, std::string(what_) + " " + fact.Name +
                                    " is given again (first on line " + UIntToText(earlier.Line) +
                                    "); this line counts");
        earlier = std::move(fact);
    }

private:
    std::vector<ConfigurationFact>& facts_;
    const char* what_;
    std::unordered_map<std::string, std::size_t> index_;
};

// Splits "NAME = VALUE" at its first "="; false, with a problem, when it cannot be read.
bool SplitFact(std::string_view line, std::size_t number, ConfigurationFact& fact,
               ConfigurationProblems& problems) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        problems.Add(number, "not understood, \"NAME = VALUE\" expected: " + QuoteLine(line));
        return false;
    }
    fact.Name = TrimCopy(line.substr(0, eq));
    fact.Line = number;
    if (fact.Name.empty()) {
        problems.Add(number, "no name before \"=\": " + QuoteLine(line));
        return false;
    }
    const std::string_view value = Trim(line.substr(eq + 1));
    if (!value.empty() && value.front() == '"') {
        if (!Unquote(value, fact.Value)) {
            problems.Add(number, "the quoted value of " + fact.Name + " is not closed properly");
            return false;
        }
    } else {
        fact.Value = std::string(value);
    }
    return true;
}

} // namespace

void ConfigurationProblems::Add(std::size_t line, const std::string& message) {
    if (Messages.size() >= kConfigurationProblemLimit) {
        ++Unreported;
        return;
    }
    Messages.push_back(line == 0 ? message : "line " + UIntToText(line) + ": " + message);
    Lines.push_back(line);
}

std::string ConfigurationProblems::Text() const {
    std::vector<std::size_t> order(Messages.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return Lines[a] < Lines[b]; });
    std::string text;
    for (const std::size_t i : order) {
        if (!text.empty())
            text += '\n';
        text += Messages[i];
    }
    if (Unreported > 0)
        text += "\n(" + UIntToText(Unreported) + " more problem" + (Unreported == 1 ? "" : "s") +
                " not shown)";
    return text;
}

bool IsConfigurationName(std::string_view name) {
    if (name.empty() || IsBlank(name.front()) || IsBlank(name.back()) || name.front() == '#' ||
        name.front() == '"')
        return false;
    for (const char c : name)
        if (c == '=' || IsControl(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string QuoteConfigurationValue(std::string_view value) {
    bool plain = value.empty() ||
                 (!IsBlank(value.front()) && !IsBlank(value.back()) && value.front() != '"');
    for (const char c : value)
        plain = plain && !IsControl(static_cast<unsigned char>(c));
    if (plain)
        return std::string(value);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\r') {
            quoted += "\\r";
        } else if (IsControl(u)) {
            quoted += "\\x";
            quoted += kHex[u >> 4];
            quoted += kHex[u & 15];
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::optional<ConfigurationDocument> ParseConfiguration(std::string_view text,
                                                        ConfigurationProblems& problems) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    ConfigurationDocument document;
    FactList inputs(document.Inputs, "input");
    FactList settings(document.Settings, "setting");
    std::size_t number = 0;
    bool readable = true;
    ForEachLine(text, [&](std::string_view line) {
        ++number;
        if (!readable)
            return;
        if (number == 1) {
            const auto version = HeaderVersion(line);
            if (!version) {
                problems.Add(1, "not a configuration file: the first line must be \"" +
                                    std::string(kConfigurationFormatName) + " " +
                                    IntToText(kConfigurationFormatVersion) + "\"");
                readable = false;
            } else if (*version > kConfigurationFormatVersion || *version < 1) {
                problems.Add(1, "written in version " + IntToText(*version) +
                                    " of the format; this program reads version " +
                                    IntToText(kConfigurationFormatVersion));
                readable = false;
            }
            return;
        }
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == '#')
            return;
        ConfigurationFact fact;
        if (!SplitFact(trimmed, number, fact, problems))
            return;
        if (EqualsIgnoreCaseAscii(fact.Name, kDeviceKey)) {
            if (!document.Device.empty()) {
                problems.Add(number, "a second device line (the first is line " +
                                         UIntToText(document.DeviceLine) + "); it is ignored");
                return;
            }
            if (fact.Value.empty()) {
                problems.Add(number, "no device name after \"=\"");
                return;
            }
            document.Device = fact.Value;
            document.DeviceLine = number;
            return;
        }
        const std::string_view name = fact.Name;
        if (name.size() > kInputKey.size() &&
            EqualsIgnoreCaseAscii(name.substr(0, kInputKey.size()), kInputKey) &&
            IsBlank(name[kInputKey.size()])) {
            fact.Name = TrimCopy(name.substr(kInputKey.size()));
            inputs.Add(std::move(fact), problems);
            return;
        }
        if (fact.Value.empty()) {
            problems.Add(number, "no setting given for " + fact.Name);
            return;
        }
        settings.Add(std::move(fact), problems);
    });
    if (number == 0) {
        problems.Add(0, "the file is empty");
        return std::nullopt;
    }
    if (!readable)
        return std::nullopt;
    if (document.Device.empty()) {
        problems.Add(0, "the file names no device (a line \"device = NAME\")");
        return std::nullopt;
    }
    return document;
}

std::string FormatConfiguration(const ConfigurationDocument& document) {
    std::string text =
        std::string(kConfigurationFormatName) + " " + IntToText(kConfigurationFormatVersion) + "\n";
    text += "# Saved by Quorvel Config. One fact per line; lines starting with # are ignored.\n";
    text += std::string(kDeviceKey) + " = " + QuoteConfigurationValue(document.Device) + "\n";
    auto group = [&text](const std::vector<ConfigurationFact>& facts, std::string_view prefix) {
        for (const ConfigurationFact& fact : facts) {
            text += prefix;
            text += fact.Name + " = " + QuoteConfigurationValue(fact.Value) + "\n";
        }
    };
    if (!document.Inputs.empty()) {
        text += '\n';
        group(document.Inputs, "input ");
    }
    if (!document.Settings.empty()) {
        text += '\n';
        group(document.Settings, "");
    }
    if (!document.Results.empty()) {
        text += "\n# Computed values, for reading only:\n";
        group(document.Results, "# ");
    }
    return text;
}

std::optional<ConfigurationDocument> ReadConfigurationFile(const std::string& path,
                                                           ConfigurationProblems& problems) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        problems.Add(0, "cannot read \"" + path + "\"");
        return std::nullopt;
    }
    return ParseConfiguration(text, problems);
}

} // namespace quorvel
