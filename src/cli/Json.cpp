#include "cli/Json.h"

#include <charconv>
#include <cmath>

namespace quorvel::cli {

void AppendJsonString(std::string& out, std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 0xf];
            } else if (c >= 0x80) {
                // Two-byte UTF-8 form of U+0080..U+00FF.
                out += static_cast<char>(0xc0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3f));
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back())
            out_ += ',';
        first_.back() = false;
    }
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    out_ += bracket;
    first_.push_back(true);
}

void JsonWriter::Close(char bracket) {
    out_ += bracket;
    first_.pop_back();
}

void JsonWriter::BeginObject() {
    Open('{');
}

void JsonWriter::EndObject() {
    Close('}');
}

void JsonWriter::BeginArray() {
    Open('[');
}

void JsonWriter::EndArray() {
    Close(']');
}

void JsonWriter::Key(std::string_view key) {
    BeforeValue();
    AppendJsonString(out_, key);
    out_ += ':';
    afterKey_ = true;
}

void JsonWriter::String(std::string_view value) {
    BeforeValue();
    AppendJsonString(out_, value);
}

void JsonWriter::Integer(std::int64_t value) {
    BeforeValue();
    char buf[24];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
}

void JsonWriter::Unsigned(std::uint64_t value) {
    BeforeValue();
    char buf[24];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
}

void JsonWriter::Double(double value) {
    BeforeValue();
    if (!std::isfinite(value)) {
        out_ += "null";
        return;
    }
    // The shortest round-trip form is valid JSON: "1", "0.25", "1e+20", "-0".
    char buf[32];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    out_ += value ? "true" : "false";
}

void JsonWriter::Null() {
    BeforeValue();
    out_ += "null";
}

} // namespace quorvel::cli
