#include "util/SafeWrite.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace quorvel {

namespace {

constexpr std::size_t kNone = std::string::npos;

std::string ErrorText(int error) {
    return std::strerror(error);
}

// A name for a temporary file beside `target` that no other instance picks at the same
// time: the process, a counter and the clock.
std::string TemporaryName(const std::string& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::uint64_t mix = static_cast<std::uint64_t>(now) * 0x9E3779B97F4A7C15ull ^
                              (static_cast<std::uint64_t>(::getpid()) << 20) ^ ++counter ^ attempt;
    constexpr std::string_view digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    for (std::uint64_t v = mix; suffix.size() < 8; v /= digits.size())
        suffix += digits[v % digits.size()];
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == kNone ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == kNone ? target : target.substr(slash + 1);
    return dir + "." + base + "." + suffix;
}

bool WriteAll(int fd, std::string_view text, std::string& error) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = ErrorText(errno);
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool FollowLinks(const std::string& path, std::string& target, std::string& error) {
    target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            error = ErrorText(errno);
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        const std::size_t slash = target.rfind('/');
        if (!link.empty() && link.front() != '/' && slash != kNone)
            link = target.substr(0, slash + 1) + link;
        target = link;
    }
    error = ErrorText(ELOOP);
    return false;
}

bool ReplaceFile(const std::string& target, const struct stat* old, std::string_view text,
                 std::string& error) {
    std::string tempName;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = TemporaryName(target, attempt);
        // O_EXCL and O_NOFOLLOW: a file or link planted under the name is never written.
        fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    old != nullptr ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            error = ErrorText(errno);
            return false;
        }
    }
    if (fd < 0) {
        error = ErrorText(EEXIST);
        return false;
    }
    bool ok = true;
    if (old != nullptr) {
        // The owner first: changing it may clear set-id bits that the mode then restores.
        // Only the superuser may give a file away; others keep their own file as it was.
        (void)::fchown(fd, old->st_uid, old->st_gid);
        if (::fchmod(fd, old->st_mode & 07777) != 0) {
            error = ErrorText(errno);
            ok = false;
        }
    }
    ok = ok && WriteAll(fd, text, error);
    if (ok && ::fsync(fd) != 0) {
        error = ErrorText(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = ErrorText(errno);
        ok = false;
    }
    if (ok && std::rename(tempName.c_str(), target.c_str()) != 0) {
        error = ErrorText(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(tempName.c_str());
    return ok;
}

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& error) {
    std::string target;
    if (!FollowLinks(path, target, error))
        return false;
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    // A file without write permission is read-only also for the superuser.
    if (exists && (::access(target.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)) {
        error = ErrorText(EACCES);
        return false;
    }
    return ReplaceFile(target, exists ? &st : nullptr, text, error);
}

} // namespace quorvel
