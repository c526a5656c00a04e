// The definition reader against a general markup parser building a whole document tree of
// the same bytes (pugixml, default options), on 5 MB and on 10 MB. Before timing, both must
// have read the text: the parser without error and with as many configuration words as the
// reader found.

#include "DefinitionText.h"
#include "devdefs/DefinitionReader.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace quorvel {
namespace {

// Copies of the text, as many as make up twice the processor's last-level cache here (32 MiB):
// each pass reads a copy that has left the cache since its last pass, as a file read afresh
// would. Without this a 5 MB text stays in the cache and a 10 MB one does not, and the
// comparison of the two sizes would measure the cache rather than the reader.
constexpr std::size_t kCopiedBytes = 64 * bench::kMegabyte;

const std::vector<std::string>& Texts(std::size_t megabytes) {
    static const auto copies = [](std::size_t mb) {
        const std::string text = bench::DefinitionText(mb * bench::kMegabyte);
        return std::vector<std::string>(kCopiedBytes / text.size() + 1, text);
    };
    static const std::vector<std::string> five = copies(5);
    static const std::vector<std::string> ten = copies(10);
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

// Every pass reads into an empty result: what a pass built is released outside the timing, for
// both readers alike. Releasing the many records of a large result costs a good part of a read
// again, and it belongs to the previous read, not to the one being timed.
template <typename T> void ReleaseUntimed(benchmark::State& state, T& result) {
    state.PauseTiming();
    result = T();
    state.ResumeTiming();
}

void SetBytes(benchmark::State& state, const std::string& text) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void BM_Ours(benchmark::State& state) {
    const std::vector<std::string>& texts = Texts(static_cast<std::size_t>(state.range(0)));
    const std::string& text = texts.front();
    std::vector<TConfigWord> words;
    std::size_t next = 0;
    std::size_t count = 0;
    for (auto _ : state) {
        ReadDefinitionText(texts[next], words);
        next = (next + 1) % texts.size();
        benchmark::DoNotOptimize(words.data());
        count = words.size();
        ReleaseUntimed(state, words);
    }
    SetBytes(state, text);
    state.counters["words"] = static_cast<double>(count);
}

void BM_Pugixml(benchmark::State& state) {
    const std::vector<std::string>& texts = Texts(static_cast<std::size_t>(state.range(0)));
    const std::string& text = texts.front();
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
    std::size_t next = 0;
    for (auto _ : state) {
        auto document = std::make_unique<pugi::xml_document>();
        const std::string& copy = texts[next];
        next = (next + 1) % texts.size();
        if (!document->load_buffer(copy.data(), copy.size())) {
            state.SkipWithError("a copy of the text did not parse");
            break;
        }
        benchmark::DoNotOptimize(document->first_child());
        ReleaseUntimed(state, document);
    }
    SetBytes(state, text);
    state.counters["words"] = static_cast<double>(words.size());
}

// The parser's fastest way: parsing in place, in a buffer it may change, so each pass takes a
// fresh copy (made outside the timing) instead of copying the text itself as load_buffer does.
void BM_PugixmlInPlace(benchmark::State& state) {
    const std::vector<std::string>& texts = Texts(static_cast<std::size_t>(state.range(0)));
    std::vector<std::string> buffers = texts;
    std::size_t next = 0;
    for (auto _ : state) {
        auto document = std::make_unique<pugi::xml_document>();
        std::string& buffer = buffers[next];
        if (!document->load_buffer_inplace(buffer.data(), buffer.size())) {
            state.SkipWithError("a copy of the text did not parse");
            break;
        }
        benchmark::DoNotOptimize(document->first_child());
        ReleaseUntimed(state, document);
        if (++next == buffers.size()) {
            state.PauseTiming();
            next = 0;
            buffers = texts;
            state.ResumeTiming();
        }
    }
    SetBytes(state, texts.front());
}

BENCHMARK(BM_Ours)->Name("PeerDefs/ours")->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml)->Name("PeerDefs/pugixml")->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlInPlace)
    ->Name("PeerDefs/pugixml-inplace")
    ->Arg(5)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvel
