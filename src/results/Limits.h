#pragma once
// Evaluation of a diagram's limits (RANGE and CHECK lines) and typed bit-fields (TYPED lines)
// after a calculation: which boxes break a limit, and why, in words that name each box by
// what it shows.

#include "diagram/Configuration.h"
#include "diagram/Model.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

class TSimpleEval;

// The text of value box k, as the calculation left it.
using BoxTextSource = std::function<std::string(int)>;

// The name messages use for box k: the SHOWVAL comment, else the formula's name, else "E" + k.
std::string BoxQuantity(const TModel& model, int box);

// The number a box shows: an input box as the calculation reads it (digits and points, 1 when
// there are none); a result box with its sign. NaN when a result box shows no number.
double ShownValue(const TModel& model, int box, const std::string& text);

// Truth of a formula value, as ifthen sees it: rounded half to even, 1 or more.
bool IsTrue(double value);

// Evaluates every limit and typed field after a calculation. Conditions are evaluated by
// `evaluator` with the variables that calculation left; a condition that raises an error is
// reported as a violation carrying the error's message. Returns the violations in the order of
// the description's lines, typed fields last.
std::vector<TViolation> EvaluateLimits(const TModel& model, TSimpleEval& evaluator,
                                       const BoxTextSource& boxText);

// The limits only, without typed fields, for callers that know every box value already:
// `value(k)` gives the number shown in box k.
std::vector<TViolation> EvaluateLimitList(const TModel& model, TSimpleEval& evaluator,
                                          const std::function<double(int)>& value);

// Whether one limit holds, for the solver: true or false, or nothing when its condition
// raises an error.
std::optional<bool> LimitHolds(const TLimit& limit, double boxValue, TSimpleEval& evaluator);

// --- typed bit-fields -----------------------------------------------------------------------

// The most whole numbers a TYPED range may hold.
inline constexpr std::int64_t kMaxTypedRange = 65536;

// The bit-field value of every typed number Min..Max, in order. Throws ConversionError when
// the mapping fails for one of them or gives no whole number that fits the field's bits (the
// message names the typed number).
std::vector<std::uint32_t> TypedFieldValues(const TTypedField& field);

// The typed number a box text stands for, read as the calculation reads input boxes.
// Nothing when the text holds no number.
std::optional<double> TypedBoxNumber(const std::string& text);

// Why a typed number is refused ("M = 600 is above its maximum of 513"), or nothing when it is
// a whole number in the field's range.
std::optional<std::string> TypedNumberProblem(const TModel& model, const TTypedField& field,
                                              double number);

// The typed field of input box `box`, or nullptr.
const TTypedField* TypedFieldOfBox(const TModel& model, int box);
// The typed field of a register bit-field name (ignoring case), or nullptr.
const TTypedField* TypedFieldOfName(const TModel& model, const std::string& name);

// Takes a legal typed number into the register choice of its bit-field: Value (the mapped
// field value), CalcValue (the number), Comment (the TYPED comment and the number), Chosen.
// Returns false, changing nothing, when the bit-field has no register entry.
bool ApplyTypedNumber(TModel& model, const TTypedField& field, std::int64_t number,
                      std::uint32_t fieldValue);

// The code comment of a typed number: "// PLLDIV: M =" and 40 give "// PLLDIV: M = 40";
// without a comment of its own, "// PLLFBD<8:0> = 40".
std::string TypedComment(const TTypedField& field, std::int64_t number);

} // namespace quorvel
