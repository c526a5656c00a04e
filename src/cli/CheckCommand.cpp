// quorvel check: reads a diagram description like the program does, but goes on after a bad
// line, and warns about what loads but cannot work.

#include "cli/ReaderCommands.h"
#include "diagram/DescriptionParser.h"
#include "eval/KivEval.h"
#include "results/FormulaText.h"
#include "results/Limits.h"
#include "shell/HeadlessViews.h"
#include "util/NumberText.h"

#include <iostream>
#include <memory>
#include <vector>

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
    "number, a register bit-field name whose bit range is not a number, and a SEQUENCE for a\n"
    "register that no register line writes. Warnings do not count as problems. Of one line,\n"
    "at most 10 unknown identifiers are listed; one more warning counts the rest. The report\n"
    "is printed as the file is read.\n"
    "\n"
    "A SEQUENCE line gives writes a register needs on the chip around the generated code's\n"
    "writes to it, such as an unlock:\n"
    "  SEQUENCE, REGISTER, BEFORE|AFTER, TARGET, VALUE[, VALUE]...\n"
    "writes each VALUE to TARGET in order, before or after the writes to REGISTER, in the C\n"
    "and Basic code. A file without such lines is read as before.\n"
    "\n"
    "RANGE, CHECK and TYPED lines are checked further: their box must have a SHOWVAL line\n"
    "(an input box for TYPED), their conditions must evaluate with every box, setting and\n"
    "register variable of the file set to 1, a TYPED bit-field must have register lines and\n"
    "its formula must give a value of the bit-field for every number of its range.\n"
    "\n"
    "Example:\n"
    "  quorvel check Quorvel_MYDIAGRAM_lines.txt\n";

// At most this many identifiers of one rule line are reported one by one; the rest of
// them are counted in one more warning, so that a line of millions of unknown identifiers
// prints a few lines.
constexpr std::size_t kMaxIdsReported = 10;

bool EndsInNumber(const std::string& name) {
    // The calculation reads the name from its second character on as the result variable.
    if (name.size() < 2)
        return false;
    const auto n = ParseInteger(std::string_view(name).substr(1, 255));
    return n && *n >= 0 && *n <= 65535;
}

// Reads the lines in file order. A first pass only builds the model of the whole file; the
// second, which knows it (every line's identifier, every box, setting and register), prints
// each finding as soon as its line is read, so the report is never held in memory.
class Checker {
public:
    // whole: the model of the whole file (second pass), or nothing (first pass).
    Checker(const std::string& file, const TModel* whole) : file_(file), whole_(whole) {
        if (whole_ == nullptr)
            return;
        known_.assign(65536, false);
        for (const TLine_& line : whole_->ConfigLines)
            known_[line.Id] = true;
        for (const TLineRegister_& line : whole_->RegisterLines)
            known_[line.Id] = true;
    }

    void Line(std::size_t number, std::string_view text) {
        const Sizes before = Measure();
        try {
            ParseDescriptionLine(text, model_, boxes_);
        } catch (const std::exception& e) {
            Problem(number, e.what());
            return;
        }
        if (whole_ == nullptr)
            return;
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
            UnknownIds(number, "FOLLOW", model_.FollowRules.back().Ids);
        if (model_.FollowNotRules.size() > before.FollowNot)
            UnknownIds(number, "FOLLOW_NOT", model_.FollowNotRules.back().Ids);
        if (model_.ExclGroups.size() > before.Excl)
            UnknownIds(number, "EXCL", model_.ExclGroups.back().Ids);
        for (std::size_t i = before.Limits; i < model_.Limits.size(); ++i)
            CheckLimit(number, model_.Limits[i]);
        for (std::size_t i = before.Typed; i < model_.TypedFields.size(); ++i)
            CheckTypedField(number, model_.TypedFields[i]);
        if (model_.WriteSequences.size() > before.Sequences)
            CheckSequence(number, model_.WriteSequences.back());
        if (model_.Formulas.size() > before.Formulas) {
            const TFormula& formula = model_.Formulas.back();
            if (!formula.Expression.empty() && !EndsInNumber(formula.Name))
                Warn(number, "SHOWVAL name \"" + formula.Name + "\" does not end in a number");
        }
    }

    const TModel& Model() const { return model_; }
    std::size_t Problems() const { return problems_; }

private:
    struct Sizes {
        std::size_t Config, Register, Follow, FollowNot, Excl, Formulas, Limits, Typed, Sequences;
    };

    Sizes Measure() const {
        return {model_.ConfigLines.size(),   model_.RegisterLines.size(),
                model_.FollowRules.size(),   model_.FollowNotRules.size(),
                model_.ExclGroups.size(),    model_.Formulas.size(),
                model_.Limits.size(),        model_.TypedFields.size(),
                model_.WriteSequences.size()};
    }

    // A sequence whose register no register line of the whole file writes never runs.
    void CheckSequence(std::size_t line, const TWriteSequence& sequence) {
        for (const TLineRegister_& reg : whole_->RegisterLines)
            if (reg.Name.substr(0, reg.Name.find('<')) == sequence.Register)
                return;
        Warn(line,
             "SEQUENCE register \"" + sequence.Register + "\" is written by no register line");
    }

    bool HasBox(int box) const {
        return box >= 0 && static_cast<std::size_t>(box) < whole_->Formulas.size() &&
               box < whole_->ValueBoxCount;
    }

    // An evaluator that knows every variable the file's formulas can use, each set to 1.
    TSimpleEval& EveryVariable() {
        if (evaluator_)
            return *evaluator_;
        evaluator_ = std::make_unique<TSimpleEval>();
        for (int i = 0; i < kValueBoxCount; ++i)
            evaluator_->SetVariable("E" + IntToText(i), 1.0);
        for (const TCalcVal& val : whole_->CalcVals)
            evaluator_->SetVariable(val.Name, 1.0);
        for (const TRegVal& val : whole_->RegVals)
            evaluator_->SetVariable(RegisterVariableName(val.Name), 1.0);
        return *evaluator_;
    }

    void CheckLimit(std::size_t line, const TLimit& limit) {
        const char* kind = limit.What == TLimit::Kind::Range ? "RANGE" : "CHECK";
        if (!HasBox(limit.Box))
            Problem(line,
                    std::string(kind) + " box " + IntToText(limit.Box) + " has no SHOWVAL line");
        if (limit.Condition.empty())
            return;
        try {
            TSimpleEval& evaluator = EveryVariable();
            evaluator.Expression = ConvertBitTags(limit.Condition);
            evaluator.Evaluate();
        } catch (const ESimpleEvalException& e) {
            Problem(line, std::string(kind) + " condition: " + e.Message());
        } catch (const std::exception& e) {
            Problem(line, std::string(kind) + " condition: " + e.what());
        }
    }

    void CheckTypedField(std::size_t line, const TTypedField& field) {
        if (!HasBox(field.Box) ||
            !whole_->Formulas[static_cast<std::size_t>(field.Box)].Expression.empty())
            Problem(line, "TYPED box " + IntToText(field.Box) + " is no input box");
        if (whole_->RegNames.IndexOf(field.Name) < 0)
            Problem(line, "TYPED bit-field " + field.Name + " has no register line");
        try {
            TypedFieldValues(field);
        } catch (const std::exception& e) {
            Problem(line, e.what());
        }
    }

    void Segment(std::size_t number, const TLine_& line) {
        if (line.X1 > line.X2 || line.Y1 > line.Y2)
            Warn(number, "line runs from (" + UIntToText(line.X1) + "," + UIntToText(line.Y1) +
                             ") to (" + UIntToText(line.X2) + "," + UIntToText(line.Y2) +
                             "): its click box needs X1 <= X2 and Y1 <= Y2");
    }

    // Identifiers of a rule that no line of the whole file carries.
    void UnknownIds(std::size_t number, const char* kind, const std::vector<std::uint16_t>& ids) {
        std::size_t unknown = 0;
        for (const std::uint16_t id : ids) {
            if (known_[id])
                continue;
            if (++unknown <= kMaxIdsReported)
                Warn(number,
                     std::string(kind) + " identifier " + UIntToText(id) + " matches no line");
        }
        if (unknown > kMaxIdsReported)
            Warn(number, UIntToText(unknown - kMaxIdsReported) + " more " + kind +
                             " identifiers of this line match no line");
    }

    void Problem(std::size_t number, const std::string& text) {
        ++problems_;
        Emit(number, text);
    }

    void Warn(std::size_t number, const std::string& text) { Emit(number, "warning: " + text); }

    void Emit(std::size_t number, const std::string& text) {
        if (whole_ != nullptr)
            std::cout << file_ << ':' << number << ": " << text << '\n';
    }

    const std::string& file_;
    const TModel* whole_;
    std::vector<bool> known_; // by 16-bit identifier: a line of the file carries it
    std::unique_ptr<TSimpleEval> evaluator_;
    TModel model_;
    MemoryValueBoxes boxes_;
    std::size_t problems_ = 0;
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
    std::ios::sync_with_stdio(false);
    Checker first(*file, nullptr);
    ForEachDescriptionLine(
        text, [&](std::size_t number, std::string_view line) { first.Line(number, line); });
    Checker checker(*file, &first.Model());
    ForEachDescriptionLine(
        text, [&](std::size_t number, std::string_view line) { checker.Line(number, line); });
    std::cout << checker.Problems() << " problems\n";
    std::cout.flush();
    return checker.Problems() == 0 ? 0 : 1;
}

} // namespace quorvel::cli
