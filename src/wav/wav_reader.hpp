#pragma once

#include "wav/byte_source.hpp"
#include "wav/wav_header.hpp"

#include <string>
#include <variant>

namespace pelitor {

// Why a file is not a WAV file that has samples to find.
struct WavReadError {
    std::string message;
};

// Walks the RIFF chunks of a WAVE file: the format fields come from the first "fmt " chunk, the
// data fields from the first "data" chunk after it. Every chunk header is checked against the
// bytes that exist; the RIFF size is listed but not trusted, since writers often get it wrong.
std::variant<WavHeader, WavReadError> readWavHeader(ByteSource& file);

} // namespace pelitor
