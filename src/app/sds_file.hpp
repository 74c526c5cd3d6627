#pragma once

#include "app/sds_output.hpp"
#include "common/atomic_file.hpp"

#include <filesystem>
#include <string>

namespace pelitor {

// The .sds file, written whole or not at all, named in messages as `name` says.
class SdsFile final : public SdsOutput {
  public:
    SdsFile(std::filesystem::path path, std::string name, AtomicFileCalls calls = {})
        : file_(std::move(path), calls), name_(std::move(name)) {}

    const std::string& name() const override { return name_; }
    std::optional<Failure> open(std::uint64_t size) override { return file_.open(size); }
    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override {
        return file_.write(bytes);
    }
    std::optional<Failure> commit() override { return file_.commit(); }
    void discard() noexcept override { file_.discard(); }

  private:
    AtomicFile file_;
    std::string name_;
};

} // namespace pelitor
