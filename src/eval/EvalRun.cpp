// Runs compiled forms (see EvalProgram.h). Every check that the rewriting would turn into an
// error makes the run give up instead; the arithmetic is the rewriting's own (EvalMath).

#include "eval/EvalMath.h"
#include "eval/EvalProgram.h"
#include "eval/RenderedValue.h"
#include "eval/VariableTable.h"

#include <array>
#include <cmath>

namespace quorvel::evalfast {

namespace {

class Runner {
public:
    Runner(const Program& program, const VariableTable& variables, std::span<const int> lines,
           std::span<double> slots)
        : p_(program), variables_(variables), lines_(lines), slots_(slots) {}

    bool Evaluate(std::int32_t index, double& out) {
        const Expression& e = p_.expressions[static_cast<std::size_t>(index)];
        switch (e.kind) {
        case Expression::Kind::Number:
            out = e.number;
            return true;
        case Expression::Kind::Slot:
            out = slots_[static_cast<std::size_t>(e.slot)];
            return true;
        case Expression::Kind::Fail:
            return false;
        case Expression::Kind::Fold:
            break;
        }
        for (const Producer& producer : e.producers)
            if (!Produce(producer))
                return false;
        for (const std::int32_t slot : e.notNegative)
            if (std::signbit(slots_[static_cast<std::size_t>(slot)]))
                return false; // the rewriting would read its "-" as an operator
        double accumulator = 0.0;
        for (const Step& step : e.steps) {
            double value;
            if (step.op == '&' || step.op == '|') {
                const bool known = evalmath::IsTrue(accumulator);
                if (step.op == '&' && !known) {
                    accumulator = 0.0;
                    continue;
                }
                if (step.op == '|' && known) {
                    accumulator = 1.0;
                    continue;
                }
                if (!Read(step.operand, value))
                    return false;
                accumulator = evalmath::IsTrue(value) ? 1.0 : 0.0;
                continue;
            }
            if (!Read(step.operand, value))
                return false;
            // The four plain operators with a finite result need no further look; everything
            // else goes through the checked arithmetic.
            double quick = 0.0;
            switch (step.op) {
            case '+':
                quick = accumulator + value;
                break;
            case '-':
                quick = accumulator - value;
                break;
            case '*':
                quick = accumulator * value;
                break;
            case '/':
                quick = value != 0.0 ? accumulator / value : HUGE_VAL;
                break;
            default:
                quick = HUGE_VAL;
                break;
            }
            if (std::isfinite(quick)) {
                accumulator = quick;
                continue;
            }
            const evalmath::Result r = evalmath::ApplyOperator(step.op, accumulator, value);
            if (r.status != evalmath::Status::Ok)
                return false;
            accumulator = r.value;
        }
        out = accumulator;
        return true;
    }

private:
    // Computes a group or call and keeps the value its text reads back as.
    bool Produce(const Producer& producer) {
        double value;
        if (!(producer.call ? Call(producer.index, value) : Evaluate(producer.index, value)))
            return false;
        const double read = RenderedValueQuick(value);
        if (std::isnan(read))
            return false;
        slots_[static_cast<std::size_t>(producer.slot)] = read;
        return true;
    }

    bool Call(std::int32_t index, double& out) {
        const evalfast::Call& c = p_.calls[static_cast<std::size_t>(index)];
        if (c.fails)
            return false;
        for (const Producer& producer : c.producers)
            if (!Produce(producer))
                return false;
        std::array<double, 16> small;
        std::vector<double> large;
        double* args = small.data();
        if (c.arguments.size() > small.size()) {
            large.resize(c.arguments.size());
            args = large.data();
        }
        for (std::size_t i = 0; i < c.arguments.size(); ++i)
            if (!Evaluate(c.arguments[i], args[i]))
                return false;
        const evalmath::Result r =
            evalmath::CallBuiltin(c.function, std::span<const double>(args, c.arguments.size()));
        if (r.status != evalmath::Status::Ok)
            return false;
        out = r.value;
        return true;
    }

    bool Read(const Operand& operand, double& out) {
        switch (operand.kind) {
        case Operand::Kind::Number:
            out = operand.number;
            return true;
        case Operand::Kind::Slot:
            out = slots_[static_cast<std::size_t>(operand.index)];
            return true;
        case Operand::Kind::Variable: {
            const int line = lines_[static_cast<std::size_t>(operand.index)];
            if (line < 0)
                return false;
            const std::optional<double>& value = variables_.At(line).ReadValue;
            if (!value)
                return false;
            out = *value;
            return true;
        }
        case Operand::Kind::Nested:
            return Evaluate(operand.index, out);
        case Operand::Kind::Fail:
            break;
        }
        return false;
    }

    const Program& p_;
    const VariableTable& variables_;
    std::span<const int> lines_;
    std::span<double> slots_;
};

} // namespace

bool Run(const Program& program, const VariableTable& variables, std::span<const int> lines,
         std::span<double> slots, double& out) {
    if (program.root < 0)
        return false;
    Runner runner(program, variables, lines, slots);
    return runner.Evaluate(program.root, out);
}

} // namespace quorvel::evalfast
