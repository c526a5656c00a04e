// The evaluator: the input's first lines "name=value" define variables, the rest is the
// formula. Any text gives a number or an error message.

#include "eval/KivEval.h"
#include "util/NumberText.h"

#include <cstdint>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    quorvel::TSimpleEval evaluator;
    for (int i = 0; i < 4; ++i) {
        const std::size_t newline = text.find('\n');
        if (newline == std::string::npos)
            break;
        const std::string line = text.substr(0, newline);
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            break;
        text.erase(0, newline + 1);
        const auto value = quorvel::ParseFloat(line.substr(eq + 1));
        try {
            evaluator.SetVariable(line.substr(0, eq), value ? *value : 1.0);
        } catch (const std::runtime_error&) {
        }
    }
    evaluator.Expression = text;
    try {
        (void)evaluator.Evaluate();
    } catch (const std::runtime_error&) {
    }
    return 0;
}
