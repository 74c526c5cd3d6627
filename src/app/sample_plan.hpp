#pragma once

#include "sds/data_packets.hpp"
#include "sds/sds_sample.hpp"
#include "wav/wav_header.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace pelitor {

// What of the input becomes which SDS sample.
struct SamplePlan {
    SdsSample sample;
    WordFormat format;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0; // what the file holds of the data chunk
    std::optional<std::string> warning;
};

struct Refusal {
    std::string message;
};

// Decides whether the header describes a sample that SDS can carry, and which bytes of a file
// of fileSize bytes it is made of. The first check that fails is the one reported.
std::variant<SamplePlan, Refusal> planSample(const WavHeader& header, std::uint64_t fileSize);

} // namespace pelitor
