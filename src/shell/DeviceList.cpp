#include "shell/DeviceList.h"

#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"
#include "util/TextFile.h"

namespace quorvel {

DeviceList ParseDeviceList(std::string_view text) {
    DeviceList list;
    std::size_t number = 0;
    ForEachLine(text, [&list, &number](std::string_view raw) {
        ++number;
        std::string_view line = Trim(raw);
        const std::size_t comment = line.find("//");
        if (comment != std::string_view::npos)
            line = Trim(line.substr(0, comment));
        if (line.empty())
            return;
        // A line without "=" gives an empty name and an empty diagram name.
        std::string_view name;
        std::string_view diagram;
        if (const std::size_t eq = line.find('='); eq != std::string_view::npos) {
            name = Trim(line.substr(0, eq));
            diagram = Trim(line.substr(eq + 1));
        }
        // Both lists are indexed with 16-bit counters; past that an index would wrap.
        if (list.Items.size() >= kMaxDeviceListEntries)
            throw ConversionError(kRangeCheckError);
        if (name != kSeparatorName) {
            list.DeviceTypes.push_back({std::string(name), std::string(diagram)});
            list.DeviceLines.push_back(number);
        }
        list.Items.emplace_back(name);
    });
    return list;
}

} // namespace quorvel
