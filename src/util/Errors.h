#pragma once
// Errors raised by the core carry the exact message the user sees. Front ends catch
// std::exception at one place and show what().

#include <stdexcept>
#include <string>

namespace quorvel {

// A text that does not convert to a number, or a number outside its field's range.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened or read.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An index beyond the fields of a description line ("List index out of bounds (%d)").
class ListIndexError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace quorvel
