#pragma once

#include "common/failure.hpp"
#include "wav/byte_source.hpp"
#include "wav/wav_header.hpp"

namespace pelitor {

// Walks the RIFF chunks of a WAVE file: the format fields come from the first "fmt " chunk, the
// data fields from the first "data" chunk after it. Every chunk header is checked against the
// bytes that exist; the RIFF size is listed but not trusted, since writers often get it wrong.
Result<WavHeader> readWavHeader(ByteSource& file);

} // namespace pelitor
