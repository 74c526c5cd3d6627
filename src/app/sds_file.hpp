#pragma once

#include "app/file_sink.hpp"
#include "app/platform.hpp"
#include "app/sds_output.hpp"

#include <filesystem>
#include <memory>
#include <ostream>

namespace pelitor {

// The .sds file beside the input. It is written under a fresh temporary name in the same
// directory and renamed over the output only once every byte is safely written, so a failed
// run never leaves a partial file nor destroys an earlier one.
class SdsFile final : public SdsOutput {
  public:
    SdsFile(std::filesystem::path output, std::string name, std::filesystem::path input);
    ~SdsFile() override;
    SdsFile(const SdsFile&) = delete;
    SdsFile& operator=(const SdsFile&) = delete;

    const std::string& name() const override { return name_; }
    std::optional<std::string> open(std::uint64_t size) override;
    std::ostream& stream() override { return stream_; }
    std::optional<std::string> commit() override;
    void discard() noexcept override;

  private:
    std::optional<std::string> refusal() const;
    std::optional<std::string> createTemporary(std::uint64_t size);

    std::filesystem::path output_;
    std::string name_;
    std::filesystem::path input_;
    std::filesystem::path temporary_;
    platform::FileHandle file_ = platform::invalidFile;
    std::unique_ptr<FileSink> sink_;
    std::ostream stream_{nullptr};
};

} // namespace pelitor
