#include "shell/SimpleIniFile.h"

#include "util/KivStrings.h"
#include "util/TextFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

constexpr std::size_t kNone = std::string::npos;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The section name of a "[name]" line (blanks around the brackets allowed), or false.
bool SectionName(std::string_view line, std::string_view& name) {
    const std::string_view t = Trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos)
        return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// Splits "key=value"; false for a line without "=".
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

// End of the content of the line that starts at `start`: before its LF or CR LF, or the end
// of the text for a last line without line end.
std::size_t ContentEnd(const std::string& text, std::size_t start) {
    std::size_t end = text.find('\n', start);
    if (end == kNone)
        return text.size();
    if (end > start && text[end - 1] == '\r')
        --end;
    return end;
}

// Start of the line after the one that starts at `start` (the text's size after the last).
std::size_t NextLine(const std::string& text, std::size_t start) {
    const std::size_t end = text.find('\n', start);
    return end == kNone ? text.size() : end + 1;
}

// The line that starts at `start` as the profile functions read it: without its line end,
// without a byte-order mark before the first line, and without any other CR (a lone CR is
// no line end). `scratch` holds the text when CRs had to be dropped.
std::string_view LineAt(const std::string& text, std::size_t start, std::string& scratch) {
    std::string_view line = std::string_view(text).substr(start, ContentEnd(text, start) - start);
    if (start == 0 && line.starts_with(kByteOrderMark))
        line.remove_prefix(kByteOrderMark.size());
    if (line.find('\r') == std::string_view::npos)
        return line;
    scratch.assign(line);
    std::erase(scratch, '\r');
    return scratch;
}

// The line end new lines get: CR LF when the file's first line ends so, else LF.
std::string_view LineEnd(const std::string& text) {
    const std::size_t lf = text.find('\n');
    return lf != kNone && lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

// Ends the last line of a non-empty text that has no line end.
void EndLastLine(std::string& text, std::string_view eol) {
    if (!text.empty() && text.back() != '\n')
        text += eol;
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

// The path a write has to replace: a symbolic link is followed to its final target, which
// need not exist yet. False (with the error) for a loop of links.
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

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == kNone)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An exclusive lock on a directory for the time of one read-modify-write of a file in it.
// The directory is locked rather than the file, because the file is replaced by the write.
// Where locking is not possible the write goes ahead unlocked.
class DirectoryLock {
public:
    explicit DirectoryLock(const std::string& dir)
        : fd_(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~DirectoryLock() {
        if (fd_ >= 0)
            ::close(fd_); // releases the lock
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

private:
    int fd_;
};

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

// Writes text to `target` by way of a new temporary file that is renamed over it. An
// existing target's mode and owner pass to the new file.
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

} // namespace

TSimpleIniFile::TSimpleIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::string contents;
    if (ReadWholeFile(fileName_, contents))
        SetText(contents);
}

TSimpleIniFile TSimpleIniFile::FromText(std::string_view text) {
    TSimpleIniFile ini;
    ini.SetText(text);
    return ini;
}

std::size_t TSimpleIniFile::FindSection(const std::string& section) const {
    const std::string_view wanted = Trim(section);
    std::string scratch;
    for (std::size_t at = 0; at < text_.size(); at = NextLine(text_, at)) {
        std::string_view name;
        if (SectionName(LineAt(text_, at, scratch), name) && EqualsIgnoreCaseAscii(name, wanted))
            return at;
    }
    return kNone;
}

std::size_t TSimpleIniFile::FindKey(std::size_t sectionLine, const std::string& key) const {
    const std::string_view wanted = Trim(key);
    std::string scratch;
    for (std::size_t at = NextLine(text_, sectionLine); at < text_.size();
         at = NextLine(text_, at)) {
        const std::string_view line = LineAt(text_, at, scratch);
        std::string_view name;
        if (SectionName(line, name))
            break;
        std::string_view k;
        std::string_view v;
        if (KeyValue(line, k, v) && EqualsIgnoreCaseAscii(k, wanted))
            return at;
    }
    return kNone;
}

bool TSimpleIniFile::ValueExists(const std::string& section, const std::string& key) const {
    const std::size_t s = FindSection(section);
    return s != kNone && FindKey(s, key) != kNone;
}

std::string TSimpleIniFile::ReadString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    const std::size_t s = FindSection(section);
    if (s == kNone)
        return defaultValue;
    const std::size_t k = FindKey(s, key);
    if (k == kNone)
        return defaultValue;
    std::string scratch;
    std::string_view name;
    std::string_view value;
    KeyValue(LineAt(text_, k, scratch), name, value);
    // The profile functions drop one pair of quotes enclosing the whole value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void TSimpleIniFile::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value) {
    pending_.push_back({section, key, value, true});
    Apply(pending_.back());
}

void TSimpleIniFile::WriteDefault(const std::string& section, const std::string& key,
                                  const std::string& value) {
    if (ValueExists(section, key))
        return;
    pending_.push_back({section, key, value, false});
    Apply(pending_.back());
}

void TSimpleIniFile::Apply(const Change& change) {
    const std::string_view eol = LineEnd(text_);
    const std::string content = change.Key + "=" + change.Value;
    const std::size_t s = FindSection(change.Section);
    if (s == kNone) {
        // A new section goes to the end, after a blank line unless the file ends with one.
        std::string scratch;
        std::size_t last = kNone;
        for (std::size_t at = 0; at < text_.size(); at = NextLine(text_, at))
            last = at;
        EndLastLine(text_, eol);
        if (last != kNone && !Trim(LineAt(text_, last, scratch)).empty())
            text_ += eol;
        text_.append("[").append(change.Section).append("]").append(eol);
        text_.append(content).append(eol);
        return;
    }
    const std::size_t k = FindKey(s, change.Key);
    if (k != kNone) {
        // The line keeps its own line end.
        if (change.Replace)
            text_.replace(k, ContentEnd(text_, k) - k, content);
        return;
    }
    // Append after the last non-blank line of the section.
    std::string scratch;
    std::size_t insertAt = NextLine(text_, s);
    for (std::size_t at = insertAt; at < text_.size(); at = NextLine(text_, at)) {
        const std::string_view current = LineAt(text_, at, scratch);
        std::string_view name;
        if (SectionName(current, name))
            break;
        if (!Trim(current).empty())
            insertAt = NextLine(text_, at);
    }
    if (insertAt == text_.size()) {
        EndLastLine(text_, eol);
        insertAt = text_.size();
    }
    text_.insert(insertAt, content + std::string(eol));
}

bool TSimpleIniFile::UpdateFile(std::string& error) {
    if (pending_.empty())
        return true;
    if (fileName_.empty()) {
        error = "no file name";
        return false;
    }
    std::string target;
    if (!FollowLinks(fileName_, target, error))
        return false;
    const DirectoryLock lock(DirectoryOf(target));
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    // Another instance may have written since this one read: replay the changes on the
    // file as it is now.
    std::string current;
    if (exists && !ReadWholeFile(target, current)) {
        error = ErrorText(errno != 0 ? errno : EIO);
        return false;
    }
    TSimpleIniFile fresh = FromText(current);
    for (const Change& change : pending_)
        fresh.Apply(change);
    text_ = std::move(fresh.text_);
    if (!(exists && text_ == current)) {
        // A file without write permission is read-only also for the superuser.
        if (exists && (::access(target.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)) {
            error = ErrorText(EACCES);
            return false;
        }
        if (!ReplaceFile(target, exists ? &st : nullptr, text_, error))
            return false;
    }
    pending_.clear();
    return true;
}

} // namespace quorvel
