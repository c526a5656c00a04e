// The definition file reader: a clean result or one of its messages, nothing else.

#include "devdefs/DefinitionReader.h"
#include "util/Errors.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<quorvel::TConfigWord> words;
    try {
        quorvel::ReadDefinitionText(text, words);
    } catch (const quorvel::ConversionError&) {
    }
    return 0;
}
