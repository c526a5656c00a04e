// The faster ways against the literal ones, on thousands of generated formulas: the 15-digit
// cut against writing and reading the text, the function-call pass against replacing one
// call at a time, and the compiled forms against the rewriting (with changing variable values
// a compiled form gives a value only when the rewriting gives the same bits, and evaluation
// with compiled forms gives the same values and messages as without them).

#include "eval/EvalCache.h"
#include "eval/EvalCallMemo.h"
#include "eval/KivEval.h"
#include "eval/RenderedValue.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace quorvel {
namespace {

std::string Bits(std::optional<double> x) {
    return x ? std::to_string(std::bit_cast<std::uint64_t>(*x)) : "none";
}

TEST(RenderedValue, IsWhatThePlainTextReadsBackAs) {
    std::mt19937_64 random(11);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  0.1,
                                  1.0 / 3,
                                  2.0 / 3,
                                  1e15,
                                  1e-8,
                                  9.99999999999999e14,
                                  5e-324,
                                  DBL_MAX,
                                  -DBL_MAX,
                                  1.797693134862315e308,
                                  562949953421312.5,
                                  1000000000000005.0,
                                  1000000000000015.0,
                                  9007199254740991.0,
                                  1801008829141425.25,
                                  std::nan(""),
                                  HUGE_VAL};
    for (int i = 0; i < 100000; ++i) {
        values.push_back(std::bit_cast<double>(random())); // any bit pattern
        const double scale = std::pow(10.0, static_cast<int>(random() % 60) - 30);
        values.push_back(static_cast<double>(random() % 10000000000000000ull) * scale);
        values.push_back(static_cast<double>(random() % 100000) / 8.0 * scale);
    }
    for (const double x : values)
        ASSERT_EQ(Bits(RenderedValue(x)), Bits(ParseFloat(FloatToPlainText(x))))
            << FloatToPlainText(x);
}

// The quick cut that the compiled forms and the variable table use, where it answers, against
// the general cut and the text, on the values where a shortcut could go wrong: around powers
// of ten and of two, halfway between two 15-digit decimals (where the rounded product and the
// exact one can round apart), whole numbers and their neighbours, tiny and huge values.
TEST(RenderedValue, QuickCutIsTheGeneralOneWhereItAnswers) {
    std::mt19937_64 random(23);
    std::vector<double> values;
    const auto around = [&](double x) {
        double below = x;
        double above = x;
        values.push_back(x);
        for (int k = 0; k < 3; ++k) {
            below = std::nextafter(below, -HUGE_VAL);
            above = std::nextafter(above, HUGE_VAL);
            values.push_back(below);
            values.push_back(above);
        }
    };
    for (int e = -330; e <= 310; ++e) {
        const double power = std::pow(10.0, e);
        around(power);
        around(9.99999999999999 * power);
        around(9.999999999999995 * power);
        around(std::ldexp(1.0, e));
    }
    for (int i = 0; i < 20000; ++i) {
        // Halfway between two 15-digit decimals at a random decimal exponent.
        const auto digits = static_cast<double>(100000000000000ull + random() % 900000000000000ull);
        const int s = static_cast<int>(random() % 23);
        around((digits + 0.5) / std::pow(10.0, s));
        // Fractions of few bits scaled by a power of ten: exact halves after scaling.
        around(static_cast<double>(random() % 1000000) / 64.0 * std::pow(10.0, s - 8));
        // Whole numbers, and any magnitude of the common range.
        around(static_cast<double>(random() % 2000000000000000ull));
        values.push_back(std::ldexp(1.0 + static_cast<double>(random() >> 11) / 9007199254740992.0,
                                    static_cast<int>(random() % 80) - 28));
        values.push_back(std::bit_cast<double>(random())); // any bit pattern
    }
    values.push_back(std::nan(""));
    values.push_back(HUGE_VAL);
    values.push_back(5e-324);
    values.push_back(DBL_MAX);
    std::size_t answered = 0;
    for (const double value : values) {
        for (const double x : {value, -value}) {
            double quick;
            if (!renderedvalue::QuickCut(x, quick))
                continue;
            ++answered;
            ASSERT_EQ(Bits(quick), Bits(RenderedValueOrNan(x))) << FloatToPlainText(x);
            ASSERT_EQ(Bits(quick), Bits(ParseFloat(FloatToPlainText(x)))) << FloatToPlainText(x);
        }
        const double quick = RenderedValueQuick(value); // NaN for none
        ASSERT_EQ(std::isnan(quick) ? "none" : Bits(quick), Bits(RenderedValue(value)));
    }
    EXPECT_GT(answered, values.size()); // both signs of most values
}

// Formulas of every shape the evaluator knows: mostly valid, with each kind of fault now and
// then.
class FormulaGenerator {
public:
    explicit FormulaGenerator(unsigned seed) : random_(seed) {}

    std::string Formula() { return Chain(0); }

private:
    int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Pick(1000) < percent * 10; }
    std::string Blank() {
        const char* blanks[] = {"", "", "", "", " ", "  ", "\t"};
        return blanks[Pick(7)];
    }

    std::string Chain(int depth) {
        std::string s = Blank();
        if (Chance(15))
            s += "-+"[Pick(2)];
        s += Operand(depth);
        const int n = Pick(depth == 0 ? 4 : 2);
        for (int i = 0; i < n; ++i) {
            s += Blank();
            if (Chance(4)) { // operands side by side: "(1)(0-2)" holds an operator only by sign
                s += Chance(50) ? "(" + Chain(depth + 1) + ")" : Operand(depth);
                continue;
            }
            s += "+-*/%^=<>&|+-*+-*/"[Pick(18)];
            s += Blank();
            if (Chance(12))
                s += Chance(80) ? "-" : "+ -";
            if (Chance(1))
                s += "*"; // an operator that may not follow another one
            s += Operand(depth);
        }
        return s + Blank();
    }

    std::string Operand(int depth) {
        const int kind = Pick(depth < 3 ? 10 : 6);
        if (kind < 2) {
            if (Chance(4)) {
                const char* faulty[] = {"", "1.2.3", "-", ".5", "1e3", "#"};
                return faulty[Pick(6)];
            }
            const char* numbers[] = {"0",
                                     "1",
                                     "2",
                                     "3",
                                     "10",
                                     "0.5",
                                     "2.5",
                                     "7",
                                     "5.",
                                     "4",
                                     "0.1",
                                     "007",
                                     "123456789012345678"};
            return numbers[Pick(13)];
        }
        if (kind < 6) {
            if (Chance(4)) {
                const char* faulty[] = {"u", "big", "x y", "pi", "a#"};
                return faulty[Pick(5)];
            }
            const char* names[] = {"a", "B", "c_1", "sinus", "A", "neg", "zero", "third", "b"};
            return names[Pick(9)];
        }
        if (kind < 8)
            return "(" + Chain(depth + 1) + (Chance(2) ? "" : ")");
        struct Function {
            const char* name;
            int needs;
        };
        const Function functions[] = {
            {"abs", 1},  {"int", 1}, {"frac", 1},  {"round", 1},  {"ceil", 1},   {"floor", 1},
            {"sum", 3},  {"avg", 2}, {"min", 2},   {"max", 3},    {"sqrt", 1},   {"pi", 0},
            {"logn", 2}, {"log", 1}, {"power", 2}, {"sign", 1},   {"ifthen", 3}, {"select", 3},
            {"not", 1},  {"rad", 1}, {"deg", 1},   {"cmp", 2},    {"ln", 1},     {"exp", 1},
            {"sin", 1},  {"cos", 1}, {"tan", 1},   {"arcsin", 1}, {"arccos", 1}, {"arctan", 1}};
        const Function& f = functions[Pick(30)];
        std::string s = f.name;
        if (Chance(20))
            s[0] = static_cast<char>(s[0] - 'a' + 'A');
        s += Chance(8) ? " (" : "(";
        const int args = Chance(10) ? Pick(5) : f.needs;
        for (int i = 0; i < args; ++i) {
            if (i > 0)
                s += ",";
            if (std::string(f.name) == "select" && i == 0)
                s += Chance(90) ? "0" : "1"; // a valid index mostly
            else if (!Chance(3))
                s += Chain(depth + 1);
        }
        return s + (Chance(2) ? "" : ")");
    }

    std::mt19937 random_;
};

struct Outcome {
    std::optional<double> value;
    std::string error; // kind and message
};

Outcome Evaluate(TSimpleEval& ev, const std::string& text, TPreparedFormula* prepared = nullptr) {
    Outcome o;
    try {
        o.value = prepared != nullptr ? ev.Evaluate(*prepared) : ev.EvaluateText(text);
    } catch (const ESimpleEvalException& e) {
        o.error = "Error: " + e.Message();
    } catch (const std::exception& e) {
        o.error = std::string(typeid(e).name()) + ": " + e.what();
    }
    return o;
}

// The same definitions, drawn from `seed`, for an evaluator or a bare variable table.
template <class Set> void Define(unsigned seed, Set&& set) {
    std::mt19937 random(seed);
    const double values[] = {0.0,  -0.0, 1.0,   -1.0, 2.0,    -2.5,  0.5, 1.0 / 3, -2.0 / 3,
                             1e-7, 1e20, -1e20, 3.7,  123.25, 1e300, 7.0, 0.49999, 1.5};
    for (const char* name : {"a", "b", "C_1", "pi", "sinus", "neg"})
        set(name, values[random() % std::size(values)]);
    set("zero", 0.0);
    set("third", 1.0 / 3);
    set("big", DBL_MAX); // its 15-digit text does not read back
}

TEST(EvalCompiled, GivesTheRewritingsValuesAndMessagesOnGeneratedFormulas) {
    FormulaGenerator generator(2024);
    TSimpleEval rewriting;
    rewriting.UseCompiledForms = false;
    TSimpleEval withCompiledForms;
    // Prepared formulas, with the variables replaced through their places.
    TSimpleEval withPrepared;
    VariableTable table;
    FormulaCache cache;
    int values = 0;
    int compiledValues = 0;
    for (int i = 0; i < 5000; ++i) {
        const std::string text = generator.Formula();
        TPreparedFormula prepared = withPrepared.Prepare(text);
        for (unsigned round = 0; round < 4; ++round) { // the same compiled form, other values
            const unsigned seed = static_cast<unsigned>(i) * 4 + round;
            Define(seed, [&](const char* n, double v) { rewriting.SetVariable(n, v); });
            Define(seed, [&](const char* n, double v) { withCompiledForms.SetVariable(n, v); });
            Define(seed, [&](const char* n, double v) { table.Set(n, v); });
            Define(seed, [&](const char* n, double v) {
                withPrepared.SetVariableAt(withPrepared.DefineVariable(n, 0.0), v);
            });
            const Outcome expected = Evaluate(rewriting, text);
            const Outcome actual = Evaluate(withCompiledForms, text);
            ASSERT_EQ(Bits(actual.value), Bits(expected.value)) << text;
            ASSERT_EQ(actual.error, expected.error) << text;
            const Outcome fromPrepared = Evaluate(withPrepared, text, &prepared);
            ASSERT_EQ(Bits(fromPrepared.value), Bits(expected.value)) << text;
            ASSERT_EQ(fromPrepared.error, expected.error) << text;
            const std::optional<double> fast = cache.Run(text, table);
            if (fast) {
                ASSERT_TRUE(expected.value.has_value()) << text << " gave " << *fast;
                ASSERT_EQ(Bits(fast), Bits(expected.value)) << text;
                ++compiledValues;
            }
            if (expected.value)
                ++values;
        }
    }
    // The comparison means something only if the compiled forms do the work.
    EXPECT_GT(values, 4000);
    EXPECT_GT(compiledValues, values * 95 / 100) << compiledValues << " of " << values;
}

TEST(EvalCompiled, ACacheRecordsEveryTextAndRunsTheCompiledOnes) {
    VariableTable table;
    table.Set("a", 3);
    FormulaCache cache;
    FormulaCache::Look look = cache.RunIfCompiled("a*2", table);
    EXPECT_FALSE(look.value || look.compiled || look.seenBefore) << "a text never seen";
    look = cache.RunIfCompiled("a*2", table);
    EXPECT_TRUE(look.seenBefore && !look.compiled && !look.value) << "seen, not compiled";
    EXPECT_EQ(cache.Run("a*2", table), 6.0);
    table.Set("a", 4);
    look = cache.RunIfCompiled("a*2", table);
    EXPECT_TRUE(look.compiled);
    EXPECT_EQ(look.value, 8.0);
    // A text compiled at first sight counts as seen.
    EXPECT_EQ(cache.Run("a+1", table), 5.0);
    EXPECT_EQ(cache.RunIfCompiled("a+1", table).value, 5.0);
    // Once the cache starts afresh every text is new again.
    for (std::size_t i = 0; i < FormulaCache::kMaxEntries; ++i)
        cache.RunIfCompiled("a+" + std::to_string(i + 2), table);
    look = cache.RunIfCompiled("a*2", table);
    EXPECT_FALSE(look.compiled || look.seenBefore);
}

TEST(EvalPrepared, FollowsTheVariableTableItIsEvaluatedWith) {
    TSimpleEval ev;
    TPreparedFormula f = ev.Prepare("a*(b+1)");
    EXPECT_THROW(ev.Evaluate(f), ESimpleEvalException) << "a is not defined yet";
    const int a = ev.DefineVariable("a", 2);
    ev.SetVariable("b", 3);
    EXPECT_EQ(ev.Evaluate(f), 8);
    ev.SetVariableAt(a, 1.0 / 3);
    EXPECT_EQ(Bits(ev.Evaluate(f)), Bits(ev.EvaluateText("a*(b+1)")));
    EXPECT_EQ(ev.Variables().front(), "a=0.333333333333333");
    // Another evaluator with the same names on other lines.
    TSimpleEval other;
    other.SetVariable("b", 10);
    other.SetVariable("a", 5);
    EXPECT_EQ(other.Evaluate(f), 55);
    EXPECT_EQ(Bits(ev.Evaluate(f)), Bits(ev.EvaluateText("a*(b+1)")));
    // A table replaced wholesale, by copy and by move, and the one left behind by a move.
    ev = other;
    EXPECT_EQ(ev.Evaluate(f), 55);
    TSimpleEval moved(std::move(other));
    EXPECT_EQ(moved.Evaluate(f), 55);
    EXPECT_THROW(other.Evaluate(f), ESimpleEvalException) << "nothing is left behind";
    EXPECT_THROW(moved.SetVariableAt(2, 1), std::out_of_range);
    EXPECT_THROW(moved.SetVariableAt(-1, 1), std::out_of_range);
}

TEST(EvalPrepared, CopiesUsedWithTablesOfTheSameSizeEachFindTheirOwnVariables) {
    // Copies share the compiled form; the same names stand on other lines in each table.
    TSimpleEval first;
    first.SetVariable("a", 2);
    first.SetVariable("b", 3);
    TSimpleEval second;
    second.SetVariable("b", 30);
    second.SetVariable("a", 20);
    const TPreparedFormula original = first.Prepare("a-b");
    TPreparedFormula forFirst = original;
    TPreparedFormula forSecond = original;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(first.Evaluate(forFirst), -1);
        EXPECT_EQ(second.Evaluate(forSecond), -10);
    }
}

TEST(EvalCompiled, AGroupAfterAnUnreadOperandOfAndCountsInEveryForm) {
    // "0&x" leaves x unread (it need not even exist); the group's value, put back as " -1 ",
    // brings its "-" as an operator, so the text is 0&x-1. A compiled form that took the
    // group for part of the unread operand would give 0.
    const std::string text = "0&x(0-1)";
    for (const bool defined : {false, true}) {
        TSimpleEval rewriting;
        rewriting.UseCompiledForms = false;
        TSimpleEval withCompiledForms;
        TSimpleEval withPrepared;
        TPreparedFormula prepared = withPrepared.Prepare(text);
        VariableTable table;
        if (defined) {
            rewriting.SetVariable("x", 5);
            withCompiledForms.SetVariable("x", 5);
            withPrepared.SetVariable("x", 5);
            table.Set("x", 5);
        }
        const Outcome expected = Evaluate(rewriting, text);
        ASSERT_EQ(Bits(expected.value), Bits(-1.0)) << expected.error;
        for (int run = 0; run < 2; ++run) { // rewritten at the first run, compiled at the second
            const Outcome actual = Evaluate(withCompiledForms, text);
            EXPECT_EQ(Bits(actual.value), Bits(expected.value)) << actual.error;
            const Outcome fromPrepared = Evaluate(withPrepared, text, &prepared);
            EXPECT_EQ(Bits(fromPrepared.value), Bits(expected.value)) << fromPrepared.error;
            // The compiled form alone, without the rewriting to fall back on: it may leave
            // the value to the rewriting, but must never give another one.
            FormulaCache cache;
            const std::optional<double> fast = cache.Run(text, table);
            if (fast) {
                EXPECT_EQ(Bits(fast), Bits(expected.value));
            }
        }
    }
}

// The function-call pass as described: find the next call, evaluate it, replace it, again.
std::string ReduceOneCallAtATime(TSimpleEval& ev, std::string text) {
    for (;;) {
        const TFunctionCall call = ev.FindFunctionCall(text);
        if (!call.Found)
            return text;
        const double value = ev.CallFunction(call.Name, call.Arguments);
        text = text.substr(0, call.Start - 1) + " " + FloatToPlainText(value) + " " +
               text.substr(call.Close);
    }
}

std::string Reduced(TSimpleEval& ev, const std::string& text, bool oneAtATime) {
    try {
        if (oneAtATime)
            return ReduceOneCallAtATime(ev, text);
        std::string reduced = text;
        ev.ReduceFunctionCalls(reduced);
        return reduced;
    } catch (const ESimpleEvalException& e) {
        return "Error: " + e.Message();
    } catch (const std::exception& e) {
        return std::string("Other: ") + e.what();
    }
}

// Texts made of calls that come back again and again while the variables change now and
// then: every call, and every text seen before, is looked up among the kept ones, and a kept
// value must be what evaluating it again gives, message for message.
TEST(EvalCallMemo, KeptCallsGiveTheRewritingsValuesAndMessages) {
    FormulaGenerator generator(99);
    std::vector<std::string> calls;
    while (calls.size() < 200) {
        const std::string text = generator.Formula();
        if (text.find('(') != std::string::npos)
            calls.push_back("sum(" + text + ")");
    }
    TSimpleEval rewriting;
    rewriting.UseCompiledForms = false;
    TSimpleEval keeping;
    std::mt19937 random(3);
    unsigned seed = 0;
    int values = 0;
    std::string text = "1";
    for (int i = 0; i < 20000; ++i) {
        if (i % 8 == 0) { // now and then other values, the same ones or a new name
            seed = random() % 3 == 0 ? seed : random() % 50;
            Define(seed, [&](const char* n, double v) { rewriting.SetVariable(n, v); });
            Define(seed, [&](const char* n, double v) { keeping.SetVariable(n, v); });
            if (random() % 4 == 0) {
                const std::string name = random() % 2 == 0 ? "u" : "x";
                rewriting.SetVariable(name, i % 3 - 1.0);
                keeping.SetVariable(name, i % 3 - 1.0);
            }
        }
        // A number of its own makes most texts new, so that no compiled form stands in; one
        // in four is the text before, asked for again with the same values or with others.
        if (random() % 4 != 0)
            text = IntToText(i) + " + " + calls[random() % calls.size()] + " * " +
                   calls[random() % calls.size()];
        const Outcome expected = Evaluate(rewriting, text);
        const Outcome actual = Evaluate(keeping, text);
        ASSERT_EQ(Bits(actual.value), Bits(expected.value)) << text;
        ASSERT_EQ(actual.error, expected.error) << text;
        values += expected.value.has_value();
    }
    EXPECT_GT(values, 2000);
}

TEST(EvalCallMemo, AKeptValueHoldsOnlyWhileItsVariablesReadTheSame) {
    VariableTable table;
    table.Set("a", 2);
    table.Set("b", 3);
    CallMemo memo;
    std::vector<CallMemo::Read> log;
    EXPECT_EQ(memo.Find(6, "a, b", table, &log), nullptr) << "nothing kept yet";
    const std::vector<CallMemo::Read> reads = {
        {0, std::bit_cast<std::uint64_t>(2.0)},
        {1, std::bit_cast<std::uint64_t>(3.0)},
        {0, std::bit_cast<std::uint64_t>(2.0)}}; // read twice, checked once
    memo.Remember(6, "a, b", 5, reads);
    const double* kept = memo.Find(6, "a, b", table, &log);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(*kept, 5);
    EXPECT_EQ(log.size(), 2u) << "the reads it depends on, for the calls around it";
    EXPECT_EQ(memo.Find(7, "a, b", table, &log), nullptr) << "another function";
    EXPECT_EQ(memo.Find(6, "a,b", table, &log), nullptr) << "another text";
    table.Set("b", 4);
    EXPECT_EQ(memo.Find(6, "a, b", table, &log), nullptr) << "b reads differently";
    table.Set("b", 3);
    EXPECT_NE(memo.Find(6, "a, b", table, &log), nullptr) << "b reads as before";
    table.Set("a", -0.0);
    memo.Remember(6, "a, b", 3,
                  std::vector<CallMemo::Read>{{0, std::bit_cast<std::uint64_t>(-0.0)}});
    table.Set("a", 0.0);
    EXPECT_EQ(memo.Find(6, "a, b", table, &log), nullptr) << "0 is not -0";

    // A call that read more than the memo checks is not kept.
    std::vector<CallMemo::Read> many(CallMemo::kMaxReads + 1, CallMemo::Read{0, 0});
    memo.Remember(8, "x", 1, many);
    EXPECT_EQ(memo.Find(8, "x", table, &log), nullptr);
    // A text longer than a lookup key on the stack is found as well.
    const std::string longText(1000, '1');
    memo.Remember(6, longText, 9, {});
    ASSERT_NE(memo.Find(6, longText, table, &log), nullptr);
    EXPECT_EQ(*memo.Find(6, longText, table, &log), 9);
    const std::string tooLong(CallMemo::kMaxArguments + 1, '1');
    memo.Remember(6, tooLong, 9, {});
    EXPECT_EQ(memo.Find(6, tooLong, table, &log), nullptr);
}

TEST(EvalCallMemo, AVariableNotReadBehindADecidedAndCountsOnceItIsRead) {
    TSimpleEval ev;
    ev.SetVariable("zero", 0);
    EXPECT_EQ(ev.EvaluateText("1 + sum(zero & undefined)"), 1);
    ev.SetVariable("zero", 1);
    // The same call, now reading the name that is not defined.
    EXPECT_THROW(ev.EvaluateText("2 + sum(zero & undefined)"), ESimpleEvalException);
    ev.SetVariable("undefined", 1);
    EXPECT_EQ(ev.EvaluateText("3 + sum(zero & undefined)"), 4);
    ev.SetVariable("undefined", 0);
    EXPECT_EQ(ev.EvaluateText("4 + sum(zero & undefined)"), 4);
}

TEST(EvalCallPass, GivesWhatReplacingOneCallAtATimeGives) {
    FormulaGenerator generator(77);
    TSimpleEval ev;
    Define(5, [&](const char* n, double v) { ev.SetVariable(n, v); });
    int replaced = 0;
    for (int i = 0; i < 6000; ++i) {
        const std::string text = generator.Formula();
        const std::string expected = Reduced(ev, text, true);
        ASSERT_EQ(Reduced(ev, text, false), expected) << text;
        replaced += expected != text && expected.rfind("Error: ", 0) != 0;
    }
    EXPECT_GT(replaced, 1000);
}

} // namespace
} // namespace quorvel
