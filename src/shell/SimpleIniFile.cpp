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

// The section name of a "[name]" line (blanks around the brackets allowed), or false.
bool SectionName(const std::string& line, std::string_view& name) {
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
bool KeyValue(const std::string& line, std::string_view& key, std::string_view& value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    key = Trim(std::string_view(line).substr(0, eq));
    value = Trim(std::string_view(line).substr(eq + 1));
    return true;
}

} // namespace

TSimpleIniFile::TSimpleIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::string contents;
    if (ReadWholeFile(fileName_, contents))
        lines_ = SplitLines(contents);
}

TSimpleIniFile TSimpleIniFile::FromText(std::string_view text) {
    TSimpleIniFile ini;
    ini.lines_ = SplitLines(text);
    return ini;
}

int TSimpleIniFile::FindSection(const std::string& section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionName(lines_[i], name) && EqualsIgnoreCaseAscii(name, Trim(section)))
            return static_cast<int>(i);
    }
    return -1;
}

int TSimpleIniFile::FindKey(int sectionLine, const std::string& key) const {
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionName(lines_[i], name))
            break;
        std::string_view k;
        std::string_view v;
        if (KeyValue(lines_[i], k, v) && EqualsIgnoreCaseAscii(k, Trim(key)))
            return static_cast<int>(i);
    }
    return -1;
}

bool TSimpleIniFile::ValueExists(const std::string& section, const std::string& key) const {
    const int s = FindSection(section);
    return s >= 0 && FindKey(s, key) >= 0;
}

std::string TSimpleIniFile::ReadString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    const int s = FindSection(section);
    if (s < 0)
        return defaultValue;
    const int k = FindKey(s, key);
    if (k < 0)
        return defaultValue;
    std::string_view name;
    std::string_view value;
    KeyValue(lines_[static_cast<std::size_t>(k)], name, value);
    // The profile functions drop one pair of quotes enclosing the whole value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void TSimpleIniFile::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value) {
    const std::string line = key + "=" + value;
    modified_ = true;
    const int s = FindSection(section);
    if (s < 0) {
        if (!lines_.empty() && !Trim(lines_.back()).empty())
            lines_.emplace_back();
        lines_.push_back("[" + section + "]");
        lines_.push_back(line);
        return;
    }
    const int k = FindKey(s, key);
    if (k >= 0) {
        lines_[static_cast<std::size_t>(k)] = line;
        return;
    }
    // Append after the last non-blank line of the section.
    std::size_t insertAt = static_cast<std::size_t>(s) + 1;
    for (std::size_t i = insertAt; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionName(lines_[i], name))
            break;
        if (!Trim(lines_[i]).empty())
            insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

bool TSimpleIniFile::UpdateFile(std::string& error) {
    if (!modified_)
        return true;
    if (fileName_.empty()) {
        error = "no file name";
        return false;
    }
    std::string text;
    for (const std::string& l : lines_) {
        text += l;
        text += '\n';
    }
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
