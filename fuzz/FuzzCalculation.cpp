// The calculation's text handling: register references in formulas, value-box texts read
// as numbers, and results shown as text.

#include "results/FormulaText.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string converted = quorvel::ConvertBitTags(text);
    if (converted.size() != text.size())
        __builtin_trap();
    const std::string digits = quorvel::DigitsOnly(text);
    if (quorvel::IsNumber(digits))
        (void)quorvel::ParseFloat(digits);
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        const std::string shown = quorvel::FormatResult(value);
        (void)quorvel::ParseFloat(quorvel::DigitsOnly(shown));
        (void)quorvel::FloatToPlainText(value);
    }
    return 0;
}
