#include "shell/SimpleIniFile.h"

#include "util/KivStrings.h"
#include "util/SafeWrite.h"
#include "util/TextFile.h"

#include <cerrno>
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
constexpr std::size_t kFoundSectionsKept = 8;
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

namespace {

// Whether the line that starts at `start` may be a "[section]" line: its first byte that is
// no blank (a CR counts as one, as LineAt drops it and Trim any other) is "[". Most lines are
// keys, and this settles them without taking the line apart.
bool MayBeSectionLine(const std::string& text, std::size_t start) {
    std::size_t i = start;
    if (start == 0 && std::string_view(text).starts_with(kByteOrderMark))
        i = kByteOrderMark.size();
    while (i < text.size() && text[i] != '\n' && IsBlank(text[i]))
        ++i;
    return i < text.size() && text[i] == '[';
}

} // namespace

std::size_t TSimpleIniFile::FindSection(const std::string& section) const {
    const std::string_view wanted = Trim(section);
    for (const FoundSection& found : found_)
        if (EqualsIgnoreCaseAscii(found.Name, wanted))
            return found.Line;
    std::string scratch;
    for (std::size_t at = 0; at < text_.size(); at = NextLine(text_, at)) {
        std::string_view name;
        if (MayBeSectionLine(text_, at) && SectionName(LineAt(text_, at, scratch), name) &&
            EqualsIgnoreCaseAscii(name, wanted)) {
            if (found_.size() < kFoundSectionsKept)
                found_.push_back({std::string(wanted), at});
            return at;
        }
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
    ApplyToText(change);
    Changed();
}

void TSimpleIniFile::ApplyToText(const Change& change) {
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
    Changed();
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
