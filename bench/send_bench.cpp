// pelitor-send over a pseudo-terminal: how long a closed-loop transfer of 1103 packets takes
// against a sampler that answers at once, and how exact the pauses of open loop are against
// one that never answers.
#include "support/sds_builder.hpp"
#include "support/simulated_sampler.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using pelitor::test::SamplerClock;

constexpr int countedRuns = 9;

struct Spread {
    double median = 0;
    double min = 0;
    double max = 0;
};

Spread spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

struct Run {
    double seconds = 0;
    std::vector<pelitor::test::SysExMessage> messages;
};

Run transfer(const std::string& sender, const fs::path& file, pelitor::test::SamplerScript script,
             const std::vector<std::uint8_t>& expected, const std::string& interval) {
    pelitor::test::SimulatedSampler sampler(std::move(script));
    const auto start = SamplerClock::now();
    pelitor::test::BackgroundProgram program(
        {sender, "-i", interval, sampler.port(), file.string()}, "/dev/null",
        (file.parent_path() / "errors").string());
    const int status = program.wait();
    const double seconds = std::chrono::duration<double>(SamplerClock::now() - start).count();
    sampler.finish();
    if (status != 0 || sampler.received() != expected || !sampler.faults().empty()) {
        std::fprintf(stderr, "the transfer failed (status %d), see %s\n", status,
                     (file.parent_path() / "errors").c_str());
        std::exit(1);
    }
    return {seconds, sampler.messages()};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelitor_send_bench path/to/pelitor-send\n");
        return 64;
    }
    const std::string sender = argv[1];
    const fs::path dir = fs::temp_directory_path() / "pelitor-send-bench";
    fs::create_directories(dir);

    // One second of 16-bit audio at 44.1 kHz: 1103 packets.
    const auto voice = pelitor::test::sdsStream(44100);
    writeBytes(dir / "voice.sds", voice);
    std::vector<double> closed;
    for (int run = 0; run <= countedRuns; ++run) {
        const Run result =
            transfer(sender, dir / "voice.sds", pelitor::test::ackEverything, voice, "20");
        if (run > 0) {
            closed.push_back(result.seconds);
        }
    }
    const Spread c = spread(closed);
    std::printf("closed loop, 1103 packets, instant ACKs: %.3f s [%.3f..%.3f], %.0f us a packet "
                "(median of %d runs after one warm-up)\n",
                c.median, c.min, c.max, c.median / 1103 * 1e6, countedRuns);

    // Open loop: the gaps between packets as the sampler sees them.
    const auto short_ = pelitor::test::sdsStream(40 * 100);
    writeBytes(dir / "short.sds", short_);
    for (const int interval : {20, 5, 1}) {
        const Run result =
            transfer(sender, dir / "short.sds", nullptr, short_, std::to_string(interval));
        std::vector<double> gaps;
        for (std::size_t i = 2; i < result.messages.size(); ++i) {
            gaps.push_back(std::chrono::duration<double, std::milli>(result.messages[i].at -
                                                                     result.messages[i - 1].at)
                               .count());
        }
        const Spread g = spread(gaps);
        std::printf("open loop, -i %2d, 100 packets: gap %.3f ms [%.3f..%.3f]; whole run %.3f s "
                    "(2 s for the header's answer + 100 x %d ms = %.3f s)\n",
                    interval, g.median, g.min, g.max, result.seconds, interval,
                    2 + 100 * interval / 1000.0);
    }
    fs::remove_all(dir);
    return 0;
}
