// A selecting click with its recalculation and repaint, and a whole device load, on the
// largest shipped diagram, without a window system.

#include "shell/Configurator.h"
#include "shell/HeadlessViews.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace quorvel;

constexpr const char* kLargestDevice = "dsPIC33FJ128GP802";

struct Program {
    std::string settings = (std::filesystem::temp_directory_path() / "quorvel-bench.ini").string();
    RasterSurface surface;
    MemoryValueBoxes boxes;
    MemoryLabels labels;
    RecordedMessages messages;
    MemoryClipboard clipboard;
    Configurator core{{std::string(QUORVEL_SHIPPED_DATA_DIR) + "/", settings},
                      {surface, boxes, labels, messages, clipboard}};

    Program() {
        std::filesystem::remove(settings);
        core.FormShow();
    }
    ~Program() { std::filesystem::remove(settings); }
};

void BM_LoadDevice(benchmark::State& state) {
    Program program;
    for (auto _ : state) {
        program.core.LoadDevice(kLargestDevice);
        benchmark::DoNotOptimize(program.boxes.Text(0));
    }
    if (!program.messages.Messages().empty())
        state.SkipWithError(program.messages.Messages().front().c_str());
}
BENCHMARK(BM_LoadDevice)->Unit(benchmark::kMillisecond);

void BM_SelectingClick(benchmark::State& state) {
    Program program;
    program.core.LoadDevice(kLargestDevice);
    // Two settings of the PLL multiplier, clicked in turn: each click marks one line,
    // unmarks its alternatives, redraws the connectors and recalculates every formula.
    bool first = true;
    for (auto _ : state) {
        program.core.Image1MouseDown(MouseButton::Left, 516, first ? 119 : 158);
        first = !first;
        benchmark::DoNotOptimize(program.boxes.Text(5));
    }
    if (!program.messages.Messages().empty())
        state.SkipWithError(program.messages.Messages().front().c_str());
}
BENCHMARK(BM_SelectingClick)->Unit(benchmark::kMicrosecond);

} // namespace
