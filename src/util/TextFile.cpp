#include "util/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

// Opens a regular file for reading and tells its size; -1 when it is not one or cannot be
// opened. Only regular files, refused before opening: opening a FIFO blocks until a writer
// comes, and a directory or a device would open but not read sensibly. The open itself does
// not block either, should the file be swapped for a FIFO in between.
int OpenRegularFile(const std::string& path, std::size_t& size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::size_t>(st.st_size);
    return fd;
}

// Reads up to `size` bytes into `data`; the count read (less at the end of the file), or -1
// when a read fails.
ssize_t ReadUpTo(int fd, char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::size_t size = 0;
    const int fd = OpenRegularFile(path, size);
    if (fd < 0)
        return false;
    // Straight into the text, at the size the file has when opened.
    std::string data(size, '\0');
    const ssize_t done = ReadUpTo(fd, data.data(), data.size());
    ::close(fd);
    if (done < 0)
        return false;
    data.resize(static_cast<std::size_t>(done));
    contents = std::move(data);
    return true;
}

bool ReadFileInPieces(const std::string& path, std::size_t pieceSize,
                      const std::function<bool(std::string_view, bool)>& take) {
    std::size_t size = 0;
    const int fd = OpenRegularFile(path, size);
    if (fd < 0)
        return false;
    // take may throw: the file is closed on every way out.
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // Not cleared first: only what a read has filled is handed over.
    const std::size_t room = std::min(std::max<std::size_t>(pieceSize, 1), size);
    const auto piece = std::make_unique_for_overwrite<char[]>(room);
    for (std::size_t left = size; left > 0;) {
        const std::size_t wanted = std::min(room, left);
        const ssize_t n = ReadUpTo(fd, piece.get(), wanted);
        if (n < 0)
            return false;
        if (n == 0)
            break; // the file got shorter since it was opened
        const auto got = static_cast<std::size_t>(n);
        left -= got;
        // A short read is the end of a file that got shorter.
        if (!take(std::string_view(piece.get(), got), left == 0 || got < wanted))
            break;
    }
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
