// The function-call pass of TSimpleEval: finding calls, splitting and evaluating their
// arguments, and computing the built-in functions.

#include "eval/EvalCallPass.h"
#include "eval/EvalErrors.h"
#include "eval/EvalMath.h"
#include "eval/EvalText.h"
#include "eval/KivEval.h"
#include "util/KivStrings.h"

#include <array>
#include <span>
#include <vector>

namespace quorvel {

using evaltext::kNone;

TFunctionCall TSimpleEval::FindFunctionCall(const std::string& text) const {
    TFunctionCall call;
    const evaltext::CallSite site = evaltext::FindCallSite(text);
    if (site.function < 0)
        return call;
    const std::string_view name = evaltext::kFunctionNames[static_cast<std::size_t>(site.function)];
    const evaltext::Group g = evaltext::FindGroupFrom(text, site.end);
    if (!g.Found()) {
        if (g.open != kNone)
            evalerrors::Raise(evalerrors::ClosingExpected(name, LowerAscii(text)));
        evalerrors::Raise(evalerrors::OpeningExpected(name, LowerAscii(text)));
    }
    const std::string_view between =
        Trim(std::string_view(text).substr(site.end, g.open - site.end));
    if (!between.empty())
        evalerrors::Raise(
            evalerrors::OpeningExpectedButFound(LowerAscii(between), name, LowerAscii(text)));
    call.Found = true;
    call.Name = name;
    call.Start = site.start + 1;
    call.Close = g.close + 1;
    call.Arguments = text.substr(g.open + 1, g.close - g.open - 1);
    return call;
}

void TSimpleEval::ReduceFunctionCalls(std::string& text) {
    std::string reduced;
    if (ReduceCallsInto(text, reduced))
        text = std::move(reduced);
}

bool TSimpleEval::ReduceCallsInto(std::string_view text, std::string& out) {
    evaltext::CallPassError error;
    const bool changed =
        evaltext::ReduceCalls(text, out, error, [this](int function, std::string_view arguments) {
            const std::string_view name =
                evaltext::kFunctionNames[static_cast<std::size_t>(function)];
            return FloatToPlainText(CallRemembered(function, name, arguments));
        });
    if (error.kind == evaltext::CallPassError::Kind::None)
        return changed;
    const std::string_view name =
        evaltext::kFunctionNames[static_cast<std::size_t>(error.function)];
    switch (error.kind) {
    case evaltext::CallPassError::Kind::OpeningExpectedButFound:
        evalerrors::Raise(evalerrors::OpeningExpectedButFound(LowerAscii(error.found), name,
                                                              LowerAscii(error.text)));
    case evaltext::CallPassError::Kind::ClosingExpected:
        evalerrors::Raise(evalerrors::ClosingExpected(name, LowerAscii(error.text)));
    default:
        evalerrors::Raise(evalerrors::OpeningExpected(name, LowerAscii(error.text)));
    }
}

double TSimpleEval::CallFunction(const std::string& name, const std::string& arguments) {
    const int function = evaltext::FunctionIndex(LowerAscii(name));
    if (function < 0)
        evalerrors::Raise(evalerrors::UnknownFunction(name));
    return CallFunctionIn(function, name, arguments);
}

double TSimpleEval::CallRemembered(int function, std::string_view name,
                                   std::string_view arguments) {
    if (!UseCompiledForms)
        return CallFunctionIn(function, name, arguments);
    if (const double* kept = calls_.Find(function, arguments, variables_, OpenLog()))
        return *kept;
    const OpenCall open(*this);
    const double value = CallFunctionIn(function, name, arguments);
    calls_.Remember(function, arguments, value, open.Reads());
    return value;
}

double TSimpleEval::CallFunctionIn(int function, std::string_view name,
                                   std::string_view arguments) {
    const evalerrors::NestingGuard nesting(depth_);
    if (depth_ == 1)
        evalerrors::CheckOuterText(arguments);
    // sum((1,2)) is sum(1,2); nested calls go first, so their own commas do no harm.
    const std::string_view stripped = evaltext::StripOuterParens(Trim(arguments));
    std::string reducedStore;
    const std::string_view reduced =
        ReduceCallsInto(stripped, reducedStore) ? std::string_view(reducedStore) : stripped;
    // The arguments of most calls fit in `few`; more go to `many`.
    std::array<double, 16> few;
    std::size_t count = 0;
    std::vector<double> many;
    const auto add = [&](double value) {
        if (count < few.size())
            few[count] = value;
        else {
            if (many.empty())
                many.assign(few.begin(), few.end());
            many.push_back(value);
        }
        ++count;
    };
    const std::string_view list = Trim(reduced);
    if (!list.empty()) {
        std::size_t from = 0;
        for (;;) { // every piece between commas, also empty ones, is an argument
            const std::size_t comma = list.find(',', from);
            // Every argument is evaluated, also those the function does not read.
            add(Rewrite(list.substr(from, comma == kNone ? kNone : comma - from)));
            if (comma == kNone)
                break;
            from = comma + 1;
        }
    }
    const std::span<const double> args = count <= few.size()
                                             ? std::span<const double>(few.data(), count)
                                             : std::span<const double>(many);
    const evalmath::Result r = evalmath::CallBuiltin(function, args);
    switch (r.status) {
    case evalmath::Status::Ok:
        return r.value;
    case evalmath::Status::TooFewArguments:
        evalerrors::Raise(evalerrors::TooFewArguments(name, reduced, args.size()));
    case evalmath::Status::Invalid:
        evalerrors::Raise(evalerrors::ErrorInArguments(name, reduced));
    case evalmath::Status::DivideByZero:
        throw ArithmeticError(evalerrors::kDivisionByZero);
    case evalmath::Status::Overflow:
        break;
    }
    throw ArithmeticError(evalerrors::kOverflow);
}

} // namespace quorvel
