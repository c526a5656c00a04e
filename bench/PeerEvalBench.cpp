// The evaluator against a general expression parser (muparser) on one set of 31 formulas of a
// clock calculation, each result defined as a variable for the formulas below it. The formulas
// mean the same in both: sums inside products and quotients are parenthesised, so folding from
// left to right gives what operator precedence gives. Before timing, every result must agree
// within 1e-13 relative. Each set runs with the formulas as written and ten times as long (each
// formula repeated ten times as a sum of parenthesised copies).

#include "eval/KivEval.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <muParser.h>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

const std::vector<std::pair<const char*, double>> kInputs = {
    {"POSC", 8},    {"SOSC", 0.032768}, {"FRC", 7.37}, {"LPRC", 0.032}, {"FNOSC", 3},
    {"POSCMD", 2},  {"FCKSM", 3},       {"IESO", 1},   {"OSCIOFNC", 0}, {"PLLPRE", 0},
    {"PLLDIV", 38}, {"PLLPOST", 0},     {"FRCDIV", 0}, {"DOZE", 3},     {"DOZEN", 0},
    {"ROI", 0},     {"TUN", 3},         {"PLLEN", 1},  {"ADCS", 5},     {"SPIPRE", 2},
    {"SPISEC", 6},  {"BRG", 21},        {"T1PS", 1},   {"T1CS", 0},     {"PR1", 4999},
    {"PR2", 399},   {"REFODIV", 1},     {"ROSEL", 0},  {"CANDIV", 1},   {"USBDIV", 2},
    {"WDTPRE", 1},  {"WDTPOST", 15},    {"PWMPS", 2},  {"PTPER", 999},  {"I2CBRG", 91},
    {"CLKOE", 1},   {"ALTSS", 0},       {"SELPLL", 1}, {"APLLDIV", 24}, {"APLLPRE", 1},
};

const std::vector<std::pair<const char*, const char*>> kFormulas = {
    {"FRCT", "FRC*(TUN*0.00375+1)"},
    {"FRCDIVN", "FRCT/(2^FRCDIV)"},
    {"POSCO", "min(POSC, 40)"},
    {"PLLIN", "max(POSCO, FRCT)"},
    {"VCOIN", "PLLIN/(PLLPRE+2)"},
    {"FVCO", "VCOIN*(PLLDIV+2)"},
    {"FPLL", "FVCO/(2*(PLLPOST+1))"},
    {"FOSC", "min(FPLL, 140)"},
    {"FCY", "FOSC/2"},
    {"FCPU", "FCY/(2^DOZE)"},
    {"TAD", "(ADCS+1)/FCY*1000"},
    {"BAUDH", "FCY/(4*(BRG+1))*1000000"},
    {"BAUDL", "FCY/(16*(BRG+1))*1000000"},
    {"SPICLK", "FCY/(4^(3-SPIPRE)*(8-SPISEC))"},
    {"T1CLK", "FCY/(8^T1PS)"},
    {"T1FREQ", "T1CLK/(PR1+1)*1000000"},
    {"PWMFREQ", "FCY*1000/((PTPER+1)*(2^PWMPS))"},
    {"I2CCLK", "FCY/(I2CBRG+2)*1000"},
    {"REFO", "FOSC/(2*REFODIV+1)"},
    {"FCAN", "FCY/CANDIV"},
    {"AVCOIN", "POSCO/(APLLPRE+1)"},
    {"AFVCO", "AVCOIN*(APLLDIV+2)"},
    {"FUSB", "AFVCO/(2*USBDIV+2)"},
    {"WDTMS", "(2^(WDTPRE*2+5))*(WDTPOST+1)/LPRC/1000"},
    {"FCLKO", "FOSC/2*CLKOE"},
    {"MIPS", "abs(FCPU*1000)/1000"},
    {"FSAFE", "min(FOSC, FRCT)"},
    {"VCOMEAN", "avg(VCOIN, FVCO, FPLL)"},
    {"FSUM", "sum(FCY, FCPU, FCAN)"},
    {"FNORM", "sqrt((FVCO*FVCO)+(FPLL*FPLL))"},
    {"DECADES", "ln(FOSC*1000000)/ln(10)"},
};

constexpr double kTolerance = 1e-13;

// The formulas as written (copies == 1) or as a sum of `copies` parenthesised copies.
std::vector<std::string> Formulas(int copies) {
    std::vector<std::string> out;
    for (const auto& [name, formula] : kFormulas) {
        if (copies == 1) {
            out.emplace_back(formula);
            continue;
        }
        std::string text;
        for (int i = 0; i < copies; ++i)
            text += (i ? "+(" : "(") + std::string(formula) + ")";
        out.push_back(std::move(text));
    }
    return out;
}

TSimpleEval OurEvaluator(bool compiled) {
    TSimpleEval ev;
    ev.UseCompiledForms = compiled;
    for (const auto& [name, value] : kInputs)
        ev.SetVariable(name, value);
    return ev;
}

// One set by our evaluator; `results` receives each formula's value.
void OurSet(TSimpleEval& ev, const std::vector<std::string>& formulas,
            std::vector<double>& results) {
    for (std::size_t i = 0; i < formulas.size(); ++i) {
        ev.Expression = formulas[i];
        results[i] = ev.Evaluate();
        ev.SetVariable(kFormulas[i].first, results[i]);
    }
}

// The parser's variables: the inputs, then one slot per formula result.
struct PeerVariables {
    std::vector<double> values;
    PeerVariables() {
        for (const auto& input : kInputs)
            values.push_back(input.second);
        values.resize(kInputs.size() + kFormulas.size(), 0.0);
    }
    double& Result(std::size_t i) { return values[kInputs.size() + i]; }
    void DefineIn(mu::Parser& parser) {
        for (std::size_t i = 0; i < kInputs.size(); ++i)
            parser.DefineVar(kInputs[i].first, &values[i]);
        for (std::size_t i = 0; i < kFormulas.size(); ++i)
            parser.DefineVar(kFormulas[i].first, &Result(i));
    }
};

// One set by the parser, each formula parsed anew.
void PeerParsingSet(mu::Parser& parser, PeerVariables& vars,
                    const std::vector<std::string>& formulas) {
    for (std::size_t i = 0; i < formulas.size(); ++i) {
        parser.SetExpr(formulas[i]);
        vars.Result(i) = parser.Eval();
    }
}

// The first formula whose results differ by more than the tolerance, or "".
std::string Disagreement(int copies) {
    const std::vector<std::string> formulas = Formulas(copies);
    std::vector<double> ours(formulas.size());
    for (const bool compiled : {true, false}) {
        TSimpleEval ev = OurEvaluator(compiled);
        OurSet(ev, formulas, ours);
        PeerVariables vars;
        mu::Parser parser;
        vars.DefineIn(parser);
        try {
            PeerParsingSet(parser, vars, formulas);
        } catch (const mu::Parser::exception_type& e) {
            return "the parser refused a formula: " + e.GetMsg();
        }
        for (std::size_t i = 0; i < formulas.size(); ++i) {
            const double a = ours[i];
            const double b = vars.Result(i);
            if (!(std::fabs(a - b) <= kTolerance * std::max(std::fabs(a), std::fabs(b))))
                return std::string(kFormulas[i].first) + " differs";
        }
    }
    return "";
}

bool Agrees(benchmark::State& state, int copies) {
    static const std::string once = Disagreement(1);
    static const std::string tenfold = Disagreement(10);
    const std::string& problem = copies == 1 ? once : tenfold;
    if (!problem.empty())
        state.SkipWithError(problem.c_str());
    return problem.empty();
}

void Finish(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kFormulas.size()));
}

// Ours as the calculation runs it: each formula given as text, its compiled form found in
// the evaluator's store of compiled texts, each result defined by name.
void BM_OursByText(benchmark::State& state) {
    const int copies = static_cast<int>(state.range(0));
    if (!Agrees(state, copies))
        return;
    const std::vector<std::string> formulas = Formulas(copies);
    std::vector<double> results(formulas.size());
    TSimpleEval ev = OurEvaluator(true);
    for (auto _ : state) {
        OurSet(ev, formulas, results);
        benchmark::DoNotOptimize(results.data());
    }
    Finish(state);
}

// Like for like with the parser's pre-parsed formulas: each formula prepared before timing,
// each result stored through the place of its variable, as the parser's results are stored
// through the variables it was given.
void BM_OursPrepared(benchmark::State& state) {
    const int copies = static_cast<int>(state.range(0));
    if (!Agrees(state, copies))
        return;
    const std::vector<std::string> formulas = Formulas(copies);
    std::vector<double> results(formulas.size());
    TSimpleEval ev = OurEvaluator(true);
    std::vector<TPreparedFormula> prepared;
    std::vector<int> places;
    for (std::size_t i = 0; i < formulas.size(); ++i) {
        prepared.push_back(ev.Prepare(formulas[i]));
        places.push_back(ev.DefineVariable(kFormulas[i].first, ev.Evaluate(prepared.back())));
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < prepared.size(); ++i) {
            results[i] = ev.Evaluate(prepared[i]);
            ev.SetVariableAt(places[i], results[i]);
        }
        benchmark::DoNotOptimize(results.data());
    }
    Finish(state);
}

// Ours rewriting each text anew, without compiled forms.
void BM_OursRewriting(benchmark::State& state) {
    const int copies = static_cast<int>(state.range(0));
    if (!Agrees(state, copies))
        return;
    const std::vector<std::string> formulas = Formulas(copies);
    std::vector<double> results(formulas.size());
    TSimpleEval ev = OurEvaluator(false);
    for (auto _ : state) {
        OurSet(ev, formulas, results);
        benchmark::DoNotOptimize(results.data());
    }
    Finish(state);
}

void BM_PeerParseAndEvaluate(benchmark::State& state) {
    const int copies = static_cast<int>(state.range(0));
    if (!Agrees(state, copies))
        return;
    const std::vector<std::string> formulas = Formulas(copies);
    PeerVariables vars;
    mu::Parser parser;
    vars.DefineIn(parser);
    for (auto _ : state) {
        PeerParsingSet(parser, vars, formulas);
        benchmark::DoNotOptimize(vars.values.data());
    }
    Finish(state);
}

// One parser per formula, parsed before timing; the loop only evaluates.
void BM_PeerPreparsed(benchmark::State& state) {
    const int copies = static_cast<int>(state.range(0));
    if (!Agrees(state, copies))
        return;
    const std::vector<std::string> formulas = Formulas(copies);
    PeerVariables vars;
    std::vector<std::unique_ptr<mu::Parser>> parsers;
    for (std::size_t i = 0; i < formulas.size(); ++i) {
        parsers.push_back(std::make_unique<mu::Parser>());
        vars.DefineIn(*parsers.back());
        parsers.back()->SetExpr(formulas[i]);
        vars.Result(i) = parsers.back()->Eval();
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < parsers.size(); ++i)
            vars.Result(i) = parsers[i]->Eval();
        benchmark::DoNotOptimize(vars.values.data());
    }
    Finish(state);
}

BENCHMARK(BM_OursPrepared)
    ->Name("PeerEval/ours-prepared")
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OursByText)
    ->Name("PeerEval/ours-by-text")
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OursRewriting)
    ->Name("PeerEval/ours-rewriting")
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeerParseAndEvaluate)
    ->Name("PeerEval/muparser-parse")
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeerPreparsed)
    ->Name("PeerEval/muparser-preparsed")
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quorvel
