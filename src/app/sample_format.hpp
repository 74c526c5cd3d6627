#pragma once

#include "common/failure.hpp"
#include "sds/word_format.hpp"
#include "wav/wav_header.hpp"

namespace pelitor {

// The widths of a linear PCM file's samples and of the words made of them, or why it cannot
// be converted. `bits` is the word width the command line asks for (8 to 28), 0 for the file's
// own. Format 1 holds 8 to 24 bits in as many whole bytes as they need; the extensible format
// holds its valid bits (0: all of them) in containers of 8, 16, 24 or 32 bits, up to 28 of them
// without `bits`. Wider samples, 32-bit ones among them, convert only to a width asked for.
Result<SampleWidths> sampleWidths(const WavHeader& header, int bits);

// The width of a file's samples that sampleWidths refused, and the width SoX should write to
// make it convertible: 8 or 24, 0 where no command fixes it (a damaged or unknown container).
struct WidthFix {
    int wavBits;
    int soxBits;
};
WidthFix widthFix(const WavHeader& header);

} // namespace pelitor
