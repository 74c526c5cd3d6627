#pragma once

#include "common/failure.hpp"
#include "wav/byte_source.hpp"

#include <filesystem>
#include <fstream>
#include <memory>

namespace pelitor {

// The input WAV file, read by offset as the conversion needs its bytes.
class InputFile final : public ByteSource {
  public:
    // Opens a regular file for reading.
    static Result<std::unique_ptr<InputFile>> open(const std::filesystem::path& path);

    std::uint64_t size() const override { return size_; }
    std::size_t read(std::uint64_t offset, std::span<std::uint8_t> into) override;

  private:
    InputFile(std::ifstream stream, std::uint64_t size) : stream_(std::move(stream)), size_(size) {}

    std::ifstream stream_;
    std::uint64_t size_;
};

} // namespace pelitor
