// A selecting click with its recalculation and repaint, and a whole device load, on the
// largest shipped diagram and on generated diagrams of growing size, without a window
// system.

#include "diagram/Marking.h"
#include "diagram/Selection.h"
#include "shell/HeadlessViews.h"
#include "shell/Session.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace quorvel;

constexpr const char* kLargestDevice = "PIC32MX795F512L";

struct Program {
    std::string settings = (std::filesystem::temp_directory_path() / "quorvel-bench.ini").string();
    RasterSurface surface;
    MemoryValueBoxes boxes;
    MemoryLabels labels;
    RecordedMessages messages;
    MemoryClipboard clipboard;
    Session core{{std::string(QUORVEL_SHIPPED_DATA_DIR) + "/", settings},
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

// A generated device of `lines` description lines: a quarter register lines, the rest
// configuration lines, two lines per name with an alternatives group each, every fifth name
// linked with the next, an EXCL group per four lines, a FOLLOW or FOLLOW_NOT connector per two
// lines and ten value boxes. Laid out in columns of horizontal lines 8 pixels apart, or all
// on one spot when `overlapping`.
class GeneratedDevice {
public:
    GeneratedDevice(int lines, bool overlapping)
        : dir_(std::filesystem::temp_directory_path() /
               ("quorvel-bench-" + std::to_string(lines) + (overlapping ? "o" : ""))) {
        std::filesystem::create_directories(dir_ / "Defs");
        Write("Quorvel_Configuration_PICs.txt", "BIG = Big\n");
        const int columns = 16;
        const int width = 1000;
        const int height = overlapping ? 100 : std::max(100, (lines / columns + 2) * 8);
        Write("Quorvel_Big.bmp", WhiteBitmap(width, height));
        std::string vlk = "<device name=\"BIG\">\n<cfg>\n<cfgbits n=\"CONFIG1\">\n"
                          "<skey>CONFIG1</skey>\n<waddr>0x300000</waddr>\n";
        for (int f = 0; f < 20; ++f) {
            const std::string name = "F" + std::to_string(f);
            vlk += "<field n=\"" + name + "\">\n<skey>" + name + "</skey>\n<sdesc>Field " + name +
                   "</sdesc>\n<wmask>0x1</wmask>\n";
            for (int v = 0; v < 2; ++v)
                vlk += "<setting n=\"S" + std::to_string(v) + "\">\n<wreq>0x1</wreq>\n<wValue>" +
                       std::to_string(v) + "</wValue>\n<sdesc>Setting " + std::to_string(v) +
                       "</sdesc>\n</setting>\n";
            vlk += "</field>\n";
        }
        vlk += "</cfgbits>\n</cfg>\n</device>\n";
        Write("Defs/BIG.vlk", vlk);
        std::string text;
        const int registerStart = lines - lines / 4;
        for (int i = 0; i < lines; ++i) {
            const int x = overlapping ? 100 : 10 + (i % columns) * 60;
            const int y = overlapping ? 50 : 10 + (i / columns) * 8;
            const int name = i / 2;
            const int link = name % 5 == 0 ? name / 5 : -1;
            const std::string field = i < registerStart ? "F" + std::to_string(name)
                                                        : "R" + std::to_string(name) + "<3:0>";
            text += field + ", " + std::to_string(i + 1) + ", 0, " + std::to_string(x) + ", " +
                    std::to_string(y) + ", " + std::to_string(x + 14) + ", " + std::to_string(y) +
                    ", " + std::to_string(name) + ", " + std::to_string(link) + ", " +
                    std::to_string(i % 2) + ", " + std::to_string(i % 7 + 1) + " // setting " +
                    std::to_string(i % 2) + "\n";
            if (i % 4 == 3)
                text += "EXCL, " + std::to_string(i - 2) + ", " + std::to_string(i + 1) + "\n";
            if (i % 2 == 1)
                text += std::string(i % 4 == 1 ? "FOLLOW" : "FOLLOW_NOT") + ", " +
                        std::to_string(x + 15) + ", " + std::to_string(y) + ", " +
                        std::to_string(x + 40) + ", " + std::to_string(y) + ", " +
                        std::to_string(i) + " " + std::to_string(i + 1) + "\n";
        }
        text += "SHOWVAL, 900, 10, E0=\n";
        for (int b = 1; b < 10; ++b)
            text += "SHOWVAL, 900, " + std::to_string(10 + 30 * b) + ", E" + std::to_string(b) +
                    "=E" + std::to_string(b - 1) + "*F" + std::to_string(b) + "+F0/2\n";
        Write("Quorvel_Big_lines.txt", text);
        // A click on the middle line of the table, and on the other line of its name.
        const int middle = (lines / 2) & ~1;
        click_[0] = {overlapping ? 100 : 10 + (middle % columns) * 60 + 7,
                     overlapping ? 50 : 10 + (middle / columns) * 8};
        click_[1] = {overlapping ? 100 : 10 + ((middle + 1) % columns) * 60 + 7,
                     overlapping ? 50 : 10 + ((middle + 1) / columns) * 8};
    }
    ~GeneratedDevice() { std::filesystem::remove_all(dir_); }
    std::string Dir() const { return dir_.string() + "/"; }
    std::pair<int, int> Click(int k) const { return click_[k]; }

private:
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    // A white picture, one bit per pixel, so that large pictures stay small files.
    static std::string WhiteBitmap(int width, int height) {
        const std::uint32_t stride = ((static_cast<std::uint32_t>(width) + 31) / 32) * 4;
        const std::uint32_t offset = 14 + 40 + 8;
        std::string b = "BM";
        auto put = [&b](std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i)
                b += static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        put(offset + stride * static_cast<std::uint32_t>(height), 4);
        put(0, 4);
        put(offset, 4);
        put(40, 4);
        put(static_cast<std::uint32_t>(width), 4);
        put(static_cast<std::uint32_t>(height), 4);
        put(1, 2);
        put(1, 2);
        for (int i = 0; i < 6; ++i)
            put(i == 4 ? 2 : 0, 4);
        put(0x00FFFFFF, 4);
        put(0, 4);
        b.append(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), '\0');
        return b;
    }

    std::filesystem::path dir_;
    std::pair<int, int> click_[2];
};

struct GeneratedProgram {
    GeneratedDevice device;
    std::string settings;
    RasterSurface surface;
    MemoryValueBoxes boxes;
    MemoryLabels labels;
    RecordedMessages messages;
    MemoryClipboard clipboard;
    Session core;

    GeneratedProgram(int lines, bool overlapping)
        : device(lines, overlapping), settings(device.Dir() + "quorvel-bench.ini"),
          core({device.Dir(), settings}, {surface, boxes, labels, messages, clipboard}) {
        core.FormShow();
    }
};

// Loading a generated device of growing size: the slope shows how loading scales.
void BM_LoadLines(benchmark::State& state) {
    GeneratedProgram program(static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        program.core.LoadDevice("BIG");
        benchmark::DoNotOptimize(program.boxes.Text(9));
    }
    if (!program.messages.Messages().empty())
        state.SkipWithError(program.messages.Messages().front().c_str());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadLines)->Arg(120)->Arg(1100)->Arg(11000)->Arg(33000)->Unit(benchmark::kMillisecond);

// A thousand lines on one spot: every click of the defaults hits all of them.
void BM_LoadOverlapping(benchmark::State& state) {
    GeneratedProgram program(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        program.core.LoadDevice("BIG");
        benchmark::DoNotOptimize(program.boxes.Text(9));
    }
    if (!program.messages.Messages().empty())
        state.SkipWithError(program.messages.Messages().front().c_str());
}
BENCHMARK(BM_LoadOverlapping)->Arg(1000)->Unit(benchmark::kMillisecond);

// One selecting click with its recalculation, the two lines of one name in turn.
void BM_ClickLines(benchmark::State& state) {
    GeneratedProgram program(static_cast<int>(state.range(0)), false);
    program.core.LoadDevice("BIG");
    int k = 0;
    for (auto _ : state) {
        const auto [x, y] = program.device.Click(k);
        program.core.Image1MouseDown(MouseButton::Left, x, y);
        k = 1 - k;
        benchmark::DoNotOptimize(program.boxes.Text(9));
    }
    if (!program.messages.Messages().empty())
        state.SkipWithError(program.messages.Messages().front().c_str());
}
BENCHMARK(BM_ClickLines)
    ->Arg(120)
    ->Arg(1100)
    ->Arg(11000)
    ->Arg(33000)
    ->Unit(benchmark::kMillisecond);

// The same click without its recalculation: the lines it chooses, their rules and the repaint,
// on a copy of the loaded state, as the session runs them.
void BM_SelectLines(benchmark::State& state) {
    GeneratedProgram program(static_cast<int>(state.range(0)), false);
    program.core.LoadDevice("BIG");
    Configuration copy = program.core.State();
    RasterSurface surface;
    surface.Picture() = program.surface.Picture();
    MarkPainter painter;
    int k = 0;
    for (auto _ : state) {
        const auto [x, y] = program.device.Click(k);
        Changes changes;
        for (const LineRef line : LinesAt(copy, x, y))
            ChooseLine(copy, line, changes);
        painter.Hold(copy, changes.Paints);
        painter.Flush(copy, surface);
        k = 1 - k;
    }
    if (!program.messages.Messages().empty())
        state.SkipWithError(program.messages.Messages().front().c_str());
}
BENCHMARK(BM_SelectLines)->Arg(33000)->Unit(benchmark::kMicrosecond);

} // namespace
