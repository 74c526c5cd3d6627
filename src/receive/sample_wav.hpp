#pragma once

#include "sds/dump_header.hpp"
#include "wav/wav_header.hpp"
#include "wav/wav_writer.hpp"

#include <cstdint>
#include <optional>
#include <span>

namespace pelitor::receive {

// The loop a WAV gets for a dump's: a forward or alternating loop whose end is after its start
// (cut at the last word); a loop that is off, or starts and ends on one word (what writers put
// when there is none), gives none.
std::optional<SampleLoop> wavLoop(const DumpHeader& header);

// A dump's words as a WAV file: its width, its rate and its loop.
wav_writer::Bytes sampleWav(const DumpHeader& header, std::span<const std::int32_t> samples);

} // namespace pelitor::receive
