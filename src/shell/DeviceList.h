#pragma once
// The device list file: one device per line, "name = diagram // comment".

#include "diagram/Model.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

inline constexpr const char* kDeviceListFileName = "Quorvel_Configuration_PICs.txt";
// The name that marks a separator line: listed, but no device.
inline constexpr std::string_view kSeparatorName = "-";

struct DeviceList {
    std::vector<TPic_Type> DeviceTypes;   // devices, separators excluded
    std::vector<std::string> Items;       // what the list box shows, separators included
    std::vector<std::size_t> DeviceLines; // the file line (from 1) of each device
};

// At most this many list items (devices and separators).
inline constexpr std::size_t kMaxDeviceListEntries = 65536;

// Applies the line rules to the text of a device list file. Throws ConversionError ("Range
// check error") at an item beyond kMaxDeviceListEntries.
DeviceList ParseDeviceList(std::string_view text);

} // namespace quorvel
