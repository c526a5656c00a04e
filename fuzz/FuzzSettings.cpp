// The settings file as a device load uses it: any bytes are read, the nine keys are looked
// up, the missing ones are added and the file is written back to disk and read again. The
// write must keep every value that was there, and leave a file that needs no further key.

#include "shell/DefsDirectory.h"
#include "shell/SimpleIniFile.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

// One scratch settings file for the whole run, in the system's temporary directory.
const std::string& SettingsPath() {
    static const std::string path = [] {
        std::error_code ec;
        const auto dir = std::filesystem::temp_directory_path(ec) /
                         ("quorvel-fuzz-settings-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir, ec);
        return (dir / "Quorvel_Configuration.ini").string();
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string& path = SettingsPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out)
            return 0;
    }
    std::array<std::string, 9> before;
    std::array<bool, 9> existed{};
    const quorvel::TSimpleIniFile original = quorvel::TSimpleIniFile::FromText(text);
    for (std::size_t slot = 0; slot < quorvel::kDefsSlots.size(); ++slot) {
        const quorvel::DefsSlot& s = quorvel::kDefsSlots[slot];
        existed[slot] = original.ValueExists(s.Section, s.Key);
        before[slot] = original.ReadString(s.Section, s.Key, "");
    }
    {
        quorvel::TSimpleIniFile ini(path);
        for (const quorvel::DefsSlot& s : quorvel::kDefsSlots)
            ini.WriteDefault(s.Section, s.Key, "/defs");
        std::string error;
        if (!ini.UpdateFile(error))
            std::abort();
    }
    quorvel::TSimpleIniFile again(path);
    for (std::size_t slot = 0; slot < quorvel::kDefsSlots.size(); ++slot) {
        const quorvel::DefsSlot& s = quorvel::kDefsSlots[slot];
        const std::string value = again.ReadString(s.Section, s.Key, "<missing>");
        if (value != (existed[slot] ? before[slot] : "/defs"))
            std::abort();
        again.WriteDefault(s.Section, s.Key, "/other");
    }
    if (again.Modified())
        std::abort();
    return 0;
}
