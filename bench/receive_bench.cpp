// pelitor-receive over a pseudo-terminal: how long a closed-loop dump of 1103 packets takes
// from a sampler that sends each packet as soon as the last one has its ACK, and how soon each
// answer follows its packet.
#include "support/sds_builder.hpp"
#include "support/simulated_sampler.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using pelitor::test::SamplerClock;

constexpr int countedRuns = 9;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelitor_receive_bench path/to/pelitor-receive\n");
        return 64;
    }
    const fs::path dir = fs::temp_directory_path() / "pelitor-receive-bench";
    fs::create_directories(dir);
    // One second of 16-bit audio at 44.1 kHz: 1103 packets.
    const auto voice = pelitor::test::sdsStream(44100);
    std::vector<double> totals;
    std::vector<double> answers;
    for (int run = 0; run <= countedRuns; ++run) {
        pelitor::test::SimulatedSampler sampler(pelitor::test::dumpingSampler({voice}));
        const auto start = SamplerClock::now();
        pelitor::test::BackgroundProgram program(
            {argv[1], sampler.port(), (dir / "voice.sds").string()}, "/dev/null",
            (dir / "errors").string());
        const int status = program.wait();
        const double seconds = std::chrono::duration<double>(SamplerClock::now() - start).count();
        sampler.finish();
        const auto messages = sampler.messages();
        if (status != 0 || messages.size() != 1103 + 2) {
            std::fprintf(stderr, "the dump failed (status %d), see %s\n", status,
                         (dir / "errors").c_str());
            return 1;
        }
        if (run == 0) {
            continue; // a warm-up
        }
        totals.push_back(seconds);
        // From one ACK's arrival to the next: the sampler writes the packet at once, so this is
        // the packet's way to pelitor-receive and its answer's way back.
        for (std::size_t i = 2; i < messages.size(); ++i) {
            answers.push_back(
                std::chrono::duration<double, std::micro>(messages[i].at - messages[i - 1].at)
                    .count());
        }
    }
    std::printf("receive, closed loop, 1103 packets: %.3f s in all (median of %d runs after one "
                "warm-up); from an ACK to the next, packet and answer: median %.0f us\n",
                median(totals), countedRuns, median(answers));
    fs::remove_all(dir);
    return 0;
}
