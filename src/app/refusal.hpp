#pragma once

#include "wav/wav_header.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pelitor {

// Why SDS cannot carry the sample a WAV header describes, with `dataBytes` bytes of its data in
// the file, as words of `bits` bits (0: the file's own width); nothing when it can. Faults that SoX
// can fix (channels, encoding, width, a rate too low, a length over the most) are named together,
// with one SoX command that fixes them all; a damaged file, or a fault no command would fix, is
// refused for that alone.
std::optional<std::string> sampleRefusal(const WavHeader& header, std::uint64_t dataBytes,
                                         int bits = 0);

// What a file that is not a WAV file is, told by its first bytes, and how to make a WAV file of
// it; nothing for a file that is not recognised.
std::optional<std::string> otherFormatRefusal(std::span<const std::uint8_t> firstBytes);

} // namespace pelitor
