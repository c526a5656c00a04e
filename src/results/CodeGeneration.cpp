#include "results/CodeGeneration.h"

#include "util/Errors.h"
#include "util/NumberText.h"

namespace quorvel {

namespace {

// A bit number of the name: a decimal integer in 0..65535.
std::uint32_t BitNumber(const std::string& text) {
    const std::int32_t value = StrToInt(text);
    if (value < 0 || value > 65535)
        throw ConversionError(kRangeCheckError);
    return static_cast<std::uint32_t>(value);
}

} // namespace

FieldWrite ParseFieldWrite(const std::string& name, std::uint32_t value) {
    const std::size_t open = name.find('<');
    FieldWrite write;
    write.Register = name.substr(0, open == std::string::npos ? name.size() : open);
    std::string bits = open == std::string::npos ? std::string() : name.substr(open + 1, 255);
    if (!bits.empty())
        bits.pop_back(); // the closing ">"
    const std::size_t colon = bits.find(':');
    const std::string hiText = colon == std::string::npos ? bits : bits.substr(0, colon);
    const std::string loText = colon == std::string::npos ? bits : bits.substr(colon + 1);
    const std::uint32_t hi = BitNumber(hiText);
    const std::uint32_t lo = BitNumber(loText);

    // Unsigned 32-bit arithmetic: bits beyond bit 31 are lost.
    if (hi >= lo)
        for (std::uint32_t b = lo; b <= hi && b < 32; ++b)
            write.Mask |= std::uint32_t{1} << b;
    write.Value = lo < 32 ? value << lo : 0;
    return write;
}

std::string InitCodeLine(const std::string& name, std::uint32_t value, const std::string& comment) {
    const FieldWrite write = ParseFieldWrite(name, value);
    const std::string& reg = write.Register;
    std::string line = reg + " := (" + reg + " and (not " + UIntToText(write.Mask) + "))";
    if (value != 0)
        line += " or " + UIntToText(write.Value);
    line += "; " + comment;
    return line;
}

void GenerateInitCode(const std::vector<TRegVal>& regVals, std::vector<std::string>& lines) {
    for (const TRegVal& val : regVals)
        if (val.Chosen)
            lines.push_back(InitCodeLine(val.Name, val.Value, val.Comment));
}

} // namespace quorvel
