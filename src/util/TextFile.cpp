#include "util/TextFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

bool ReadWholeFile(const std::string& path, std::string& contents) {
    // Only regular files, refused before opening: opening a FIFO blocks until a writer
    // comes, and a directory or a device would open but not read sensibly. The open itself
    // does not block either, should the file be swapped for a FIFO in between.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Straight into the text, at the size the file has when opened.
    std::string data(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    bool failed = false;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed = n < 0;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    ::close(fd);
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

bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& error) {
    // O_NONBLOCK: a FIFO put in the file's place fails at once instead of waiting.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace quorvel
