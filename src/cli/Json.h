#pragma once
// A small writer of compact JSON for the command line. Texts of the data files are 8-bit, so
// every byte of 0x80 and above is written as the Unicode character of the same number
// (Latin-1): the output is always valid UTF-8, whatever the input held.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::cli {

// Appends s as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, std::string_view s);

class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The key of the next member of the current object.
    void Key(std::string_view key);
    void String(std::string_view value);
    void Integer(std::int64_t value);
    void Unsigned(std::uint64_t value);
    // Shortest text that reads back to the same double; null for a value that is not finite.
    void Double(double value);
    void Bool(bool value);
    void Null();

    const std::string& Text() const { return out_; }

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);

    std::string out_;
    std::vector<bool> first_; // per open container: no member written yet
    bool afterKey_ = false;
};

} // namespace quorvel::cli
