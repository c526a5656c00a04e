// The configuration file reader: any bytes read, and what was read written and read again
// to the same facts.

#include "shell/ConfigurationFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool SameFacts(const std::vector<quorvel::ConfigurationFact>& a,
               const std::vector<quorvel::ConfigurationFact>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].Name != b[i].Name || a[i].Value != b[i].Value)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    quorvel::ConfigurationProblems problems;
    const auto document = quorvel::ParseConfiguration(text, problems);
    if (!document)
        return 0;
    quorvel::ConfigurationProblems again;
    const auto back = quorvel::ParseConfiguration(quorvel::FormatConfiguration(*document), again);
    if (!back || !again.Empty() || back->Device != document->Device ||
        !SameFacts(back->Inputs, document->Inputs) ||
        !SameFacts(back->Settings, document->Settings))
        std::abort();
    return 0;
}
