// quorvel diagram: prints what the program reads from a diagram description file.

#include "cli/Json.h"
#include "cli/ReaderCommands.h"
#include "diagram/DescriptionParser.h"
#include "shell/HeadlessViews.h"

#include <iostream>

namespace quorvel::cli {

namespace {

constexpr const char* kUsage = "quorvel diagram FILE";
constexpr const char* kHelp =
    "usage: quorvel diagram FILE\n"
    "\n"
    "Parses a diagram description file as the program does and prints the result as JSON:\n"
    "configLines, registerLines (with their comment), follow, followNot, excl, formulas,\n"
    "calcVals and regVals, each in file order. Real numbers are written so that they read\n"
    "back to the same value; bytes of 0x80 and above as the Latin-1 characters of the same\n"
    "number. At the first bad line the program's message goes to stderr and the exit code\n"
    "is 1 (\"quorvel check\" lists every problem instead).\n"
    "\n"
    "Example:\n"
    "  quorvel diagram Quorvel_MYDIAGRAM_lines.txt\n";

void LineMembers(JsonWriter& json, const TLine_& line) {
    json.Key("name");
    json.String(line.Name);
    json.Key("id");
    json.Unsigned(line.Id);
    json.Key("spare");
    json.Unsigned(line.Spare);
    json.Key("x1");
    json.Unsigned(line.X1);
    json.Key("y1");
    json.Unsigned(line.Y1);
    json.Key("x2");
    json.Unsigned(line.X2);
    json.Key("y2");
    json.Unsigned(line.Y2);
    json.Key("altGroup");
    json.Integer(line.AltGroup);
    json.Key("linkGroup");
    json.Integer(line.LinkGroup);
    json.Key("value");
    json.Unsigned(line.Value);
    json.Key("calcValue");
    json.Double(line.CalcValue);
}

void Ids(JsonWriter& json, const std::vector<std::uint16_t>& ids) {
    json.BeginArray();
    for (const std::uint16_t id : ids)
        json.Unsigned(id);
    json.EndArray();
}

void FollowRules(JsonWriter& json, const char* key, const std::vector<TFollow_>& rules) {
    json.Key(key);
    json.BeginArray();
    for (const TFollow_& rule : rules) {
        json.BeginObject();
        json.Key("x1");
        json.Unsigned(rule.X1);
        json.Key("y1");
        json.Unsigned(rule.Y1);
        json.Key("x2");
        json.Unsigned(rule.X2);
        json.Key("y2");
        json.Unsigned(rule.Y2);
        json.Key("ids");
        Ids(json, rule.Ids);
        json.EndObject();
    }
    json.EndArray();
}

std::string ModelJson(const TModel& model) {
    JsonWriter json;
    json.BeginObject();
    json.Key("configLines");
    json.BeginArray();
    for (const TLine_& line : model.ConfigLines) {
        json.BeginObject();
        LineMembers(json, line);
        json.EndObject();
    }
    json.EndArray();
    json.Key("registerLines");
    json.BeginArray();
    for (const TLineRegister_& line : model.RegisterLines) {
        json.BeginObject();
        LineMembers(json, line);
        json.Key("comment");
        json.String(line.Comment);
        json.EndObject();
    }
    json.EndArray();
    FollowRules(json, "follow", model.FollowRules);
    FollowRules(json, "followNot", model.FollowNotRules);
    json.Key("excl");
    json.BeginArray();
    for (const TExcl_Groups& group : model.ExclGroups)
        Ids(json, group.Ids);
    json.EndArray();
    json.Key("formulas");
    json.BeginArray();
    for (const TFormula& formula : model.Formulas) {
        json.BeginObject();
        json.Key("name");
        json.String(formula.Name);
        json.Key("x");
        json.Unsigned(formula.X);
        json.Key("y");
        json.Unsigned(formula.Y);
        json.Key("expression");
        json.String(formula.Expression);
        json.EndObject();
    }
    json.EndArray();
    json.Key("calcVals");
    json.BeginArray();
    for (const TCalcVal& val : model.CalcVals) {
        json.BeginObject();
        json.Key("name");
        json.String(val.Name);
        json.Key("value");
        json.Double(val.Value);
        json.EndObject();
    }
    json.EndArray();
    json.Key("regVals");
    json.BeginArray();
    for (const TRegVal& val : model.RegVals) {
        json.BeginObject();
        json.Key("name");
        json.String(val.Name);
        json.Key("value");
        json.Unsigned(val.Value);
        json.Key("calcValue");
        json.Double(val.CalcValue);
        json.Key("comment");
        json.String(val.Comment);
        json.Key("chosen");
        json.Bool(val.Chosen);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

} // namespace

int RunDiagram(const Args& args) {
    int exitCode = 0;
    const auto file = SingleFileArgument(args, kUsage, kHelp, exitCode);
    if (!file)
        return exitCode;
    TModel model;
    MemoryValueBoxes boxes;
    ParseDiagramDescription(ReadDescriptionFile(*file), model, boxes);
    std::cout << ModelJson(model) << "\n";
    return 0;
}

} // namespace quorvel::cli
