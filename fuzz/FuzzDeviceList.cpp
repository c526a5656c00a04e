// The device list reader.

#include "shell/DeviceList.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const quorvel::DeviceList list = quorvel::ParseDeviceList(text);
    return list.Items.size() < list.DeviceTypes.size() ? 1 : 0;
}
