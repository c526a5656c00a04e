#include "util/TextFile.h"

#include <cstdio>
#include <sys/stat.h>

namespace quorvel {

bool ReadWholeFile(const std::string& path, std::string& contents) {
    // Only regular files: a directory or a device would open but not read sensibly.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    struct stat st {};
    if (::fstat(::fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(file);
        return false;
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        data.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return false;
    contents = std::move(data);
    return true;
}

void ForEachLine(std::string_view text, const std::function<void(std::string_view)>& visit) {
    std::string withoutCr;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        const bool terminated = end != std::string_view::npos;
        if (!terminated)
            end = text.size();
        std::string_view line = text.substr(from, end - from);
        // CR before LF ends the line with it; a lone CR is dropped.
        if (line.find('\r') != std::string_view::npos) {
            withoutCr.assign(line);
            std::erase(withoutCr, '\r');
            line = withoutCr;
        }
        if (terminated || end > from)
            visit(line);
        from = end + 1;
    }
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace quorvel
