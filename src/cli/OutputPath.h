#pragma once
// Output files of the command line: where they land and which ones it refuses to write.

#include <optional>
#include <string>

namespace quorvel::cli {

// The path as the caller meant it: a relative path is taken against the directory that was
// current when the program started, before loading changed it. The bytes of the path are
// kept as they are.
std::string ResolveOutputPath(const std::string& path);

// Why the file at `path` (absolute) must not or cannot be written, or nothing: a file that
// is one of the program's own data files (in the program directory, a definition file, the
// settings file), that is not a regular file, or that lies in a directory that does not
// exist or cannot be written.
std::optional<std::string> RefuseOutputPath(const std::string& path, const std::string& programDir,
                                            const std::string& settingsFile);

} // namespace quorvel::cli
