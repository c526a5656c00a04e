// Runs one reader on one large hostile text and prints the time it took and the memory it
// added to what the text itself takes. One reader per process, so that the peak memory the
// system reports is that reader's own.
//
// usage: limits_run --list | limits_run READER INPUT MEGABYTES (indices from --list)

#include "LargeInputs.h"
#include "util/NumberText.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>

namespace {

// The largest resident set of the process so far, in KiB.
long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// "seconds" with three decimals, without the locale.
std::string Milliseconds(long long ms) {
    std::string digits = std::to_string(ms / 1000) + ".";
    const std::string fraction = std::to_string(1000 + ms % 1000);
    return digits + fraction.substr(1);
}

} // namespace

int main(int argc, char** argv) {
    using namespace quorvel::test;
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (std::size_t i = 0; i < Readers().size(); ++i)
            std::printf("reader %zu %s\n", i, Readers()[i].name);
        for (std::size_t i = 0; i < HostileInputs().size(); ++i)
            std::printf("input %zu %s\n", i, HostileInputs()[i].name);
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: limits_run --list | limits_run READER INPUT MEGABYTES\n");
        return 2;
    }
    const auto reader = quorvel::ParseInteger(argv[1]);
    const auto input = quorvel::ParseInteger(argv[2]);
    const auto megabytes = quorvel::ParseInteger(argv[3]);
    if (!reader || !input || !megabytes || *reader < 0 ||
        *reader >= static_cast<std::int64_t>(Readers().size()) || *input < 0 ||
        *input >= static_cast<std::int64_t>(HostileInputs().size()) || *megabytes <= 0) {
        std::fprintf(stderr, "limits_run: no such reader, input or size\n");
        return 2;
    }
    const ReaderRun& run = Readers()[static_cast<std::size_t>(*reader)];
    const HostileInput& hostile = HostileInputs()[static_cast<std::size_t>(*input)];
    const std::string text =
        MakeHostileText(hostile, static_cast<std::size_t>(*megabytes) * 1024 * 1024);
    const long before = PeakKiB();
    const auto start = std::chrono::steady_clock::now();
    const std::string message = run.run(text);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    const long added = PeakKiB() - before;
    // The message may quote the text: keep its start, in printable characters.
    std::string shown = message.empty() ? "result" : message.substr(0, 60);
    for (char& c : shown)
        if (c < 32 || c > 126)
            c = '?';
    std::printf("%s\t%s\t%s\t%ld\t%s\n", run.name, hostile.name, Milliseconds(ms).c_str(),
                added / 1024, shown.c_str());
    return 0;
}
