#pragma once
// A generated definition file for the reader benchmarks: some text before the configuration
// section, then words with fields and settings, one tag per line, indented as such files
// usually are. It is well-formed markup, so a general parser can read the very same bytes.

#include <cstddef>
#include <string>

namespace quorvel::bench {

inline std::string Number(unsigned n) {
    return std::to_string(n);
}

// Words of 8 fields of 4 settings each are added until the text holds `bytes` bytes.
inline std::string DefinitionText(std::size_t bytes) {
    std::string text = "<device>\n  <name>BENCH</name>\n  <memory>\n";
    for (int i = 0; i < 2000; ++i)
        text +=
            "    <region start=\"0x" + Number(static_cast<unsigned>(i) * 64) + "\" size=\"64\"/>\n";
    text += "  </memory>\n  <cfg>\n";
    for (unsigned w = 0; text.size() < bytes; ++w) {
        text += "    <cfgbits id=\"" + Number(w) + "\">\n      <skey>CONFIG" + Number(w) +
                "</skey>\n      <waddr>0x" + Number(300000 + w) + "</waddr>\n";
        for (unsigned f = 0; f < 8; ++f) {
            text += "      <field id=\"" + Number(f) + "\">\n        <skey>FIELD" + Number(f) +
                    "</skey>\n        <sdesc>Field number " + Number(f) +
                    " of the word (see the data sheet</sdesc>\n        <wmask>$" +
                    Number(1u << (f % 4)) + "</wmask>\n";
            for (unsigned s = 0; s < 4; ++s)
                text += "        <setting id=\"" + Number(s) + "\">\n          <wreq>" +
                        Number(15) + "</wreq>\n          <wValue>" + Number(s) +
                        "</wValue>\n          <sdesc>Setting " + Number(s) +
                        " (chosen by the bits)</sdesc>\n        </setting>\n";
            text += "      </field>\n";
        }
        text += "    </cfgbits>\n";
    }
    text += "  </cfg>\n</device>\n";
    return text;
}

inline constexpr std::size_t kMegabyte = 1024 * 1024;

} // namespace quorvel::bench
