#pragma once
// The compiled form of a formula text: the same evaluation as the rewriting, with every
// structural decision (which calls and groups there are, where the operators stand, what each
// operand is) taken once when the text is compiled.
//
// The compiler replays the rewriting on the text with each value that would be put back into
// it replaced by a placeholder, so it meets exactly the texts the rewriting meets, apart from
// the digits of those values. Digits never change a decision; the sign of a value does where
// its "-" would count as an operator, and the run checks that it is not negative there. Values
// put back into the text are kept in slots as the number their 15-digit text reads back as.
//
// A run gives a value only when the rewriting gives that same value. On any error, and in
// every case the compiled form does not cover, it gives nothing, and the caller rewrites.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

class VariableTable;

namespace evalfast {

// An operand of a fold.
struct Operand {
    enum class Kind : std::uint8_t {
        Number,   // a plain number
        Slot,     // a value put back into the text
        Variable, // index into Program::variables
        Nested,   // a signed operand, evaluated as a formula of its own
        Fail,     // an operand that raises an error when it is read
    };
    Kind kind = Kind::Fail;
    std::int32_t index = 0;
    double number = 0.0;
};

struct Step {
    char op = '+';
    Operand operand;
};

// A group or call of a pass, whose value goes into a slot before the fold.
struct Producer {
    bool call = false;
    std::int32_t index = 0; // into Program::calls or Program::expressions
    std::int32_t slot = 0;
};

// One evaluation of a formula text (the rewriting's EvaluateText).
struct Expression {
    enum class Kind : std::uint8_t { Number, Slot, Fail, Fold };
    Kind kind = Kind::Fail;
    double number = 0.0;
    std::int32_t slot = 0;
    std::vector<Producer> producers;
    std::vector<std::int32_t> notNegative; // slots whose "-" would be read as an operator
    std::vector<Step> steps;
};

struct Call {
    bool fails = false;
    std::int32_t function = 0;
    std::vector<Producer> producers; // calls inside the argument text
    std::vector<std::int32_t> arguments;
};

struct Program {
    std::vector<Expression> expressions;
    std::vector<Call> calls;
    std::vector<std::string> variables; // operand names, as written
    std::int32_t root = -1;
    std::int32_t slotCount = 0;
};

// Compiles a formula text as EvaluateText at the outer level sees it (function pass on).
Program Compile(std::string_view text);

// One instruction of the flat form of a program. The run keeps one value at hand (the
// accumulator of the fold under way, or the value just computed) and a stack for the values
// that wait: accumulators under a nested operand, and the arguments of a call.
struct Instruction {
    enum class Code : std::uint8_t {
        Load, // the value at hand becomes the operand (Number or Slot)
        Step, // folds the operand (Number, Slot, Variable or Fail) in with op
        // A fold's first step with "+" on a number, a slot or a variable: the value at hand
        // becomes 0 + the operand, whatever it was.
        StartNumber,
        StartSlot,
        StartVariable,
        // Step for the four plain operators on a number, a slot or a variable: the common
        // cases, told apart by the code alone.
        AddNumber,
        AddSlot,
        AddVariable,
        SubtractNumber,
        SubtractSlot,
        SubtractVariable,
        MultiplyNumber,
        MultiplySlot,
        MultiplyVariable,
        DivideNumber,
        DivideSlot,
        DivideVariable,
        Push,             // pushes the value at hand (0 with fromZero)
        PushOperand,      // pushes 0 + the operand (Number, Slot or Variable)
        StepPop,          // folds the value at hand into the popped accumulator with op
        ShortCircuit,     // "&" or "|" decided by the accumulator: then skips `index` more
        Truth,            // the value at hand becomes 1 or 0 by its truth
        Store,            // cuts the value at hand as its text reads back, keeps it in slot `index`
        StoreAndStart,    // Store, and a fold starts with "+" that slot
        CheckNotNegative, // gives up if slot `index` is negative (its "-" is an operator)
        Call,             // function `index` of the popped `count` arguments
        Fail,             // gives up
        Done,             // the value at hand is the result
    };
    Code code = Code::Fail;
    char op = '+';
    Operand::Kind kind = Operand::Kind::Fail;
    bool fromZero = false; // the first step of a fold: the accumulator is 0
    std::int32_t index = 0;
    std::int32_t count = 0;
    double number = 0.0;
};

// A program as one sequence of instructions, run from first to last without recursion.
struct FlatProgram {
    std::vector<Instruction> code;      // ends with Done; empty when it never gives a value
    std::vector<std::string> variables; // operand names, as written
    std::int32_t slotCount = 0;
    std::int32_t stackSize = 0;
    // Values a run needs room for: the slots, then the stack.
    std::size_t FrameSize() const {
        return static_cast<std::size_t>(slotCount) + static_cast<std::size_t>(stackSize);
    }
};

FlatProgram Flatten(Program program);

// Runs a flat program. `lines` gives the variable-table line of each name of
// program.variables (-1 if none); `frame` must hold program.FrameSize() values.
// Gives NaN when it cannot give the value (the caller then rewrites, which also gives any
// NaN a formula might have); a plain result keeps the run out of memory.
double Run(const FlatProgram& program, const VariableTable& variables, const int* lines,
           double* frame);

} // namespace evalfast
} // namespace quorvel
