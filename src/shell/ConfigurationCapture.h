#pragma once
// Between the loaded device and its configuration file: what a state chooses, by name, and
// how a file's facts map onto the diagram before they are replayed.

#include "diagram/Model.h"
#include "shell/ConfigurationFile.h"

#include <functional>
#include <string>
#include <vector>

namespace quorvel {

// The setting of a name for which no line is chosen (after a clear command).
inline constexpr const char* kNothingChosen = "-";

// The name of each value box in the file, by formula index: the box's comment when it can
// stand in a file and no other box has it (ignoring case), else "E" and the box index.
std::vector<std::string> ValueBoxNames(const TModel& model);

// How a file writes the setting `value` of configuration field `field`: the setting's name
// from the definition file when it has one that no other setting of the field shares, else
// the value in decimal.
std::string SettingText(const TModel& model, const std::string& field, std::uint32_t value);

// The facts of the current state: every input box's text, the setting of the first marked
// line of every configuration name, the value of every chosen register bit-field (names
// with nothing chosen read kNothingChosen), and the texts of the result boxes, each in the
// diagram's order. `boxText` gives the text of value box k.
ConfigurationDocument CaptureConfiguration(const TModel& model, const std::string& device,
                                           const std::function<std::string(int)>& boxText);

// A file's facts placed on the loaded diagram.
struct OpeningPlan {
    struct Input {
        int Box = 0;
        std::string Text;
    };
    std::vector<Input> Inputs;
    // The settings in the diagram's order of names (configuration names first), each under
    // the diagram's spelling of its name, with the file's value and line.
    std::vector<ConfigurationFact> Choices;
};

// Places the facts; an input or setting name the diagram does not have is a problem of its
// line and is left out.
OpeningPlan PlanOpening(const ConfigurationDocument& document, const TModel& model,
                        ConfigurationProblems& problems);

} // namespace quorvel
