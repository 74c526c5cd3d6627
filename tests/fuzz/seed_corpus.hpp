#pragma once

#include "support/wav_builder.hpp"

#include <string>
#include <utility>
#include <vector>

namespace pelitor::test {

// Small files in the layouts that real encoders write, and the ones the converter refuses.
inline std::vector<std::pair<std::string, Bytes>> seedCorpus() {
    const Bytes samples{0x00, 0x80, 0xFF, 0x7F, 0x01, 0x02, 0x03, 0x04, 0x05};
    const Bytes longer(1000, 0x5A);
    return {
        {"pcm8", canonicalWav({.rate = 8000, .bits = 8}, samples)},
        {"pcm16", canonicalWav({}, longer)},
        {"pcm16-odd", canonicalWav({}, samples)},
        {"pcm24", canonicalWav({.rate = 96000, .bits = 24}, longer)},
        {"fmt18", canonicalWav({.size = 18}, samples)},
        {"extensible16", canonicalWav({.tag = 0xFFFE, .size = 40}, samples)},
        {"extensible24", canonicalWav({.tag = 0xFFFE, .bits = 24, .size = 40}, longer)},
        {"lavf", riffWave({fmtChunk({}),
                           lavfListChunk(),
                           {"fact", {4, 0, 0, 0}, std::nullopt},
                           dataChunk(samples)})},
        {"junk-odd",
         riffWave({{"JUNK", Bytes(3, 0), std::nullopt}, fmtChunk({}), dataChunk(samples)})},
        {"data-first", riffWave({dataChunk(samples), fmtChunk({}), dataChunk(samples)})},
        {"unfinished", riffWave({fmtChunk({}), dataChunk(samples, 0xFFFFFFFF)})},
        {"stereo", canonicalWav({.channels = 2}, samples)},
        {"float", canonicalWav({.tag = 3, .bits = 32}, longer)},
        {"rate0", canonicalWav({.rate = 0}, samples)},
        {"no-data", riffWave({fmtChunk({})})},
        {"smpl-after-data", riffWave({fmtChunk({}), dataChunk(longer), smplChunk({{1, 10, 400}})})},
    };
}

} // namespace pelitor::test
