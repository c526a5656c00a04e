#pragma once
// What quorvel solve prints, and the reading of its --target option; the search itself is
// the core's (results/Solver.h).

#include "diagram/Model.h"
#include "results/Limits.h"
#include "results/Solver.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvel::cli {

// Reads "NAME=VALUE": NAME a box variable ("E6") or what the box shows ("Fosc"), VALUE a
// number. Returns an error text, or nothing after filling `target`.
std::optional<std::string> ParseTarget(const TModel& model, const std::string& text,
                                       SolveTarget& target);

// Each solution as the --set actions that reproduce it and the values of its boxes:
//   1: exact, 2 changes
//     --set FNOSC=PRIPLL --set "PLLFBD<8:0>=38"
//     E0 = 8 Mhz (Fposc), ...
std::string SolutionsText(const TModel& model, const SolveResult& result);

// {"solutions": [{"set": [...], "boxes": {"E6": 80, ...}, "error": 0, "changes": 2}],
//  "combinations": N}
std::string SolutionsJson(const TModel& model, const SolveResult& result);

// A number of an option, read without regard to the locale.
std::optional<double> ParseSolveNumber(const std::string& text);

// The options of quorvel solve besides the device and its actions, as given.
struct SolveOptions {
    std::vector<std::string> Targets; // NAME=VALUE
    double TolerancePercent = 0.0;
    std::vector<std::string> Locks;
    std::size_t Max = 10;
    bool Json = false;
};

// Reads the solve options among the others: returns nothing when `option` is none of them,
// an empty text when it was read, else the error text. `value` fetches the next argument.
template <typename Value>
std::optional<std::string> ReadSolveOption(const std::string& option, Value& value,
                                           SolveOptions& options);

// The search on a loaded session's state, printed: standard output gets the solutions, an
// error or the reason none exists goes to standard error. Returns the exit status: 0 with
// solutions, 1 without (or on an error).
int SolveAndPrint(const TModel& model, const std::vector<std::string>& boxTexts,
                  const SolveOptions& options);

class JsonWriter;

// The value of the "violations" member of run --json: [{"box": 4, "name": "Fvco",
// "value": 320, "message": "..."}].
void WriteViolations(JsonWriter& w, const std::vector<TViolation>& violations);

template <typename Value>
std::optional<std::string> ReadSolveOption(const std::string& option, Value& value,
                                           SolveOptions& options) {
    std::string v;
    if (option == "--target") {
        if (!value(v))
            return std::string("--target needs NAME=VALUE");
        options.Targets.push_back(v);
        return std::string();
    }
    if (option == "--tolerance") {
        const auto percent = value(v) ? ParseSolveNumber(v) : std::nullopt;
        if (!percent || *percent < 0)
            return std::string("--tolerance needs a percentage of 0 or more");
        options.TolerancePercent = *percent;
        return std::string();
    }
    if (option == "--lock") {
        if (!value(v) || v.empty())
            return std::string("--lock needs a field name");
        options.Locks.push_back(v);
        return std::string();
    }
    if (option == "--max") {
        const auto n = value(v) ? ParseSolveNumber(v) : std::nullopt;
        if (!n || *n < 1 || *n > 100000 || *n != static_cast<double>(static_cast<int>(*n)))
            return std::string("--max needs a whole number from 1 to 100000");
        options.Max = static_cast<std::size_t>(*n);
        return std::string();
    }
    if (option == "--json") {
        options.Json = true;
        return std::string();
    }
    return std::nullopt;
}

} // namespace quorvel::cli
