#pragma once
// The evaluator's function library in one table: each built-in function's name, the number
// of arguments every call of it needs, and its implementation. The text rewriting and the
// compiled forms both find names and call functions only through this table; the table's
// order decides which call of a text is handled first.

#include "eval/EvalMath.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <span>
#include <string_view>

namespace quorvel::evalmath {

using Arguments = std::span<const double>;

// The implementations; each may rely on having at least the table's count of arguments, and
// reports TooFewArguments itself when the arguments it reads depend on their values.
namespace builtin {
Result Abs(Arguments a);
Result Int(Arguments a);
Result Frac(Arguments a);
Result Round(Arguments a);
Result Ceil(Arguments a);
Result Floor(Arguments a);
Result Sum(Arguments a);
Result Avg(Arguments a);
Result Min(Arguments a);
Result Max(Arguments a);
Result Sqrt(Arguments a);
Result Pi(Arguments a);
Result Logn(Arguments a);
Result Log(Arguments a);
Result Power(Arguments a);
Result Sign(Arguments a);
Result IfThen(Arguments a);
Result Select(Arguments a);
Result Not(Arguments a);
Result Rad(Arguments a);
Result Deg(Arguments a);
Result Cmp(Arguments a);
Result Ln(Arguments a);
Result Exp(Arguments a);
Result Sin(Arguments a);
Result Cos(Arguments a);
Result Tan(Arguments a);
Result ArcSin(Arguments a);
Result ArcCos(Arguments a);
Result ArcTan(Arguments a);
} // namespace builtin

struct Builtin {
    std::string_view Name;    // lower case
    std::size_t MinArguments; // a call with fewer fails with TooFewArguments
    Result (*Apply)(Arguments);
};

inline constexpr int kFunctionCount = 30;

namespace detail {
inline constexpr Builtin kBuiltinList[] = {
    {"abs", 1, builtin::Abs},       {"int", 1, builtin::Int},       {"frac", 1, builtin::Frac},
    {"round", 1, builtin::Round},   {"ceil", 1, builtin::Ceil},     {"floor", 1, builtin::Floor},
    {"sum", 0, builtin::Sum},       {"avg", 0, builtin::Avg},       {"min", 1, builtin::Min},
    {"max", 1, builtin::Max},       {"sqrt", 1, builtin::Sqrt},     {"pi", 0, builtin::Pi},
    {"logn", 2, builtin::Logn},     {"log", 1, builtin::Log},       {"power", 2, builtin::Power},
    {"sign", 1, builtin::Sign},     {"ifthen", 1, builtin::IfThen}, {"select", 1, builtin::Select},
    {"not", 1, builtin::Not},       {"rad", 1, builtin::Rad},       {"deg", 1, builtin::Deg},
    {"cmp", 2, builtin::Cmp},       {"ln", 1, builtin::Ln},         {"exp", 1, builtin::Exp},
    {"sin", 1, builtin::Sin},       {"cos", 1, builtin::Cos},       {"tan", 1, builtin::Tan},
    {"arcsin", 1, builtin::ArcSin}, {"arccos", 1, builtin::ArcCos}, {"arctan", 1, builtin::ArcTan},
};

// Names are non-empty, lower-case letters only, and each appears once.
constexpr bool NamesAreWellFormed() {
    for (std::size_t i = 0; i < std::size(kBuiltinList); ++i) {
        const std::string_view name = kBuiltinList[i].Name;
        if (name.empty())
            return false;
        for (const char c : name)
            if (c < 'a' || c > 'z')
                return false;
        for (std::size_t k = 0; k < i; ++k)
            if (kBuiltinList[k].Name == name)
                return false;
    }
    return true;
}
} // namespace detail

static_assert(std::size(detail::kBuiltinList) == kFunctionCount,
              "the function table must list exactly kFunctionCount functions");
static_assert(detail::NamesAreWellFormed(), "function names must be distinct lower-case words");

inline constexpr std::array<Builtin, kFunctionCount> kBuiltins =
    std::to_array(detail::kBuiltinList);

} // namespace quorvel::evalmath
