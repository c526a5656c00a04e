#include "shell/HeadlessViews.h"

#include "util/Errors.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

// Past this many kept segments the picture is decoded and drawn into directly, so keeping
// them never costs more memory than the picture.
constexpr std::size_t kMaxPendingSegments = 1 << 16;
// The headers and palette of every bitmap the program writes lie in its first bytes.
constexpr std::size_t kHeadBytes = 4096;

// Hands the free pages of the heap back to the system where the allocator can.
void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// Reads up to `size` bytes from offset 0; false on a read error.
bool ReadAt(int fd, std::size_t size, std::string& out) {
    out.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, out.data() + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return true;
}

} // namespace

RasterSurface::~RasterSurface() {
    CloseFile();
}

void RasterSurface::CloseFile() const {
    if (file_ >= 0)
        ::close(file_);
    file_ = -1;
}

void RasterSurface::LoadBitmap(const std::string& path) {
    // Only regular files: a directory or a device would open but not read sensibly, and
    // opening does not wait (a named pipe would wait for a writer).
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        throw FileError("Cannot open file \"" + path + "\"");
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    std::string head;
    bool read = ReadAt(fd, std::min(size, kHeadBytes), head);
    int width = 0;
    int height = 0;
    Bitmap::Validity validity = Bitmap::Validity::Invalid;
    if (read) {
        validity = Bitmap::CheckHead(head, size, width, height);
        if (validity == Bitmap::Validity::NeedsMore) {
            // Headers beyond the first bytes: check on the whole file.
            read = ReadAt(fd, size, head);
            validity = read && Bitmap::Check(head, width, height) ? Bitmap::Validity::Valid
                                                                  : Bitmap::Validity::Invalid;
        }
    }
    if (!read) {
        ::close(fd);
        throw FileError("Cannot open file \"" + path + "\"");
    }
    if (validity != Bitmap::Validity::Valid) {
        ::close(fd);
        throw FileError("Bitmap image is not valid");
    }
    CloseFile();
    bitmap_ = Bitmap{};
    pending_.clear();
    file_ = fd;
    width_ = width;
    height_ = height;
}

void RasterSurface::DrawSegment(int x1, int y1, int x2, int y2, Rgb colour, int width) {
    if (file_ >= 0 && pending_.size() < kMaxPendingSegments) {
        pending_.push_back({x1, y1, x2, y2, colour, width});
        return;
    }
    DecodePending();
    bitmap_.DrawLine(x1, y1, x2, y2, colour, width);
}

void RasterSurface::DecodePending() const {
    if (file_ < 0)
        return;
    DecodeFile();
    // A previous picture and the file's bytes, a few megabytes, are free now. Once one block
    // of that size has been freed the allocator keeps such blocks in its heap for good, so
    // each device switch would leave some behind: their pages go back to the system instead.
    if (decodedBefore_)
        ReturnFreedMemory();
    decodedBefore_ = true;
}

void RasterSurface::DecodeFile() const {
    struct stat st {};
    std::string bytes;
    const bool read =
        ::fstat(file_, &st) == 0 && ReadAt(file_, static_cast<std::size_t>(st.st_size), bytes);
    CloseFile();
    Bitmap decoded;
    if (read && Bitmap::Decode(bytes, decoded) && decoded.Width() == width_ &&
        decoded.Height() == height_)
        bitmap_ = std::move(decoded);
    else
        bitmap_ = Bitmap(width_, height_);
    for (const Segment& s : pending_)
        bitmap_.DrawLine(s.x1, s.y1, s.x2, s.y2, s.colour, s.width);
    std::vector<Segment>().swap(pending_);
}

const Bitmap& RasterSurface::Picture() const {
    DecodePending();
    return bitmap_;
}

Bitmap& RasterSurface::Picture() {
    DecodePending();
    return bitmap_;
}

} // namespace quorvel
