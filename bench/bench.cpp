// Whole-process benchmark: times pelitor and, when installed, libsndfile's sndfile-convert on
// the same generated WAV files, alternating the two, and reports medians, spreads, the median
// of the pairwise time ratios, and pelitor's peak memory.
#include "wav_writer.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
namespace wav_writer = pelitor::wav_writer;
using Clock = std::chrono::steady_clock;

constexpr int countedRuns = 9;
constexpr std::uint32_t maxWords = 2097151;

struct Timing {
    double seconds = 0;
    long peakKiB = 0;
};

// Runs a command with standard output and error sent to /dev/null; its own rusage via wait4.
Timing timeCommand(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

void writeWav(const fs::path& path, std::uint16_t bits, std::uint32_t words) {
    const std::uint32_t bytes = words * (bits / 8U);
    wav_writer::Bytes file = wav_writer::canonicalHeader({.rate = 44100, .bits = bits}, bytes);
    file.reserve(file.size() + bytes);
    std::uint32_t seed = 12345;
    for (std::uint32_t i = 0; i < bytes; ++i) {
        seed = seed * 1664525U + 1013904223U;
        file.push_back(static_cast<std::uint8_t>(seed >> 24));
    }
    if (!wav_writer::writeFile(path, file)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool installed(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench PELITOR\n");
        return 2;
    }
    const std::string pelitor = fs::absolute(argv[1]).string();
    const bool peer = installed("sndfile-convert");
    const fs::path dir = fs::temp_directory_path() / ("pelitor-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);

    struct Input {
        const char* name;
        std::uint16_t bits;
        std::uint32_t words;
    };
    const std::vector<Input> inputs{{"16-bit, 1/4 of max", 16, maxWords / 4},
                                    {"16-bit, 1/2 of max", 16, maxWords / 2},
                                    {"16-bit, max", 16, maxWords},
                                    {"8-bit, max", 8, maxWords},
                                    {"24-bit, max", 24, maxWords}};

    std::printf("%d counted runs each after one warm-up, alternating; wall time median "
                "[min..max]\n",
                countedRuns);
    std::printf("%-20s %9s %-26s %-26s %7s %10s\n", "input", "MB", "pelitor ms",
                "sndfile-convert ms", "ratio", "peak MiB");
    for (const Input& input : inputs) {
        const fs::path wav = dir / "in.wav";
        writeWav(wav, input.bits, input.words);
        const std::vector<std::string> ours{pelitor, wav.string()};
        std::vector<std::string> theirs{"sndfile-convert"};
        if (input.bits == 8) {
            theirs.push_back("-pcms8");
        }
        theirs.push_back(wav.string());
        theirs.push_back((dir / "theirs.sds").string());

        std::vector<double> oursMs;
        std::vector<double> theirsMs;
        std::vector<double> ratios;
        long peakKiB = 0;
        for (int run = 0; run <= countedRuns; ++run) {
            const Timing a = timeCommand(ours);
            const Timing b = peer ? timeCommand(theirs) : Timing{};
            if (run == 0) {
                continue; // warm-up
            }
            oursMs.push_back(a.seconds * 1000);
            theirsMs.push_back(b.seconds * 1000);
            ratios.push_back(peer ? a.seconds / b.seconds : 0);
            peakKiB = std::max(peakKiB, a.peakKiB);
        }
        const auto range = [](const std::vector<double>& ms) {
            char text[64];
            std::snprintf(text, sizeof text, "%7.1f [%6.1f..%6.1f]", median(ms),
                          *std::min_element(ms.begin(), ms.end()),
                          *std::max_element(ms.begin(), ms.end()));
            return std::string(text);
        };
        std::printf("%-20s %9.2f %-26s %-26s %7.2f %10.1f\n", input.name,
                    static_cast<double>(fs::file_size(wav)) / 1e6, range(oursMs).c_str(),
                    peer ? range(theirsMs).c_str() : "(not installed)", peer ? median(ratios) : 0.0,
                    static_cast<double>(peakKiB) / 1024);
    }
    fs::remove_all(dir);
    return 0;
}
