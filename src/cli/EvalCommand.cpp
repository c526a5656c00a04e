#include "cli/EvalCommand.h"

#include "eval/KivEval.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::cli {

namespace {

constexpr const char* kUsage = "quorvel eval [--var NAME=VALUE]... EXPRESSION | quorvel eval "
                               "--batch [--var NAME=VALUE]...";

void PrintHelp() {
    std::cout
        << "usage: quorvel eval [--var NAME=VALUE]... EXPRESSION\n"
           "       quorvel eval --batch [--var NAME=VALUE]...\n"
           "\n"
           "Evaluates a formula as the frequency calculation does and prints its value in\n"
           "plain decimal notation. On an error it prints the message on standard error and\n"
           "exits with 1.\n"
           "\n"
           "Options:\n"
           "  --var NAME=VALUE  define a variable first (VALUE uses \".\" as decimal point);\n"
           "                    repeatable, in order, a later one replaces an earlier one\n"
           "  --batch           read formulas from standard input, one per line, and print\n"
           "                    one line for each: its value, or \"error: \" and the message\n"
           "  --                the next argument is the formula, even if it is an option\n"
           "  --help            show this help\n"
           "\n"
           "Any other argument is the formula, also when it begins with \"-\" or \"--\".\n"
           "\n"
           "Example:\n"
           "  quorvel eval --var FOSC=8 --var PLL=4 \"FOSC*PLL/2\"\n"
           "  16\n";
}

// The message of an evaluation error, with every byte of a quoted formula.
std::string MessageOf(const std::exception& e) {
    if (const auto* eval = dynamic_cast<const ESimpleEvalException*>(&e))
        return eval->Message();
    return e.what();
}

std::string ResultLine(TSimpleEval& ev, const std::string& expression) {
    try {
        return FloatToPlainText(ev.EvaluateText(expression));
    } catch (const std::exception& e) {
        return "error: " + MessageOf(e);
    }
}

int RunBatch(TSimpleEval& ev) {
    const std::string input((std::istreambuf_iterator<char>(std::cin)),
                            std::istreambuf_iterator<char>());
    // The iterators leave the stream's state alone; a failed read shows on the C stream that
    // std::cin reads through.
    if (std::ferror(stdin) != 0) {
        std::cerr << "quorvel: cannot read standard input\n";
        return 1;
    }
    std::string output;
    std::size_t from = 0;
    while (from < input.size()) {
        std::size_t end = input.find('\n', from);
        const std::size_t next = end == std::string::npos ? input.size() : end + 1;
        if (end == std::string::npos)
            end = input.size();
        if (end > from && input[end - 1] == '\r')
            --end;
        output += ResultLine(ev, input.substr(from, end - from));
        output += '\n';
        from = next;
    }
    std::cout << output << std::flush;
    return 0;
}

} // namespace

int RunEval(const Args& args) {
    bool batch = false;
    std::vector<std::pair<std::string, double>> variables;
    std::optional<std::string> expression;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string definition;
        if (a == "--help") {
            PrintHelp();
            return 0;
        } else if (a == "--batch") {
            batch = true;
            continue;
        } else if (a == "--var" || a.rfind("--var=", 0) == 0) {
            if (a == "--var") {
                if (i + 1 >= args.size())
                    return UsageError("--var needs NAME=VALUE", kUsage);
                definition = args[++i];
            } else {
                definition = a.substr(6);
            }
            const std::size_t eq = definition.find('=');
            if (eq == std::string::npos)
                return UsageError("--var needs NAME=VALUE, got \"" + definition + "\"", kUsage);
            const std::string valueText = definition.substr(eq + 1);
            const std::optional<double> value = ParseFloat(valueText);
            if (!value)
                return UsageError("not a number in --var " + definition, kUsage);
            variables.emplace_back(definition.substr(0, eq), *value);
            continue;
        } else if (a == "--") {
            if (i + 1 >= args.size())
                return UsageError("missing expression after --", kUsage);
            if (expression)
                return UsageError("more than one expression", kUsage);
            expression = args[++i];
            continue;
        }
        if (expression)
            return UsageError("more than one expression", kUsage);
        expression = a;
    }
    if (batch && expression)
        return UsageError("--batch reads the expressions from standard input", kUsage);
    if (!batch && !expression)
        return UsageError("missing expression", kUsage);

    TSimpleEval ev;
    try {
        for (const auto& [name, value] : variables)
            ev.SetVariable(name, value);
        if (batch)
            return RunBatch(ev);
        const double result = ev.EvaluateText(*expression);
        std::cout << FloatToPlainText(result) << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << MessageOf(e) << "\n";
        return 1;
    }
}

} // namespace quorvel::cli
