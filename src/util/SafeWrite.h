#pragma once
// Replacing a file safely: the new bytes go to a temporary file of a unique name, created
// exclusively beside the file (beside a symbolic link's final target), with the old file's
// mode and owner, and synced, then renamed over it. A failed write leaves the old file as it
// was, and a file or link planted under the temporary name is never written.

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace quorvel {

// The path a write has to replace: a symbolic link is followed to its final target, which
// need not exist yet. False (with the error) for a loop of links.
bool FollowLinks(const std::string& path, std::string& target, std::string& error);

// Writes text to `target` (no link) by way of a new temporary file that is renamed over it.
// An existing target's mode and owner (`old`, null for a new file) pass to the new file.
// False with the system's reason in `error`.
bool ReplaceFile(const std::string& target, const struct stat* old, std::string_view text,
                 std::string& error);

// Replaces the file at path, through links, by text as above; a path that is no regular
// file, or a file without write permission, is refused. False with the reason in `error`.
bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& error);

} // namespace quorvel
