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

#include <cstdint>
#include <optional>
#include <span>
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

// Runs a compiled form. `lines` gives the variable-table line of each name of
// program.variables (-1 if none); `slots` must hold program.slotCount values.
// Gives false when it cannot give the value (a plain result keeps the run out of memory).
bool Run(const Program& program, const VariableTable& variables, std::span<const int> lines,
         std::span<double> slots, double& out);

} // namespace evalfast
} // namespace quorvel
