#pragma once
// Reader of the configuration section of a device definition file (".vlk"). It is a
// line-oriented tag scanner, not a markup parser: it looks for a handful of tag names anywhere
// in a line, ignoring ASCII case, and keeps a small state saying which record the next value
// belongs to.

#include "devdefs/ConfigWords.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// True when "<" + name + ">" occurs anywhere in line (ASCII case ignored).
bool HasTag(std::string_view name, std::string_view line);

// True when "<" + name occurs in line and at least one character stands between it and the
// first ">" of the line: "<field x>" and "<fields>" open a field, the bare "<field>" does not.
bool OpensTag(std::string_view name, std::string_view line);

// Removes every span from a "<" to the first ">" after it and trims what remains.
std::string StripTags(std::string_view line);

// Parses definition-file text into words (emptied first); lines end with LF, CR LF or a lone
// CR. Throws ConversionError with "'%s' is not a valid integer value" or "Range check error" at
// the first bad number (or when a list would outgrow 65,536 entries); words then keeps what was
// read before that line.
void ReadDefinitionText(std::string_view text, std::vector<TConfigWord>& words);

// As ReadDefinitionText on the text the pieces make up together, read piece by piece as the
// file reader below reads a file: a line may begin in one piece and end in a later one.
void ReadDefinitionPieces(const std::vector<std::string_view>& pieces,
                          std::vector<TConfigWord>& words);

// Reads the file `fileName` (relative to the current directory) piece by piece, up to the end
// of its configuration section. Returns false, leaving words untouched, when it is not a
// readable regular file; otherwise as ReadDefinitionText.
bool ReadDefinitionFile(const std::string& fileName, std::vector<TConfigWord>& words);

// "VLK File \"DEV.vlk\" not Found?"
std::string VlkNotFoundMessage(const std::string& deviceName);

} // namespace quorvel
