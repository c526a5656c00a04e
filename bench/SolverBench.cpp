// The settings finder on the dsPIC33F diagram, whose typed divisors make the largest space:
// every FNOSC, POSCMD, N1 (2..33), M (2..513) and N2, about 1.5 million combinations before
// the search leaves out what cannot work, for one target (Fosc = 80 MHz from an 8 MHz crystal).

#include "diagram/DescriptionParser.h"
#include "results/Solver.h"
#include "shell/HeadlessViews.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace quorvel;

struct DsPic {
    TModel model;
    MemoryValueBoxes boxes;
    SolveStart start;
    SolveRequest request;

    DsPic() {
        ParseDiagramDescription(ReadDescriptionFile(std::string(QUORVEL_SHIPPED_DATA_DIR) + "/" +
                                                    DescriptionFileName("dsPIC33FJxxGP")),
                                model, boxes);
        // The default choices (the first line of every name), an 8 MHz XT crystal.
        for (const TCalcVal& val : model.CalcVals)
            start.ConfigValues.push_back(First(model.ConfigLines, val.Name));
        for (const TRegVal& val : model.RegVals)
            start.RegisterValues.push_back(First(model.RegisterLines, val.Name));
        start.ConfigValues[static_cast<std::size_t>(model.CalcVarNames.IndexOf("POSCMD"))] = 1;
        for (int k = 0; k < kValueBoxCount; ++k)
            start.BoxTexts.push_back(boxes.Text(k));
        start.BoxTexts[0] = "8 Mhz";
        request.Targets.push_back({FindBoxByName(model, "Fosc"), 80.0});
    }

    template <typename Line>
    static std::uint32_t First(const std::vector<Line>& lines, const std::string& name) {
        for (const Line& line : lines)
            if (line.Name == name)
                return line.Value;
        return 0;
    }
};

void BM_SolveDsPicFosc80(benchmark::State& state) {
    const DsPic d;
    SolveResult result;
    for (auto _ : state) {
        result = Solve(d.model, d.start, d.request);
        benchmark::DoNotOptimize(result.Solutions.data());
    }
    if (result.Solutions.empty())
        state.SkipWithError(result.Reason.c_str());
    state.counters["combinations"] = static_cast<double>(result.Candidates);
    state.counters["evaluated"] = static_cast<double>(result.Evaluated);
}
BENCHMARK(BM_SolveDsPicFosc80)->Unit(benchmark::kMillisecond);

} // namespace
