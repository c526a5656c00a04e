#pragma once
// The configuration file: a plain text that keeps what the user chose for one device, one
// fact per line, so that it reads well, survives hand edits and gives small diffs.
//
//   Quorvel configuration 1
//   # lines starting with "#" are ignored
//   device = dsPIC33FJ128GP802
//   input Fposc = 8
//   FNOSC = PRIPLL
//   CLKDIV<7:6> = 0
//
// The first line names the format and its version. "device" names the device, each "input"
// line gives the text of one input box by the box's name, and every other line gives the
// setting chosen for a configuration field or a register bit-field, by name. Facts are
// written in the diagram's order of names; on reading, their order does not matter.
// Values that begin or end with blanks, begin with a double quote or hold control bytes are
// written in double quotes with backslash escapes; every other value stands as it is.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

inline constexpr const char* kConfigurationFormatName = "Quorvel configuration";
inline constexpr int kConfigurationFormatVersion = 1;
inline constexpr const char* kConfigurationFileSuffix = ".qcfg";
// A file with more bad lines than this reports the first ones and counts the rest.
inline constexpr std::size_t kConfigurationProblemLimit = 20;

// One "NAME = VALUE" fact; Line is its line in the file read, 0 for facts not read.
struct ConfigurationFact {
    std::string Name;
    std::string Value;
    std::size_t Line = 0;
};

struct ConfigurationDocument {
    std::string Device;
    std::size_t DeviceLine = 0;
    std::vector<ConfigurationFact> Inputs;   // input box texts, by box name
    std::vector<ConfigurationFact> Settings; // chosen settings, by field or bit-field name
    // The computed values of the result boxes, by box name. Written as comments for people
    // who read or compare the files; reading never takes them back.
    std::vector<ConfigurationFact> Results;
};

// The first problems met while reading, each beginning with "line N: " (problems of the
// whole file have no line).
struct ConfigurationProblems {
    std::vector<std::string> Messages;
    std::vector<std::size_t> Lines; // the line of each message, 0 for the whole file
    std::size_t Unreported = 0;     // problems beyond kConfigurationProblemLimit

    void Add(std::size_t line, const std::string& message);
    bool Empty() const { return Messages.empty(); }
    // All messages in the order of their lines, one per line of text, with a last line
    // counting the unreported ones.
    std::string Text() const;
};

// Reads the text of a configuration file. Returns nothing, with a problem saying why, when
// the text is no configuration file this program can read (another first line, a newer
// version, no device line). Otherwise returns the facts; a line that is not understood,
// and a name given twice (the later line counts), add a problem and the rest still reads.
std::optional<ConfigurationDocument> ParseConfiguration(std::string_view text,
                                                        ConfigurationProblems& problems);

// The text of the file for a document: header, device, inputs, settings, then the results
// as comments, each group in the order the document holds it. Line ends are LF.
std::string FormatConfiguration(const ConfigurationDocument& document);

// A value as the file writes it: verbatim, or quoted and escaped when it needs to be.
std::string QuoteConfigurationValue(std::string_view value);

// Whether a name can stand in a file: not empty, no blanks at its ends, no "=", no control
// byte, not starting with "#" or a double quote. Names that cannot are written under
// another name by the caller.
bool IsConfigurationName(std::string_view name);

// Reads and parses a file; a file that cannot be read is a problem of line 0.
std::optional<ConfigurationDocument> ReadConfigurationFile(const std::string& path,
                                                           ConfigurationProblems& problems);

} // namespace quorvel
