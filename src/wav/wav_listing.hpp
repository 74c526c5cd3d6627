#pragma once

#include <ostream>

#include "wav/wav_header.hpp"

namespace pelitor {

// Thirteen console lines, one per header field, with Japanese labels in Shift_JIS bytes.
void printWavHeader(std::ostream& console, const WavHeader& header);

} // namespace pelitor
