// Times whole processes side by side: the commands run in turns (A, B, A, B, ...) so that
// whatever else the machine does at a moment weighs on each of them alike. For each command
// it prints, as one JSON object, the wall times in milliseconds (median, quartiles, fastest,
// and every run in order, so that runs of one round can be paired) and the peak resident
// memory in KiB (median).
//
// usage: interleave [--runs N] [--warmup N] -- COMMAND [ARG]... [-- COMMAND [ARG]...]...
//
// Standard output and error of the commands are discarded; a command that fails stops the
// measurement with exit status 1.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Sample {
    double milliseconds;
    long maxRssKib;
};

bool RunOnce(const std::vector<char*>& argv, Sample& out) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return false;
    const auto end = std::chrono::steady_clock::now();
    out.milliseconds = std::chrono::duration<double, std::milli>(end - start).count();
    out.maxRssKib = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const double at = q * static_cast<double>(v.size() - 1);
    const auto lo = static_cast<std::size_t>(at);
    const std::size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (at - static_cast<double>(lo));
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20)
            continue;
        out += c;
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv) {
    int runs = 30;
    int warmup = 3;
    std::vector<std::vector<char*>> commands;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--warmup") == 0 && i + 1 < argc)
            warmup = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "interleave: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            commands.emplace_back();
            continue;
        }
        commands.back().push_back(argv[i]);
    }
    commands.erase(
        std::remove_if(commands.begin(), commands.end(), [](const auto& c) { return c.empty(); }),
        commands.end());
    if (commands.empty() || runs < 1 || warmup < 0) {
        std::fprintf(stderr, "usage: interleave [--runs N] [--warmup N] -- COMMAND... "
                             "[-- COMMAND...]...\n");
        return 2;
    }
    for (auto& c : commands)
        c.push_back(nullptr);
    std::vector<std::vector<Sample>> samples(commands.size());
    for (int round = 0; round < warmup + runs; ++round) {
        // The order within a round turns too, so no command always follows the same one.
        for (std::size_t k = 0; k < commands.size(); ++k) {
            const std::size_t c = (k + static_cast<std::size_t>(round)) % commands.size();
            Sample s{};
            if (!RunOnce(commands[c], s)) {
                std::fprintf(stderr, "interleave: %s failed\n", commands[c][0]);
                return 1;
            }
            if (round >= warmup)
                samples[c].push_back(s);
        }
    }
    std::printf("[\n");
    for (std::size_t c = 0; c < commands.size(); ++c) {
        std::vector<double> ms, rss;
        for (const Sample& s : samples[c]) {
            ms.push_back(s.milliseconds);
            rss.push_back(static_cast<double>(s.maxRssKib));
        }
        std::string command;
        for (char* const* a = commands[c].data(); *a != nullptr; ++a)
            command += (command.empty() ? "" : " ") + std::string(*a);
        std::printf("  {\"command\": %s, \"runs\": %zu, \"median_ms\": %.4f, \"q1_ms\": %.4f, "
                    "\"q3_ms\": %.4f, \"min_ms\": %.4f, \"median_maxrss_kib\": %.0f, "
                    "\"ms\": [",
                    JsonString(command).c_str(), ms.size(), Quantile(ms, 0.5), Quantile(ms, 0.25),
                    Quantile(ms, 0.75), Quantile(ms, 0.0), Quantile(rss, 0.5));
        for (std::size_t k = 0; k < ms.size(); ++k)
            std::printf("%s%.4f", k == 0 ? "" : ", ", ms[k]);
        std::printf("]}%s\n", c + 1 < commands.size() ? "," : "");
    }
    std::printf("]\n");
    return 0;
}
