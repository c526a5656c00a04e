// Timing of the formula evaluator: a whole clock-diagram calculation (31 formulas over about
// 40 variables, every result fed back as a variable for the formulas below it), single
// formulas seen for the first time and again, and the 15-digit cut of values.

#include "eval/EvalCache.h"
#include "eval/KivEval.h"
#include "eval/RenderedValue.h"
#include "eval/VariableTable.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <benchmark/benchmark.h>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

// Inputs and chosen settings of an oscillator with PLL, postscalers and peripherals.
const std::vector<std::pair<const char*, double>> kInputs = {
    {"POSC", 8},    {"SOSC", 0.032768}, {"FRC", 7.37}, {"LPRC", 0.032}, {"FNOSC", 3},
    {"POSCMD", 2},  {"FCKSM", 3},       {"IESO", 1},   {"OSCIOFNC", 0}, {"PLLPRE", 0},
    {"PLLDIV", 38}, {"PLLPOST", 0},     {"FRCDIV", 0}, {"DOZE", 3},     {"DOZEN", 0},
    {"ROI", 0},     {"TUN", 0},         {"PLLEN", 1},  {"ADCS", 5},     {"SPIPRE", 2},
    {"SPISEC", 6},  {"BRG", 21},        {"T1PS", 1},   {"T1CS", 0},     {"PR1", 4999},
    {"PR2", 399},   {"REFODIV", 1},     {"ROSEL", 0},  {"CANDIV", 1},   {"USBDIV", 2},
    {"WDTPRE", 1},  {"WDTPOST", 15},    {"PWMPS", 0},  {"PTPER", 999},  {"I2CBRG", 91},
    {"CLKOE", 1},   {"ALTSS", 0},       {"SELPLL", 1}, {"APLLDIV", 24}, {"APLLPRE", 1},
};

// The value boxes of the diagram, in table order: name and formula.
const std::vector<std::pair<const char*, const char*>> kFormulas = {
    {"FRCT", "FRC*(1+TUN*0.00375)"},
    {"FRCDIVN", "FRCT/(2^FRCDIV)"},
    {"POSCO", "ifthen(POSCMD<3, POSC, 0)"},
    {"PLLIN", "ifthen(FNOSC=1, FRCT, POSCO)"},
    {"VCOIN", "PLLIN/(PLLPRE+2)"},
    {"FVCO", "VCOIN*(PLLDIV+2)"},
    {"FPLL", "FVCO/(2*(PLLPOST+1))"},
    {"FOSC", "select(FNOSC, FRCDIVN, FPLL, POSCO, FPLL, SOSC, LPRC, FRCT/16, FRCDIVN)"},
    {"FCY", "FOSC/2"},
    {"FCPU", "ifthen(DOZEN, FCY/(2^DOZE), FCY)"},
    {"VCOINOK", "ifthen((VCOIN<0.8)|(VCOIN>8), 0, 1)"},
    {"FVCOOK", "ifthen((FVCO<100)|(FVCO>200), 0, 1)"},
    {"TAD", "(ADCS+1)/FCY*1000"},
    {"BAUDH", "FCY/(4*(BRG+1))*1000000"},
    {"BAUDL", "FCY/(16*(BRG+1))*1000000"},
    {"SPICLK", "FCY/(select(SPIPRE, 64, 16, 4, 1)*(8-SPISEC))"},
    {"T1CLK", "FCY/select(T1PS, 1, 8, 64, 256)"},
    {"T1IN", "ifthen(T1CS, SOSC, T1CLK)"},
    {"T1FREQ", "T1IN/(PR1+1)*1000000"},
    {"PWMFREQ", "FCY*1000/((PTPER+1)*(2^PWMPS))"},
    {"I2CCLK", "FCY/(I2CBRG+2)*1000"},
    {"REFO", "ifthen(ROSEL, POSCO, FOSC)/(2*REFODIV+ifthen(REFODIV=0, 1, 0))"},
    {"FCAN", "FCY/CANDIV"},
    {"AVCOIN", "POSCO/(APLLPRE+1)"},
    {"AFVCO", "AVCOIN*(APLLDIV+2)"},
    {"FUSB", "ifthen(SELPLL, AFVCO/(2*USBDIV+2), 48)"},
    {"WDTMS", "(2^(WDTPRE*2+5))*(WDTPOST+1)/LPRC/1000"},
    {"FCLKO", "ifthen(CLKOE&not(OSCIOFNC), FOSC/2, 0)"},
    {"MIPS", "round(FCPU*1000)/1000"},
    {"PLLOK", "VCOINOK&FVCOOK&not(FPLL>80)"},
    {"FSAFE", "ifthen(FCKSM<2, min(FOSC, FRCT), FOSC)"},
};

void DefineInputs(TSimpleEval& ev) {
    for (const auto& [name, value] : kInputs)
        ev.SetVariable(name, value);
}

void FormulaSet(benchmark::State& state, bool compiled) {
    TSimpleEval ev;
    ev.UseCompiledForms = compiled;
    DefineInputs(ev);
    for (auto _ : state) {
        for (const auto& [name, formula] : kFormulas) {
            ev.Expression = formula;
            const double value = ev.Evaluate();
            ev.SetVariable(name, value);
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(kFormulas.size()));
}

// The 31 formulas in table order, each result defined as a variable for those below it.
void BM_FormulaSetCompiled(benchmark::State& state) {
    FormulaSet(state, true);
}
void BM_FormulaSetRewriting(benchmark::State& state) {
    FormulaSet(state, false);
}
BENCHMARK(BM_FormulaSetCompiled)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FormulaSetRewriting)->Unit(benchmark::kMicrosecond);

// A whole calculation as a click runs it: every input defined again, then the set.
void BM_CalculationCompiled(benchmark::State& state) {
    TSimpleEval ev;
    DefineInputs(ev);
    for (auto _ : state) {
        DefineInputs(ev);
        for (const auto& [name, formula] : kFormulas) {
            ev.Expression = formula;
            ev.SetVariable(name, ev.Evaluate());
        }
    }
}
BENCHMARK(BM_CalculationCompiled)->Unit(benchmark::kMicrosecond);

// Single formulas; the last one is refused ("<=" is no operator) and shows what an error
// costs: the compiled form gives up and the rewriting words the message.
const char* const kSingle[] = {
    "FVCO/(2*(PLLPOST+1))",
    "select(FNOSC, FRCDIVN, FPLL, POSCO, FPLL, SOSC, LPRC, FRCT/16, FRCDIVN)",
    "ifthen((VCOIN<0.8)|(VCOIN>8), 0, 1)",
    "(2^(WDTPRE*2+5))*(WDTPOST+1)/LPRC/1000",
    "VCOINOK&FVCOOK&(FPLL<=80)",
};
constexpr int kLastSingle = 4;

double EvaluateOrMinusOne(TSimpleEval& ev, const std::string& formula) {
    try {
        return ev.EvaluateText(formula);
    } catch (const ESimpleEvalException&) {
        return -1.0;
    }
}

TSimpleEval ReadyEvaluator() {
    TSimpleEval ev;
    DefineInputs(ev);
    for (const auto& [name, formula] : kFormulas) {
        ev.Expression = formula;
        ev.SetVariable(name, ev.Evaluate());
    }
    return ev;
}

// Parse and evaluate a formula seen for the first time, by rewriting.
void BM_SingleRewriting(benchmark::State& state) {
    TSimpleEval ev = ReadyEvaluator();
    ev.UseCompiledForms = false;
    const std::string formula = kSingle[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(EvaluateOrMinusOne(ev, formula));
}
BENCHMARK(BM_SingleRewriting)->DenseRange(0, kLastSingle);

// Compile a formula seen for the first time and run it.
void BM_SingleCompileAndRun(benchmark::State& state) {
    VariableTable table;
    for (const auto& [name, value] : kInputs)
        table.Set(name, value);
    for (const auto& [name, formula] : kFormulas)
        table.Set(name, 1.5);
    const std::string formula = kSingle[state.range(0)];
    for (auto _ : state) {
        FormulaCache cache;
        benchmark::DoNotOptimize(cache.Run(formula, table));
    }
}
BENCHMARK(BM_SingleCompileAndRun)->DenseRange(0, kLastSingle);

// Evaluate a formula whose compiled form is kept.
void BM_SingleCompiled(benchmark::State& state) {
    TSimpleEval ev = ReadyEvaluator();
    const std::string formula = kSingle[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(EvaluateOrMinusOne(ev, formula));
}
BENCHMARK(BM_SingleCompiled)->DenseRange(0, kLastSingle);

// The 15-digit cut of a value: exact decimal rounding against writing and reading the text.
const double kValues[] = {7.37, 1.0 / 3, 79.2275, 0.0000123456789012345, 123456.789, 36.85};

void BM_CutByRounding(benchmark::State& state) {
    for (auto _ : state)
        for (const double x : kValues)
            benchmark::DoNotOptimize(RenderedValue(x));
}
BENCHMARK(BM_CutByRounding);

void BM_CutByText(benchmark::State& state) {
    for (auto _ : state)
        for (const double x : kValues)
            benchmark::DoNotOptimize(ParseFloat(FloatToPlainText(x)));
}
BENCHMARK(BM_CutByText);

// A formula of about `length` characters: parenthesised clock terms joined by "+", as a long
// generated formula looks.
std::string LongFormula(std::size_t length) {
    const std::string term = "(FRC*(TUN*0.00375+1)/ifthen(DOZEN, 2^DOZE, 1))";
    std::string text = term;
    while (text.size() + 1 + term.size() <= length)
        text += "+" + term;
    return text;
}

// Per character, a long formula evaluated again and again costs the same at any length: its
// compiled form is kept whatever its length.
void BM_LongFormulaAgain(benchmark::State& state) {
    TSimpleEval ev = ReadyEvaluator();
    const std::string text = LongFormula(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ev.EvaluateText(text));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LongFormulaAgain)->Arg(3200)->Arg(4000)->Arg(4200)->Arg(32000);

// The same formula seen for the first time each time: compiled and run.
void BM_LongFormulaFirstSight(benchmark::State& state) {
    TSimpleEval ev = ReadyEvaluator();
    const std::string text = LongFormula(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        TPreparedFormula f = ev.Prepare(text);
        benchmark::DoNotOptimize(ev.Evaluate(f));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LongFormulaFirstSight)->Arg(3200)->Arg(32000);

// And by rewriting alone.
void BM_LongFormulaRewriting(benchmark::State& state) {
    TSimpleEval ev = ReadyEvaluator();
    ev.UseCompiledForms = false;
    const std::string text = LongFormula(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ev.EvaluateText(text));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LongFormulaRewriting)->Arg(3200)->Arg(32000);

// Linear time on long formulas: a megabyte of "1+1+...".
void BM_MegabyteOfOnes(benchmark::State& state) {
    std::string text;
    while (text.size() < 1000000)
        text += "1+";
    text += "1";
    TSimpleEval ev;
    for (auto _ : state)
        benchmark::DoNotOptimize(ev.EvaluateText(text));
}
BENCHMARK(BM_MegabyteOfOnes)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvel
