#pragma once
// The evaluator targets' inputs: up to four first lines "name=value" define variables (a value
// that is no number counts as 1), the rest is the formula.

#include "util/NumberText.h"

#include <string>
#include <utility>
#include <vector>

// Takes the variable lines off the front of `text`, which keeps the formula.
inline std::vector<std::pair<std::string, double>> TakeVariableLines(std::string& text) {
    std::vector<std::pair<std::string, double>> variables;
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
        variables.emplace_back(line.substr(0, eq), value ? *value : 1.0);
    }
    return variables;
}
