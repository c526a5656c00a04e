#pragma once
// Reading whole text files as 8-bit bytes.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Splits text into lines ending with LF or CR LF; a CR not followed by LF is dropped, and a
// final line without line end counts. Bytes are kept as they are, NUL included.
std::vector<std::string> SplitLines(std::string_view text);

// True when a regular file (or a link to one) exists at path.
bool FileExists(const std::string& path);

} // namespace quorvel
