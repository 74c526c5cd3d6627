#pragma once

#include <cstdint>

namespace pelitor {

// Which loop the dump header announces.
struct LoopRequest {
    enum class Kind {
        unset,  // what pelitor has always written: type 00 with start and end 0
        off,    // type 7F, start and end on the last word
        points, // a forward loop over the words start..end, as given
        wav,    // the first loop of the file's "smpl" chunk
    };
    Kind kind = Kind::unset;
    std::uint32_t start = 0;
    std::uint32_t end = 0; // inclusive
};

// What the command line asks of the sample dump; the defaults are what it has always been.
struct ConversionOptions {
    std::uint8_t deviceChannel = 0;
    std::uint16_t sampleNumber = 0;
    LoopRequest loop;
};

} // namespace pelitor
