#include "cli/SolveOutput.h"

#include "cli/Json.h"
#include "results/FormulaText.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <iostream>

namespace quorvel::cli {

namespace {

// The name a box variable has in the results: its formula's name, else "E" + index.
std::string BoxVariable(const TModel& model, std::size_t k) {
    if (k < model.Formulas.size() && !model.Formulas[k].Name.empty())
        return model.Formulas[k].Name;
    return "E" + UIntToText(k);
}

// A --set argument, quoted for a shell when it holds characters a shell would read.
std::string ShellWord(const std::string& word) {
    if (word.find_first_of("<>:*?[]()$ \"'|&;") == std::string::npos)
        return word;
    return "\"" + word + "\"";
}

// The number a box text shows, its sign kept.
double Shown(const std::string& text) {
    const auto value = ParseFloat(DigitsOnly(text));
    if (!value)
        return 0.0;
    return TrimCopy(text).starts_with('-') ? -*value : *value;
}

} // namespace

std::optional<double> ParseSolveNumber(const std::string& text) {
    return ParseFloat(text);
}

int SolveAndPrint(const TModel& model, const std::vector<std::string>& boxTexts,
                  const SolveOptions& options) {
    SolveRequest request;
    request.TolerancePercent = options.TolerancePercent;
    request.Locked = options.Locks;
    request.MaxSolutions = options.Max;
    if (options.Targets.empty()) {
        std::cerr << "quorvel solve: give at least one --target NAME=VALUE\n";
        return 1;
    }
    for (const std::string& text : options.Targets) {
        SolveTarget target;
        if (const auto error = ParseTarget(model, text, target)) {
            std::cerr << "quorvel solve: " << *error << "\n";
            return 1;
        }
        request.Targets.push_back(target);
    }
    SolveResult result;
    try {
        result = Solve(model, StartFromModel(model, boxTexts), request);
    } catch (const std::exception& e) {
        std::cerr << "quorvel solve: " << e.what() << "\n";
        return 1;
    }
    std::cout << (options.Json ? SolutionsJson(model, result) + "\n"
                               : SolutionsText(model, result));
    if (result.Solutions.empty()) {
        std::cerr << "quorvel solve: " << result.Reason << "\n";
        return 1;
    }
    return 0;
}

std::optional<std::string> ParseTarget(const TModel& model, const std::string& text,
                                       SolveTarget& target) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
        return "--target needs NAME=VALUE, not \"" + text + "\"";
    const std::string name = TrimCopy(std::string_view(text).substr(0, eq));
    const auto value = ParseFloat(std::string_view(text).substr(eq + 1));
    if (!value)
        return "--target " + text + ": \"" + text.substr(eq + 1) + "\" is not a number";
    const int box = FindBoxByName(model, name);
    if (box < 0 || model.Formulas[static_cast<std::size_t>(box)].Expression.empty()) {
        std::string offered;
        for (std::size_t k = 0; k < model.Formulas.size() && k < model.ValueBoxCount; ++k)
            if (!model.Formulas[k].Expression.empty())
                offered += (offered.empty() ? "" : ", ") + BoxVariable(model, k) + " (" +
                           BoxQuantity(model, static_cast<int>(k)) + ")";
        return "--target " + name + ": no computed box of that name; the diagram shows " + offered;
    }
    target.Box = box;
    target.Value = *value;
    return std::nullopt;
}

std::string SolutionsText(const TModel& model, const SolveResult& result) {
    std::string out;
    std::size_t number = 0;
    for (const Solution& s : result.Solutions) {
        out += UIntToText(++number) + ": " +
               (s.Error == 0.0 ? std::string("exact")
                               : "off by " + FormatResult(s.Error * 100) + " %") +
               ", " + IntToText(s.Changes) + (s.Changes == 1 ? " change" : " changes") + "\n ";
        for (const SolvedField& f : s.Fields)
            out += " --set " + ShellWord(SetText(model, f));
        out += "\n ";
        for (std::size_t k = 0; k < s.BoxTexts.size(); ++k)
            out += " " + BoxVariable(model, k) + " = " + s.BoxTexts[k] +
                   (k + 1 < s.BoxTexts.size() ? "," : "");
        out += "\n";
    }
    return out;
}

std::string SolutionsJson(const TModel& model, const SolveResult& result) {
    JsonWriter w;
    w.BeginObject();
    w.Key("solutions");
    w.BeginArray();
    for (const Solution& s : result.Solutions) {
        w.BeginObject();
        w.Key("set");
        w.BeginArray();
        for (const SolvedField& f : s.Fields)
            w.String(SetText(model, f));
        w.EndArray();
        w.Key("boxes");
        w.BeginObject();
        for (std::size_t k = 0; k < s.BoxTexts.size(); ++k) {
            w.Key(BoxVariable(model, k));
            w.Double(Shown(s.BoxTexts[k]));
        }
        w.EndObject();
        w.Key("error");
        w.Double(s.Error);
        w.Key("changes");
        w.Integer(s.Changes);
        w.EndObject();
    }
    w.EndArray();
    w.Key("combinations");
    w.Unsigned(result.Candidates);
    if (result.Solutions.empty()) {
        w.Key("reason");
        w.String(result.Reason);
    }
    w.EndObject();
    return w.Text();
}

void WriteViolations(JsonWriter& w, const std::vector<TViolation>& violations) {
    w.BeginArray();
    for (const TViolation& v : violations) {
        w.BeginObject();
        w.Key("box");
        w.Integer(v.Box);
        w.Key("name");
        w.String(v.Name);
        w.Key("value");
        w.Double(v.Value);
        w.Key("message");
        w.String(v.Message);
        w.EndObject();
    }
    w.EndArray();
}

} // namespace quorvel::cli
