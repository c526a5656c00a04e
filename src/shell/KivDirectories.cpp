#include "shell/KivDirectories.h"

#include <climits>
#include <cstdlib>
#include <sys/auxv.h>
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

// The executable's path with every link resolved, or "" when it cannot be told. The path the
// program was started by (taken against the start directory when relative) is resolved
// first: in a new process that takes a few microseconds, while the first look into
// /proc/self takes several times as long. /proc/self/exe answers when that path does not
// resolve.
std::string ResolveProgramPath() {
    if (const auto* started = reinterpret_cast<const char*>(::getauxval(AT_EXECFN))) {
        std::string path = started;
        if (!path.empty() && path.front() != '/')
            path = JoinPath(StartDirectory(), path);
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            std::string result = resolved;
            std::free(resolved);
            return result;
        }
    }
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    return n > 0 ? std::string(buf.data(), static_cast<std::size_t>(n)) : std::string();
}

} // namespace

std::string ProgramDirectory(bool trailingSeparator) {
    // The program stays where it is: its path is resolved once.
    static const std::string path = ResolveProgramPath();
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
