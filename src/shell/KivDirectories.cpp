#include "shell/KivDirectories.h"

#include <climits>
#include <unistd.h>
#include <vector>

namespace quorvel {

namespace {

std::string WithSeparator(std::string dir, bool trailing) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (trailing && (dir.empty() || dir.back() != '/'))
        dir += '/';
    return dir;
}

} // namespace

std::string ProgramDirectory(bool trailingSeparator) {
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    std::string path = n > 0 ? std::string(buf.data(), static_cast<std::size_t>(n)) : std::string();
    const std::size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? CurrentDirectory() : path.substr(0, slash + 1);
    return WithSeparator(dir, trailingSeparator);
}

std::string CurrentDirectory() {
    std::vector<char> buf(PATH_MAX + 1);
    if (::getcwd(buf.data(), buf.size()) == nullptr)
        return {};
    return std::string(buf.data());
}

std::string StartDirectory() {
    static const std::string start = CurrentDirectory();
    return start;
}

bool SetCurrentDirectory(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

} // namespace quorvel
