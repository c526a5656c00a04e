// quorvel check: reads a diagram description like the program does, but goes on after a bad
// line, and warns about what loads but cannot work.

#include "cli/ReaderCommands.h"
#include "diagram/DescriptionParser.h"
#include "eval/KivEval.h"
#include "results/FormulaText.h"
#include "results/Limits.h"
#include "shell/HeadlessViews.h"
#include "util/NumberText.h"

#include <algorithm>
#include <iostream>
#include <unordered_set>

namespace quorvel::cli {

namespace {

constexpr const char* kUsage = "quorvel check FILE";
constexpr const char* kHelp =
    "usage: quorvel check FILE\n"
    "\n"
    "Reads a diagram description file as the program does, but does not stop at the first\n"
    "problem: every line the program would refuse is printed as FILE:LINE: message, with the\n"
    "program's own message, followed by a final line \"N problems\". The exit code is 1 when\n"
    "there is a problem.\n"
    "\n"
    "It also warns, as FILE:LINE: warning: ..., about what loads but cannot work: a line\n"
    "whose first end point lies right of or below its second, a FOLLOW, FOLLOW_NOT or EXCL\n"
    "identifier that matches no line, a computed SHOWVAL box whose name does not end in a\n"
    "number, and a register bit-field name whose bit range is not a number. Warnings do not\n"
    "count as problems.\n"
    "\n"
    "RANGE, CHECK and TYPED lines are checked further: their box must have a SHOWVAL line\n"
    "(an input box for TYPED), their conditions must evaluate with every box, setting and\n"
    "register variable of the file set to 1, a TYPED bit-field must have register lines and\n"
    "its formula must give a value of the bit-field for every number of its range.\n"
    "\n"
    "Example:\n"
    "  quorvel check Quorvel_MYDIAGRAM_lines.txt\n";

struct Finding {
    std::size_t Line = 0;
    std::string Text;
};

// A rule's identifiers, kept until every line of the file is known.
struct RuleIds {
    std::size_t Line = 0;
    const char* Kind = "";
    std::vector<std::uint16_t> Ids;
};

bool EndsInNumber(const std::string& name) {
    // The calculation reads the name from its second character on as the result variable.
    if (name.size() < 2)
        return false;
    const auto n = ParseInteger(std::string_view(name).substr(1, 255));
    return n && *n >= 0 && *n <= 65535;
}

class Checker {
public:
    void Line(std::size_t number, std::string_view text) {
        const Sizes before = Measure();
        try {
            ParseDescriptionLine(text, model_, boxes_);
        } catch (const std::exception& e) {
            problems_.push_back({number, e.what()});
            return;
        }
        if (model_.ConfigLines.size() > before.Config)
            Segment(number, model_.ConfigLines.back());
        if (model_.RegisterLines.size() > before.Register) {
            const TLineRegister_& line = model_.RegisterLines.back();
            Segment(number, line);
            if (!RegisterBitRange(line.Name))
                Warn(number,
                     "the bit range of register name \"" + line.Name + "\" is not a number");
        }
        if (model_.FollowRules.size() > before.Follow)
            rules_.push_back({number, "FOLLOW", model_.FollowRules.back().Ids});
        if (model_.FollowNotRules.size() > before.FollowNot)
            rules_.push_back({number, "FOLLOW_NOT", model_.FollowNotRules.back().Ids});
        if (model_.ExclGroups.size() > before.Excl)
            rules_.push_back({number, "EXCL", model_.ExclGroups.back().Ids});
        for (std::size_t i = before.Limits; i < model_.Limits.size(); ++i)
            limitLines_.push_back(number);
        for (std::size_t i = before.Typed; i < model_.TypedFields.size(); ++i)
            typedLines_.push_back(number);
        if (model_.Formulas.size() > before.Formulas) {
            const TFormula& formula = model_.Formulas.back();
            if (!formula.Expression.empty() && !EndsInNumber(formula.Name))
                Warn(number, "SHOWVAL name \"" + formula.Name + "\" does not end in a number");
        }
    }

    // Reports identifiers that no line carries, now that every line is known.
    void Finish() {
        std::unordered_set<std::uint16_t> known;
        for (const TLine_& line : model_.ConfigLines)
            known.insert(line.Id);
        for (const TLineRegister_& line : model_.RegisterLines)
            known.insert(line.Id);
        for (const RuleIds& rule : rules_)
            for (const std::uint16_t id : rule.Ids)
                if (!known.contains(id))
                    Warn(rule.Line, std::string(rule.Kind) + " identifier " + UIntToText(id) +
                                        " matches no line");
        CheckLimits();
        CheckTypedFields();
    }

    int Report(const std::string& file) {
        std::vector<Finding> all;
        for (const Finding& f : problems_)
            all.push_back({f.Line, f.Text});
        for (const Finding& f : warnings_)
            all.push_back({f.Line, "warning: " + f.Text});
        std::stable_sort(all.begin(), all.end(),
                         [](const Finding& a, const Finding& b) { return a.Line < b.Line; });
        std::string out;
        for (const Finding& f : all)
            out += file + ":" + UIntToText(f.Line) + ": " + f.Text + "\n";
        out += UIntToText(problems_.size()) + " problems\n";
        std::cout << out;
        return problems_.empty() ? 0 : 1;
    }

private:
    struct Sizes {
        std::size_t Config, Register, Follow, FollowNot, Excl, Formulas, Limits, Typed;
    };

    Sizes Measure() const {
        return {model_.ConfigLines.size(), model_.RegisterLines.size(),
                model_.FollowRules.size(), model_.FollowNotRules.size(),
                model_.ExclGroups.size(),  model_.Formulas.size(),
                model_.Limits.size(),      model_.TypedFields.size()};
    }

    bool HasBox(int box) const {
        return box >= 0 && static_cast<std::size_t>(box) < model_.Formulas.size() &&
               box < model_.ValueBoxCount;
    }

    // An evaluator that knows every variable the file's formulas can use, each set to 1.
    TSimpleEval EveryVariable() const {
        TSimpleEval evaluator;
        for (int i = 0; i < kValueBoxCount; ++i)
            evaluator.SetVariable("E" + IntToText(i), 1.0);
        for (const TCalcVal& val : model_.CalcVals)
            evaluator.SetVariable(val.Name, 1.0);
        for (const TRegVal& val : model_.RegVals)
            evaluator.SetVariable(RegisterVariableName(val.Name), 1.0);
        return evaluator;
    }

    void CheckLimits() {
        TSimpleEval evaluator = EveryVariable();
        for (std::size_t i = 0; i < model_.Limits.size(); ++i) {
            const TLimit& limit = model_.Limits[i];
            const std::size_t line = limitLines_[i];
            const char* kind = limit.What == TLimit::Kind::Range ? "RANGE" : "CHECK";
            if (!HasBox(limit.Box))
                Problem(line, std::string(kind) + " box " + IntToText(limit.Box) +
                                  " has no SHOWVAL line");
            if (limit.Condition.empty())
                continue;
            try {
                evaluator.Expression = ConvertBitTags(limit.Condition);
                evaluator.Evaluate();
            } catch (const ESimpleEvalException& e) {
                Problem(line, std::string(kind) + " condition: " + e.Message());
            } catch (const std::exception& e) {
                Problem(line, std::string(kind) + " condition: " + e.what());
            }
        }
    }

    void CheckTypedFields() {
        for (std::size_t i = 0; i < model_.TypedFields.size(); ++i) {
            const TTypedField& field = model_.TypedFields[i];
            const std::size_t line = typedLines_[i];
            if (!HasBox(field.Box) ||
                !model_.Formulas[static_cast<std::size_t>(field.Box)].Expression.empty())
                Problem(line, "TYPED box " + IntToText(field.Box) + " is no input box");
            if (model_.RegNames.IndexOf(field.Name) < 0)
                Problem(line, "TYPED bit-field " + field.Name + " has no register line");
            try {
                TypedFieldValues(field);
            } catch (const std::exception& e) {
                Problem(line, e.what());
            }
        }
    }

    void Problem(std::size_t number, std::string text) {
        problems_.push_back({number, std::move(text)});
    }

    void Segment(std::size_t number, const TLine_& line) {
        if (line.X1 > line.X2 || line.Y1 > line.Y2)
            Warn(number, "line runs from (" + UIntToText(line.X1) + "," + UIntToText(line.Y1) +
                             ") to (" + UIntToText(line.X2) + "," + UIntToText(line.Y2) +
                             "): its click box needs X1 <= X2 and Y1 <= Y2");
    }

    void Warn(std::size_t number, std::string text) {
        warnings_.push_back({number, std::move(text)});
    }

    TModel model_;
    MemoryValueBoxes boxes_;
    std::vector<Finding> problems_;
    std::vector<Finding> warnings_;
    std::vector<RuleIds> rules_;
    std::vector<std::size_t> limitLines_; // the line of each limit
    std::vector<std::size_t> typedLines_; // the line of each typed field
};

} // namespace

int RunCheck(const Args& args) {
    int exitCode = 0;
    const auto file = SingleFileArgument(args, kUsage, kHelp, exitCode);
    if (!file)
        return exitCode;
    std::string text;
    try {
        text = ReadDescriptionFile(*file);
    } catch (const std::exception& e) {
        std::cout << *file << ": " << e.what() << "\n1 problems\n";
        return 1;
    }
    Checker checker;
    ForEachDescriptionLine(
        text, [&](std::size_t number, std::string_view line) { checker.Line(number, line); });
    checker.Finish();
    return checker.Report(*file);
}

} // namespace quorvel::cli
