#pragma once

// The canonical WAV layout, written the one way the example generator, the benchmark and the
// tests share (the pieces are the program's own, in src/wav/wav_writer.hpp), and a file write
// for them. The tests' builder of unusual layouts (tests/support/wav_builder.hpp) is made of
// the same pieces.
#include "wav/wav_writer.hpp"

#include <filesystem>
#include <fstream>

namespace pelitor::wav_writer {

// Whether every byte reached the file.
inline bool writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

} // namespace pelitor::wav_writer
