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

// One scratch directory for the whole run, in shared memory where there is one (every
// write syncs the file, which costs nothing there), else in the temporary directory. It is
// removed when the run ends.
class ScratchSettings {
public:
    ScratchSettings() {
        std::error_code ec;
        const std::filesystem::path shm = "/dev/shm";
        const auto base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path(ec);
        dir_ = base / ("quorvel-fuzz-settings-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_, ec);
        path_ = (dir_ / "Quorvel_Configuration.ini").string();
    }
    ~ScratchSettings() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ScratchSettings(const ScratchSettings&) = delete;
    ScratchSettings& operator=(const ScratchSettings&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::filesystem::path dir_;
    std::string path_;
};

const std::string& SettingsPath() {
    static const ScratchSettings scratch;
    return scratch.Path();
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
