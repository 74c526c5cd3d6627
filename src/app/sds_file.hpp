#pragma once

#include "app/sds_output.hpp"
#include "platform/platform.hpp"

#include <filesystem>

namespace pelitor {

// The .sds file. It is written under a fresh temporary name in the same directory and renamed
// over the output only once every byte is safely written, so a failed run never leaves a
// partial file nor destroys an earlier one.
class SdsFile final : public SdsOutput {
  public:
    // `close` closes the temporary file; a test may make it report an error.
    SdsFile(std::filesystem::path output, std::string name,
            platform::CloseFunction close = platform::closeFile);
    ~SdsFile() override;
    SdsFile(const SdsFile&) = delete;
    SdsFile& operator=(const SdsFile&) = delete;

    const std::string& name() const override { return name_; }
    std::optional<Failure> open(std::uint64_t size) override;
    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override;
    std::optional<Failure> commit() override;
    void discard() noexcept override;

  private:
    std::optional<Failure> refusal() const;
    std::optional<Failure> createTemporary(std::uint64_t size);

    std::filesystem::path output_;
    std::string name_;
    platform::CloseFunction close_;
    std::filesystem::path temporary_;
    platform::FileHandle file_ = platform::invalidFile;
};

} // namespace pelitor
