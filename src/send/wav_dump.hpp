#pragma once

#include "app/conversion_options.hpp"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pelitor::send {

// The dump of a WAV file, or the status the converter's refusal ends with.
struct WavDump {
    std::optional<std::vector<std::uint8_t>> bytes;
    int status = 0;
};

// Converts the WAV file at `path` in memory with the converter's own code: the bytes pelitor
// writes for it. The converter's listing is not shown; its warnings and errors become lines of
// pelitor-send's on `errors`.
WavDump dumpOfWav(const std::string& path, const ConversionOptions& options, std::ostream& errors);

} // namespace pelitor::send
