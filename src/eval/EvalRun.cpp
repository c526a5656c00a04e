// Runs compiled forms (see EvalProgram.h). A program is first laid out flat, in the order its
// tree would be walked, so that a run is one pass over an array. Every check that the
// rewriting would turn into an error makes the run give up instead; the arithmetic is the
// rewriting's own (EvalMath).

#include "eval/EvalMath.h"
#include "eval/EvalProgram.h"
#include "eval/RenderedValue.h"
#include "eval/VariableTable.h"

#include <cmath>
#include <limits>
#include <utility>

namespace quorvel::evalfast {

namespace {

using Code = Instruction::Code;

class Flattener {
public:
    explicit Flattener(const Program& program, FlatProgram& out) : p_(program), out_(out) {}

    void Expression(std::int32_t index) {
        const evalfast::Expression& e = p_.expressions[static_cast<std::size_t>(index)];
        switch (e.kind) {
        case Expression::Kind::Number:
            Emit({Code::Load, '+', Operand::Kind::Number, false, 0, 0, e.number});
            return;
        case Expression::Kind::Slot:
            // Store leaves the value it kept at hand.
            if (!out_.code.empty() && out_.code.back().code == Code::Store &&
                out_.code.back().index == e.slot)
                return;
            Emit({Code::Load, '+', Operand::Kind::Slot, false, e.slot, 0, 0.0});
            return;
        case Expression::Kind::Fail:
            Emit({});
            return;
        case Expression::Kind::Fold:
            break;
        }
        Producers(e.producers);
        for (const std::int32_t slot : e.notNegative)
            Emit({Code::CheckNotNegative, '+', Operand::Kind::Slot, false, slot, 0, 0.0});
        if (e.steps.empty()) // a fold of nothing leaves its accumulator at 0
            Emit({Code::Load, '+', Operand::Kind::Number, false, 0, 0, 0.0});
        for (std::size_t k = 0; k < e.steps.size(); ++k) {
            const Step& step = e.steps[k];
            const bool fromZero = k == 0;
            if (fromZero && step.op == '+' && step.operand.kind == Operand::Kind::Slot &&
                !out_.code.empty() && out_.code.back().code == Code::Store &&
                out_.code.back().index == step.operand.index) {
                out_.code.back().code = Code::StoreAndStart; // the fold starts with that slot
                continue;
            }
            if (step.operand.kind != Operand::Kind::Nested) {
                Code code = StepCode(step.op, step.operand.kind);
                if (fromZero && step.op == '+' && code != Code::Step)
                    code = StartCode(step.operand.kind);
                Emit({code, step.op, step.operand.kind, fromZero, step.operand.index, 0,
                      step.operand.number});
                continue;
            }
            if (step.op == '&' || step.op == '|') {
                // The operand is evaluated only when the accumulator does not decide.
                const std::size_t decision = out_.code.size();
                Emit({Code::ShortCircuit, step.op, Operand::Kind::Fail, fromZero, 0, 0, 0.0});
                Expression(step.operand.index);
                Emit({Code::Truth, '+', Operand::Kind::Fail, false, 0, 0, 0.0});
                out_.code[decision].index =
                    static_cast<std::int32_t>(out_.code.size() - decision - 1);
                continue;
            }
            Push(fromZero);
            Expression(step.operand.index);
            Pop(1);
            Emit({Code::StepPop, step.op, Operand::Kind::Fail, false, 0, 0, 0.0});
        }
    }

private:
    static Code StepCode(char op, Operand::Kind kind) {
        int column;
        switch (kind) {
        case Operand::Kind::Number:
            column = 0;
            break;
        case Operand::Kind::Slot:
            column = 1;
            break;
        case Operand::Kind::Variable:
            column = 2;
            break;
        default:
            return Code::Step;
        }
        int row;
        switch (op) {
        case '+':
            row = 0;
            break;
        case '-':
            row = 1;
            break;
        case '*':
            row = 2;
            break;
        case '/':
            row = 3;
            break;
        default:
            return Code::Step;
        }
        return static_cast<Code>(static_cast<int>(Code::AddNumber) + row * 3 + column);
    }

    static Code StartCode(Operand::Kind kind) {
        switch (kind) {
        case Operand::Kind::Number:
            return Code::StartNumber;
        case Operand::Kind::Slot:
            return Code::StartSlot;
        default:
            return Code::StartVariable;
        }
    }

    void Producers(const std::vector<Producer>& producers) {
        for (const Producer& producer : producers) {
            if (producer.call)
                Call(producer.index);
            else
                Expression(producer.index);
            Emit({Code::Store, '+', Operand::Kind::Slot, false, producer.slot, 0, 0.0});
        }
    }

    void Call(std::int32_t index) {
        const evalfast::Call& c = p_.calls[static_cast<std::size_t>(index)];
        if (c.fails) {
            Emit({});
            return;
        }
        Producers(c.producers);
        for (const std::int32_t argument : c.arguments) {
            if (const Step* plain = PlainOperand(argument)) {
                Emit({Code::PushOperand, '+', plain->operand.kind, false, plain->operand.index, 0,
                      plain->operand.number});
                Grow();
                continue;
            }
            Expression(argument);
            Push(false);
        }
        const auto count = static_cast<std::int32_t>(c.arguments.size());
        Pop(count);
        Emit({Code::Call, '+', Operand::Kind::Fail, false, c.function, count, 0.0});
    }

    // The only step of an expression that is a plain operand: a number, slot or variable.
    const Step* PlainOperand(std::int32_t index) const {
        const evalfast::Expression& e = p_.expressions[static_cast<std::size_t>(index)];
        if (e.kind != Expression::Kind::Fold || !e.producers.empty() || !e.notNegative.empty() ||
            e.steps.size() != 1 || e.steps[0].op != '+')
            return nullptr;
        const Operand::Kind kind = e.steps[0].operand.kind;
        if (kind != Operand::Kind::Number && kind != Operand::Kind::Slot &&
            kind != Operand::Kind::Variable)
            return nullptr;
        return &e.steps[0];
    }

    void Push(bool fromZero) {
        Emit({Code::Push, '+', Operand::Kind::Fail, fromZero, 0, 0, 0.0});
        Grow();
    }
    void Grow() {
        if (++depth_ > out_.stackSize)
            out_.stackSize = depth_;
    }
    void Pop(std::int32_t count) { depth_ -= count; }
    void Emit(const Instruction& instruction) { out_.code.push_back(instruction); }

    const Program& p_;
    FlatProgram& out_;
    std::int32_t depth_ = 0;
};

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// The helpers below give NaN when the run must give up: a result that is not a finite number
// is either an error of the rewriting or a value (NaN) that the rewriting gives on its own.
// A plain double keeps the value at hand in a register throughout the run.

// The checked arithmetic, for the results the quick look below does not take.
[[gnu::noinline]] double Checked(char op, double accumulator, double operand) {
    const evalmath::Result r = evalmath::ApplyOperator(op, accumulator, operand);
    return r.status == evalmath::Status::Ok ? r.value : kNoValue;
}

// One of the four plain operators: a finite result needs no further look.
template <char Op> inline double Plain(double accumulator, double operand) {
    double quick;
    if constexpr (Op == '+')
        quick = accumulator + operand;
    else if constexpr (Op == '-')
        quick = accumulator - operand;
    else if constexpr (Op == '*')
        quick = accumulator * operand;
    else
        quick = operand != 0.0 ? accumulator / operand : HUGE_VAL;
    if (std::isfinite(quick)) [[likely]]
        return quick;
    return Checked(Op, accumulator, operand);
}

// The accumulator folded with an operand by any operator.
inline double Apply(char op, double accumulator, double operand) {
    double quick;
    switch (op) {
    case '+':
        quick = accumulator + operand;
        break;
    case '-':
        quick = accumulator - operand;
        break;
    case '*':
        quick = accumulator * operand;
        break;
    case '/':
        quick = operand != 0.0 ? accumulator / operand : HUGE_VAL;
        break;
    default:
        quick = HUGE_VAL;
        break;
    }
    if (std::isfinite(quick))
        return quick;
    return Checked(op, accumulator, operand);
}

} // namespace

FlatProgram Flatten(Program program) {
    FlatProgram flat;
    if (program.root >= 0) {
        Flattener(program, flat).Expression(program.root);
        if (flat.code.front().code == Code::Fail)
            flat.code.clear(); // nothing ever runs before it
        else
            flat.code.push_back({Code::Done, '+', Operand::Kind::Fail, false, 0, 0, 0.0});
    }
    flat.variables = std::move(program.variables);
    flat.slotCount = program.slotCount;
    return flat;
}

double Run(const FlatProgram& program, const VariableTable& variables, const int* lines,
           double* frame) {
    if (program.code.empty())
        return kNoValue;
    double* const slots = frame;
    double* stack = slots + program.slotCount; // the next free place
    const double* const reads = variables.Reads();
    double value = 0.0; // the value at hand
    // A variable's value as formulas read it; NaN when it has none (no line, or a value whose
    // text does not read back).
    const auto variable = [&](const Instruction& in) {
        const int line = lines[in.index];
        return line < 0 ? kNoValue : reads[line];
    };
    const auto read = [&](const Instruction& in) {
        switch (in.kind) {
        case Operand::Kind::Number:
            return in.number;
        case Operand::Kind::Slot:
            return slots[in.index];
        case Operand::Kind::Variable:
            return variable(in);
        default:
            return kNoValue;
        }
    };
    const auto start = [&](const Instruction& in) { return in.fromZero ? 0.0 : value; };
    for (const Instruction* in = program.code.data();; ++in) {
        switch (in->code) {
        case Code::Load:
            value = in->kind == Operand::Kind::Number ? in->number : slots[in->index];
            break;
        case Code::Step: {
            const double accumulator = start(*in);
            if (in->op == '&' || in->op == '|') {
                const bool known = evalmath::IsTrue(accumulator);
                if (in->op == '&' && !known) {
                    value = 0.0;
                    break;
                }
                if (in->op == '|' && known) {
                    value = 1.0;
                    break;
                }
                const double operand = read(*in);
                if (std::isnan(operand))
                    return kNoValue;
                value = evalmath::IsTrue(operand) ? 1.0 : 0.0;
                break;
            }
            const double operand = read(*in);
            if (std::isnan(operand))
                return kNoValue;
            value = Apply(in->op, accumulator, operand);
            break;
        }
        case Code::StartNumber:
            value = Plain<'+'>(0.0, in->number);
            break;
        case Code::StartSlot:
            value = 0.0 + slots[in->index]; // finite: a value that reads back
            break;
        case Code::StartVariable:
            value = 0.0 + variable(*in); // finite or NaN: NaN gives up below
            break;
        case Code::AddNumber:
            value = Plain<'+'>(start(*in), in->number);
            break;
        case Code::AddSlot:
            value = Plain<'+'>(start(*in), slots[in->index]);
            break;
        case Code::AddVariable:
            value = Plain<'+'>(start(*in), variable(*in));
            break;
        case Code::SubtractNumber:
            value = Plain<'-'>(start(*in), in->number);
            break;
        case Code::SubtractSlot:
            value = Plain<'-'>(start(*in), slots[in->index]);
            break;
        case Code::SubtractVariable:
            value = Plain<'-'>(start(*in), variable(*in));
            break;
        case Code::MultiplyNumber:
            value = Plain<'*'>(start(*in), in->number);
            break;
        case Code::MultiplySlot:
            value = Plain<'*'>(start(*in), slots[in->index]);
            break;
        case Code::MultiplyVariable:
            value = Plain<'*'>(start(*in), variable(*in));
            break;
        case Code::DivideNumber:
            value = Plain<'/'>(start(*in), in->number);
            break;
        case Code::DivideSlot:
            value = Plain<'/'>(start(*in), slots[in->index]);
            break;
        case Code::DivideVariable:
            value = Plain<'/'>(start(*in), variable(*in));
            break;
        case Code::Push:
            *stack++ = start(*in);
            continue; // the value at hand stays as it was
        case Code::StepPop:
            value = Apply(in->op, *--stack, value);
            break;
        case Code::ShortCircuit: {
            const bool known = evalmath::IsTrue(start(*in));
            if (in->op == '&' ? !known : known) {
                value = known ? 1.0 : 0.0;
                in += in->index;
            }
            continue;
        }
        case Code::Truth:
            value = evalmath::IsTrue(value) ? 1.0 : 0.0;
            continue;
        case Code::Store:
            value = RenderedValueQuick(value); // NaN when its text does not read back
            slots[in->index] = value;
            break;
        case Code::StoreAndStart:
            value = RenderedValueQuick(value);
            slots[in->index] = value;
            value = 0.0 + value; // the fold's start
            break;
        case Code::CheckNotNegative:
            if (std::signbit(slots[in->index]))
                return kNoValue; // the rewriting would read its "-" as an operator
            continue;
        case Code::Call: {
            stack -= in->count;
            const evalmath::Result r = evalmath::CallBuiltin(
                in->index, std::span<const double>(stack, static_cast<std::size_t>(in->count)));
            if (r.status != evalmath::Status::Ok)
                return kNoValue;
            value = r.value;
            break;
        }
        case Code::PushOperand: {
            const double pushed = Plain<'+'>(0.0, read(*in));
            if (std::isnan(pushed))
                return kNoValue;
            *stack++ = pushed;
            continue;
        }
        case Code::Fail:
            return kNoValue;
        case Code::Done:
            return value;
        }
        if (std::isnan(value))
            return kNoValue;
    }
}

} // namespace quorvel::evalfast
