#include "shell/SimpleIniFile.h"

#include "util/KivStrings.h"
#include "util/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace quorvel {

namespace {

constexpr std::size_t kNone = std::string::npos;

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

// The line of text (every line ends with LF) that starts at `start`, without its LF.
std::string_view LineAt(const std::string& text, std::size_t start) {
    const std::size_t end = text.find('\n', start);
    return std::string_view(text).substr(start, end - start);
}

// Start of the line after the one that starts at `start`.
std::size_t NextLine(const std::string& text, std::size_t start) {
    return text.find('\n', start) + 1;
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

void TSimpleIniFile::SetText(std::string_view text) {
    // Lines end with LF or CR LF; a CR anywhere else is dropped, and a last line without
    // line end counts.
    text_.clear();
    text_.reserve(text.size() + 1);
    for (std::size_t from = 0; from < text.size();) {
        std::size_t cr = text.find('\r', from);
        if (cr == std::string_view::npos)
            cr = text.size();
        text_.append(text.substr(from, cr - from));
        from = cr + 1;
    }
    if (!text.empty() && text.back() != '\n')
        text_ += '\n';
}

std::size_t TSimpleIniFile::FindSection(const std::string& section) const {
    const std::string_view wanted = Trim(section);
    for (std::size_t at = 0; at < text_.size(); at = NextLine(text_, at)) {
        std::string_view name;
        if (SectionName(LineAt(text_, at), name) && EqualsIgnoreCaseAscii(name, wanted))
            return at;
    }
    return kNone;
}

std::size_t TSimpleIniFile::FindKey(std::size_t sectionLine, const std::string& key) const {
    const std::string_view wanted = Trim(key);
    for (std::size_t at = NextLine(text_, sectionLine); at < text_.size();
         at = NextLine(text_, at)) {
        const std::string_view line = LineAt(text_, at);
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
    std::string_view name;
    std::string_view value;
    KeyValue(LineAt(text_, k), name, value);
    // The profile functions drop one pair of quotes enclosing the whole value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void TSimpleIniFile::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value) {
    const std::string line = key + "=" + value + "\n";
    modified_ = true;
    const std::size_t s = FindSection(section);
    if (s == kNone) {
        // A new section goes to the end, after a blank line unless the file ends with one.
        if (!text_.empty()) {
            const std::size_t before =
                text_.size() >= 2 ? text_.rfind('\n', text_.size() - 2) : kNone;
            const std::size_t last = before == kNone ? 0 : before + 1;
            if (!Trim(LineAt(text_, last)).empty())
                text_ += '\n';
        }
        text_ += "[" + section + "]\n" + line;
        return;
    }
    const std::size_t k = FindKey(s, key);
    if (k != kNone) {
        text_.replace(k, NextLine(text_, k) - k, line);
        return;
    }
    // Append after the last non-blank line of the section.
    std::size_t insertAt = NextLine(text_, s);
    for (std::size_t at = insertAt; at < text_.size(); at = NextLine(text_, at)) {
        const std::string_view current = LineAt(text_, at);
        std::string_view name;
        if (SectionName(current, name))
            break;
        if (!Trim(current).empty())
            insertAt = NextLine(text_, at);
    }
    text_.insert(insertAt, line);
}

bool TSimpleIniFile::UpdateFile(std::string& error) {
    if (!modified_)
        return true;
    if (fileName_.empty()) {
        error = "no file name";
        return false;
    }
    const std::string& text = text_;
    const std::string tempName = fileName_ + ".tmp";
    const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = std::strerror(errno);
            ::close(fd);
            ::unlink(tempName.c_str());
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const int syncErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        error = std::strerror(synced ? errno : syncErrno);
        ::unlink(tempName.c_str());
        return false;
    }
    if (std::rename(tempName.c_str(), fileName_.c_str()) != 0) {
        error = std::strerror(errno);
        ::unlink(tempName.c_str());
        return false;
    }
    modified_ = false;
    return true;
}

} // namespace quorvel
