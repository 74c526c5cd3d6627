#pragma once

#include "sds/dump_header.hpp"

#include <string>
#include <string_view>

namespace pelitor::receive {

// What is said once a dump is in its file: "decoded sample 3 into kick.wav: 16-bit, 44100 Hz,
// 22050 words (0.50 s), loop 100..22049 forward", with a word on widths that a WAV cannot
// hold as they are.
std::string decodedLine(std::string_view output, const DumpHeader& header, bool wav);

} // namespace pelitor::receive
