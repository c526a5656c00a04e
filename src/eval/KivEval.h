#pragma once
// KivEval: evaluates formula text with named variables and thirty built-in functions.
//
// Evaluation rewrites text: function calls, then parenthesised groups, are evaluated on their
// own and replaced by the plain decimal text of their value (15 significant digits); what is
// left is folded strictly from left to right, without operator precedence. Errors the
// evaluator detects are ESimpleEvalException with fixed messages that quote the text as it
// stands at that moment. Arithmetic overflow and the divisions by zero of the function library
// are ArithmeticError; a whole formula that looks like a number but does not convert is
// ConversionError. Positions in the interface count from 1.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "eval/EvalCallMemo.h"
#include "eval/VariableTable.h"

namespace quorvel {

class CompiledFormula;
class FormulaCache;
class TSimpleEval;

// A formula text made ready once and evaluated any number of times, as the formulas of a
// diagram's value boxes are: evaluating it gives exactly what evaluating its text gives,
// without finding the text's compiled form again.
class TPreparedFormula {
public:
    const std::string& Text() const { return text_; }

private:
    friend class TSimpleEval;
    std::string text_;
    std::shared_ptr<CompiledFormula> compiled_; // shared by copies, whatever table they use
};

class ESimpleEvalException : public std::runtime_error {
public:
    explicit ESimpleEvalException(const std::string& message);
    explicit ESimpleEvalException(const char* message);
    // The whole message. what() ends at the first NUL byte, which a quoted formula may hold.
    const std::string& Message() const noexcept { return *message_; }

private:
    std::shared_ptr<const std::string> message_;
};

// Overflow to infinity, and the divisions by zero of the function library (the logarithm of
// 0, "logn" to the base 1, "power" of 0 with a negative exponent).
class ArithmeticError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A "(" found by FindGroup and its matching ")".
struct TGroup {
    bool Found = false;
    std::size_t Open = 0;  // the "(" found; 0 when there is none, set also without a match
    std::size_t Close = 0; // its matching ")"
    std::string Inner;     // the text strictly between them
};

// A function call found by FindFunctionCall.
struct TFunctionCall {
    bool Found = false;
    std::string Name;      // lower case, as in the function table
    std::size_t Start = 0; // first character of the name
    std::size_t Close = 0; // the ")" that ends the call
    std::string Arguments; // the text between the parentheses
};

class TSimpleEval {
public:
    // Evaluated by Evaluate().
    std::string Expression;
    // Leaves out the function-call pass of EvaluateText (function names are then operands).
    bool SkipFunctions = false;
    // Keeps a compiled form of each formula text evaluated at the outer level from its second
    // evaluation on, and runs that instead of the rewriting whenever it can; results and
    // errors are the same either way.
    bool UseCompiledForms = true;

    // Formulas nesting deeper than this (parentheses open at once, or signs in a row) are
    // refused with an ESimpleEvalException instead of exhausting the stack. The evaluation's
    // own recursion, at most about one level per parenthesis plus one per sign, is capped at
    // twice that as a last guard.
    static constexpr int kMaxNesting = 1000;
    static constexpr int kMaxRecursion = 2 * kMaxNesting + 8;

    TSimpleEval();
    ~TSimpleEval();
    TSimpleEval(const TSimpleEval& other);
    TSimpleEval& operator=(const TSimpleEval& other);
    TSimpleEval(TSimpleEval&& other) noexcept;
    TSimpleEval& operator=(TSimpleEval&& other) noexcept;

    // Defines or replaces a variable. The name is trimmed and must be an ASCII letter or "_"
    // followed by letters, digits or "_"; otherwise ESimpleEvalException.
    void SetVariable(const std::string& name, double value);
    // The variable table, one "name=value" line per variable in the order of definition.
    std::vector<std::string> Variables() const;
    // As SetVariable, returning the variable's place, which stays valid for this evaluator's
    // table (copies and assignments of the evaluator carry the table and its places along).
    int DefineVariable(const std::string& name, double value);
    // Replaces the value of the variable at a place DefineVariable returned, keeping its
    // name: the same as SetVariable with that name. A place outside the table raises
    // std::out_of_range.
    void SetVariableAt(int place, double value);

    // Makes a formula text ready for repeated evaluation.
    TPreparedFormula Prepare(const std::string& text) const;
    // EvaluateText(formula.Text()): the same value, or the same error.
    double Evaluate(TPreparedFormula& formula);

    double Evaluate();
    double EvaluateText(const std::string& text);

    // The first "(" at or after position `from` and its matching ")".
    TGroup FindGroup(const std::string& text, std::size_t from) const;
    // Removes parentheses enclosing the whole text, as often as they do: ((a+b)) gives a+b.
    void StripOuterParentheses(std::string& text) const;
    // Replaces every parenthesised group, from the leftmost on, by its value.
    void ReduceGroups(std::string& text);
    // The value of one operand: a number, a signed sub-formula or a variable.
    double OperandValue(const std::string& text);
    // Replaces every function call by its value, in the order of the function table.
    void ReduceFunctionCalls(std::string& text);
    // The next call that ReduceFunctionCalls handles; raises the "(" / ")" expected errors.
    TFunctionCall FindFunctionCall(const std::string& text) const;
    // Evaluates the built-in function `name` with the argument text of a call.
    double CallFunction(const std::string& name, const std::string& arguments);

private:
    struct Working;

    // The rewriting evaluation works on views into the caller's text and copies a text only
    // when a pass changes it, so deep nesting costs no copy per level.
    double Rewrite(std::string_view text);
    // The compiled forms and their runs' store, made on first use.
    FormulaCache& Cache();
    double Fold(const Working& working);
    double ReadOperand(std::string_view text, const Working* working);
    double ReadVariable(std::string_view name);
    bool ReduceGroupsInto(std::string_view text, std::string& out);
    bool ReduceCallsInto(std::string_view text, std::string& out);
    // A call of the call pass: its kept value when it has one (with UseCompiledForms), else
    // CallFunctionIn, whose value is then kept.
    double CallRemembered(int function, std::string_view name, std::string_view arguments);
    double CallFunctionIn(int function, std::string_view name, std::string_view arguments);

    VariableTable variables_;
    // Names this table among all tables: it changes whenever the table is replaced
    // wholesale, so that prepared formulas find their variables' lines again.
    std::uint64_t tableId_;
    int depth_ = 0;
    std::unique_ptr<FormulaCache> cache_;
    // The calls' values, and the variables read by the calls being evaluated (`openCalls_` of
    // them), which their values depend on. Both belong to this table: copies start without.
    CallMemo calls_;
    std::vector<CallMemo::Read> callReads_;
    int openCalls_ = 0;

    // The log a kept value's reads go to: that of the calls being evaluated, or none.
    std::vector<CallMemo::Read>* OpenLog() { return openCalls_ > 0 ? &callReads_ : nullptr; }

    // Marks a call (or a whole text) as being evaluated for as long as it lives, so that the
    // variables read meanwhile are logged; the log empties when the outermost one ends, also
    // when it ends by an exception.
    class OpenCall {
    public:
        explicit OpenCall(TSimpleEval& e) : e_(e), from_(e.callReads_.size()) { ++e.openCalls_; }
        ~OpenCall() {
            if (--e_.openCalls_ == 0)
                e_.callReads_.clear();
        }
        OpenCall(const OpenCall&) = delete;
        OpenCall& operator=(const OpenCall&) = delete;
        // What was read since it opened.
        std::span<const CallMemo::Read> Reads() const {
            return std::span<const CallMemo::Read>(e_.callReads_).subspan(from_);
        }

    private:
        TSimpleEval& e_;
        std::size_t from_;
    };
};

} // namespace quorvel
