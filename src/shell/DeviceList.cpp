#include "shell/DeviceList.h"

#include "util/KivStrings.h"
#include "util/TextFile.h"

namespace quorvel {

DeviceList ParseDeviceList(std::string_view text) {
    DeviceList list;
    for (const std::string& raw : SplitLines(text)) {
        std::string_view line = Trim(raw);
        const std::size_t comment = line.find("//");
        if (comment != std::string_view::npos)
            line = Trim(line.substr(0, comment));
        if (line.empty())
            continue;
        std::string name;
        std::string diagram;
        SplitAtFirst(line, "=", name, diagram);
        name = TrimCopy(name);
        diagram = TrimCopy(diagram);
        if (name != kSeparatorName)
            list.DeviceTypes.push_back({name, diagram});
        list.Items.push_back(name);
    }
    return list;
}

} // namespace quorvel
