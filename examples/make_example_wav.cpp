// Writes examples/tone.wav for the demo: a quarter of a second of a decaying 440 Hz tone,
// 16-bit mono at 44100 Hz, as a canonical 44-byte-header WAV file.
#include "wav_writer.hpp"

#include <cmath>
#include <cstdint>
#include <iostream>
#include <numbers>

int main(int argc, char** argv) {
    using namespace pelitor::wav_writer;
    if (argc != 2) {
        std::cerr << "usage: make_example_wav OUTPUT.wav\n";
        return 2;
    }
    constexpr std::uint32_t rate = 44100;
    constexpr std::uint32_t frames = rate / 4;
    Bytes wav = canonicalHeader({.rate = rate, .bits = 16}, frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double level =
            0.8 * std::exp(-6.0 * t) * std::sin(2.0 * std::numbers::pi * 440.0 * t);
        append16(wav,
                 static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(level * 32767))));
    }
    if (!writeFile(argv[1], wav)) {
        std::cerr << "make_example_wav: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
