#pragma once

#include "wav/wav_header.hpp"

#include <ostream>

namespace pelitor {

// Thirteen console lines, one per header field, with Japanese labels in Shift_JIS bytes.
void printWavHeader(std::ostream& console, const WavHeader& header);

} // namespace pelitor
