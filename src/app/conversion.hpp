#pragma once

#include "app/console.hpp"
#include "app/conversion_options.hpp"
#include "app/sds_output.hpp"
#include "common/failure.hpp"
#include "wav/byte_source.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace pelitor {

// Provides the buffer that holds the sample data; a test may make it fail.
using SampleBuffer = std::unique_ptr<std::uint8_t[]>;
using SampleBufferAllocator = SampleBuffer (*)(std::size_t size);

// The buffer is not cleared: the sample data is read into it at once.
SampleBuffer allocateSampleBuffer(std::size_t size);

// The two files of one conversion.
struct ConversionFiles {
    ByteSource& input;
    std::string_view inputName;
    SdsOutput& output;
    std::optional<Failure> outputIsInput{}; // refused like any other output that cannot be created
};

// Converts one WAV file into one .sds output as the options ask, from the header listing to the
// last packet, and returns the exit status. Every refusal comes before the output is opened.
int convert(const ConversionFiles& files, const ConversionOptions& options, const Console& console,
            SampleBufferAllocator allocate = allocateSampleBuffer);

} // namespace pelitor
