// The settings file reader: any bytes read and looked up like the program does.

#include "shell/DefsDirectory.h"
#include "shell/SimpleIniFile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    quorvel::TSimpleIniFile ini = quorvel::TSimpleIniFile::FromText(text);
    for (const quorvel::DefsSlot& slot : quorvel::kDefsSlots) {
        if (!ini.ValueExists(slot.Section, slot.Key))
            ini.WriteString(slot.Section, slot.Key, "/defs");
        (void)ini.ReadString(slot.Section, slot.Key, "");
    }
    return 0;
}
