// The definition reader against a general markup parser building a whole document tree of
// the same bytes (pugixml, default options), on 5 MB and on 10 MB. Before timing, both must
// have read the text: the parser without error and with as many configuration words as the
// reader found.

#include "DefinitionText.h"
#include "devdefs/DefinitionReader.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace quorvel {
namespace {

const std::string& Text(std::size_t megabytes) {
    static const std::string five = bench::DefinitionText(5 * bench::kMegabyte);
    static const std::string ten = bench::DefinitionText(10 * bench::kMegabyte);
    return megabytes == 5 ? five : ten;
}

std::size_t WordsOfTree(const pugi::xml_document& document) {
    std::size_t count = 0;
    for (const pugi::xml_node word : document.child("device").child("cfg").children("cfgbits")) {
        (void)word;
        ++count;
    }
    return count;
}

void SetBytes(benchmark::State& state, const std::string& text) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void BM_Ours(benchmark::State& state) {
    const std::string& text = Text(static_cast<std::size_t>(state.range(0)));
    std::vector<TConfigWord> words;
    for (auto _ : state) {
        ReadDefinitionText(text, words);
        benchmark::DoNotOptimize(words.data());
    }
    SetBytes(state, text);
    state.counters["words"] = static_cast<double>(words.size());
}

void BM_Pugixml(benchmark::State& state) {
    const std::string& text = Text(static_cast<std::size_t>(state.range(0)));
    std::vector<TConfigWord> words;
    ReadDefinitionText(text, words);
    {
        pugi::xml_document document;
        const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
        if (!result) {
            state.SkipWithError(result.description());
            return;
        }
        if (WordsOfTree(document) != words.size()) {
            state.SkipWithError("the parser and the reader found different numbers of words");
            return;
        }
    }
    for (auto _ : state) {
        pugi::xml_document document;
        benchmark::DoNotOptimize(document.load_buffer(text.data(), text.size()).status);
    }
    SetBytes(state, text);
    state.counters["words"] = static_cast<double>(words.size());
}

BENCHMARK(BM_Ours)->Name("PeerDefs/ours")->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml)->Name("PeerDefs/pugixml")->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvel
