#pragma once
// Where the program lives and where it was started.

#include <string>

namespace quorvel {

// The directory of the running executable, with or without a trailing "/".
std::string ProgramDirectory(bool trailingSeparator);

// The directory that was current when the program started. Recorded by the first call,
// which front ends make before they change directory.
std::string StartDirectory();

// The current directory; empty if it cannot be determined.
std::string CurrentDirectory();

// Makes path the current directory; false when it cannot.
bool SetCurrentDirectory(const std::string& path);

// Joins a directory and a file name with one "/".
std::string JoinPath(const std::string& directory, const std::string& name);

} // namespace quorvel
