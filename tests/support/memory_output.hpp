#pragma once

#include "app/sds_output.hpp"

#include <vector>

namespace pelitor::test {

// An output held in memory, with switches to make it refuse or fail.
class MemoryOutput final : public SdsOutput {
  public:
    bool refuseOpen = false;
    bool failAfterHeader = false; // every write after the dump header fails
    bool failCommit = false;
    bool opened = false;
    bool committed = false;
    bool discarded = false;
    std::uint64_t announcedSize = 0; // what the conversion said it would write
    std::vector<std::uint8_t> bytes;

    const std::string& name() const override { return name_; }

    std::optional<Failure> open(std::uint64_t size) override {
        if (refuseOpen) {
            return Failure{FailureKind::cannotCreate, "refused"};
        }
        opened = true;
        announcedSize = size;
        return std::nullopt;
    }

    std::optional<Failure> write(std::span<const std::uint8_t> data) override {
        if (failAfterHeader && !bytes.empty()) {
            return Failure{FailureKind::ioError, "writing failed"};
        }
        bytes.insert(bytes.end(), data.begin(), data.end());
        return std::nullopt;
    }

    std::optional<Failure> commit() override {
        if (failCommit) {
            return Failure{FailureKind::ioError, "closing failed"};
        }
        committed = true;
        return std::nullopt;
    }

    void discard() noexcept override { discarded = true; }

  private:
    std::string name_ = "out.sds";
};

} // namespace pelitor::test
