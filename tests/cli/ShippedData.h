#pragma once
// The shipped data files of one kind, for end-to-end runs over all of them.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::test {

// Regular files below the shipped data directory (or its sub-directory `dir`) whose name
// starts with `prefix` and ends with `suffix`, sorted.
inline std::vector<std::string> ShippedFiles(const std::string& dir, const std::string& prefix,
                                             const std::string& suffix) {
    std::vector<std::string> files;
    const std::filesystem::path root = std::filesystem::path(QUORVEL_SHIPPED_DATA_DIR) / dir;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(root, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.starts_with(prefix) && name.ends_with(suffix))
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace quorvel::test
