#include "cli/OutputPath.h"

#include "cli/PngPainter.h"
#include "shell/KivDirectories.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::cli {

namespace {

// The canonical path of an existing file or directory, or "" when it does not exist.
std::string RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return {};
    std::string result(real);
    std::free(real);
    return result;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The files the program reads from its own directory: the device list, the help text, the
// diagrams and their descriptions all start with "Quorvel_", like the window's executable;
// the definitions lie in "Defs", and the picture writer is loaded from there.
bool IsProgramFile(const std::string& relative) {
    const std::string base = BaseName(relative);
    return base.starts_with("Quorvel_") || base == "quorvel" || base == kPngPainterFileName ||
           relative.starts_with("Defs/");
}

} // namespace

std::string ResolveOutputPath(const std::string& path) {
    if (path.empty() || path.front() == '/')
        return path;
    return JoinPath(StartDirectory(), path);
}

std::optional<std::string> RefuseOutputPath(const std::string& path, const std::string& programDir,
                                            const std::string& settingsFile) {
    const std::string quoted = "\"" + path + "\"";
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return quoted + " is not a regular file";
        const std::string real = RealPath(path);
        const std::string programReal = RealPath(programDir);
        const bool inProgramDir = !programReal.empty() && real.starts_with(programReal + "/") &&
                                  IsProgramFile(real.substr(programReal.size() + 1));
        if (inProgramDir || real.ends_with(".vlk") || real == RealPath(settingsFile))
            return quoted + " is one of the program's own files and is not replaced";
        if (::access(path.c_str(), W_OK) != 0)
            return quoted + " cannot be written: " + std::strerror(errno);
        return std::nullopt;
    }
    const std::string dir = DirName(path);
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return quoted + " cannot be written: the directory \"" + dir + "\" does not exist";
    if (::access(dir.c_str(), W_OK | X_OK) != 0)
        return quoted + " cannot be written: " + std::strerror(errno);
    return std::nullopt;
}

} // namespace quorvel::cli
