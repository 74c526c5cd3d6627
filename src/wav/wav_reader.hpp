#pragma once

#include "common/failure.hpp"
#include "wav/byte_source.hpp"
#include "wav/wav_header.hpp"

namespace pelitor {

// How far the chunk walk goes: to the data chunk, or on to the end of the file for the loops
// of a "smpl" chunk, which usually follows the data.
enum class ChunkWalk { toData, wholeFile };

// Walks the RIFF chunks of a WAVE file: the format fields come from the first "fmt " chunk, the
// data fields from the first "data" chunk after it, and on a whole-file walk the loops from the
// first "smpl" chunk anywhere. Every chunk header is checked against the bytes that exist; the
// RIFF size is listed but not trusted, since writers often get it wrong.
Result<WavHeader> readWavHeader(ByteSource& file, ChunkWalk walk = ChunkWalk::toData);

} // namespace pelitor
