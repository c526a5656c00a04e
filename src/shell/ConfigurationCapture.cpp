#include "shell/ConfigurationCapture.h"

#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <algorithm>
#include <unordered_map>

namespace quorvel {

namespace {

std::string BoxIndexName(std::size_t k) {
    return "E" + UIntToText(k);
}

// The names of `names` joined for a message, at most a few.
std::string Listed(const std::vector<std::string>& names) {
    constexpr std::size_t kShown = 12;
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i)
        text += (i == 0 ? "" : ", ") + names[i];
    if (names.size() > kShown)
        text += ", ...";
    return text.empty() ? "none" : text;
}

} // namespace

std::vector<std::string> ValueBoxNames(const TModel& model) {
    std::unordered_map<std::string, int> uses;
    for (const TFormula& f : model.Formulas)
        ++uses[UpperAscii(f.Quantity)];
    std::vector<std::string> names;
    for (std::size_t k = 0; k < model.Formulas.size(); ++k) {
        const std::string& comment = model.Formulas[k].Quantity;
        const bool usable = IsConfigurationName(comment) && uses[UpperAscii(comment)] == 1;
        names.push_back(usable ? comment : BoxIndexName(k));
    }
    // A comment that reads like the index name of another box would make that box's name
    // ambiguous: such a box goes by its index name too.
    for (std::size_t k = 0; k < names.size(); ++k)
        for (std::size_t other = 0; other < names.size(); ++other)
            if (other != k && EqualsIgnoreCaseAscii(names[k], BoxIndexName(other)))
                names[k] = BoxIndexName(k);
    return names;
}

std::string SettingText(const TModel& model, const std::string& field, std::uint32_t value) {
    const TSetting* found = nullptr;
    std::unordered_map<std::string, int> uses;
    for (const TConfigWord& word : model.ConfigWords)
        for (const TField& f : word.Fields) {
            if (f.Name != field)
                continue;
            for (const TSetting& s : f.Settings) {
                ++uses[UpperAscii(s.Name)];
                if (found == nullptr && s.Value == value)
                    found = &s;
            }
        }
    if (found != nullptr && IsConfigurationName(found->Name) && found->Name != kNothingChosen &&
        uses[UpperAscii(found->Name)] == 1 && !ParseInteger(found->Name))
        return found->Name;
    return UIntToText(value);
}

ConfigurationDocument CaptureConfiguration(const TModel& model, const std::string& device,
                                           const std::function<std::string(int)>& boxText) {
    ConfigurationDocument document;
    document.Device = device;
    const std::vector<std::string> boxNames = ValueBoxNames(model);
    for (std::size_t k = 0; k < model.Formulas.size() && k < kValueBoxCount; ++k) {
        ConfigurationFact fact{boxNames[k], boxText(static_cast<int>(k))};
        if (model.Formulas[k].Expression.empty())
            document.Inputs.push_back(std::move(fact));
        else
            document.Results.push_back(std::move(fact));
    }
    for (const std::string& name : model.CalcVarNames.Items()) {
        std::string setting = kNothingChosen;
        for (std::size_t i = 0; i < model.ConfigLines.size(); ++i)
            if (model.ConfigLineMarked[i] && model.ConfigLines[i].Name == name) {
                setting = SettingText(model, name, model.ConfigLines[i].Value);
                break;
            }
        document.Settings.push_back({name, setting});
    }
    for (const TRegVal& reg : model.RegVals)
        document.Settings.push_back(
            {reg.Name, reg.Chosen ? UIntToText(reg.Value) : std::string(kNothingChosen)});
    return document;
}

OpeningPlan PlanOpening(const ConfigurationDocument& document, const TModel& model,
                        ConfigurationProblems& problems) {
    OpeningPlan plan;
    const std::vector<std::string> boxNames = ValueBoxNames(model);
    std::vector<std::string> inputNames;
    for (std::size_t k = 0; k < boxNames.size(); ++k)
        if (model.Formulas[k].Expression.empty())
            inputNames.push_back(boxNames[k]);
    for (const ConfigurationFact& fact : document.Inputs) {
        int box = -1;
        for (std::size_t k = 0; k < boxNames.size() && k < kValueBoxCount && box < 0; ++k)
            if (EqualsIgnoreCaseAscii(fact.Name, boxNames[k]) ||
                EqualsIgnoreCaseAscii(fact.Name, BoxIndexName(k)))
                box = static_cast<int>(k);
        if (box < 0) {
            problems.Add(fact.Line, "the diagram has no input box named " + fact.Name +
                                        " (its input boxes: " + Listed(inputNames) + ")");
        } else if (!model.Formulas[static_cast<std::size_t>(box)].Expression.empty()) {
            problems.Add(fact.Line, fact.Name + " is a computed value, not an input box");
        } else {
            plan.Inputs.push_back({box, fact.Value});
        }
    }
    std::vector<std::pair<std::size_t, ConfigurationFact>> placed;
    const std::size_t configCount = model.CalcVarNames.Count();
    for (const ConfigurationFact& fact : document.Settings) {
        const int config = model.CalcVarNames.IndexOf(fact.Name);
        const int reg = config < 0 ? model.RegNames.IndexOf(fact.Name) : -1;
        if (config < 0 && reg < 0) {
            std::vector<std::string> all = model.CalcVarNames.Items();
            all.insert(all.end(), model.RegNames.Items().begin(), model.RegNames.Items().end());
            problems.Add(fact.Line, "the diagram has no setting named " + fact.Name + " (it has " +
                                        Listed(all) + ")");
            continue;
        }
        const std::size_t order = config >= 0 ? static_cast<std::size_t>(config)
                                              : configCount + static_cast<std::size_t>(reg);
        ConfigurationFact choice = fact;
        choice.Name =
            config >= 0 ? model.CalcVarNames[order] : model.RegNames[static_cast<std::size_t>(reg)];
        placed.emplace_back(order, std::move(choice));
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [order, choice] : placed)
        plan.Choices.push_back(std::move(choice));
    return plan;
}

} // namespace quorvel
