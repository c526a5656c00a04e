#include "shell/ConfigurationDiff.h"

#include "util/KivStrings.h"

#include <unordered_map>

namespace quorvel {

namespace {

using Kind = ConfigurationDifference::Kind;

void CompareFacts(Kind what, const std::vector<ConfigurationFact>& left,
                  const std::vector<ConfigurationFact>& right,
                  std::vector<ConfigurationDifference>& out) {
    std::unordered_map<std::string, const ConfigurationFact*> rightByName;
    for (const ConfigurationFact& fact : right)
        rightByName.emplace(UpperAscii(fact.Name), &fact);
    std::unordered_map<std::string, bool> seen;
    for (const ConfigurationFact& fact : left) {
        const std::string key = UpperAscii(fact.Name);
        if (!seen.emplace(key, true).second)
            continue;
        const auto it = rightByName.find(key);
        if (it == rightByName.end())
            out.push_back({what, fact.Name, fact.Value, std::nullopt});
        else if (it->second->Value != fact.Value)
            out.push_back({what, fact.Name, fact.Value, it->second->Value});
    }
    for (const ConfigurationFact& fact : right)
        if (seen.emplace(UpperAscii(fact.Name), true).second)
            out.push_back({what, fact.Name, std::nullopt, fact.Value});
}

std::string Side(const std::optional<std::string>& value) {
    return value ? QuoteConfigurationValue(*value) : "(none)";
}

} // namespace

std::vector<ConfigurationDifference> CompareConfigurations(const ConfigurationDocument& left,
                                                           const ConfigurationDocument& right) {
    std::vector<ConfigurationDifference> out;
    if (left.Device != right.Device)
        out.push_back({Kind::Device, "device", left.Device, right.Device});
    CompareFacts(Kind::Input, left.Inputs, right.Inputs, out);
    CompareFacts(Kind::Setting, left.Settings, right.Settings, out);
    CompareFacts(Kind::Result, left.Results, right.Results, out);
    return out;
}

std::string DifferenceText(const ConfigurationDifference& difference) {
    std::string kind;
    switch (difference.What) {
    case Kind::Device:
        return "device: " + Side(difference.Left) + " -> " + Side(difference.Right);
    case Kind::Input:
        kind = "input ";
        break;
    case Kind::Setting:
        kind = "setting ";
        break;
    case Kind::Result:
        kind = "frequency ";
        break;
    }
    return kind + difference.Name + ": " + Side(difference.Left) + " -> " + Side(difference.Right);
}

} // namespace quorvel
