#pragma once

#include "app/conversion_options.hpp"
#include "common/failure.hpp"
#include "sds/dump_header.hpp"
#include "sds/word_format.hpp"
#include "wav/wav_header.hpp"

#include <cstdint>
#include <optional>
#include <string>

namespace pelitor {

// What of the input becomes which SDS sample: the dump header that announces it, how its
// words are encoded, which bytes of the file they come from, and how many packets carry them.
struct SamplePlan {
    DumpHeader dumpHeader;
    WordFormat format;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0; // what the file holds of the data chunk
    std::uint64_t packets = 0;
    std::optional<std::string> warning;
};

// Decides whether the header describes a sample that SDS can carry, which bytes of a file of
// fileSize bytes it is made of, and how the options shape its dump header. The first check
// that fails is the one reported.
Result<SamplePlan> planSample(const WavHeader& header, std::uint64_t fileSize,
                              const ConversionOptions& options = {});

} // namespace pelitor
