#include "eval/KivEval.h"

#include "eval/EvalCache.h"
#include "eval/EvalErrors.h"
#include "eval/EvalMath.h"
#include "eval/EvalText.h"
#include "util/Errors.h"
#include "util/KivLists.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>

namespace quorvel {

using evaltext::kNone;

ESimpleEvalException::ESimpleEvalException(const std::string& message)
    : std::runtime_error(message), message_(std::make_shared<const std::string>(message)) {}

ESimpleEvalException::ESimpleEvalException(const char* message)
    : std::runtime_error(message), message_(std::make_shared<const std::string>(message)) {}

namespace {

std::uint64_t NewTableId() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

TSimpleEval::TSimpleEval() : tableId_(NewTableId()) {}
TSimpleEval::~TSimpleEval() = default;

// The moved table keeps its lines, and with them its name; what is left behind is another.
TSimpleEval::TSimpleEval(TSimpleEval&& other) noexcept
    : Expression(std::move(other.Expression)), SkipFunctions(other.SkipFunctions),
      UseCompiledForms(other.UseCompiledForms), variables_(std::move(other.variables_)),
      tableId_(other.tableId_), depth_(other.depth_), cache_(std::move(other.cache_)),
      calls_(std::move(other.calls_)) {
    other.variables_ = VariableTable{};
    other.calls_ = CallMemo{};
    other.tableId_ = NewTableId();
}

TSimpleEval& TSimpleEval::operator=(TSimpleEval&& other) noexcept {
    if (this != &other) {
        Expression = std::move(other.Expression);
        SkipFunctions = other.SkipFunctions;
        UseCompiledForms = other.UseCompiledForms;
        variables_ = std::move(other.variables_);
        tableId_ = other.tableId_;
        depth_ = other.depth_;
        cache_ = std::move(other.cache_);
        calls_ = std::move(other.calls_);
        other.variables_ = VariableTable{};
        other.calls_ = CallMemo{};
        other.tableId_ = NewTableId();
    }
    return *this;
}

// A copy starts with no compiled forms or kept calls of its own: they hold places in the
// variable table.
TSimpleEval::TSimpleEval(const TSimpleEval& other)
    : Expression(other.Expression), SkipFunctions(other.SkipFunctions),
      UseCompiledForms(other.UseCompiledForms), variables_(other.variables_),
      tableId_(NewTableId()) {}

TSimpleEval& TSimpleEval::operator=(const TSimpleEval& other) {
    if (this != &other) {
        Expression = other.Expression;
        SkipFunctions = other.SkipFunctions;
        UseCompiledForms = other.UseCompiledForms;
        variables_ = other.variables_;
        tableId_ = NewTableId();
        cache_.reset();
        calls_ = CallMemo{};
    }
    return *this;
}

void TSimpleEval::SetVariable(const std::string& name, double value) {
    const std::string_view trimmed = Trim(name);
    if (!evaltext::IsProperName(trimmed))
        evalerrors::Raise(evalerrors::NotAProperVariableName(trimmed));
    variables_.Set(trimmed, value);
}

std::vector<std::string> TSimpleEval::Variables() const {
    std::vector<std::string> lines;
    lines.reserve(variables_.Size());
    for (std::size_t i = 0; i < variables_.Size(); ++i) {
        const VariableTable::Line& line = variables_.At(static_cast<int>(i));
        lines.push_back(line.Name + "=" + FloatToPlainText(line.Value));
    }
    return lines;
}

int TSimpleEval::DefineVariable(const std::string& name, double value) {
    SetVariable(name, value);
    return variables_.Find(Trim(name));
}

void TSimpleEval::SetVariableAt(int place, double value) {
    if (place < 0 || static_cast<std::size_t>(place) >= variables_.Size())
        throw std::out_of_range("no variable at this place");
    variables_.SetAt(place, value);
}

double TSimpleEval::Evaluate() {
    return EvaluateText(Expression);
}

TPreparedFormula TSimpleEval::Prepare(const std::string& text) const {
    TPreparedFormula formula;
    formula.text_ = text;
    if (text.size() <= FormulaCache::kMaxTextLength)
        formula.compiled_ = std::make_shared<CompiledFormula>(text);
    return formula;
}

double TSimpleEval::Evaluate(TPreparedFormula& formula) {
    CompiledFormula* const compiled = formula.compiled_.get();
    if (compiled && depth_ == 0 && UseCompiledForms && !SkipFunctions) {
        double value;
        if (compiled->Run(variables_, tableId_, Cache().Slots(), value))
            return value;
    }
    return Rewrite(formula.text_);
}

FormulaCache& TSimpleEval::Cache() {
    if (!cache_) [[unlikely]]
        cache_ = std::make_unique<FormulaCache>();
    return *cache_;
}

// The working text of a fold: `body`, with a "+" in front of it when it did not begin with an
// operator.
struct TSimpleEval::Working {
    std::string_view body;
    bool plus = false;

    // The trimmed working text as messages quote it, leading operator included.
    std::string Whole() const {
        if (!plus)
            return std::string(Trim(body));
        std::size_t end = body.size(); // the "+" stands first, so only the end is trimmed
        while (end > 0 && IsBlank(body[end - 1]))
            --end;
        std::string whole;
        whole.reserve(end + 1);
        whole += '+';
        whole.append(body, 0, end);
        return whole;
    }
};

double TSimpleEval::EvaluateText(const std::string& text) {
    if (depth_ == 0 && UseCompiledForms && !SkipFunctions) {
        FormulaCache& cache = Cache();
        const FormulaCache::Look look = cache.RunIfCompiled(text, variables_);
        if (look.value)
            return *look.value;
        // A text the compiled form does not carry through (every error among it) is
        // evaluated by rewriting, which also words the message.
        if (look.compiled)
            return Rewrite(text);
        // A text evaluated again while its variables read the same has the same value: that
        // is not a second sight worth compiling for (conditions repeated within one list of
        // limits are), while a text asked for again with other values is.
        if (const double* kept = calls_.Find(CallMemo::kWholeText, text, variables_, nullptr))
            return *kept;
        if (look.seenBefore) {
            if (const auto value = cache.Run(text, variables_))
                return *value;
            return Rewrite(text);
        }
        // A text seen for the first time is rewritten, and its value kept for as long as it
        // has no compiled form to be looked up in.
        const OpenCall open(*this);
        const double value = Rewrite(text);
        calls_.Remember(CallMemo::kWholeText, text, value, open.Reads());
        return value;
    }
    return Rewrite(text);
}

double TSimpleEval::Rewrite(std::string_view text) {
    const evalerrors::NestingGuard nesting(depth_);
    if (depth_ == 1)
        evalerrors::CheckOuterText(text);
    const std::string_view stripped = evaltext::StripOuterParens(Trim(text));
    if (stripped.empty())
        return 0.0;
    if (IsNumber(stripped))
        return StrToFloat(stripped); // a failure here stays a conversion error
    std::string afterCalls;
    std::string afterGroups;
    std::string_view working = stripped;
    if (!SkipFunctions && ReduceCallsInto(working, afterCalls))
        working = afterCalls;
    if (ReduceGroupsInto(working, afterGroups))
        working = afterGroups;
    if (working.find('(') != std::string_view::npos || working.find(')') != std::string_view::npos)
        evalerrors::Raise(evalerrors::UnmatchedParenthesis(working));
    return Fold(Working{working, !evaltext::IsOperatorChar(working[0])});
}

double TSimpleEval::Fold(const Working& working) {
    // Operator positions count from 1 in the working text with its "+", then its length + 1.
    const std::string_view body = working.body;
    const std::size_t shift = working.plus ? 1 : 0;
    TIntegerList positions;
    if (working.plus)
        positions.Add(1);
    const std::size_t bad = evaltext::ScanOperators(
        body, working.plus,
        [&](std::size_t i) { positions.Add(static_cast<std::int32_t>(i + shift + 1)); },
        [](std::size_t, bool) {});
    if (bad != kNone)
        evalerrors::Raise(evalerrors::NotAllowedUnaryOperator(body[bad], working.Whole()));
    positions.Add(static_cast<std::int32_t>(body.size() + shift + 1));

    double accumulator = 0.0;
    for (std::int32_t k = 0; k + 1 < positions.Count(); ++k) {
        const auto at = static_cast<std::size_t>(positions.Get(k)) - shift; // index after op
        const auto next = static_cast<std::size_t>(positions.Get(k + 1)) - shift;
        const char op = at == 0 ? '+' : body[at - 1];
        const std::string_view operand = Trim(body.substr(at, next - at - 1));
        if (op == '&' || op == '|') {
            // Decided by the accumulator alone, the operand is not even looked at.
            const bool known = evalmath::IsTrue(accumulator);
            if (op == '&' && !known) {
                accumulator = 0.0;
                continue;
            }
            if (op == '|' && known) {
                accumulator = 1.0;
                continue;
            }
            accumulator = evalmath::IsTrue(ReadOperand(operand, &working)) ? 1.0 : 0.0;
            continue;
        }
        const double value = ReadOperand(operand, &working);
        const evalmath::Result r = evalmath::ApplyOperator(op, accumulator, value);
        switch (r.status) {
        case evalmath::Status::Ok:
            accumulator = r.value;
            break;
        case evalmath::Status::DivideByZero:
            evalerrors::Raise(evalerrors::DividerIsZero(operand, working.Whole()));
        case evalmath::Status::Overflow:
            throw ArithmeticError(evalerrors::kOverflow);
        default:
            evalerrors::Raise(evalerrors::InvalidOperation(working.Whole()));
        }
    }
    return accumulator;
}

double TSimpleEval::OperandValue(const std::string& text) {
    return ReadOperand(text, nullptr);
}

// Inside a fold (`working` set) a number that does not convert is reported as a badly
// formatted operand of that working text; on its own, as the conversion error it is.
double TSimpleEval::ReadOperand(std::string_view text, const Working* working) {
    const std::string_view operand = Trim(text);
    if (operand.empty())
        evalerrors::Raise(evalerrors::OperandMissing());
    if (IsNumber(operand)) {
        if (const auto value = ParseFloat(operand))
            return *value;
        if (working)
            evalerrors::Raise(evalerrors::NotWellFormatted(operand, working->Whole()));
        throw ConversionError(InvalidFloatMessage(operand));
    }
    if (operand[0] == '+' || operand[0] == '-')
        return Rewrite(operand);
    return ReadVariable(operand);
}

double TSimpleEval::ReadVariable(std::string_view name) {
    const int line = variables_.Find(name);
    const double read = line < 0 ? std::nan("") : variables_.ReadAt(line);
    if (std::isnan(read))
        evalerrors::Raise(evalerrors::VariableNotDefined(name));
    if (openCalls_ > 0)
        callReads_.push_back(CallMemo::Read{line, std::bit_cast<std::uint64_t>(read)});
    return read;
}

TGroup TSimpleEval::FindGroup(const std::string& text, std::size_t from) const {
    TGroup result;
    if (from < 1)
        return result;
    const evaltext::Group g = evaltext::FindGroupFrom(text, from - 1);
    if (g.open == kNone)
        return result;
    result.Open = g.open + 1;
    if (!g.Found())
        return result;
    result.Found = true;
    result.Close = g.close + 1;
    result.Inner = text.substr(g.open + 1, g.close - g.open - 1);
    return result;
}

void TSimpleEval::StripOuterParentheses(std::string& text) const {
    const std::string_view stripped = evaltext::StripOuterParens(text);
    if (stripped.size() != text.size())
        text = std::string(stripped);
}

void TSimpleEval::ReduceGroups(std::string& text) {
    std::string reduced;
    if (ReduceGroupsInto(text, reduced))
        text = std::move(reduced);
}

bool TSimpleEval::ReduceGroupsInto(std::string_view text, std::string& out) {
    // The text before a reduced group holds no "(" and neither does the value put in, so the
    // next group is always the first "(" after the one just replaced: build the result once.
    out.clear();
    std::size_t done = 0;
    for (;;) {
        const evaltext::Group g = evaltext::FindGroupFrom(text, done);
        if (!g.Found())
            break;
        const double value = Rewrite(text.substr(g.open + 1, g.close - g.open - 1));
        out.append(text, done, g.open - done);
        out += ' ';
        out += FloatToPlainText(value);
        out += ' ';
        done = g.close + 1;
    }
    if (done == 0)
        return false;
    out.append(text, done, std::string_view::npos);
    return true;
}

} // namespace quorvel
