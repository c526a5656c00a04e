// The sample devices shipped in data/: the device list, the definition files and the diagram
// descriptions must agree with each other and with the bitmaps, or a device fails to load,
// shows the wrong setting, or catches clicks in the wrong place.

#include "ShippedFiles.h"

#include "diagram/Bitmap.h"
#include "shell/DeviceList.h"
#include "util/KivStrings.h"
#include "util/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

namespace quorvel::test {
namespace {

constexpr int kHitMargin = 3; // the program's hit box grows a segment by 3 pixels
constexpr int kBoxWidth = 50;
constexpr int kBoxHeight = 22;

DeviceList ShippedDeviceList() {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(Shipped(kDeviceListFileName), text));
    return ParseDeviceList(text);
}

std::vector<std::string> ShippedDiagrams() {
    std::vector<std::string> diagrams;
    for (const TPic_Type& d : ShippedDeviceList().DeviceTypes)
        if (std::find(diagrams.begin(), diagrams.end(), d.Diagram) == diagrams.end())
            diagrams.push_back(d.Diagram);
    return diagrams;
}

std::string DescriptionPath(const std::string& diagram) {
    return Shipped("Quorvel_" + diagram + "_lines.txt");
}

std::vector<DescLine> Lines(const std::string& diagram, bool registers) {
    std::vector<DescLine> out;
    for (const DescLine& d : ReadDescription(DescriptionPath(diagram)))
        if (d.kind == (registers ? "REGISTER" : "CONFIG"))
            out.push_back(d);
    return out;
}

std::vector<DescLine> ClickableLines(const std::string& diagram) {
    std::vector<DescLine> out = Lines(diagram, false);
    const std::vector<DescLine> registers = Lines(diagram, true);
    out.insert(out.end(), registers.begin(), registers.end());
    return out;
}

std::string Where(const std::string& diagram, const DescLine& d) {
    return diagram + " line " + std::to_string(d.lineNumber) + " (" + d.fields[0] + ")";
}

// Whether the rectangle from (x1, y1) to (x2, y2) meets the line's hit box.
bool MeetsHitBox(const DescLine& d, int x1, int y1, int x2, int y2) {
    return d.Int(3) - kHitMargin <= x2 && d.Int(4) - kHitMargin <= y2 &&
           x1 <= d.Int(5) + kHitMargin && y1 <= d.Int(6) + kHitMargin;
}

// The names a formula mentions, each with whether a "(" follows it (a function call). A
// register bit-field name keeps its "<...>" part.
std::vector<std::pair<std::string, bool>> NamesIn(const std::string& expression) {
    const auto isName = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    };
    std::vector<std::pair<std::string, bool>> names;
    std::size_t p = 0;
    while (p < expression.size()) {
        if (!std::isalpha(static_cast<unsigned char>(expression[p]))) {
            // Numbers, operators, blanks, parentheses and commas.
            for (++p; p < expression.size() && isName(expression[p - 1]) && isName(expression[p]);)
                ++p;
            continue;
        }
        std::size_t end = p;
        while (end < expression.size() && isName(expression[end]))
            ++end;
        if (end < expression.size() && expression[end] == '<')
            end = std::min(expression.size(), expression.find('>', end) + 1);
        std::size_t next = end;
        while (next < expression.size() && expression[next] == ' ')
            ++next;
        names.emplace_back(expression.substr(p, end - p),
                           next < expression.size() && expression[next] == '(');
        p = end;
    }
    return names;
}

bool IsWhite(Rgb c) {
    return c == Rgb{255, 255, 255};
}

// Text the tag reader would cut or mangle: tag brackets, or a "(" without ")".
bool ReaderSafe(const std::string& text) {
    return text.find_first_of("<>") == std::string::npos &&
           (text.find('(') == std::string::npos || text.find(')') != std::string::npos);
}

std::vector<std::string> DefinitionFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(Shipped("Defs")))
        if (entry.path().extension() == ".vlk")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ShippedDeviceList, EveryDeviceHasItsDefinitionAndDiagramFiles) {
    const DeviceList list = ShippedDeviceList();
    ASSERT_GE(list.DeviceTypes.size(), 40u);
    for (const TPic_Type& device : list.DeviceTypes) {
        SCOPED_TRACE(device.Name);
        EXPECT_FALSE(device.Name.empty());
        EXPECT_FALSE(device.Diagram.empty());
        EXPECT_TRUE(FileExists(Shipped("Defs/" + device.Name + ".vlk")));
        EXPECT_TRUE(FileExists(Shipped("Quorvel_" + device.Diagram + ".bmp")));
        EXPECT_TRUE(FileExists(DescriptionPath(device.Diagram)));
    }
}

TEST(ShippedDeviceList, SeparatorsDivideTheFamilies) {
    // Between two separators every device uses the same diagram, and no family repeats.
    std::vector<std::set<std::string>> families(1);
    const DeviceList list = ShippedDeviceList();
    std::size_t device = 0;
    for (const std::string& item : list.Items) {
        if (item == "-") {
            families.emplace_back();
            continue;
        }
        families.back().insert(list.DeviceTypes.at(device++).Diagram);
    }
    ASSERT_GE(families.size(), 7u);
    std::set<std::string> seen;
    for (const auto& family : families) {
        ASSERT_EQ(family.size(), 1u);
        EXPECT_TRUE(seen.insert(*family.begin()).second);
    }
}

TEST(ShippedDefinitions, EveryWordFieldAndSettingIsComplete) {
    const auto files = DefinitionFiles();
    ASSERT_EQ(files.size(), ShippedDeviceList().DeviceTypes.size());
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::vector<VlkWord> words = ReadDefinition(file);
        ASSERT_FALSE(words.empty());
        for (const VlkWord& w : words) {
            SCOPED_TRACE(w.name);
            EXPECT_FALSE(w.name.empty());
            EXPECT_NE(w.address, 0u);
            for (const VlkField& f : w.fields) {
                SCOPED_TRACE(f.name);
                EXPECT_FALSE(f.name.empty());
                EXPECT_NE(f.mask, 0u);
                EXPECT_TRUE(ReaderSafe(f.description)) << f.description;
                EXPECT_FALSE(TrimCopy(f.description).empty());
                ASSERT_FALSE(f.settings.empty());
                std::set<std::uint32_t> values;
                for (const VlkSetting& s : f.settings) {
                    EXPECT_EQ(s.mask, f.mask);
                    EXPECT_EQ(s.value & ~f.mask, 0u) << s.description;
                    EXPECT_TRUE(values.insert(s.value).second) << "duplicate " << s.value;
                    EXPECT_TRUE(ReaderSafe(s.description)) << s.description;
                    EXPECT_FALSE(TrimCopy(s.description).empty());
                }
            }
        }
    }
}

TEST(ShippedDefinitions, OnlyRealOpenersOpenWordsFieldsAndSettings) {
    // The reader opens a record at any tag that begins with the record's name and has more
    // text before its ">", so a wrapper such as a "fields" list would open a stray field.
    for (const std::string& file : DefinitionFiles()) {
        std::string text;
        ASSERT_TRUE(ReadWholeFile(file, text));
        int number = 0;
        for (const std::string& line : SplitLines(text)) {
            ++number;
            const std::string upper = UpperAscii(line);
            for (const char* opener : {"<CFGBITS", "<FIELD", "<SETTING"}) {
                if (upper.find(opener) != std::string::npos) {
                    EXPECT_EQ(upper.rfind(std::string(opener) + " NAME=\"", 0), 0u)
                        << file << ":" << number << ": " << line;
                }
            }
            EXPECT_LE(std::count(line.begin(), line.end(), '<'), 2) << file << ":" << number;
        }
    }
}

TEST(ShippedDefinitions, SiblingsShareTheirFamilyConfigurationWords) {
    // Devices listed with one diagram must offer the same words at the same addresses, and
    // every field the diagram chooses must have the same mask and setting values in each,
    // or the diagram would choose settings a sibling does not have. Fields the diagram does
    // not show may differ: the protected memory blocks follow the memory size.
    std::map<std::string, std::vector<std::string>> devicesByDiagram;
    for (const TPic_Type& d : ShippedDeviceList().DeviceTypes)
        devicesByDiagram[d.Diagram].push_back(d.Name);
    for (const auto& [diagram, devices] : devicesByDiagram) {
        std::set<std::string> shown;
        for (const DescLine& d : Lines(diagram, false))
            shown.insert(d.fields[0]);
        const auto fieldsOf = [&](const std::vector<VlkWord>& words) {
            std::map<std::string, std::pair<std::uint32_t, std::vector<std::uint32_t>>> out;
            for (const VlkWord& w : words)
                for (const VlkField& f : w.fields)
                    if (shown.count(f.name) == 1) {
                        auto& [mask, values] = out[f.name];
                        mask = f.mask;
                        for (const VlkSetting& s : f.settings)
                            values.push_back(s.value);
                        std::sort(values.begin(), values.end());
                    }
            return out;
        };
        const auto first = ReadDefinition(Shipped("Defs/" + devices.front() + ".vlk"));
        for (const std::string& device : devices) {
            SCOPED_TRACE(device);
            const auto words = ReadDefinition(Shipped("Defs/" + device + ".vlk"));
            ASSERT_EQ(words.size(), first.size());
            for (std::size_t w = 0; w < words.size(); ++w) {
                EXPECT_EQ(words[w].name, first[w].name);
                EXPECT_EQ(words[w].address, first[w].address);
            }
            EXPECT_EQ(fieldsOf(words), fieldsOf(first));
            EXPECT_EQ(fieldsOf(words).size(), shown.size());
        }
    }
}

TEST(ShippedDefinitions, EverySettingIsNamedAndEveryWordHasItsDefault) {
    // The names become "#pragma config FIELD = NAME" lines and the defaults the word values
    // of the generated code.
    for (const TPic_Type& device : ShippedDeviceList().DeviceTypes) {
        SCOPED_TRACE(device.Name);
        for (const VlkWord& w : ReadDefinition(Shipped("Defs/" + device.Name + ".vlk"))) {
            EXPECT_TRUE(w.hasDefault) << w.name;
            for (const VlkField& f : w.fields) {
                std::set<std::string> names;
                for (const VlkSetting& s : f.settings) {
                    EXPECT_FALSE(s.name.empty()) << w.name << "." << f.name;
                    EXPECT_EQ(
                        s.name.find_first_not_of(
                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_"),
                        std::string::npos)
                        << s.name;
                    EXPECT_TRUE(names.insert(s.name).second) << f.name << " = " << s.name;
                }
            }
        }
    }
}

TEST(ShippedDiagrams, ConfigurationLinesChooseSettingsOfEveryDevice) {
    for (const TPic_Type& device : ShippedDeviceList().DeviceTypes) {
        SCOPED_TRACE(device.Name);
        std::map<std::string, std::set<std::uint32_t>> settings;
        for (const VlkWord& w : ReadDefinition(Shipped("Defs/" + device.Name + ".vlk")))
            for (const VlkField& f : w.fields)
                for (const VlkSetting& s : f.settings)
                    settings[f.name].insert(s.value);
        for (const DescLine& d : Lines(device.Diagram, false)) {
            ASSERT_EQ(settings.count(d.fields[0]), 1u) << Where(device.Diagram, d);
            EXPECT_EQ(settings[d.fields[0]].count(static_cast<std::uint32_t>(d.Int(9))), 1u)
                << Where(device.Diagram, d);
        }
    }
}

TEST(ShippedDiagrams, ClickableLinesAndConnectorsLieOnDrawnPixels) {
    for (const std::string& diagram : ShippedDiagrams()) {
        const Bitmap bitmap = LoadBitmapFile(Shipped("Quorvel_" + diagram + ".bmp"));
        ASSERT_LE(bitmap.Width(), 745);
        ASSERT_LE(bitmap.Height(), 890);
        for (const DescLine& d : ReadDescription(DescriptionPath(diagram))) {
            const bool clickable = d.kind == "CONFIG" || d.kind == "REGISTER";
            const bool connector = d.kind == "FOLLOW" || d.kind == "FOLLOW_NOT";
            if (!clickable && !connector)
                continue;
            const std::size_t first = clickable ? 3 : 1;
            const int x1 = d.Int(first), y1 = d.Int(first + 1);
            const int x2 = d.Int(first + 2), y2 = d.Int(first + 3);
            ASSERT_TRUE((x1 == x2 || y1 == y2) && x1 <= x2 && y1 <= y2) << Where(diagram, d);
            ASSERT_TRUE(x1 >= 3 && y1 >= 3 && x2 < bitmap.Width() && y2 < bitmap.Height())
                << Where(diagram, d);
            // A 2-pixel pen also covers the row above a horizontal segment and the column
            // left of a vertical one.
            const bool wide = clickable;
            for (int x = x1; x <= x2; ++x)
                for (int y = y1; y <= y2; ++y) {
                    EXPECT_FALSE(IsWhite(bitmap.Pixel(x, y))) << Where(diagram, d);
                    if (wide && y1 == y2) {
                        EXPECT_FALSE(IsWhite(bitmap.Pixel(x, y - 1))) << Where(diagram, d);
                    }
                    if (wide && x1 == x2 && y1 != y2) {
                        EXPECT_FALSE(IsWhite(bitmap.Pixel(x - 1, y))) << Where(diagram, d);
                    }
                }
        }
    }
}

TEST(ShippedDiagrams, EveryClickReachesOnlyItsOwnLine) {
    // The hit boxes of two lines never overlap, so the default click at (X1, Y1) of each name's
    // first line, and every click a user makes, chooses exactly one line.
    for (const std::string& diagram : ShippedDiagrams()) {
        const std::vector<DescLine> lines = ClickableLines(diagram);
        for (std::size_t i = 0; i < lines.size(); ++i)
            for (std::size_t j = i + 1; j < lines.size(); ++j) {
                const DescLine& a = lines[i];
                const DescLine& b = lines[j];
                const bool apart =
                    a.Int(5) + 2 * kHitMargin < b.Int(3) || b.Int(5) + 2 * kHitMargin < a.Int(3) ||
                    a.Int(6) + 2 * kHitMargin < b.Int(4) || b.Int(6) + 2 * kHitMargin < a.Int(4);
                EXPECT_TRUE(apart) << Where(diagram, a) << " and " << Where(diagram, b);
            }
    }
}

TEST(ShippedDiagrams, EveryFieldHasItsOwnAlternativesGroup) {
    for (const std::string& diagram : ShippedDiagrams()) {
        std::map<std::string, int> groupOfName;
        std::map<int, std::string> nameOfGroup;
        for (const DescLine& d : ClickableLines(diagram)) {
            const int group = d.Int(7);
            ASSERT_GE(group, 0) << Where(diagram, d);
            groupOfName.try_emplace(d.fields[0], group);
            nameOfGroup.try_emplace(group, d.fields[0]);
            EXPECT_EQ(groupOfName[d.fields[0]], group) << Where(diagram, d);
            EXPECT_EQ(nameOfGroup[group], d.fields[0]) << Where(diagram, d);
        }
        std::set<std::string> fields;
        for (const DescLine& d : Lines(diagram, false))
            fields.insert(d.fields[0]);
        EXPECT_LE(fields.size(), 20u) << diagram << ": only 20 fields get labels";
    }
}

TEST(ShippedDiagrams, RegisterValuesFitTheirBitFieldsAndCommentsNameTheSetting) {
    for (const std::string& diagram : ShippedDiagrams()) {
        for (const DescLine& d : Lines(diagram, true)) {
            const std::string& name = d.fields[0];
            const std::size_t open = name.find('<');
            std::string hi, lo;
            SplitAtFirst(name.substr(open + 1, name.size() - open - 2), ":", hi, lo);
            if (hi.empty())
                hi = lo = name.substr(open + 1, name.size() - open - 2);
            const int high = std::stoi(hi), low = std::stoi(lo);
            ASSERT_TRUE(name.back() == '>' && low >= 0 && high >= low && high <= 31)
                << Where(diagram, d);
            EXPECT_LT(static_cast<long long>(d.Int(9)), 1LL << (high - low + 1))
                << Where(diagram, d);
            // The comment becomes the comment of the generated code line.
            EXPECT_NE(d.comment.find(": "), std::string::npos) << Where(diagram, d);
        }
        for (const DescLine& d : Lines(diagram, false))
            EXPECT_NE(d.comment.find(": "), std::string::npos) << Where(diagram, d);
    }
}

TEST(ShippedDiagrams, ValueBoxesAreOnThePictureAwayFromLinesAndNamed) {
    for (const std::string& diagram : ShippedDiagrams()) {
        const Bitmap bitmap = LoadBitmapFile(Shipped("Quorvel_" + diagram + ".bmp"));
        const std::vector<DescLine> lines = ClickableLines(diagram);
        int index = 0;
        int inputs = 0;
        for (const DescLine& d : ReadDescription(DescriptionPath(diagram))) {
            if (d.kind != "SHOWVAL")
                continue;
            const int x = d.Int(1), y = d.Int(2);
            EXPECT_TRUE(x >= 0 && y >= 0 && x + kBoxWidth <= bitmap.Width() &&
                        y + kBoxHeight <= bitmap.Height())
                << Where(diagram, d);
            for (const DescLine& l : lines)
                EXPECT_FALSE(MeetsHitBox(l, x, y, x + kBoxWidth - 1, y + kBoxHeight - 1))
                    << Where(diagram, d) << " covers " << Where(diagram, l);
            std::string name, expression;
            SplitAtFirst(d.fields[3], "=", name, expression);
            EXPECT_EQ(TrimCopy(name), "E" + std::to_string(index++)) << Where(diagram, d);
            inputs += TrimCopy(expression).empty() && d.fields.size() == 4;
            // One word naming the quantity, e.g. "Fosc".
            EXPECT_TRUE(!d.comment.empty() && d.comment.find(' ') == std::string::npos)
                << Where(diagram, d);
        }
        EXPECT_LE(index, 31);
        EXPECT_GE(inputs, 1) << diagram << " offers no input box";
    }
}

// Formulas may name only what the calculation defines before them: input boxes and earlier
// boxes (E0, E1, ...), configuration fields and register bit-fields of the diagram, and the
// evaluator's functions, each followed by "(".
TEST(ShippedDiagrams, FormulasUseOnlyDefinedNames) {
    const std::set<std::string> functions = {
        "abs",  "int", "frac", "round", "ceil",  "floor", "sum",    "avg",    "min",    "max",
        "sqrt", "pi",  "logn", "log",   "power", "sign",  "ifthen", "select", "not",    "rad",
        "deg",  "cmp", "ln",   "exp",   "sin",   "cos",   "tan",    "arcsin", "arccos", "arctan"};
    for (const std::string& diagram : ShippedDiagrams()) {
        std::set<std::string> known;
        for (const DescLine& d : ClickableLines(diagram))
            known.insert(UpperAscii(d.fields[0]));
        int index = 0;
        for (const DescLine& d : ReadDescription(DescriptionPath(diagram))) {
            if (d.kind != "SHOWVAL")
                continue;
            std::string expression;
            for (std::size_t i = 3; i < d.fields.size(); ++i)
                expression += (i > 3 ? "," : "") + d.fields[i];
            expression = expression.substr(expression.find('=') + 1);
            for (const auto& [name, call] : NamesIn(expression)) {
                if (call)
                    EXPECT_EQ(functions.count(LowerAscii(name)), 1u) << Where(diagram, d) << name;
                else if (name[0] == 'E' &&
                         name.find_first_not_of("0123456789", 1) == std::string::npos)
                    EXPECT_LT(std::stoi(name.substr(1)), index) << Where(diagram, d);
                else
                    EXPECT_EQ(known.count(UpperAscii(name)), 1u) << Where(diagram, d) << name;
            }
            ++index;
        }
    }
}

} // namespace
} // namespace quorvel::test
