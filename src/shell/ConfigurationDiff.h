#pragma once
// What two configurations choose differently, by name: the device, the input texts, the
// chosen settings and the computed values that differ as a result.

#include "shell/ConfigurationFile.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvel {

struct ConfigurationDifference {
    enum class Kind { Device, Input, Setting, Result };
    Kind What = Kind::Setting;
    std::string Name;
    // The values on each side; a side that has no such name holds nothing.
    std::optional<std::string> Left;
    std::optional<std::string> Right;
};

// The differences of two documents: the device first, then the inputs, the settings and the
// results, each in the order of the left document followed by names only the right one has.
// Names match without regard to ASCII case; values must be equal byte for byte.
std::vector<ConfigurationDifference> CompareConfigurations(const ConfigurationDocument& left,
                                                           const ConfigurationDocument& right);

// One difference as a line of text, such as "setting CLKDIV<7:6>: 0 -> 1" or
// "frequency Fosc: 80 Mhz -> 40 Mhz"; a missing side reads "(none)".
std::string DifferenceText(const ConfigurationDifference& difference);

} // namespace quorvel
