// Speed of the definition reader on a 5 MB definition file, and of the description parser on
// a description of 60,000 lines, both generated here; and of both on the largest shipped
// device, whose files are short and dense with tags, as a device load reads them.

#include "DefinitionText.h"
#include "devdefs/DefinitionReader.h"
#include "diagram/DescriptionParser.h"
#include "shell/HeadlessViews.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quorvel {
namespace {

using bench::DefinitionText;
using bench::kMegabyte;
using bench::Number;

void BM_ReadDefinition5MB(benchmark::State& state) {
    const std::string text = DefinitionText(5 * kMegabyte);
    std::vector<TConfigWord> words;
    for (auto _ : state) {
        ReadDefinitionText(text, words);
        benchmark::DoNotOptimize(words.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["words"] = static_cast<double>(words.size());
}
BENCHMARK(BM_ReadDefinition5MB)->Unit(benchmark::kMillisecond);

// The same from a file, as a device load reads it.
void BM_ReadDefinitionFile5MB(benchmark::State& state) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "quorvel_defs_bench.vlk").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << DefinitionText(5 * kMegabyte);
    }
    std::vector<TConfigWord> words;
    for (auto _ : state) {
        if (!ReadDefinitionFile(path, words))
            state.SkipWithError("cannot read the generated file");
        benchmark::DoNotOptimize(words.data());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadDefinitionFile5MB)->Unit(benchmark::kMillisecond);

std::string DescriptionText(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        const std::string n = Number(static_cast<unsigned>(i));
        switch (i % 4) {
        case 0:
            text += "FIELD" + Number(static_cast<unsigned>(i % 50)) + ", " + n +
                    ", 0, 10, 20, 60, 20, 1, -1, 2, 8.5 // setting\n";
            break;
        case 1:
            text += "OSCCON<14:12>, " + n + ", 0, 100, 40, 150, 40, 2, -1, 3 // register\n";
            break;
        case 2:
            text += "FOLLOW, 70, 20, 90, 20, 1 2 3 " + n + "\n";
            break;
        default:
            text += "EXCL, 1, 2, " + n + "\n";
        }
    }
    return text;
}

void BM_ParseDescription60k(benchmark::State& state) {
    const std::string text = DescriptionText(60000);
    TModel model;
    MemoryValueBoxes boxes;
    for (auto _ : state) {
        ParseDiagramDescription(text, model, boxes);
        benchmark::DoNotOptimize(model.ConfigLines.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseDescription60k)->Unit(benchmark::kMillisecond);

std::string ShippedFile(const std::string& name) {
    std::ifstream in(std::string(QUORVEL_SHIPPED_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void BM_ReadDefinitionLargestSample(benchmark::State& state) {
    const std::string text = ShippedFile("Defs/PIC32MX795F512L.vlk");
    std::vector<TConfigWord> words;
    for (auto _ : state) {
        ReadDefinitionText(text, words);
        benchmark::DoNotOptimize(words.data());
    }
    if (words.empty())
        state.SkipWithError("the sample definition holds no configuration word");
}
BENCHMARK(BM_ReadDefinitionLargestSample)->Unit(benchmark::kMicrosecond);

void BM_ParseDescriptionLargestSample(benchmark::State& state) {
    const std::string text = ShippedFile("Quorvel_PIC32MX7xx_lines.txt");
    TModel model;
    MemoryValueBoxes boxes;
    for (auto _ : state) {
        ParseDiagramDescription(text, model, boxes);
        benchmark::DoNotOptimize(model.ConfigLines.data());
    }
    if (model.ConfigLines.empty())
        state.SkipWithError("the sample description holds no line");
}
BENCHMARK(BM_ParseDescriptionLargestSample)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quorvel
