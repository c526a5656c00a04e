#include "shell/RecentFiles.h"

#include "shell/SimpleIniFile.h"
#include "util/NumberText.h"

#include <algorithm>

namespace quorvel {

namespace {

std::string Key(std::size_t place) {
    return "File" + UIntToText(place + 1);
}

} // namespace

std::vector<std::string> ReadRecentFiles(const TSimpleIniFile& ini) {
    std::vector<std::string> list;
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        std::string path = ini.ReadString(kRecentSection, Key(i), "");
        if (!path.empty() && std::find(list.begin(), list.end(), path) == list.end())
            list.push_back(std::move(path));
    }
    return list;
}

std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path) {
    std::erase(list, path);
    list.insert(list.begin(), path);
    if (list.size() > kRecentFileCount)
        list.resize(kRecentFileCount);
    return list;
}

void WriteRecentFiles(TSimpleIniFile& ini, const std::vector<std::string>& list) {
    for (std::size_t i = 0; i < kRecentFileCount; ++i)
        ini.WriteString(kRecentSection, Key(i), i < list.size() ? list[i] : std::string());
}

} // namespace quorvel
