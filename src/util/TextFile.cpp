#include "util/TextFile.h"

#include <fstream>
#include <sys/stat.h>

namespace quorvel {

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return false;
    in.seekg(0, std::ios::beg);
    contents.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(contents.data(), size))
        return false;
    return true;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        const bool terminated = end != std::string_view::npos;
        if (!terminated)
            end = text.size();
        std::string line(text.substr(from, end - from));
        // CR before LF ends the line with it; a lone CR is dropped.
        if (line.find('\r') != std::string::npos)
            std::erase(line, '\r');
        if (terminated || end > from)
            lines.push_back(std::move(line));
        from = end + 1;
    }
    return lines;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace quorvel
