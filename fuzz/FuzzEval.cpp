// The evaluator: the input's first lines "name=value" define variables, the rest is the
// formula. Any text gives a number or an error message.

#include "FuzzVariables.h"
#include "eval/KivEval.h"

#include <cstdint>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    quorvel::TSimpleEval evaluator;
    for (const auto& [name, value] : TakeVariableLines(text)) {
        try {
            evaluator.SetVariable(name, value);
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
