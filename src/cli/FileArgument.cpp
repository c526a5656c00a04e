#include "cli/ReaderCommands.h"

#include <iostream>

namespace quorvel::cli {

std::optional<std::string> SingleFileArgument(const Args& args, const std::string& usage,
                                              const std::string& help, int& exitCode) {
    std::optional<std::string> file;
    bool options = true;
    for (const std::string& arg : args) {
        if (options && (arg == "--help" || arg == "-h")) {
            std::cout << help;
            exitCode = 0;
            return std::nullopt;
        }
        if (options && arg == "--") {
            options = false;
            continue;
        }
        if (options && arg.size() > 1 && arg[0] == '-') {
            exitCode = UsageError("unknown option \"" + arg + "\"", usage);
            return std::nullopt;
        }
        if (file) {
            exitCode = UsageError("more than one file given", usage);
            return std::nullopt;
        }
        file = arg;
    }
    if (!file || file->empty()) {
        exitCode = UsageError("missing file", usage);
        return std::nullopt;
    }
    return file;
}

} // namespace quorvel::cli
