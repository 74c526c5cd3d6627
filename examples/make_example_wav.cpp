// Writes examples/tone.wav for the demo: a quarter of a second of a decaying 440 Hz tone,
// 16-bit mono at 44100 Hz, as a canonical 44-byte-header WAV file.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <vector>

namespace {

void put16(std::vector<char>& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void put32(std::vector<char>& out, std::uint32_t value) {
    put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(value >> 16));
}

void putText(std::vector<char>& out, const char* text) {
    out.insert(out.end(), text, text + 4);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_example_wav OUTPUT.wav\n";
        return 2;
    }
    constexpr std::uint32_t rate = 44100;
    constexpr std::uint32_t frames = rate / 4;
    std::vector<char> wav;
    putText(wav, "RIFF");
    put32(wav, 36 + frames * 2);
    putText(wav, "WAVE");
    putText(wav, "fmt ");
    put32(wav, 16);
    put16(wav, 1);        // PCM
    put16(wav, 1);        // mono
    put32(wav, rate);     // samples per second
    put32(wav, rate * 2); // bytes per second
    put16(wav, 2);        // bytes per frame
    put16(wav, 16);       // bits per sample
    putText(wav, "data");
    put32(wav, frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double level =
            0.8 * std::exp(-6.0 * t) * std::sin(2.0 * std::numbers::pi * 440.0 * t);
        put16(wav,
              static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(level * 32767))));
    }
    std::ofstream(argv[1], std::ios::binary)
        .write(wav.data(), static_cast<std::streamsize>(wav.size()));
    return 0;
}
