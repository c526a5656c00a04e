#pragma once
// Reading whole text files as 8-bit bytes.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Reads the file as ReadWholeFile does, up to the size it has when opened, but in pieces of
// at most pieceSize bytes, each handed to take(piece, last) in order while take returns true;
// `last` is true for the file's final piece. The piece is valid only during the call. False
// when the file cannot be opened or a read fails (after the pieces read before); a file that
// gets shorter ends early, its last piece marked as such.
bool ReadFileInPieces(const std::string& path, std::size_t pieceSize,
                      const std::function<bool(std::string_view, bool)>& take);

// Splits text into lines ending with LF or CR LF; a CR not followed by LF is dropped, and a
// final line without line end counts. Bytes are kept as they are, NUL included.
std::vector<std::string> SplitLines(std::string_view text);

// Calls visit(line) for every line that SplitLines would return, in order, keeping none of
// them: the line is valid only during the call.
void ForEachLine(std::string_view text, const std::function<void(std::string_view)>& visit);

// Creates or truncates the file at path, whose bytes are used as they are, and writes the
// bytes. Returns false with the system's reason in `error` when that fails.
bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& error);

// True when a regular file (or a link to one) exists at path.
bool FileExists(const std::string& path);

} // namespace quorvel
