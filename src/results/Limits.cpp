#include "results/Limits.h"

#include "diagram/DescriptionParser.h"
#include "eval/KivEval.h"
#include "results/FormulaText.h"
#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <cmath>
#include <limits>

namespace quorvel {

namespace {

constexpr const char* kUnit = " Mhz";

bool IsInputBox(const TModel& model, int box) {
    return box >= 0 && static_cast<std::size_t>(box) < model.Formulas.size() &&
           model.Formulas[static_cast<std::size_t>(box)].Expression.empty();
}

bool IsLaidOut(const TModel& model, int box) {
    return box >= 0 && box < model.ValueBoxCount &&
           static_cast<std::size_t>(box) < model.Formulas.size();
}

std::string ErrorText(const std::exception& e) {
    if (const auto* eval = dynamic_cast<const ESimpleEvalException*>(&e))
        return eval->Message();
    return e.what();
}

std::string WithLabel(std::string message, const std::string& label) {
    if (!label.empty())
        message += " (" + label + ")";
    return message;
}

std::string Shown(double value) {
    return FormatResult(value) + kUnit;
}

// Evaluates a condition with the evaluator's current variables.
double EvaluateCondition(const std::string& condition, TSimpleEval& evaluator) {
    evaluator.Expression = ConvertBitTags(condition);
    return evaluator.Evaluate();
}

// The reason a limit fails for this value, or nothing when it holds. A condition error is
// thrown on.
std::optional<std::string> LimitProblem(const TLimit& limit, const std::string& name, double value,
                                        TSimpleEval& evaluator) {
    if (limit.What == TLimit::Kind::Check) {
        if (IsTrue(EvaluateCondition(limit.Condition, evaluator)))
            return std::nullopt;
        const std::string why =
            limit.Text.empty() ? limit.Condition + " does not hold" : limit.Text;
        return name + " = " + Shown(value) + ": " + why;
    }
    if (!limit.Condition.empty() && !IsTrue(EvaluateCondition(limit.Condition, evaluator)))
        return std::nullopt;
    if (std::isnan(value))
        return WithLabel(name + " shows no number", limit.Text);
    if (limit.Min && value < *limit.Min)
        return WithLabel(name + " = " + Shown(value) + " is below its minimum of " +
                             Shown(*limit.Min),
                         limit.Text);
    if (limit.Max && value > *limit.Max)
        return WithLabel(name + " = " + Shown(value) + " is above its maximum of " +
                             Shown(*limit.Max),
                         limit.Text);
    return std::nullopt;
}

void AddLimitViolations(const TModel& model, TSimpleEval& evaluator,
                        const std::function<double(int)>& value, std::vector<TViolation>& out) {
    for (const TLimit& limit : model.Limits) {
        if (!IsLaidOut(model, limit.Box))
            continue;
        const double shown = value(limit.Box);
        const std::string name = BoxQuantity(model, limit.Box);
        std::optional<std::string> problem;
        try {
            problem = LimitProblem(limit, name, shown, evaluator);
        } catch (const std::exception& e) {
            problem = name + ": the limit cannot be evaluated: " + ErrorText(e);
        }
        if (problem)
            out.push_back({limit.Box, name, shown, *problem});
    }
}

} // namespace

bool IsTrue(double value) {
    return std::nearbyint(value) >= 1.0;
}

std::string BoxQuantity(const TModel& model, int box) {
    if (box >= 0 && static_cast<std::size_t>(box) < model.Formulas.size()) {
        const TFormula& formula = model.Formulas[static_cast<std::size_t>(box)];
        if (!formula.Quantity.empty())
            return formula.Quantity;
        if (!formula.Name.empty())
            return formula.Name;
    }
    return "E" + IntToText(box);
}

double ShownValue(const TModel& model, int box, const std::string& text) {
    const std::string digits = DigitsOnly(text);
    if (IsInputBox(model, box))
        return IsNumber(digits) ? ParseFloat(digits).value_or(1.0) : 1.0;
    const std::string_view trimmed = Trim(text);
    const bool negative = trimmed.starts_with('-');
    if (trimmed.find("INF") != std::string_view::npos)
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    const auto value = ParseFloat(digits);
    if (!value)
        return std::numeric_limits<double>::quiet_NaN();
    return negative ? -*value : *value;
}

std::optional<bool> LimitHolds(const TLimit& limit, double boxValue, TSimpleEval& evaluator) {
    try {
        return !LimitProblem(limit, std::string(), boxValue, evaluator);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::vector<TViolation> EvaluateLimitList(const TModel& model, TSimpleEval& evaluator,
                                          const std::function<double(int)>& value) {
    std::vector<TViolation> out;
    AddLimitViolations(model, evaluator, value, out);
    return out;
}

std::vector<TViolation> EvaluateLimits(const TModel& model, TSimpleEval& evaluator,
                                       const BoxTextSource& boxText) {
    std::vector<TViolation> out;
    AddLimitViolations(
        model, evaluator, [&](int box) { return ShownValue(model, box, boxText(box)); }, out);
    for (const TTypedField& field : model.TypedFields) {
        if (!IsInputBox(model, field.Box) || !IsLaidOut(model, field.Box))
            continue;
        const std::string text = boxText(field.Box);
        const std::string name = BoxQuantity(model, field.Box);
        const auto number = TypedBoxNumber(text);
        if (!number) {
            out.push_back({field.Box, name, std::numeric_limits<double>::quiet_NaN(),
                           name + " = \"" + TrimCopy(text) + "\" is not a number"});
            continue;
        }
        if (const auto problem = TypedNumberProblem(model, field, *number))
            out.push_back({field.Box, name, *number, *problem});
    }
    return out;
}

std::vector<std::uint32_t> TypedFieldValues(const TTypedField& field) {
    std::vector<std::uint32_t> values;
    if (field.Max < field.Min || field.Max - field.Min >= kMaxTypedRange)
        throw ConversionError("TYPED range " + IntToText(field.Min) + ".." + IntToText(field.Max) +
                              " holds more than " + IntToText(kMaxTypedRange) + " numbers");
    const auto bits = RegisterBitRange(field.Name);
    const std::int64_t width = bits ? bits->High - bits->Low + 1 : 0;
    const double largest =
        width > 0 && width < 63 ? std::ldexp(1.0, static_cast<int>(width)) - 1 : 4294967295.0;
    const std::string formula = ConvertBitTags(field.Mapping);
    const std::string variable = "E" + IntToText(field.Box);
    TSimpleEval evaluator;
    values.reserve(static_cast<std::size_t>(field.Max - field.Min + 1));
    for (std::int64_t n = field.Min; n <= field.Max; ++n) {
        evaluator.SetVariable(variable, static_cast<double>(n));
        evaluator.Expression = formula;
        double value = 0.0;
        try {
            value = evaluator.Evaluate();
        } catch (const std::exception& e) {
            throw ConversionError("TYPED formula fails for " + IntToText(n) + ": " + ErrorText(e));
        }
        if (!(value >= 0.0 && value <= largest) || value != std::floor(value))
            throw ConversionError("TYPED formula gives " + FormatResult(value) + " for " +
                                  IntToText(n) + ", which is no value of " + field.Name);
        values.push_back(static_cast<std::uint32_t>(value));
    }
    return values;
}

std::optional<double> TypedBoxNumber(const std::string& text) {
    const std::string digits = DigitsOnly(text);
    if (!IsNumber(digits))
        return std::nullopt;
    return ParseFloat(digits);
}

std::optional<std::string> TypedNumberProblem(const TModel& model, const TTypedField& field,
                                              double number) {
    const std::string name = BoxQuantity(model, field.Box) + " = " + FormatResult(number);
    if (number != std::floor(number))
        return name + " is not a whole number";
    if (number < static_cast<double>(field.Min))
        return name + " is below its minimum of " + IntToText(field.Min);
    if (number > static_cast<double>(field.Max))
        return name + " is above its maximum of " + IntToText(field.Max);
    return std::nullopt;
}

const TTypedField* TypedFieldOfBox(const TModel& model, int box) {
    for (const TTypedField& field : model.TypedFields)
        if (field.Box == box)
            return &field;
    return nullptr;
}

const TTypedField* TypedFieldOfName(const TModel& model, const std::string& name) {
    for (const TTypedField& field : model.TypedFields)
        if (EqualsIgnoreCaseAscii(field.Name, name))
            return &field;
    return nullptr;
}

std::string TypedComment(const TTypedField& field, std::int64_t number) {
    // The code line needs a comment; without one of its own the bit-field names itself.
    const std::string comment = field.Comment.empty() ? "// " + field.Name + " =" : field.Comment;
    return comment + " " + IntToText(number);
}

bool ApplyTypedNumber(TModel& model, const TTypedField& field, std::int64_t number,
                      std::uint32_t fieldValue) {
    const int index = model.RegNames.IndexOf(field.Name);
    if (index < 0 || static_cast<std::size_t>(index) >= model.RegVals.size())
        return false;
    TRegVal& val = model.RegVals[static_cast<std::size_t>(index)];
    val.Value = fieldValue;
    val.CalcValue = static_cast<double>(number);
    val.Comment = TypedComment(field, number);
    val.Chosen = true;
    return true;
}

} // namespace quorvel
