#pragma once

#include "wav/wav_header.hpp"

#include <ostream>

namespace pelitor {

// How the Japanese labels are written: as the Shift_JIS bytes pelitor has always written, or
// as UTF-8 for a terminal that shows UTF-8.
enum class LabelText { shiftJis, utf8 };

// Thirteen console lines, one per header field, with Japanese labels.
void printWavHeader(std::ostream& console, const WavHeader& header,
                    LabelText text = LabelText::shiftJis);

} // namespace pelitor
