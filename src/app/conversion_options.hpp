#pragma once

#include "common/command_line.hpp"

#include <cstdint>

namespace pelitor {

// Which loop the dump header announces.
struct LoopRequest {
    enum class Kind {
        unset,     // what pelitor has always written: type 00 with start and end 0
        off,       // type 7F, start and end on the last word
        points,    // a forward loop over the words start..end, as given
        wav,       // the first loop of the file's "smpl" chunk
        automatic, // that loop where the file has one, otherwise off
    };
    Kind kind = Kind::unset;
    std::uint32_t start = 0;
    std::uint32_t end = 0; // inclusive
};

// The numbers the command line may give, and what the sample dump has always said.
inline constexpr NumberRange deviceChannelNumber{0, 127, 0};
inline constexpr NumberRange sampleNumberNumber{0, 16383, 0};
// 0 for the WAV's own width.
inline constexpr NumberRange wordBitsNumber{8, 28, 0};

// What the command line asks of the sample dump.
struct ConversionOptions {
    std::uint8_t deviceChannel = deviceChannelNumber.byDefault;
    std::uint16_t sampleNumber = sampleNumberNumber.byDefault;
    LoopRequest loop;
    std::uint8_t bits = wordBitsNumber.byDefault; // the width of every word
};

} // namespace pelitor
