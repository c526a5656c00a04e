// The shipped 8-bit definitions and diagrams checked against an independent source: the
// device headers of gputils, which list every configuration word with its address, every
// setting as the whole word value it gives, and the bit positions of every register.

#include "ShippedFiles.h"

#include "shell/DeviceList.h"
#include "util/KivStrings.h"
#include "util/TextFile.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <regex>
#include <set>

namespace quorvel::test {
namespace {

// One "_NAME EQU H'value'" line of a header.
struct Equate {
    std::string name;
    std::uint32_t value = 0;
};

struct Header {
    std::map<std::string, std::uint32_t> words; // configuration word name -> address
    // Per configuration word, its option lines in groups separated by blank lines: one
    // group per field, aliases of older names included.
    std::map<std::string, std::vector<std::vector<Equate>>> options;
    std::map<std::string, std::uint32_t> registers; // SFR name -> address
    // Per register, its bit names and positions.
    std::map<std::string, std::map<std::string, int>> bits;
};

std::string HeaderPath(const std::string& device) {
    // "PIC18F45K22" -> ".../p18f45k22.inc"
    return std::string(QUORVEL_GPUTILS_HEADER_DIR) + "/p" + LowerAscii(device.substr(3)) + ".inc";
}

Header ReadHeader(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text))
        throw std::runtime_error("cannot read " + path);
    static const std::regex equate(R"(^(\w+)\s+EQU\s+H'([0-9A-Fa-f]+)'.*)");
    static const std::regex section(R"(^;----- (\w+) (Options|Bits) -+\s*$)");
    Header h;
    std::string current;
    bool options = false;
    bool inAddressList = false;
    // Lines between these markers were added by the header's packagers, not taken from
    // the maker's device data; they are left out of the comparison.
    bool added = false;
    std::vector<Equate> group;
    const auto flush = [&] {
        if (options && !group.empty())
            h.options[current].push_back(group);
        group.clear();
    };
    for (const std::string& raw : SplitLines(text)) {
        const std::string line = TrimCopy(raw);
        std::smatch m;
        if (std::regex_match(line, m, section)) {
            flush();
            current = m[1];
            options = m[2] == "Options";
            continue;
        }
        if (line.rfind(";;;; Begin: Added in gputils", 0) == 0) {
            flush();
            added = true;
            continue;
        }
        if (line.rfind(";;;; End: Added in gputils", 0) == 0) {
            flush();
            added = false;
            continue;
        }
        if (line.rfind(";-----", 0) == 0 || line.rfind(";=====", 0) == 0) {
            flush();
            current.clear();
            options = false;
            continue;
        }
        if (line.find("assignment of address values for all of the") != std::string::npos)
            inAddressList = true;
        if (line.empty()) {
            flush();
            continue;
        }
        if (!std::regex_match(line, m, equate) || added)
            continue;
        const std::string name = m[1];
        const auto value = static_cast<std::uint32_t>(std::stoul(m[2], nullptr, 16));
        if (options) {
            group.push_back({name, value});
        } else if (!current.empty()) {
            h.bits[current][name] = static_cast<int>(value);
        } else if (inAddressList && name.rfind("_CONFIG", 0) == 0) {
            h.words[name.substr(1)] = value;
        } else if (name[0] != '_') {
            h.registers[name] = value;
        }
    }
    flush();
    return h;
}

bool Is8Bit(const std::string& device) {
    return device.rfind("PIC16F", 0) == 0 || device.rfind("PIC18F", 0) == 0;
}

std::vector<TPic_Type> ShippedEightBitDevices() {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(Shipped(kDeviceListFileName), text));
    std::vector<TPic_Type> devices;
    for (const TPic_Type& d : ParseDeviceList(text).DeviceTypes)
        if (Is8Bit(d.Name))
            devices.push_back(d);
    return devices;
}

// The configuration words of 8-bit parts: 8 bits on PIC18, 14 bits on PIC16 (whose headers
// may write the two unimplemented top bits as ones).
std::uint32_t WordBits(const std::string& device) {
    return device.rfind("PIC18", 0) == 0 ? 0xFFu : 0x3FFFu;
}

// The option lines of `field` in one word's groups, under the names "_FIELD_SETTING" (PIC16)
// or "_FIELD_SETTING_1H" (PIC18, the word's suffix), mapped to the setting names.
std::map<std::string, std::uint32_t> FieldOptions(const std::vector<std::vector<Equate>>& groups,
                                                  const std::string& field,
                                                  const std::string& suffix) {
    std::map<std::string, std::uint32_t> out;
    const std::string prefix = "_" + field + "_";
    for (const auto& group : groups)
        for (const Equate& e : group) {
            if (e.name.rfind(prefix, 0) != 0)
                continue;
            std::string setting = e.name.substr(prefix.size());
            if (!suffix.empty()) {
                if (setting.size() <= suffix.size() ||
                    setting.compare(setting.size() - suffix.size(), suffix.size(), suffix) != 0)
                    continue;
                setting.resize(setting.size() - suffix.size());
            }
            out.emplace(setting, e.value);
        }
    return out;
}

TEST(DeviceHeaders, EveryEightBitFamilyIsCovered) {
    std::set<std::string> diagrams;
    for (const TPic_Type& d : ShippedEightBitDevices()) {
        diagrams.insert(d.Diagram);
        EXPECT_TRUE(FileExists(HeaderPath(d.Name))) << d.Name;
    }
    EXPECT_GE(diagrams.size(), 4u);
}

TEST(DeviceHeaders, DefinitionsHaveTheHeadersWordsFieldsAndSettingValues) {
    for (const TPic_Type& device : ShippedEightBitDevices()) {
        SCOPED_TRACE(device.Name);
        const Header h = ReadHeader(HeaderPath(device.Name));
        const std::uint32_t bits = WordBits(device.Name);
        const bool pic18 = bits == 0xFFu;
        const std::vector<VlkWord> words = ReadDefinition(Shipped("Defs/" + device.Name + ".vlk"));

        std::set<std::string> headerWords;
        for (const auto& [name, groups] : h.options)
            if (!groups.empty())
                headerWords.insert(name);
        std::set<std::string> ourWords;
        for (const VlkWord& w : words)
            ourWords.insert(w.name);
        EXPECT_EQ(ourWords, headerWords);

        for (const VlkWord& w : words) {
            SCOPED_TRACE(w.name);
            ASSERT_EQ(h.words.count(w.name), 1u);
            EXPECT_EQ(w.address, h.words.at(w.name));
            const auto& groups = h.options.at(w.name);
            const std::string suffix = pic18 ? "_" + w.name.substr(6) : "";

            // Every field of the header: the leading name of each group's first line.
            std::set<std::string> headerFields;
            for (const auto& group : groups) {
                const std::string& first = group.front().name;
                headerFields.insert(first.substr(1, first.find('_', 1) - 1));
            }
            std::set<std::string> ourFields;
            for (const VlkField& f : w.fields)
                ourFields.insert(f.name);
            EXPECT_EQ(ourFields, headerFields);

            for (const VlkField& f : w.fields) {
                SCOPED_TRACE(f.name);
                const auto options = FieldOptions(groups, f.name, suffix);
                ASSERT_FALSE(options.empty());
                // The header writes each setting as the whole word with every other bit set.
                std::uint32_t mask = 0;
                for (const auto& [setting, value] : options)
                    mask |= ~value & bits;
                EXPECT_EQ(f.mask, mask);
                std::set<std::uint32_t> ours;
                for (const VlkSetting& s : f.settings) {
                    SCOPED_TRACE(s.name);
                    ours.insert(s.value);
                    ASSERT_EQ(options.count(s.name), 1u) << "setting not in the header";
                    EXPECT_EQ(s.value, options.at(s.name) & f.mask);
                }
                // Older aliases of a setting name carry the same value; each value is here.
                for (const auto& [setting, value] : options)
                    EXPECT_EQ(ours.count(value & f.mask), 1u) << setting << " is missing";
            }
        }
    }
}

// "OSCCON<6:4>" with comment "IRCF: ..." must be bits 4 to 6 of OSCCON, named IRCF0..IRCF2
// in the header; a one-bit field "OSCTUNE<6>" with "PLLEN: ..." the bit PLLEN.
TEST(DeviceHeaders, OscillatorRegisterBitsOfTheDiagramsMatchTheHeaders) {
    std::set<std::string> checked;
    for (const TPic_Type& device : ShippedEightBitDevices()) {
        SCOPED_TRACE(device.Name);
        const Header h = ReadHeader(HeaderPath(device.Name));
        for (const DescLine& d :
             ReadDescription(Shipped("Quorvel_" + device.Diagram + "_lines.txt"))) {
            if (d.kind != "REGISTER")
                continue;
            const std::string& name = d.fields[0];
            SCOPED_TRACE(name);
            const std::size_t open = name.find('<');
            const std::string reg = name.substr(0, open);
            std::string hi, lo;
            SplitAtFirst(name.substr(open + 1, name.size() - open - 2), ":", hi, lo);
            if (hi.empty())
                hi = lo = name.substr(open + 1, name.size() - open - 2);
            const int high = std::stoi(hi), low = std::stoi(lo);
            const std::string field = d.comment.substr(0, d.comment.find(':'));
            ASSERT_EQ(h.registers.count(reg), 1u) << "no register " << reg;
            ASSERT_EQ(h.bits.count(reg), 1u);
            const auto& bits = h.bits.at(reg);
            if (high == low) {
                ASSERT_EQ(bits.count(field), 1u) << "no bit " << field;
                EXPECT_EQ(bits.at(field), low);
            } else {
                for (int b = low; b <= high; ++b) {
                    const std::string bit = field + std::to_string(b - low);
                    ASSERT_EQ(bits.count(bit), 1u) << "no bit " << bit;
                    EXPECT_EQ(bits.at(bit), b) << bit;
                }
                // No wider field of the same name in the register.
                EXPECT_EQ(bits.count(field + std::to_string(high - low + 1)), 0u);
            }
            checked.insert(device.Diagram + " " + name);
        }
    }
    EXPECT_FALSE(checked.empty());
}

// The default line of every configuration field on an 8-bit diagram is the field's erased
// value, as the definition file's word default gives it.
TEST(DeviceHeaders, DiagramDefaultsAreTheErasedConfiguration) {
    for (const TPic_Type& device : ShippedEightBitDevices()) {
        SCOPED_TRACE(device.Name);
        std::map<std::string, std::uint32_t> erased;
        for (const VlkWord& w : ReadDefinition(Shipped("Defs/" + device.Name + ".vlk")))
            for (const VlkField& f : w.fields)
                if (w.hasDefault)
                    erased[f.name] = w.defaultValue & f.mask;
        std::set<std::string> seen;
        for (const DescLine& d :
             ReadDescription(Shipped("Quorvel_" + device.Diagram + "_lines.txt"))) {
            if (d.kind != "CONFIG" || !seen.insert(d.fields[0]).second)
                continue;
            if (erased.count(d.fields[0]) == 1) {
                EXPECT_EQ(static_cast<std::uint32_t>(d.Int(9)), erased[d.fields[0]]) << d.fields[0];
            }
        }
    }
}

} // namespace
} // namespace quorvel::test
