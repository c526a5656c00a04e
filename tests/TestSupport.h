#pragma once
// Helpers shared by the tests: scratch directories and data file paths.

#include <filesystem>
#include <string>

namespace quorvel::test {

// A fresh empty directory, removed again when the object goes away.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Writes a file below the directory (creating sub-directories) and returns its path.
    std::string Write(const std::string& name, const std::string& contents) const;

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);

// A file of tests/data.
inline std::string TestData(const std::string& name) {
    return std::string(QUORVEL_TEST_DATA_DIR) + "/" + name;
}

// Restores the current directory when it goes out of scope; the core changes it.
class KeepCurrentDirectory {
public:
    KeepCurrentDirectory() : saved_(std::filesystem::current_path()) {}
    ~KeepCurrentDirectory() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

} // namespace quorvel::test
