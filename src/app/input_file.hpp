#pragma once

#include "common/failure.hpp"
#include "platform/platform.hpp"
#include "wav/byte_source.hpp"

#include <filesystem>
#include <memory>

namespace pelitor {

// The input WAV file, read by offset as the conversion needs its bytes.
class InputFile final : public ByteSource {
  public:
    // Opens a regular file for reading.
    static Result<std::unique_ptr<InputFile>> open(const std::filesystem::path& path);
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::uint64_t size() const override { return size_; }
    Result<std::size_t> read(std::uint64_t offset, std::span<std::uint8_t> into) override;

  private:
    InputFile(platform::FileHandle file, std::uint64_t size) : file_(file), size_(size) {}

    platform::FileHandle file_;
    std::uint64_t size_;
};

} // namespace pelitor
