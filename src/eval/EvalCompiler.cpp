// Compiles formula texts by replaying the rewriting evaluation on them (see EvalProgram.h).
// Each function here mirrors the rewriting step of the same name in KivEval.cpp and
// EvalFunctions.cpp; where the rewriting raises an error unconditionally, the compiled part
// fails.

#include "eval/EvalCallPass.h"
#include "eval/EvalErrors.h"
#include "eval/EvalProgram.h"
#include "eval/EvalText.h"
#include "eval/KivEval.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

namespace quorvel::evalfast {

namespace {

using evaltext::kNone;

// A placeholder: a lead byte and three bytes of slot number, none of which any scan treats as
// anything but an ordinary character. Texts holding such bytes themselves are not compiled.
constexpr char kLead = '\xff';
constexpr int kMaxSlots = 1 << 18;

void AppendPlaceholder(std::string& out, std::int32_t slot) {
    out += kLead;
    for (int shift = 12; shift >= 0; shift -= 6)
        out += static_cast<char>(0x80 | ((slot >> shift) & 0x3f));
}

// The slot of a text that is exactly one placeholder, or -1.
std::int32_t PlaceholderSlot(std::string_view text) {
    if (text.size() != 4 || text[0] != kLead)
        return -1;
    std::int32_t slot = 0;
    for (std::size_t i = 1; i < 4; ++i)
        slot = (slot << 6) | (static_cast<unsigned char>(text[i]) & 0x3f);
    return slot;
}

class Compiler {
public:
    explicit Compiler(Program& program) : p_(program) {}

    // Mirrors TSimpleEval::Rewrite.
    std::int32_t CompileText(std::string_view text) {
        if (depth_ >= TSimpleEval::kMaxRecursion)
            return AddFail();
        const Level level(depth_);
        if (depth_ == 1 && (text.size() > evalerrors::kMaxTextLength ||
                            evaltext::NestsDeeperThan(text, TSimpleEval::kMaxNesting)))
            return AddFail();
        const std::string_view stripped = evaltext::StripOuterParens(Trim(text));
        if (stripped.empty())
            return AddNumber(0.0);
        if (const std::int32_t slot = PlaceholderSlot(stripped); slot >= 0) {
            Expression e;
            e.kind = Expression::Kind::Slot;
            e.slot = slot;
            return Add(std::move(e));
        }
        if (IsNumber(stripped)) {
            const auto value = ParseFloat(stripped);
            return value ? AddNumber(*value) : AddFail();
        }
        Expression e;
        e.kind = Expression::Kind::Fold;
        std::string afterCalls;
        std::string afterGroups;
        std::string_view working = stripped;
        bool failed = false;
        if (ReduceCalls(working, afterCalls, e.producers, failed))
            working = afterCalls;
        if (!failed && ReduceGroups(working, afterGroups, e.producers, failed))
            working = afterGroups;
        if (failed || working.find('(') != kNone || working.find(')') != kNone)
            return AddFail();
        if (!Fold(working, e))
            return AddFail();
        return Add(std::move(e));
    }

private:
    // Counts a level of the rewriting's recursion, as its nesting guard does.
    class Level {
    public:
        explicit Level(int& depth) : depth_(depth) { ++depth_; }
        ~Level() { --depth_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;

    private:
        int& depth_;
    };

    std::int32_t Add(Expression e) {
        p_.expressions.push_back(std::move(e));
        return static_cast<std::int32_t>(p_.expressions.size() - 1);
    }
    std::int32_t AddNumber(double value) {
        Expression e;
        e.kind = Expression::Kind::Number;
        e.number = value;
        return Add(std::move(e));
    }
    std::int32_t AddFail() { return Add(Expression{}); }
    bool Fails(std::int32_t expression) const {
        return p_.expressions[static_cast<std::size_t>(expression)].kind == Expression::Kind::Fail;
    }

    std::int32_t NewSlot(bool& failed) {
        if (p_.slotCount >= kMaxSlots) {
            failed = true;
            return 0;
        }
        return p_.slotCount++;
    }

    // Mirrors TSimpleEval::ReduceCallsInto.
    bool ReduceCalls(std::string_view text, std::string& out, std::vector<Producer>& producers,
                     bool& failed) {
        evaltext::CallPassError error;
        const bool changed =
            evaltext::ReduceCalls(text, out, error, [&](int function, std::string_view arguments) {
                const std::int32_t call = CompileCall(function, arguments);
                const std::int32_t slot = NewSlot(failed);
                if (p_.calls[static_cast<std::size_t>(call)].fails)
                    failed = true; // the rest of the pass is compiled in vain, but harmlessly
                producers.push_back(Producer{true, call, slot});
                std::string placeholder;
                AppendPlaceholder(placeholder, slot);
                return placeholder;
            });
        if (error.kind != evaltext::CallPassError::Kind::None)
            failed = true;
        return changed && !failed;
    }

    // Mirrors TSimpleEval::ReduceGroupsInto.
    bool ReduceGroups(std::string_view text, std::string& out, std::vector<Producer>& producers,
                      bool& failed) {
        std::size_t done = 0;
        for (;;) {
            const evaltext::Group g = evaltext::FindGroupFrom(text, done);
            if (!g.Found())
                break;
            const std::int32_t inner = CompileText(text.substr(g.open + 1, g.close - g.open - 1));
            const std::int32_t slot = NewSlot(failed);
            if (failed || Fails(inner)) {
                failed = true;
                return false;
            }
            producers.push_back(Producer{false, inner, slot});
            out.append(text, done, g.open - done);
            out += ' ';
            AppendPlaceholder(out, slot);
            out += ' ';
            done = g.close + 1;
        }
        if (done == 0)
            return false;
        out.append(text, done, std::string_view::npos);
        return true;
    }

    // Mirrors TSimpleEval::CallFunctionIn.
    std::int32_t CompileCall(int function, std::string_view arguments) {
        Call call;
        call.function = function;
        if (depth_ >= TSimpleEval::kMaxRecursion) {
            call.fails = true;
        } else {
            const Level level(depth_);
            const std::string_view stripped = evaltext::StripOuterParens(Trim(arguments));
            std::string reducedStore;
            bool failed = false;
            const std::string_view reduced =
                ReduceCalls(stripped, reducedStore, call.producers, failed)
                    ? std::string_view(reducedStore)
                    : stripped;
            const std::string_view list = Trim(reduced);
            if (!failed && !list.empty()) {
                std::size_t from = 0;
                for (;;) {
                    const std::size_t comma = list.find(',', from);
                    const std::int32_t argument =
                        CompileText(list.substr(from, comma == kNone ? kNone : comma - from));
                    failed = failed || Fails(argument);
                    call.arguments.push_back(argument);
                    if (comma == kNone || failed)
                        break;
                    from = comma + 1;
                }
            }
            call.fails = failed;
        }
        p_.calls.push_back(std::move(call));
        return static_cast<std::int32_t>(p_.calls.size() - 1);
    }

    // Mirrors TSimpleEval::Fold: finds the operators and compiles the operands.
    bool Fold(std::string_view body, Expression& e) {
        const bool plus = !evaltext::IsOperatorChar(body[0]);
        std::vector<std::size_t> at; // index just after each operator; 0 for the added "+"
        if (plus)
            at.push_back(0);
        const std::size_t bad = evaltext::ScanOperators(
            body, plus, [&](std::size_t i) { at.push_back(i + 1); },
            [&](std::size_t i, bool afterOperator) {
                if (body[i] == kLead && !afterOperator) // its "-" would be an operator
                    e.notNegative.push_back(PlaceholderSlot(body.substr(i, 4)));
            });
        if (bad != kNone)
            return false;
        for (std::size_t k = 0; k < at.size(); ++k) {
            const std::size_t end = k + 1 < at.size() ? at[k + 1] - 1 : body.size();
            Step step;
            step.op = at[k] == 0 ? '+' : body[at[k] - 1];
            step.operand = CompileOperand(body.substr(at[k], end - at[k]));
            e.steps.push_back(step);
        }
        return true;
    }

    // Mirrors TSimpleEval::ReadOperand.
    Operand CompileOperand(std::string_view text) {
        Operand o;
        const std::string_view operand = Trim(text);
        if (operand.empty())
            return o;
        if (const std::int32_t slot = PlaceholderSlot(operand); slot >= 0) {
            o.kind = Operand::Kind::Slot;
            o.index = slot;
            return o;
        }
        if (IsNumber(operand)) {
            if (const auto value = ParseFloat(operand)) {
                o.kind = Operand::Kind::Number;
                o.number = *value;
            }
            return o;
        }
        if (operand[0] == '+' || operand[0] == '-') {
            const std::int32_t nested = CompileText(operand);
            if (!Fails(nested)) {
                o.kind = Operand::Kind::Nested;
                o.index = nested;
            }
            return o;
        }
        // Defined names are proper names, so nothing else can ever be found.
        if (!evaltext::IsProperName(operand))
            return o;
        o.kind = Operand::Kind::Variable;
        o.index = VariableIndex(operand);
        return o;
    }

    std::int32_t VariableIndex(std::string_view name) {
        for (std::size_t i = 0; i < p_.variables.size(); ++i)
            if (EqualsIgnoreCaseAscii(p_.variables[i], name))
                return static_cast<std::int32_t>(i);
        p_.variables.emplace_back(name);
        return static_cast<std::int32_t>(p_.variables.size() - 1);
    }

    Program& p_;
    int depth_ = 0;
};

} // namespace

Program Compile(std::string_view text) {
    Program program;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) { // could be taken for a placeholder
            program.expressions.emplace_back();
            program.root = 0;
            return program;
        }
    }
    Compiler compiler(program);
    program.root = compiler.CompileText(text);
    return program;
}

} // namespace quorvel::evalfast
